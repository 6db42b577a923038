// Each model family driven through its changes while Qt's model checker
// watches every signal and index: a broken insert, removal or reset shows up
// as a checker complaint.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "remote/ui/remote_list_model.h"
#include "remote/ui/remote_tree_model.h"
#include "workspace/local_listing.h"
#include "workspace/ui/local_list_model.h"
#include "workspace/ui/local_tree_model.h"
#include "workspace/ui/loop_result_models.h"

namespace {

// Collects what the checker reports; it reports through warnings.
class CheckerComplaints {
public:
    CheckerComplaints() {
        complaints().clear();
        previous_ = qInstallMessageHandler(&CheckerComplaints::handle);
    }
    ~CheckerComplaints() { qInstallMessageHandler(previous_); }
    QStringList take() { return std::exchange(complaints(), {}); }

private:
    static QStringList& complaints() {
        static QStringList list;
        return list;
    }
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type != QtDebugMsg && context.category &&
            QByteArray(context.category).startsWith("qt.modeltest"))
            complaints() << text;
    }
    QtMessageHandler previous_ = nullptr;
};

std::unique_ptr<QAbstractItemModelTester> Watch(QAbstractItemModel* model) {
    return std::make_unique<QAbstractItemModelTester>(
        model, QAbstractItemModelTester::FailureReportingMode::Warning);
}

RemoteItem Item(char kind, const QByteArray& name, qint64 size = 0) {
    RemoteItem i;
    i.kind = kind;
    i.name = name;
    i.size = size;
    return i;
}

std::shared_ptr<const RemoteItemList> Listing(std::initializer_list<RemoteItem> items) {
    auto list = std::make_shared<RemoteItemList>();
    for (const RemoteItem& i : items)
        list->append(i);
    return list;
}

void Touch(const QString& path, const QByteArray& bytes = "x") {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

TEST(ModelContracts, RemoteListAndTree) {
    CheckerComplaints checker;
    RemoteListModel list;
    auto listWatch = Watch(&list);
    list.setFolder("/www",
                   Listing({Item('d', "img"), Item('-', "b.htm", 9), Item('-', "a.htm", 3)}), true);
    EXPECT_EQ(list.rowCount(), 4);
    for (int column = 0; column < list.columnCount(); ++column)
        list.setSort({column, column % 2 == 1});
    list.setFolder("/www", Listing({Item('-', "a.htm", 3)}), true);
    EXPECT_EQ(list.rowCount(), 2);
    list.clear();
    EXPECT_EQ(list.rowCount(), 0);

    RemoteTreeModel tree;
    auto treeWatch = Watch(&tree);
    tree.setRoot("/", Listing({Item('d', "www"), Item('d', "log"), Item('-', "x")}));
    const QModelIndex www = tree.indexOf("/www");
    ASSERT_TRUE(www.isValid());
    ASSERT_TRUE(tree.applyListing("/www", Listing({Item('d', "img"), Item('d', "css")})));
    EXPECT_EQ(tree.rowCount(tree.indexOf("/www")), 2);
    // A later listing drops one folder and brings another.
    ASSERT_TRUE(tree.applyListing("/www", Listing({Item('d', "css"), Item('d', "js")})));
    EXPECT_FALSE(tree.indexOf("/www/img").isValid());
    EXPECT_TRUE(tree.indexOf("/www/js").isValid());
    // Listed without a folder or link, a node offers no children; a later
    // listing with one offers them again.
    const QModelIndex css = tree.indexOf("/www/css");
    EXPECT_TRUE(tree.hasChildren(css));
    ASSERT_TRUE(tree.applyListing("/www/css", Listing({Item('-', "site.css")})));
    EXPECT_FALSE(tree.hasChildren(css));
    ASSERT_TRUE(tree.applyListing("/www/css", Listing({Item('l', "old")})));
    EXPECT_TRUE(tree.hasChildren(css));
    const QModelIndex deep = tree.ensurePath("/www/js/lib/a");
    ASSERT_TRUE(deep.isValid());
    EXPECT_TRUE(tree.removeUnlisted(deep));
    tree.resetNode(tree.indexOf("/www"));
    EXPECT_EQ(tree.rowCount(tree.indexOf("/www")), 0);
    ASSERT_TRUE(tree.applyListing("/", Listing({Item('d', "log")})));
    tree.clear();
    EXPECT_FALSE(tree.hasRoot());
    EXPECT_EQ(checker.take(), QStringList());
}

TEST(ModelContracts, LocalListAndTree) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString root = dir.path();
    ASSERT_TRUE(QDir(root).mkpath("sub/deep"));
    Touch(root + "/b.txt", "bbbb");
    Touch(root + "/a.txt");
    // A link to nothing is no folder of the tree.
    ASSERT_TRUE(QFile::link(root + "/nowhere", root + "/dangling"));
    CheckerComplaints checker;

    LocalListModel list;
    auto listWatch = Watch(&list);
    QSignalSpy listLoaded(&list, &LocalListModel::folderLoaded);
    list.showFolder(root);
    ASSERT_TRUE(QTest::qWaitFor([&] { return listLoaded.count() == 1; }, 10000));
    const int before = list.rowCount();
    EXPECT_GE(before, 3);
    Touch(root + "/c.txt");
    ASSERT_TRUE(QFile::remove(root + "/a.txt"));
    list.reload();
    ASSERT_TRUE(QTest::qWaitFor([&] { return listLoaded.count() == 2; }, 10000));
    EXPECT_EQ(list.rowCount(), before);
    Touch(root + "/c.txt", "longer now");
    list.refreshFile(QStringLiteral("c.txt"));
    for (int column = 0; column < list.columnCount(); ++column)
        list.setSort({column, column % 2 == 0});
    list.setShowFlags(LocalShow::HiddenFiles);
    list.showComputer({}, {});
    list.clear();
    EXPECT_EQ(list.rowCount(), 0);

    LocalTreeModel tree(LocalTreeModel::Kind::Project);
    auto treeWatch = Watch(&tree);
    QSignalSpy treeLoaded(&tree, &LocalTreeModel::folderLoaded);
    tree.setProjectRoot(root);
    const QModelIndex top = tree.topIndex();
    ASSERT_TRUE(top.isValid());
    tree.load(top);
    ASSERT_TRUE(QTest::qWaitFor([&] { return tree.isLoaded(tree.topIndex()); }, 10000));
    EXPECT_EQ(tree.rowCount(tree.topIndex()), 1);
    ASSERT_TRUE(QDir(root).mkpath("more"));
    ASSERT_TRUE(QDir(root + "/sub").removeRecursively());
    const int loads = treeLoaded.count();
    tree.refreshFolders({root});
    ASSERT_TRUE(QTest::qWaitFor([&] { return treeLoaded.count() > loads; }, 10000));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return tree.closestIndex(root + "/more").isValid() &&
                   tree.pathOf(tree.closestIndex(root + "/more")) == root + "/more";
        },
        10000));
    EXPECT_EQ(tree.rowCount(tree.topIndex()), 1);
    tree.setProjectRoot(QString());
    EXPECT_EQ(checker.take(), QStringList());
}

