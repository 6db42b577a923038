#include "workspace/folder_compare.h"
#include "support/qt_printers.h"
#include "workspace/compare_tree.h"
#include "workspace/loop_row_texts.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <unistd.h>

namespace {

LocalCompareEntry file(const char* name, qint64 size, bool hidden = false) {
    return {QString::fromUtf8(name), false, size, hidden, false};
}
LocalCompareEntry folder(const char* name) {
    return {QString::fromUtf8(name), true, 0, false, false};
}

RemoteItemList remote(std::initializer_list<std::tuple<const char*, char, qint64>> entries) {
    RemoteItemList list;
    for (const auto& [name, kind, size] : entries) {
        RemoteItem item;
        item.name = name;
        item.kind = kind;
        item.size = size;
        list.append(item);
    }
    return list;
}

// "L/R name" per item: L local kind (d, f or .), R remote kind or '.'.
QStringList describe(const std::vector<CompareItem>& items) {
    QStringList out;
    for (const CompareItem& i : items) {
        const QChar l = !i.isLocal() ? '.' : (i.isLocalFolder() ? 'd' : 'f');
        const QChar r = !i.isRemote() ? '.' : QChar(i.remoteKind);
        QString text = QStringLiteral("%1%2 %3").arg(l).arg(r).arg(i.name());
        if (i.isLocal() && i.isRemote() && i.localName != QString::fromUtf8(i.remoteName))
            text += QStringLiteral(" (here ") + i.localName + QLatin1Char(')');
        out << text;
    }
    return out;
}

constexpr quint8 kSize = CompareOptions::FileSize;
constexpr quint8 kCase = CompareOptions::CaseSensitive;
constexpr quint8 kHidden = CompareOptions::IgnoreHidden;

}  // namespace

