#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>

#include "app/ui/main_frame.h"
#include "platform/local_places.h"
#include "platform/ui/explorer_host.h"
#include "remote/remote_drag_data.h"
#include "screen_reader_menu.h"
#include "support/desktop_recorders.h"
#include "support/scripted_prompter.h"
#include "workbench_harness.h"
#include "workspace/local_drag_data.h"
#include "workspace/local_list_columns.h"
#include "workspace/ui/local_actions.h"
#include "workspace/ui/local_explorer.h"
#include "workspace/ui/local_list_model.h"
#include "workspace/ui/local_list_pane.h"
#include "workspace/ui/local_list_view.h"
#include "workspace/ui/local_side.h"
#include "workspace/ui/local_tree_model.h"
#include "workspace/ui/local_tree_view.h"

namespace {

// An edited label as the view commits it: the rename is taken once the editor has closed.
void edit(QAbstractItemModel* model, const QModelIndex& index, const QString& text,
          int role = Qt::EditRole) {
    model->setData(index, text, role);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
}

class FakeHost : public ExplorerHost {
public:
    Prompter& prompter() override { return prompts; }
    HelpViewer& help() override { return helpTopics; }
    QString localProjectFolder() const override { return local; }
    QString remoteProjectFolder() const override { return remote; }
    void storeLocalProjectFolder(const QString& f) override { local = f; }
    void storeRemoteProjectFolder(const QString& f) override { remote = f; }
    void storeConcernedFile(const QString&) override {}
    void fillViewEditMenu(QMenu* menu, bool remoteFile, bool singlePlainFile,
                          const QString& path) override {
        viewEditCalls << QStringLiteral("%1 %2 %3").arg(remoteFile).arg(singlePlainFile).arg(path);
        menu->insertAction(menu->actions().value(0), new QAction(QStringLiteral("Editor"), menu));
    }
    QString httpAddress(const QString&) const override { return {}; }
    bool loopAvailable(Loop) const override { return false; }
    void startLoop(Loop, const QByteArray&) override {}
    bool openWithDesktop(const QString& path) override {
        opened << path;
        return openable;
    }