TEST(ModelContracts, LoopResults) {
    CheckerComplaints checker;
    SearchResultModel search(LoopDisplayOptions{});
    auto searchWatch = Watch(&search);
    for (const char* name : {"a.htm", "b.htm", "c.htm"})
        search.append({Item('-', name), "/www", 0});
    search.append({Item('-', "d.htm"), "/www/sub", 0});
    search.flush();
    EXPECT_EQ(search.rowCount(), 4);
    for (int column = 0; column < search.columnCount(); ++column)
        search.setSort({column, column % 2 == 1});
    // a.htm and c.htm went, b.htm grew; sub stayed, and with it what was found there.
    RemoteItemList fresh;
    RemoteItem grown = Item('-', "b.htm");
    grown.size = 4096;
    fresh.append(grown);
    fresh.append(Item('d', "sub"));
    search.followListing("/www", fresh);
    EXPECT_EQ(search.rowCount(), 2);
    const int b = search.row(0).item.name == "b.htm" ? 0 : 1;
    EXPECT_EQ(search.row(b).item.name, "b.htm");
    EXPECT_EQ(search.row(b).item.size, 4096);
    fresh = RemoteItemList();
    search.followListing("/www", fresh);
    EXPECT_EQ(search.rowCount(), 0);
    search.clear();
    EXPECT_EQ(search.rowCount(), 0);

    ChangeCaseModel cases;
    auto casesWatch = Watch(&cases);
    cases.append({"/www", '-', "A.HTM", "a.htm"});
    cases.append({"/www/sub", 'd', "IMG", "img"}, CaseRowMark::Planned);
    EXPECT_EQ(cases.rowCount(), 2);
    for (int column = 0; column < cases.columnCount(); ++column)
        cases.setSort({column, true});
    cases.clear();

    CompareTreeModel compare;
    auto compareWatch = Watch(&compare);
    auto item = [](quint8 flags, const char* name) {
        CompareItem i;
        i.flags = flags;
        i.localName = QString::fromUtf8(name);
        i.remoteName = name;
        i.remoteKind = (flags & CompareItem::LocalFolder) ? 'd' : '-';
        return i;
    };
    const quint8 both = CompareItem::Local | CompareItem::Remote | CompareItem::LocalFolder;
    compare.reset("");
    ASSERT_TRUE(compare.addResult(
        {"", {item(both, "same"), item(both, "sub"), item(CompareItem::Local, "new.htm")}}));
    ASSERT_TRUE(compare.addResult({"sub", {item(CompareItem::Remote, "old.htm")}}));
    ASSERT_TRUE(compare.addResult({"same", {}}));
    compare.setSort({1, true});
    compare.setSort({0, false});
    compare.prune(true);
    compare.removeNode(compare.tree().find("sub")->children.front().get());
    compare.prune(true);
    compare.reset("");
    EXPECT_EQ(checker.take(), QStringList());
}