TEST(FolderComparison, EdgeCasesOfOneFolder) {
    struct Case {
        const char* what;
        std::vector<LocalCompareEntry> local;
        RemoteItemList remote;
        quint8 options;
        QStringList expected;
    };
    const Case cases[] = {
        {"case ignored: one item with the server's spelling",
         {file("Index.HTML", 5)},
         remote({{"index.html", '-', 5}}),
         0,
         {}},
        {"case ignored, sizes differ: listed once, server's spelling",
         {file("Index.HTML", 5)},
         remote({{"index.html", '-', 6}}),
         kSize,
         {"f- index.html (here Index.HTML)"}},
        {"case kept: two items",
         {file("Index.HTML", 5)},
         remote({{"index.html", '-', 5}}),
         kCase,
         {"f. Index.HTML", ".- index.html"}},
        {"server holds names differing only in case, case ignored: the exact one pairs",
         {file("index.html", 5)},
         remote({{"Index.html", '-', 5}, {"index.html", '-', 5}}),
         0,
         {".- Index.html"}},
        {"server holds names differing only in case, case kept: the exact one pairs",
         {file("index.html", 5)},
         remote({{"Index.html", '-', 5}, {"index.html", '-', 5}}),
         kCase,
         {".- Index.html"}},
        {"case ignored: an earlier local name equal but for case never takes the exact pair",
         {file("A.TXT", 2), file("a.txt", 1)},
         remote({{"a.txt", '-', 2}}),
         kSize,
         {"f- a.txt", "f. A.TXT"}},
        {"case ignored: folders pair by exact spelling first, the rest case-blind",
         {folder("Img"), folder("img")},
         remote({{"img", 'd', 0}, {"IMG", 'd', 0}}),
         0,
         {"dd IMG (here Img)", "dd img"}},
        {"sizes not compared: same name never listed",
         {file("a.txt", 1)},
         remote({{"a.txt", '-', 999}}),
         0,
         {}},
        {"local folder facing a remote file is listed",
         {folder("img")},
         remote({{"img", '-', 3}}),
         kSize,
         {"d- img"}},
        {"local file facing a remote folder is listed",
         {file("img", 3)},
         remote({{"img", 'd', 0}}),
         0,
         {"fd img"}},
        {"local folder facing a remote folder is listed (a folder to walk)",
         {folder("img")},
         remote({{"img", 'd', 0}}),
         0,
         {"dd img"}},
        {"hidden local-only ignored", {file(".secret", 3, true)}, remote({}), kHidden, {}},
        {"hidden on both sides still goes by the size rule",
         {file(".htaccess", 3, true)},
         remote({{".htaccess", '-', 4}}),
         kHidden | kSize,
         {"f- .htaccess"}},
        {"ignore options do not touch remote entries",
         {},
         remote({{".remote", '-', 1}}),
         kHidden,
         {".- .remote"}},
        {"order: local folders, local files, remote-only; remote key; name without case",
         {file("b.txt", 1), folder("Zeta"), file("A.txt", 1), folder("alpha")},
         remote({{"c.txt", '-', 1},
                 {"link", 'l', 0},
                 {"sub", 'd', 0},
                 {"dev", 'c', 0},
                 {"alpha", 'l', 0}}),
         0,
         {"dl alpha", "d. Zeta", "f. A.txt", "f. b.txt", ".d sub", ".l link", ".c dev",
          ".- c.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(describe(CompareEntries(c.local, c.remote, c.options)), c.expected);
    }
}

TEST(FolderComparison, SortsLargeFoldersQuickly) {
    // 20000 items would take minutes with an exchange sort.
    std::vector<LocalCompareEntry> local;
    RemoteItemList list;
    for (int i = 0; i < 20000; ++i) {
        local.push_back({QStringLiteral("f%1").arg(19999 - i), false, i, false, false});
        RemoteItem r;
        r.name = QStringLiteral("r%1").arg(i).toUtf8();
        r.kind = '-';
        list.append(r);
    }
    const std::vector<CompareItem> items = CompareEntries(local, list, 0);
    ASSERT_EQ(items.size(), 40000u);
    EXPECT_EQ(items.front().name(), QStringLiteral("f0"));
    EXPECT_EQ(items[20000].name(), QStringLiteral("r0"));
}

TEST(FolderComparison, ReadsTheDiskAndGivesNothingForAnUnreadableFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath("sub"));
    QFile f(dir.filePath(".hidden"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("abc");
    f.close();
    // A download stopped short leaves its data beside the file; it is no project file.
    QFile part(dir.filePath(".other.velmora-part"));
    ASSERT_TRUE(part.open(QIODevice::WriteOnly));
    part.close();
    const RemoteItemList listing = remote({{"other", '-', 1}});
    FolderCompareResult r = CompareFolder(dir.path(), listing, kSize);
    ASSERT_TRUE(r.localReadable);
    EXPECT_EQ(describe(r.items), (QStringList{"d. sub", "f. .hidden", ".- other"}));
    EXPECT_TRUE(r.items[1].flags & CompareItem::LocalHidden);
    EXPECT_EQ(r.items[1].localSize, 3);

    // A file where the folder should be cannot be enumerated either.
    r = CompareFolder(dir.filePath(".hidden"), listing, kSize);
    EXPECT_FALSE(r.localReadable);
    EXPECT_TRUE(r.items.empty()) << "not even the remote entries";
    if (::geteuid() != 0) {
        ASSERT_TRUE(QFile::setPermissions(dir.filePath("sub"), QFileDevice::WriteOwner));
        r = CompareFolder(dir.filePath("sub"), listing, kSize);
        QFile::setPermissions(dir.filePath("sub"), QFileDevice::ReadOwner |
                                                       QFileDevice::WriteOwner |
                                                       QFileDevice::ExeOwner);
        EXPECT_FALSE(r.localReadable);
        EXPECT_TRUE(r.items.empty());
    }
    EXPECT_FALSE(CompareFolder(dir.filePath("missing"), listing, kSize).localReadable);
}

TEST(CompareResultTree, FoldersWithoutDifferencesVanishAtTheEnd) {
    auto common = [](const char* name) {
        CompareItem i;
        i.flags = CompareItem::Local | CompareItem::Remote | CompareItem::LocalFolder;
        i.localName = QString::fromUtf8(name);
        i.remoteName = name;
        i.remoteKind = 'd';
        return i;
    };
    CompareItem localOnly;
    localOnly.flags = CompareItem::Local;
    localOnly.localName = QStringLiteral("new.html");

    CompareTree tree;
    ASSERT_TRUE(tree.add({"", {common("a"), common("b")}}));
    ASSERT_TRUE(tree.add({"a", {common("deep")}}));
    ASSERT_TRUE(tree.add({"a/deep", {}}));
    ASSERT_TRUE(tree.add({"b", {common("c"), localOnly}}));
    ASSERT_TRUE(tree.add({"b/c", {}}));
    EXPECT_FALSE(tree.add({"missing/x", {localOnly}}));

    std::vector<CompareNode*> prune = tree.nodesToPrune(true);
    QStringList paths;
    for (CompareNode* n : prune)
        paths << QString::fromUtf8(CompareTree::pathOf(n));
    EXPECT_EQ(paths, (QStringList{"a", "b/c"}));
    for (CompareNode* n : prune)
        tree.remove(n);
    const auto diffs = tree.differences(true);
    ASSERT_EQ(diffs.size(), 1u);
    EXPECT_EQ(CompareTree::pathOf(diffs[0]), QByteArray("b/new.html"));

    // Without sub-folders the root's common folders go, whatever they hold.
    CompareTree flat;
    ASSERT_TRUE(flat.add({"", {common("a"), localOnly}}));
    ASSERT_EQ(flat.nodesToPrune(false).size(), 1u);
    EXPECT_EQ(flat.nodesToPrune(false)[0]->item.name(), QStringLiteral("a"));
}

TEST(CompareResultTree, PropertiesText) {
    CompareItem both;
    both.flags = CompareItem::Local | CompareItem::Remote | CompareItem::LocalHidden;
    both.localName = QStringLiteral(".htaccess");
    both.localSize = 1234;
    both.remoteName = ".htaccess";
    both.remoteKind = '-';
    both.remoteSize = 1234567;
    EXPECT_EQ(CompareItemProperties(both, "sub/.htaccess", "www/sub/.htaccess").toStdString(),
              "To compring from\tsub/.htaccess\n"
              "To project root\twww/sub/.htaccess\n"
              "\n----------------------------------------------\n"
              "Local item:\t.htaccess\nType:\t\tFile (hidden)\nFile size:\t\t1,234 (bytes)\n"
              "\n----------------------------------------------\n"
              "Remote item:\t.htaccess\nType:\t\tFile\nFile size\t\t1,234,567 (bytes)\n");
    CompareItem remoteOnly;
    remoteOnly.flags = CompareItem::Remote;
    remoteOnly.remoteName = "dev";
    remoteOnly.remoteKind = 'c';
    EXPECT_TRUE(CompareItemProperties(remoteOnly, "dev", "dev")
                    .endsWith("Local item:\tdoean't exist\n"
                              "\n----------------------------------------------\n"
                              "Remote item:\tdev\nType:\t\tDevice C\n"));
}

TEST(CompareResultTree, ImageIndexes) {
    CompareItem i;
    i.flags = CompareItem::Local | CompareItem::Remote | CompareItem::LocalFolder;
    i.remoteKind = 'l';
    EXPECT_EQ(CompareItemImage(i), 14 + 6 * 1 + 2);
    i.flags = CompareItem::Local | CompareItem::LocalHidden;
    EXPECT_EQ(CompareItemImage(i), 4 + 2);
    i.flags = CompareItem::Remote;
    i.remoteKind = 'c';
    EXPECT_EQ(CompareItemImage(i), 8 + 4);
}

TEST(CompareResultTree, MenuCommandsActOnlyWhereTheItemExists) {
    struct Case {
        const char* what;
        CompareItem item;
        CompareItemCommands expected;  // upload, download, deleteLocal, deleteRemote, view
    };
    auto make = [](quint8 flags, char kind, const char* remoteName = "x") {
        CompareItem i;
        i.flags = flags;
        i.localName = QStringLiteral("x");
        i.remoteName = remoteName;
        i.remoteKind = kind;
        return i;
    };
    constexpr quint8 L = CompareItem::Local, R = CompareItem::Remote, F = CompareItem::LocalFolder;
    const Case cases[] = {
        {"local-only file", make(L, 0), {true, false, true, false, true, true}},
        {"remote-only file", make(R, '-'), {false, true, false, true, true, true}},
        {"files of different sizes", make(L | R, '-'), {true, true, false, false, true, true}},
        {"local folder, remote file",
         make(L | R | F, '-'),
         {false, false, false, false, true, true}},
        {"local file, remote folder", make(L | R, 'd'), {false, false, false, false, true, true}},
        {"remote-only link", make(R, 'l'), {false, false, false, false, false, true}},
        {"local-only folder", make(L | F, 0), {true, false, false, false, false, true}},
        {"remote-only folder", make(R, 'd'), {false, true, false, false, false, true}},
        {"folders on both sides", make(L | R | F, 'd'), {false, false, false, false, false, true}},
        {"remote folder that is no local name",
         make(R, 'd', ".."),
         {false, false, false, false, false, true}},
        {"remote name that is no local name",
         make(R, '-', ".."),
         {false, false, false, false, false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CompareTree tree;
        ASSERT_TRUE(tree.add({"", {c.item}}));
        const CompareItemCommands got = CompareCommandsFor(tree.root()->children[0].get());
        EXPECT_EQ(got.upload, c.expected.upload);
        EXPECT_EQ(got.download, c.expected.download);
        EXPECT_EQ(got.deleteLocal, c.expected.deleteLocal);
        EXPECT_EQ(got.deleteRemote, c.expected.deleteRemote);
        EXPECT_EQ(got.view, c.expected.view);
    }
}

TEST(FolderComparison, DatesTellWhichSideChangedLater) {
    // Local file times; the server's file was listed at 2024-05-06 07:08 (LIST,
    // the minute only) or 07:08:30 (MLSD).
    const QDateTime listed(QDate(2024, 5, 6), QTime(7, 8, 30), QTimeZone::utc());
    struct Case {
        const char* what;
        bool mlsd;
        qint64 localShift;  // from 07:08:30
        CompareItem::Newer newer;
    };
    const Case cases[] = {
        {"the same second", true, 0, CompareItem::Newer::Neither},
        {"two seconds apart count as the same", true, 2, CompareItem::Newer::Neither},
        {"three seconds later here", true, 3, CompareItem::Newer::Local},
        {"three seconds later there", true, -3, CompareItem::Newer::Server},
        {"anywhere in the listed minute", false, 29 + 2, CompareItem::Newer::Neither},
        {"past the listed minute", false, 29 + 3, CompareItem::Newer::Local},
        {"before it", false, -30 - 3, CompareItem::Newer::Server},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RemoteItem r;
        r.kind = '-';
        r.name = "page.html";
        r.size = 7;
        r.year = 2024;
        r.month = 5;
        r.day = 6;
        r.time = c.mlsd ? "07:08:30" : "07:08";
        RemoteItemList list;
        list.append(r);
        LocalCompareEntry local = file("page.html", 7);
        local.modified = listed.toSecsSinceEpoch() + c.localShift;
        DateJudge dates;
        dates.enabled = true;
        dates.mlsd = c.mlsd;
        const std::vector<CompareItem> items = CompareEntries({local}, list, kSize, dates);
        if (c.newer == CompareItem::Newer::Neither) {
            EXPECT_TRUE(items.empty());
            continue;
        }
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(items[0].newer, c.newer);
        EXPECT_EQ(items[0].localTime, local.modified);
        // Without dates the same pair is no difference.
        EXPECT_TRUE(CompareEntries({local}, list, kSize).empty());
    }
}

TEST(FolderCompare, EachItemSaysWhereItStandsInWords) {
    struct Case {
        quint8 flags;
        char remoteKind;
        const char* text;
    };
    const Case cases[] = {
        {CompareItem::Local, 0, "local only"},
        {CompareItem::Local | CompareItem::LocalFolder, 0, "local only"},
        {CompareItem::Remote, '-', "server only"},
        {CompareItem::Local | CompareItem::Remote, '-', "sizes differ"},
        {CompareItem::Local | CompareItem::Remote, 'l', "kinds differ"},
        {CompareItem::Local | CompareItem::Remote | CompareItem::LocalFolder, '-', "kinds differ"},
        {CompareItem::Local | CompareItem::Remote | CompareItem::LocalFolder, 'd',
         "folder on both sides"},
    };
    for (const Case& c : cases) {
        CompareItem item;
        item.flags = c.flags;
        item.remoteKind = c.remoteKind;
        EXPECT_EQ(CompareSideText(item), QString::fromLatin1(c.text)) << c.text;
    }
    // Files of the same size told apart by their dates.
    for (const auto& [newer, text] : {std::pair{CompareItem::Newer::Local, "newer here"},
                                      {CompareItem::Newer::Server, "newer on the server"}}) {
        CompareItem item;
        item.flags = CompareItem::Local | CompareItem::Remote;
        item.remoteKind = '-';
        item.newer = newer;
        EXPECT_EQ(CompareSideText(item), QString::fromLatin1(text));
    }
}