    ScriptedPrompter prompts;
    QStringList opened;
    bool openable = true;
    RecordingHelp helpTopics;
    QString local;
    QString remote;
    QStringList viewEditCalls;
};

void Touch(const QString& path, const QByteArray& bytes = "x") {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct LocalFixture {
    WorkbenchHarness bench;
    QTemporaryDir disk;
    FakeHost host;
    LocalSide side{bench.workbench->engine(), bench.workbench->session(), host};
    QString root;

    LocalFixture() {
        root = disk.path();
        QDir d(root);
        d.mkpath(QStringLiteral("alpha"));
        d.mkpath(QStringLiteral("beta/inner"));
        d.mkpath(QString::fromUtf8("名前 with blank"));
        Touch(d.filePath(QStringLiteral("a.txt")));
        Touch(d.filePath(QStringLiteral("b c.txt")), "12345");
        side.setShowFlags(0x02);
    }
    QString path(const char* name) const { return QDir(root).filePath(QString::fromUtf8(name)); }
};

bool ListLoaded(LocalListView& list, const QString& folder) {
    return WorkbenchHarness::waitFor(
        [&] { return list.currentFolder() == folder && !list.listModel()->isLoading(); });
}

QStringList ChildNames(LocalTreeView& tree, const QString& folder) {
    QStringList names;
    const QModelIndex index = tree.treeModel()->closestIndex(folder);
    if (tree.treeModel()->pathOf(index) != folder)
        return {QStringLiteral("<missing>")};
    for (int r = 0; r < tree.treeModel()->rowCount(index); ++r)
        names << tree.treeModel()->index(r, 0, index).data().toString();
    return names;
}

bool SelectIn(LocalTreeView& tree, const QString& path) {
    tree.selectFolder(path);
    return WorkbenchHarness::waitFor([&] { return tree.selectedFolder() == path; });
}

void SelectRows(LocalListView& list, const QStringList& names) {
    list.clearSelection();
    for (const QString& name : names) {
        const int row = list.listModel()->rowOfName(name);
        ASSERT_GE(row, 0) << name.toStdString();
        list.selectionModel()->select(list.listModel()->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

TEST(LocalViews, ListShowsDotDotFoldersThenFilesWithTheirColumns) {
    LocalFixture f;
    LocalListView list(f.side);
    list.showFolder(f.root);
    ASSERT_TRUE(ListLoaded(list, f.root));
    const LocalListModel* m = list.listModel();
    QStringList rows;
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c : {kColName, kColType, kColNumber})
            cells << m->index(r, c).data().toString();
        rows << cells.join(QLatin1Char('|'));
    }
    EXPECT_EQ(rows,
              (QStringList{"..||", "alpha||1", "beta||2", QString::fromUtf8("名前 with blank||3"),
                           "a.txt|txt|1", "b c.txt|txt|2"}));
    EXPECT_EQ(m->index(5, kColSize).data().toString(), QStringLiteral("5 b"));
    f.side.setSizeStyle(2);
    EXPECT_EQ(m->index(5, kColSize).data().toString(), QStringLiteral("5"));
    EXPECT_EQ(
        m->index(5, kColSize).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight,
        Qt::AlignRight);

    // An empty folder shows only "..".
    list.showFolder(f.path("alpha"));
    ASSERT_TRUE(ListLoaded(list, f.path("alpha")));
    EXPECT_EQ(m->rowCount(), 1);
}

TEST(LocalViews, LargeFolderIsReadWithoutHoldingTheWindow) {
    LocalFixture f;
    const QString big = f.path("big");
    QDir().mkpath(big);
    for (int i = 0; i < 20000; ++i) {
        QFile file(big + QStringLiteral("/f%1.dat").arg(i));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    LocalListView list(f.side);
    list.showFolder(big);
    // showFolder returns before the disk is read.
    EXPECT_TRUE(list.listModel()->isLoading());
    ASSERT_TRUE(WorkbenchHarness::waitFor([&] { return !list.listModel()->isLoading(); }, 30000));
    EXPECT_EQ(list.listModel()->rowCount(), 20001);
}

TEST(LocalViews, FolderChangesShowInBothTrees) {
    LocalFixture f;
    f.host.local = f.root;
    LocalTreeView normal(LocalTreeView::Kind::Normal, f.side);
    LocalTreeView project(LocalTreeView::Kind::Project, f.side);
    ASSERT_EQ(project.treeModel()->projectRoot(), f.root);
    ASSERT_TRUE(SelectIn(normal, f.path("beta")));
    ASSERT_TRUE(SelectIn(project, f.path("beta")));
    ASSERT_TRUE(SelectIn(normal, f.root));
    ASSERT_TRUE(SelectIn(project, f.root));
    const QStringList before = {"alpha", "beta", QString::fromUtf8("名前 with blank")};
    ASSERT_EQ(ChildNames(normal, f.root), before);

    // Create in one tree: both add it.
    ASSERT_TRUE(normal.actions().createFolder(f.root, QStringLiteral("new dir")));
    const QStringList created = {"alpha", "beta", "new dir", QString::fromUtf8("名前 with blank")};
    EXPECT_TRUE(WorkbenchHarness::waitFor([&] {
        return ChildNames(normal, f.root) == created && ChildNames(project, f.root) == created;
    }));

    // Rename by editing the label in the project tree: the Normal tree follows.
    const QModelIndex node = project.treeModel()->closestIndex(f.path("new dir"));
    edit(project.treeModel(), node, QString::fromUtf8("Über"), Qt::EditRole);
    const QStringList renamed = {"alpha", "beta", QString::fromUtf8("Über"),
                                 QString::fromUtf8("名前 with blank")};
    EXPECT_TRUE(WorkbenchHarness::waitFor([&] {
        return ChildNames(normal, f.root) == renamed && ChildNames(project, f.root) == renamed;
    }));
    EXPECT_TRUE(QFileInfo(f.path("Über")).isDir());

    // Delete in the Normal tree, inside the project: the sub-folder question.
    f.host.prompts.expectQuestion(
        QStringLiteral("It is sub-Folder of project, Do you want to delete it?"), true);
    normal.deleteFolder(normal.treeModel()->closestIndex(f.path("Über")));
    EXPECT_TRUE(WorkbenchHarness::waitFor([&] {
        return ChildNames(normal, f.root) == before && ChildNames(project, f.root) == before;
    }));
}

TEST(LocalViews, TreeGuardsAskAsWritten) {
    LocalFixture f;
    f.host.local = f.path("beta/inner");
    LocalTreeView normal(LocalTreeView::Kind::Normal, f.side);
    LocalTreeView project(LocalTreeView::Kind::Project, f.side);
    ASSERT_TRUE(SelectIn(normal, f.path("beta/inner")));

    // The project folder and its parents cannot be deleted from the Normal tree.
    normal.deleteFolder(normal.treeModel()->closestIndex(f.path("beta/inner")));
    normal.deleteFolder(normal.treeModel()->closestIndex(f.path("beta")));
    EXPECT_EQ(f.host.prompts.messages(),
              QStringList(2, "Can not delete the Folder, because it is parent of project Folder."));
    EXPECT_TRUE(QFileInfo(f.path("beta/inner")).isDir());

    // Renaming a parent asks; No leaves it.
    f.host.prompts.expectQuestion(
        QStringLiteral("It is parent Folder of project, Do you want to rename it?"), false);
    edit(normal.treeModel(), normal.treeModel()->closestIndex(f.path("beta")),
         QStringLiteral("gamma"), Qt::EditRole);
    EXPECT_TRUE(QFileInfo(f.path("beta")).isDir());
    // Yes renames it, and the project folder follows its parent.
    f.host.prompts.expectQuestion(
        QStringLiteral("It is parent Folder of project, Do you want to rename it?"), true);
    edit(normal.treeModel(), normal.treeModel()->closestIndex(f.path("beta")),
         QStringLiteral("gamma"), Qt::EditRole);
    EXPECT_TRUE(QFileInfo(f.path("gamma/inner")).isDir());
    EXPECT_EQ(f.host.local, f.path("gamma/inner"));
    EXPECT_EQ(project.treeModel()->projectRoot(), f.path("gamma/inner"));

    // Nor is the project folder deleted as the root of its own page's tree.
    project.deleteFolder(project.treeModel()->topIndex());
    EXPECT_EQ(f.host.prompts.messages().size(), 3);
    EXPECT_TRUE(QFileInfo(f.path("gamma/inner")).isDir());
    EXPECT_EQ(project.treeModel()->rowCount(), 1);
}

TEST(LocalViews, SetAndClearTheLocalProjectFolder) {
    LocalFixture f;
    LocalTreeView normal(LocalTreeView::Kind::Normal, f.side);
    LocalTreeView project(LocalTreeView::Kind::Project, f.side);
    ASSERT_TRUE(SelectIn(normal, f.path("alpha")));
    normal.runCommand(kLocalSetProjectFolder, normal.currentIndex());
    EXPECT_EQ(f.host.local, f.path("alpha"));
    EXPECT_EQ(project.treeModel()->projectRoot(), f.path("alpha"));
    // The project tree's menu has no "Set as local project Folder".
    for (const LocalMenuItem& item : project.menuItemsFor(project.treeModel()->topIndex()))
        EXPECT_NE(item.id, kLocalSetProjectFolder);

    ASSERT_TRUE(SelectIn(normal, f.path("beta")));
    f.host.prompts.expectQuestion(QStringLiteral("Do you want to change local project Folder?"),
                                  true);
    normal.runCommand(kLocalSetProjectFolder, normal.currentIndex());
    EXPECT_EQ(f.host.local, f.path("beta"));
    EXPECT_EQ(project.treeModel()->projectRoot(), f.path("beta"));

    f.host.prompts.expectQuestion(QStringLiteral("Remove project Folder?"), true);
    project.clearProjectFolder();
    EXPECT_EQ(f.host.local, QString());
    EXPECT_EQ(project.treeModel()->rowCount(), 0);
}

TEST(LocalViews, ListDeleteRenameCopyAndPaste) {
    LocalFixture f;
    LocalTreeView tree(LocalTreeView::Kind::Normal, f.side);
    LocalListView list(f.side);
    list.followTree(&tree);
    ASSERT_TRUE(SelectIn(tree, f.root));
    ASSERT_TRUE(ListLoaded(list, f.root));

    // Copy, then paste twice into the same folder.
    SelectRows(list, {QStringLiteral("a.txt")});
    list.copySelected();
    // Pastes run one after the other: the second sees the first's copy.
    tree.pasteInto(tree.currentIndex());
    tree.pasteInto(tree.currentIndex());
    EXPECT_TRUE(WorkbenchHarness::waitFor([&] {
        return QFileInfo::exists(f.path("Copy of a.txt")) &&
               QFileInfo::exists(f.path("Copy (2) of a.txt"));
    }));
    EXPECT_TRUE(WorkbenchHarness::waitFor(
        [&] { return list.listModel()->rowOfName(QStringLiteral("Copy (2) of a.txt")) >= 0; }));

    // Renaming to the same name touches nothing; a new name renames.
    const int row = list.listModel()->rowOfName(QStringLiteral("b c.txt"));
    edit(list.listModel(), list.listModel()->index(row, kColName), QStringLiteral("b c.txt"),
         Qt::EditRole);
    EXPECT_TRUE(f.host.prompts.shown().isEmpty());
    edit(list.listModel(), list.listModel()->index(row, kColName), QString::fromUtf8("ß d.txt"),
         Qt::EditRole);
    EXPECT_TRUE(QFileInfo::exists(f.path("ß d.txt")));
    // A new file of a name taken: nothing emptied, and said.
    LocalActions actions(f.side, nullptr, false);
    EXPECT_FALSE(actions.createFile(f.root, QStringLiteral("a.txt")));
    EXPECT_EQ(f.host.prompts.messages(),
              QStringList{"Can not create the file: a.txt exists already."});
    EXPECT_EQ(QFileInfo(f.path("a.txt")).size(), 1);
    // Onto a name taken: refused, and said.
    const int a = list.listModel()->rowOfName(QStringLiteral("a.txt"));
    edit(list.listModel(), list.listModel()->index(a, kColName), QString::fromUtf8("ß d.txt"),
         Qt::EditRole);
    EXPECT_EQ(f.host.prompts.messages().last(),
              QString::fromUtf8("Can not rename the file: ß d.txt exists already."));
    EXPECT_TRUE(QFileInfo::exists(f.path("a.txt")));

    // Delete asks once for all selected rows; No keeps them.
    ASSERT_TRUE(ListLoaded(list, f.root));
    ASSERT_TRUE(WorkbenchHarness::waitFor(
        [&] { return list.listModel()->rowOfName(QString::fromUtf8("ß d.txt")) >= 0; }));
    SelectRows(list, {QStringLiteral("alpha"), QString::fromUtf8("ß d.txt")});
    f.host.prompts.expectQuestion(QStringLiteral("Delete selected file/folder?"), false);
    list.deleteSelected();
    EXPECT_TRUE(QFileInfo::exists(f.path("alpha")));
    f.host.prompts.expectQuestion(QStringLiteral("Delete selected file/folder?"), true);
    list.deleteSelected();
    EXPECT_TRUE(WorkbenchHarness::waitFor([&] {
        return !QFileInfo::exists(f.path("alpha")) && !QFileInfo::exists(f.path("ß d.txt"));
    }));
    // The tree lost the folder too.
    EXPECT_TRUE(WorkbenchHarness::waitFor(
        [&] { return !ChildNames(tree, f.root).contains(QStringLiteral("alpha")); }));

    // The row below a deleted one takes its place, chosen, for the keys to go on from there.
    ASSERT_TRUE(WorkbenchHarness::waitFor(
        [&] { return list.listModel()->rowOfName(QString::fromUtf8("ß d.txt")) < 0; }));
    const int copy = list.listModel()->rowOfName(QStringLiteral("Copy (2) of a.txt"));
    ASSERT_LT(copy + 1, list.listModel()->rowCount());
    const QString below = list.listModel()->rowAt(copy + 1)->name;
    list.setCurrentIndex(list.listModel()->index(copy, 0));  // as a click or the arrows do
    f.host.prompts.expectQuestion(QStringLiteral("Delete selected file/folder?"), true);
    list.deleteSelected();
    ASSERT_TRUE(WorkbenchHarness::waitFor(
        [&] { return list.listModel()->rowOfName(QStringLiteral("Copy (2) of a.txt")) < 0; }));
    ASSERT_TRUE(list.currentIndex().isValid());
    EXPECT_EQ(list.listModel()->rowAt(list.currentIndex().row())->name, below);
    EXPECT_EQ(list.selectionModel()->selectedRows().size(), 1);
}

QMimeData* LocalDrag(const QString& folder, const QString& name, bool isFolder, bool fromTree) {
    LocalDragData data;
    data.folder = folder;
    data.items = {{name, isFolder}};
    data.fromTree = fromTree;
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kLocalDragMimeType), EncodeLocalDrag(data));
    mime->setUrls(LocalDragUrls(data));
    return mime;
}

TEST(LocalViews, DropsMoveRefuseAndDownload) {
    LocalFixture f;
    LocalTreeView tree(LocalTreeView::Kind::Normal, f.side);
    LocalListView list(f.side);
    list.followTree(&tree);
    ASSERT_TRUE(SelectIn(tree, f.path("beta/inner")));
    ASSERT_TRUE(SelectIn(tree, f.root));
    ASSERT_TRUE(ListLoaded(list, f.root));

    // A tree folder onto itself or its child.
    std::unique_ptr<QMimeData> beta(LocalDrag(f.root, QStringLiteral("beta"), true, true));
    EXPECT_EQ(tree.dropOn(tree.treeModel()->closestIndex(f.path("beta/inner")), *beta).action,
              LocalDropAction::Refuse);
    EXPECT_EQ(tree.dropOn(tree.treeModel()->closestIndex(f.path("beta")), *beta).action,
              LocalDropAction::Refuse);
    EXPECT_EQ(f.host.prompts.messages(), QStringList(2, "Can not drop to child or self"));

    // A file of the list onto a folder row moves it there.
    std::unique_ptr<QMimeData> file(LocalDrag(f.root, QStringLiteral("b c.txt"), false, false));
    const int betaRow = list.listModel()->rowOfName(QStringLiteral("beta"));
    EXPECT_EQ(list.dropOn(list.listModel()->index(betaRow, 0), *file).action,
              LocalDropAction::Move);
    EXPECT_TRUE(
        WorkbenchHarness::waitFor([&] { return QFileInfo::exists(f.path("beta/b c.txt")); }));
    EXPECT_FALSE(QFileInfo::exists(f.path("b c.txt")));

    // Dropped by the mouse: moved too, and no row stays marked as the target.
    // The list first shows the move above, so the rows stay where they are.
    ASSERT_TRUE(WorkbenchHarness::waitFor([&] {
        return !list.listModel()->isLoading() &&
               list.listModel()->rowOfName(QStringLiteral("b c.txt")) < 0;
    }));
    list.resize(600, 300);
    list.show();
    std::unique_ptr<QMimeData> dropped(LocalDrag(f.root, QStringLiteral("a.txt"), false, false));
    const QModelIndex betaIndex =
        list.listModel()->index(list.listModel()->rowOfName(QStringLiteral("beta")), 0);
    const QPoint onBeta = list.visualRect(betaIndex).center();
    QDragEnterEvent enter(onBeta, Qt::MoveAction, dropped.get(), Qt::LeftButton, {});
    QApplication::sendEvent(list.viewport(), &enter);
    QDragMoveEvent over(onBeta, Qt::MoveAction, dropped.get(), Qt::LeftButton, {});
    QApplication::sendEvent(list.viewport(), &over);
    EXPECT_EQ(list.dropTarget().row(), betaIndex.row());
    QDropEvent drop(QPointF(onBeta), Qt::MoveAction, dropped.get(), Qt::LeftButton, {});
    QApplication::sendEvent(list.viewport(), &drop);
    EXPECT_FALSE(list.dropTarget().isValid());
    EXPECT_TRUE(WorkbenchHarness::waitFor([&] { return QFileInfo::exists(f.path("beta/a.txt")); }));
    ASSERT_TRUE(QFile::rename(f.path("beta/a.txt"), f.path("a.txt")));

    // Onto the folder it came from: refused.
    std::unique_ptr<QMimeData> again(LocalDrag(f.root, QStringLiteral("a.txt"), false, false));
    EXPECT_EQ(list.dropOn(QModelIndex(), *again).action, LocalDropAction::Refuse);
    EXPECT_EQ(f.host.prompts.messages().last(), QStringLiteral("Can not drop to the place"));

    // Remote items: refused while not logged in, a download once logged in.
    RemoteDragData remote;
    remote.folder = "/pub";
    RemoteItem item;
    item.name = "r.txt";
    item.kind = '-';
    remote.items.push_back(item);
    QMimeData rmime;
    rmime.setData(QString::fromLatin1(kRemoteDragMimeType), EncodeRemoteDrag(remote));
    EXPECT_EQ(tree.dropOn(tree.treeModel()->closestIndex(f.path("alpha")), rmime).action,
              LocalDropAction::Refuse);
    ASSERT_TRUE(f.bench.login("211 No features\r\n", "214 OK\r\n"));
    f.bench.workbench->engine().downloadOptions.showAlert = 0;
    const int before = f.bench.workbench->session().queue().size();
    EXPECT_EQ(tree.dropOn(tree.treeModel()->closestIndex(f.path("alpha")), rmime).action,
              LocalDropAction::Download);
    EXPECT_GT(f.bench.workbench->session().queue().size(), before);
}

TEST(LocalViews, UploadTextsTargetsAndTheFileActionQuestion) {
    LocalFixture f;
    LocalTreeView tree(LocalTreeView::Kind::Normal, f.side);
    LocalListView list(f.side);
    list.followTree(&tree);
    f.side.setRemoteFolderSource([] { return QByteArray("/srv/www"); });
    ASSERT_TRUE(SelectIn(tree, f.path("beta")));
    ASSERT_TRUE(ListLoaded(list, f.path("beta")));
    SelectRows(list, {QStringLiteral("inner")});

    auto uploadItem = [](const std::vector<LocalMenuItem>& items) {
        for (const LocalMenuItem& i : items)
            if (i.id == kLocalListUpload || i.id == kLocalTreeUpload)
                return i;
        return LocalMenuItem{};
    };
    // Not logged in: the folder open remotely, disabled.
    LocalMenuItem up = uploadItem(list.menuItems());
    EXPECT_EQ(up.text, QStringLiteral("Upload to\t/srv/www"));
    EXPECT_FALSE(up.enabled);

    f.host.local = f.root;
    f.host.remote = QStringLiteral("/public_html");
    ASSERT_TRUE(f.bench.login("211 No features\r\n", "214 OK\r\n"));
    up = uploadItem(list.menuItems());
    EXPECT_EQ(up.text, QStringLiteral("Upload to\t(Remote project Folder)/beta"));
    EXPECT_TRUE(up.enabled);

    // The file-action question comes first; declining queues nothing.
    const CommandQueue& queue = f.bench.workbench->session().queue();
    f.bench.workbench->engine().uploadOptions.showAlert = 1;
    int asked = 0;
    f.side.setFileActionAsker([&](TransferDirection d, TransferAlertOptions&) {
        ++asked;
        EXPECT_EQ(d, TransferDirection::Upload);
        return false;
    });
    int before = queue.size();
    list.runCommand(kLocalListUpload);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(queue.size(), before);
    f.side.setFileActionAsker([](TransferDirection, TransferAlertOptions& o) {
        o.showAlert = 0;
        return true;
    });
    list.runCommand(kLocalListUpload);
    EXPECT_GT(queue.size(), before);
    EXPECT_EQ(f.bench.workbench->engine().uploadOptions.showAlert, 0);

    // A tree folder's text names the folder's own twin.
    ASSERT_TRUE(SelectIn(tree, f.path("beta/inner")));
    EXPECT_EQ(uploadItem(tree.menuItemsFor(tree.currentIndex())).text,
              QStringLiteral("Upload to\t(Remote project Folder)/beta/inner"));
}

TEST(LocalViews, ViewEditMenuAndKeys) {
    LocalFixture f;
    LocalTreeView tree(LocalTreeView::Kind::Normal, f.side);
    LocalListView list(f.side);
    list.followTree(&tree);
    list.resize(600, 300);
    ASSERT_TRUE(SelectIn(tree, f.root));
    ASSERT_TRUE(ListLoaded(list, f.root));

    SelectRows(list, {QStringLiteral("a.txt")});
    auto menu = list.contextMenu();
    ASSERT_TRUE(menu);
    QMenu* viewEdit = menu->actions().first()->menu();
    ASSERT_TRUE(viewEdit);
    EXPECT_TRUE(menu->actions().first()->isEnabled());
    QStringList texts;
    for (QAction* a : viewEdit->actions())
        texts << a->text();
    EXPECT_EQ(texts, (QStringList{"Editor", "Help"}));
    EXPECT_EQ(f.host.viewEditCalls.last(), QStringLiteral("0 1 ") + f.path("a.txt"));
    viewEdit->actions().last()->trigger();
    EXPECT_EQ(f.host.helpTopics.topics, QStringList{"http.htm#Add_Tools"});

    // Enter opens a folder row through the tree, Backspace goes back up.
    list.setFocus();
    list.setCurrentIndex(list.listModel()->index(list.listModel()->rowOfName("beta"), 0));
    QTest::keyClick(&list, Qt::Key_Return);
    EXPECT_TRUE(WorkbenchHarness::waitFor([&] { return tree.selectedFolder() == f.path("beta"); }));
    ASSERT_TRUE(ListLoaded(list, f.path("beta")));
    QTest::keyClick(&list, Qt::Key_Backspace);
    EXPECT_TRUE(WorkbenchHarness::waitFor([&] { return tree.selectedFolder() == f.root; }));
    ASSERT_TRUE(ListLoaded(list, f.root));
    // Up lands on the folder it came from.
    EXPECT_EQ(list.currentIndex().row(), list.listModel()->rowOfName(QStringLiteral("beta")));
    QTest::keyClick(&list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(int(list.selectedRows().size()), list.listModel()->rowCount());
    // F5 keeps the row chosen, not the folder it came from, for the next F2.
    const int a = list.listModel()->rowOfName(QStringLiteral("a.txt"));
    SelectRows(list, {QStringLiteral("a.txt")});
    list.selectionModel()->setCurrentIndex(list.listModel()->index(a, 0),
                                           QItemSelectionModel::NoUpdate);
    QTest::keyClick(&list, Qt::Key_F5);
    ASSERT_TRUE(ListLoaded(list, f.root));
    EXPECT_EQ(list.currentIndex().row(), list.listModel()->rowOfName(QStringLiteral("a.txt")));
    EXPECT_EQ(list.selectedRows(), std::vector<int>{a});
    // Delete asks.
    SelectRows(list, {QStringLiteral("a.txt")});
    f.host.prompts.expectQuestion(QStringLiteral("Delete selected file/folder?"), false);
    QTest::keyClick(&list, Qt::Key_Delete);
    EXPECT_EQ(f.host.prompts.questions().size(), 1);
}

// The menus open from the keyboard on the current row (the tree's background
// menu when its row is not selected), read from the program's root while open.
TEST(LocalViews, KeysOpenTheMenusWhereScreenReadersReadThem) {
    LocalFixture f;
    QWidget window;
    auto* tree = new LocalTreeView(LocalTreeView::Kind::Normal, f.side, &window);
    auto* list = new LocalListView(f.side, &window);
    tree->setGeometry(0, 0, 300, 300);
    list->setGeometry(300, 0, 500, 300);
    list->followTree(tree);
    window.show();
    ASSERT_TRUE(SelectIn(*tree, f.path("beta")));
    ASSERT_TRUE(SelectIn(*tree, f.root));
    ASSERT_TRUE(ListLoaded(*list, f.root));
    const QModelIndex beta = tree->treeModel()->closestIndex(f.path("beta"));
    const QStringList treeEntries{"Upload to (no Folder open) (off)",
                                  "Rename",
                                  "Delete",
                                  "Copy",
                                  "Paste (off)",
                                  "View local path",
                                  "Set as local project Folder",
                                  "Create sub-directory",
                                  "Propertiy"};
    const QStringList blankEntries{"Paste (off)", "New file"};
    const QStringList listEntries{"View/edit by", "Upload to (no Folder open) (off)",
                                  "Rename",       "Delete",
                                  "Copy",         "View local path",
                                  "Propertiy"};
    const struct {
        const char* what;
        QAbstractItemView* view;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool deselect;
        QStringList entries;
    } cases[] = {
        {"tree, Shift+F10", tree, Qt::Key_F10, Qt::ShiftModifier, false, treeEntries},
        {"tree, Menu key", tree, Qt::Key_Menu, Qt::NoModifier, false, treeEntries},
        {"tree background", tree, Qt::Key_F10, Qt::ShiftModifier, true, blankEntries},
        {"list, Shift+F10", list, Qt::Key_F10, Qt::ShiftModifier, false, listEntries},
        {"list, Menu key", list, Qt::Key_Menu, Qt::NoModifier, false, listEntries},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.view == tree) {
            tree->setCurrentIndex(beta);
            if (c.deselect)
                tree->selectionModel()->clearSelection();
        } else {
            tree->setCurrentIndex(tree->treeModel()->closestIndex(f.root));
            ASSERT_TRUE(ListLoaded(*list, f.root));
            SelectRows(*list, {QStringLiteral("b c.txt")});
            list->selectionModel()->setCurrentIndex(
                list->listModel()->index(list->listModel()->rowOfName("b c.txt"), 0),
                QItemSelectionModel::NoUpdate);
        }
        c.view->setFocus();
        const ScreenReaderMenu menu =
            ReadContextMenu([&] { QTest::keyClick(c.view, c.key, c.modifiers); });
        ASSERT_TRUE(menu.opened);
        EXPECT_TRUE(menu.listedByRoot);
        EXPECT_TRUE(menu.rootIsParent);
        EXPECT_EQ(menu.entries, c.entries);
        if (!c.deselect) {
            const QRect row = c.view->visualRect(c.view->currentIndex());
            const QRect onScreen(c.view->viewport()->mapToGlobal(row.topLeft()), row.size());
            EXPECT_TRUE(onScreen.contains(onScreen.center().x(), menu.at.y()));
        }
    }
}

// The places come above the drives, and the first start opens at home.
TEST(LocalViews, PlacesAboveTheDrivesAndTheFirstStartAtHome) {
    QTemporaryDir disk;
    const QString home = disk.filePath(QStringLiteral("home"));
    ASSERT_TRUE(QDir().mkpath(home + QStringLiteral("/Documents")));
    ASSERT_TRUE(QDir().mkpath(home + QStringLiteral("/site/www")));
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(BookmarksFilePath()).path()));
    Touch(BookmarksFilePath(), "file://" + QFile::encodeName(home) + "/site/www Web site\n");
    QStringList computer;
    QString opened;
    QString listed;
    {
        WorkbenchHarness bench;  // nothing stored yet: a first start
        ScriptedPrompter prompter;
        MainFrame::Services services;
        services.prompter = &prompter;
        MainFrame frame(*bench.workbench, services);
        LocalTreeView* tree = frame.localExplorer()->tree();
        LocalListView* list = frame.localExplorer()->list();
        const QModelIndex top = tree->treeModel()->topIndex();
        for (int r = 0; r < tree->treeModel()->rowCount(top); ++r)
            computer << tree->treeModel()->index(r, 0, top).data().toString();
        WorkbenchHarness::waitFor([&] { return !list->listModel()->isLoading(); });
        opened = tree->selectedFolder();
        listed = list->currentFolder();
    }
    QFile::remove(BookmarksFilePath());
    qputenv("HOME", oldHome);
    ASSERT_GE(computer.size(), 4);
    EXPECT_EQ(computer.mid(0, 3), (QStringList{"Home", "Documents", "Web site"}));
    EXPECT_TRUE(computer[3].endsWith(QLatin1String(")"))) << computer[3].toStdString();
    EXPECT_EQ(opened, home);
    EXPECT_EQ(listed, home);
}

TEST(LocalViews, LastLocalFolderReopensDeepFolders) {
    LocalFixture f;
    LocalTreeView tree(LocalTreeView::Kind::Normal, f.side);
    tree.setLastLocalFolder(f.path("beta/inner"));
    EXPECT_TRUE(
        WorkbenchHarness::waitFor([&] { return tree.lastLocalFolder() == f.path("beta/inner"); }));
    // A folder that went away opens its deepest existing parent.
    LocalTreeView again(LocalTreeView::Kind::Normal, f.side);
    again.setLastLocalFolder(f.path("beta/gone/deeper"));
    EXPECT_TRUE(
        WorkbenchHarness::waitFor([&] { return again.lastLocalFolder() == f.path("beta"); }));
}

TEST(LocalViews, PathBarSummaryAndEnterOnAFile) {
    LocalFixture f;
    LocalTreeView tree(LocalTreeView::Kind::Normal, f.side);
    auto* list = new LocalListView(f.side);
    list->followTree(&tree);
    LocalListPane pane(list);
    pane.resize(600, 400);
    pane.show();
    ASSERT_TRUE(SelectIn(tree, f.root));
    ASSERT_TRUE(ListLoaded(*list, f.root));
    EXPECT_EQ(pane.pathBar()->text(), f.root);
    // ".." left out; "b c.txt" holds five bytes.
    f.side.setSizeStyle(2);
    EXPECT_EQ(pane.statusLine()->text(), "3 folders, 2 files, total 6");
    // A shown file written in place (watched, it changes no folder) counts anew.
    QFile grown(f.path("a.txt"));
    ASSERT_TRUE(grown.open(QIODevice::Append));
    grown.write("1234");
    grown.close();
    EXPECT_TRUE(WorkbenchHarness::waitFor([&] {
        return pane.statusLine()->text() == "3 folders, 2 files, total 10";
    })) << pane.statusLine()->text().toStdString();
    SelectRows(*list, {QStringLiteral("b c.txt"), QStringLiteral("alpha")});
    EXPECT_EQ(pane.statusLine()->text(), "Selected: 1 folder, 1 file, total 5");

    // A typed path, relative to the folder shown, and Enter go there.
    pane.pathBar()->setText(QStringLiteral("beta/./inner/.."));
    QTest::keyClick(pane.pathBar(), Qt::Key_Return);
    ASSERT_TRUE(ListLoaded(*list, f.path("beta")));
    EXPECT_EQ(pane.pathBar()->text(), f.path("beta"));
    EXPECT_EQ(tree.selectedFolder(), f.path("beta"));
    pane.pathBar()->setText(QStringLiteral("nowhere"));
    QTest::keyClick(pane.pathBar(), Qt::Key_Return);
    EXPECT_EQ(f.host.prompts.messages().value(0), "There is no folder " + f.path("beta/nowhere"));
    EXPECT_EQ(list->currentFolder(), f.path("beta"));

    // Enter on a file opens it with the desktop's application.
    ASSERT_TRUE(SelectIn(tree, f.root));
    ASSERT_TRUE(ListLoaded(*list, f.root));
    list->setFocus();
    list->setCurrentIndex(list->listModel()->index(list->listModel()->rowOfName("a.txt"), 0));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(f.host.opened, QStringList{f.path("a.txt")});
    f.host.openable = false;
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(f.host.prompts.messages().value(1), "Can not open " + f.path("a.txt"));

    // Enter on a folder opens it with its first row current.
    list->setCurrentIndex(list->listModel()->index(list->listModel()->rowOfName("alpha"), 0));
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_TRUE(ListLoaded(*list, f.path("alpha")));
    EXPECT_EQ(list->currentIndex().row(), 0);
}

}  // namespace
