#include "platform/program_texts.h"
#include "remote/concerned_file_choice.h"
#include "remote/remote_drop_rules.h"
#include "remote/remote_list_columns.h"
#include "remote/remote_menu_rules.h"
#include "remote/remote_project_guard.h"
#include "remote/remote_rename_rule.h"
#include "support/remote_harness_util.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace RemoteMenuId;

TEST(RemoteListColumns, TypeTextByKindAndExtension) {
    struct Case {
        char kind;
        QByteArray name;
        const char* type;
    };
    const Case cases[] = {
        {'-', "index.html", "html"}, {'-', "README", ""},
        {'-', ".profile", ""},       {'-', "a.tar.gz", "gz"},
        {'-', "trailing.", ""},      {'-', "caf\xc3\xa9.t\xc3\xa9", "t\xc3\xa9"},
        {'d', "dir.d", ""},          {'l', "lib.so", "link"},
        {'b', "sda", "device b"},    {'c', "tty", "device c"},
        {'p', "fifo", "unknown"},    {'s', "sock.x", "unknown"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.constData());
        EXPECT_EQ(RemoteTypeText(remoteItem(c.kind, c.name)), QString::fromUtf8(c.type));
    }
}

TEST(RemoteListColumns, NumbersCountEachKindFromOne) {
    // Three folders, two links and five files, in list order.
    RemoteItemList list;
    for (const char* n : {"d1", "d2", "d3"})
        list.append(remoteItem('d', n));
    for (const char* n : {"l1", "l2"})
        list.append(remoteItem('l', n));
    list.append(remoteItem('b', "b1"));
    for (const char* n : {"f1", "f2", "f3", "f4", "f5"})
        list.append(remoteItem('-', n));
    list.append(remoteItem('c', "c1"));
    list.append(remoteItem('p', "p1"));
    list.append(remoteItem('s', "s1"));
    const std::vector<int> expected = {1, 2, 3, 1, 2, 1, 1, 2, 3, 4, 5, 1, 1, 2};
    EXPECT_EQ(NumberWithinKinds(list), expected);
}

TEST(RemoteListColumns, PermissionAndSizeTexts) {
    struct Case {
        char kind;
        QByteArray permissions;
        qint64 size;
        bool numeric;
        quint8 style;
        const char* permissionText;
        const char* sizeText;
    };
    const Case cases[] = {
        {'-', "rwxr-x---", 1234567, true, 2, "750", "1,234,567"},
        {'-', "rwxr-x---", 1234567, false, 0, "rwxr-x---", "1,235 k"},
        {'-', "rwsr-xr-x", 1500, true, 1, "655", "2 k"},
        {'l', "rwxrwxrwx", 11, true, 9, "777", "11"},
        {'d', "rwxr-xr-x", 4096, false, 2, "rwxr-xr-x", ""},
        {'c', "rw-rw----", 0, false, 2, "rw-rw----", ""},
        {'-', "", 0, true, 2, "000", "0"},
    };
    for (const Case& c : cases) {
        RemoteItem item = remoteItem(c.kind, "x", c.permissions);
        item.size = c.size;
        EXPECT_EQ(RemotePermissionText(item, c.numeric), QString::fromLatin1(c.permissionText));
        EXPECT_EQ(RemoteSizeText(item, c.style), QString::fromLatin1(c.sizeText));
    }
}

TEST(RemoteListColumns, DateAndOwnerTexts) {
    RemoteItem old = remoteItem('-', "a");
    old.year = 2019;
    old.month = 3;
    old.day = 7;
    RemoteItem recent = remoteItem('-', "b");
    recent.month = 11;
    recent.day = 30;
    recent.time = "09:05";
    RemoteItem mlsd = recent;
    mlsd.year = 2024;
    mlsd.time = "09:05:59";
    EXPECT_EQ(RemoteDateText(old), QStringLiteral("2019-03-07"));
    EXPECT_EQ(RemoteDateText(recent), QStringLiteral("11-30  09:05"));
    EXPECT_EQ(RemoteDateText(mlsd), QStringLiteral("2024-11-30  09:05"));
    EXPECT_EQ(RemoteDateText(remoteItem('-', "c")), QString());

    RemoteItem owned = remoteItem('-', "o");
    owned.owner = "www-data";
    owned.group = "1001";
    EXPECT_EQ(RemoteOwnerGroupText(owned), QStringLiteral("www-data/1001"));
    owned.group.clear();
    EXPECT_EQ(RemoteOwnerGroupText(owned), QStringLiteral("www-data"));
}

TEST(RemoteListColumns, WidthsCarryTheirFractions) {
    struct Case {
        int width;
        QList<int> widths;
    };
    // Weights 40, 20, 20, 30, 30, 30, 12 (sum 182).
    const Case cases[] = {
        {182, {40, 20, 20, 30, 30, 30, 12}},
        // 100 * w / 182: 21.98, 10.99, 10.99, 16.48, 16.48, 16.48, 6.59
        {100, {21, 11, 11, 17, 16, 17, 7}},
        {0, {0, 0, 0, 0, 0, 0, 0}},
        {7, {1, 1, 1, 1, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        const QList<int> widths = CarriedProportionalWidths(c.width, RemoteListColumnWeights());
        EXPECT_EQ(widths, c.widths);
        int sum = 0;
        for (int w : widths)
            sum += w;
        EXPECT_EQ(sum, c.width);
    }
    EXPECT_EQ(ListColumnsWidth(600, 15, false), 598);
    EXPECT_EQ(ListColumnsWidth(600, 15, true), 583);
    EXPECT_EQ(ListColumnsWidth(1, 15, true), 0);
}

// (id, enabled) of the visible items, separators left out.
std::vector<std::pair<int, bool>> shown(const std::vector<RemoteMenuItem>& menu) {
    std::vector<std::pair<int, bool>> out;
    for (const RemoteMenuItem& item : menu) {
        if (item.id)
            out.push_back({item.id, item.enabled});
    }
    return out;
}

TEST(RemoteMenuRules, TreeMenuByNode) {
    struct Case {
        const char* what;
        RemoteTreeMenuContext context;
        std::vector<std::pair<int, bool>> items;
    };
    RemoteTreeMenuContext folder;
    folder.hasDownloadTarget = true;
    folder.loops = {true, true, true};
    RemoteTreeMenuContext root = folder;
    root.isRoot = true;
    RemoteTreeMenuContext link = folder;
    link.kind = 'l';
    link.kindFilter.flags = 0;  // links neither downloaded nor deleted
    RemoteTreeMenuContext noTarget = folder;
    noTarget.hasDownloadTarget = false;
    noTarget.loops = {false, false, false};
    RemoteTreeMenuContext project = folder;
    project.projectPage = true;
    const Case cases[] = {
        {"folder",
         folder,
         {{kTreeDownload, true},
          {kTreeRename, true},
          {kTreeDelete, true},
          {kTreePermissions, true},
          {kTreeChangeCase, true},
          {kTreeSearch, true},
          {kTreeViewPath, true},
          {kTreeSetProject, true},
          {kTreeRefresh, true},
          {kTreeReset, true},
          {kTreeCreateFolder, true}}},
        {"root",
         root,
         {{kTreeDownload, true},
          {kTreeRename, false},
          {kTreeDelete, false},
          {kTreePermissions, true},
          {kTreeChangeCase, true},
          {kTreeSearch, true},
          {kTreeViewPath, true},
          {kTreeSetProject, false},
          {kTreeRefresh, true},
          {kTreeReset, true},
          {kTreeCreateFolder, true}}},
        {"filtered link",
         link,
         {{kTreeDownload, false},
          {kTreeRename, true},
          {kTreeDelete, false},
          {kTreePermissions, true},
          {kTreeLinkInfo, true},
          {kTreeChangeCase, true},
          {kTreeSearch, true},
          {kTreeViewPath, true},
          {kTreeSetProject, true},
          {kTreeRefresh, true},
          {kTreeReset, true},
          {kTreeCreateFolder, true}}},
        {"no local folder, loops busy",
         noTarget,
         {{kTreeDownload, false},
          {kTreeRename, true},
          {kTreeDelete, true},
          {kTreePermissions, true},
          {kTreeChangeCase, false},
          {kTreeSearch, false},
          {kTreeViewPath, true},
          {kTreeSetProject, true},
          {kTreeRefresh, true},
          {kTreeReset, true},
          {kTreeCreateFolder, true}}},
        {"project page",
         project,
         {{kTreeDownload, true},
          {kTreeRename, true},
          {kTreeDelete, true},
          {kTreePermissions, true},
          {kTreeChangeCase, true},
          {kTreeSearch, true},
          {kTreeCompare, true},
          {kTreeViewPath, true},
          {kTreeSetProject, true},
          {kTreeRefresh, true},
          {kTreeReset, true},
          {kTreeCreateFolder, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(shown(RemoteTreeMenu(c.context)), c.items);
    }
    // The loops sit under "Loop"; "Download ..." carries the rewritten text.
    RemoteTreeMenuContext texts = project;
    texts.downloadText = QStringLiteral("Download to \t/home/u");
    for (const RemoteMenuItem& item : RemoteTreeMenu(texts)) {
        const bool loop =
            item.id == kTreeCompare || item.id == kTreeSearch || item.id == kTreeChangeCase;
        EXPECT_EQ(item.submenu == QLatin1String(kLoopSubmenu), loop) << item.id;
        if (item.id == kTreeDownload) {
            EXPECT_EQ(item.text, texts.downloadText);
        }
    }
}

TEST(RemoteMenuRules, ListMenuBySelection) {
    struct Case {
        const char* what;
        RemoteListMenuContext context;
        std::vector<std::pair<int, bool>> items;
    };
    const Case cases[] = {
        {"nothing selected",
         {0, false, false, QString(), true},
         {{kListFtpWizard, false},
          {kListToolHelp, false},
          {kListDownload, false},
          {kListRename, false},
          {kListDelete, false},
          {kListPermissions, true},
          {kListViewPath, true},
          {kListConcernedFile, false}}},
        {"one file",
         {1, true, true, QString(), true},
         {{kListFtpWizard, true},
          {kListToolHelp, true},
          {kListDownload, true},
          {kListRename, true},
          {kListDelete, true},
          {kListPermissions, true},
          {kListViewPath, true},
          {kListConcernedFile, true}}},
        {"one folder, no local folder",
         {1, false, false, QString(), false},
         {{kListFtpWizard, false},
          {kListToolHelp, false},
          {kListDownload, false},
          {kListRename, true},
          {kListDelete, true},
          {kListPermissions, true},
          {kListViewPath, true},
          {kListConcernedFile, false}}},
        {"three entries",
         {3, false, false, QString(), true},
         {{kListFtpWizard, false},
          {kListToolHelp, false},
          {kListDownload, true},
          {kListRename, false},
          {kListDelete, true},
          {kListPermissions, true},
          {kListViewPath, false},
          {kListConcernedFile, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(shown(RemoteListMenu(c.context)), c.items);
    }
    EXPECT_EQ(RemoteListMenu({})[0].submenu, QLatin1String(CommonTexts::kViewEditBy));
}

TEST(RemoteMenuRules, LoopRefusals) {
    struct Case {
        RemoteLoop loop;
        bool busy, listed, empty, link;
        const char* message;  // nullptr: may start
    };
    const Case cases[] = {
        {RemoteLoop::Search, true, true, false, false,
         "Server is busy, ncan not start searching now."},
        {RemoteLoop::ChangeCase, true, false, true, false,
         "Server is busy, ncan not start changing now."},
        {RemoteLoop::Search, false, true, true, false,
         "Can not start searching in empty directory"},
        {RemoteLoop::ChangeCase, false, true, true, true, "Can not start changing in empty link"},
        {RemoteLoop::Search, false, false, true, false, nullptr},
        {RemoteLoop::Search, false, true, false, true, nullptr},
    };
    for (const Case& c : cases) {
        const auto refusal = LoopStartRefusal(c.loop, c.busy, c.listed, c.empty, c.link);
        if (c.message) {
            EXPECT_EQ(refusal.value_or(QString()), QString::fromLatin1(c.message));
        } else {
            EXPECT_FALSE(refusal.has_value());
        }
    }
    EXPECT_EQ(LinkInfoText("/usr/lib"), QStringLiteral("The link pointers to\n\n/usr/lib\n\n"));
}

TEST(RemoteProjectGuard, ContainmentAndGuards) {
    struct Case {
        const char* folder;
        const char* path;
        bool inFolder;
    };
    const Case cases[] = {
        {"/www", "/www", true},    {"/www", "/WWW/img", true}, {"/www", "/website", false},
        {"/www", "/ww", false},    {"/", "/anything", true},   {"", "/www", false},
        {"/www/", "/www/a", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsInRemoteFolder(QString::fromLatin1(c.folder), QString::fromLatin1(c.path)),
                  c.inFolder)
            << c.folder << " " << c.path;
    }
    const QString project = QStringLiteral("/www/site");
    EXPECT_EQ(RemoteDeleteRefusal(project, {QStringLiteral("/pub"), QStringLiteral("/www")}),
              QStringLiteral("Can not delete, because it is parent of project Folder."));
    EXPECT_EQ(RemoteDeleteRefusal(project, {QStringLiteral("/www/site")}).has_value(), true);
    EXPECT_FALSE(RemoteDeleteRefusal(project, {QStringLiteral("/www/site/img")}).has_value());
    EXPECT_FALSE(RemoteDeleteRefusal(QString(), {QStringLiteral("/")}).has_value());
    EXPECT_EQ(RemoteRenameRefusal(project, QStringLiteral("/WWW")),
              QStringLiteral("Can not rename, because it is parent of project Folder"));
    EXPECT_FALSE(RemoteRenameRefusal(project, QStringLiteral("/www/sites")).has_value());

    EXPECT_EQ(SetRemoteProjectStep(QString(), QStringLiteral("/a")), RemoteProjectStep::Store);
    EXPECT_EQ(SetRemoteProjectStep(QStringLiteral("/A"), QStringLiteral("/a")),
              RemoteProjectStep::Unchanged);
    EXPECT_EQ(SetRemoteProjectStep(QStringLiteral("/b"), QStringLiteral("/a")),
              RemoteProjectStep::AskFirst);
}

TEST(RemoteProjectGuard, DownloadTargetText) {
    struct Case {
        const char* localProject;
        const char* remoteProject;
        const char* remoteFolder;
        const char* openLocal;
        const char* text;
        const char* target;
    };
    const Case cases[] = {
        {"/home/u/site", "/www/site", "/www/site/img/small", "/tmp",
         "Download to \t(Local project Folder)/img/small", "/home/u/site/img/small"},
        {"/home/u/site", "/www/site", "/WWW/SITE", "/tmp", "Download to \t(Local project Folder)",
         "/home/u/site"},
        {"/home/u/site", "/www/site", "/www/sites", "/tmp", "Download to \t/tmp", "/tmp"},
        {"", "/www/site", "/www/site/img", "/tmp", "Download to \t/tmp", "/tmp"},
        // Nowhere to go, and why.
        {"", "/pub", "/pub/a", "", "Download to \t(no local project Folder)", ""},
        {"", "", "/pub", "", "Download to \t(no Folder open)", ""},
    };
    for (const Case& c : cases) {
        const TransferMenuTarget t = DownloadTargetFor(
            QString::fromLatin1(c.localProject), QString::fromLatin1(c.remoteProject),
            QString::fromLatin1(c.remoteFolder), QString::fromLatin1(c.openLocal));
        EXPECT_EQ(t.text, QString::fromLatin1(c.text));
        EXPECT_EQ(t.folder, QString::fromLatin1(c.target));
    }
    // With a backslash as the local separator the relative part turns to '\'.
    const TransferMenuTarget back =
        DownloadTargetFor("C:\\web", "/www", "/www/a/b", "C:\\", QLatin1Char('\\'));
    EXPECT_EQ(back.text, QStringLiteral("Download to \t(Local project Folder)\\a\\b"));
    EXPECT_EQ(back.folder, QStringLiteral("C:\\web\\a\\b"));
}

TEST(RemoteDropRules, TreeDrops) {
    struct Case {
        const char* what;
        RemoteDragData drag;
        bool fromTree;
        QByteArray target;
        bool guarded;
        RemoteDropDecision::Action action;
    };
    const RemoteDragData node{"/a", {remoteItem('d', "b")}};
    const RemoteDragData files{"/src", {remoteItem('-', "x"), remoteItem('-', "y")}};
    const RemoteDragData withFolder{"/src", {remoteItem('-', "x"), remoteItem('d', "sub")}};
    const RemoteDragData project{"/", {remoteItem('d', "www")}};
    const Case cases[] = {
        {"node onto itself", node, true, "/a/b", true, RemoteDropDecision::Refuse},
        {"node onto its child", node, true, "/a/b/c", true, RemoteDropDecision::Refuse},
        {"node onto a sibling", node, true, "/a/bb", true, RemoteDropDecision::Move},
        {"node onto its parent", node, true, "/a", true, RemoteDropDecision::Nothing},
        {"files to another folder", files, false, "/dst", true, RemoteDropDecision::Move},
        {"files onto their own folder", files, false, "/src", true, RemoteDropDecision::Nothing},
        {"folder into itself", withFolder, false, "/src/sub", true, RemoteDropDecision::Refuse},
        {"project parent, normal page", project, false, "/pub", true, RemoteDropDecision::Refuse},
        {"project parent, project page", project, false, "/pub", false, RemoteDropDecision::Move},
        {"nothing dragged", RemoteDragData{"/src", {}}, false, "/dst", true,
         RemoteDropDecision::Nothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const RemoteDropDecision d =
            DecideRemoteTreeDrop(c.drag, c.fromTree, c.target, c.guarded, "/www/site");
        EXPECT_EQ(d.action, c.action);
        if (c.action == RemoteDropDecision::Refuse) {
            EXPECT_EQ(d.message, QStringLiteral("Can not drop to the place"));
        }
    }
}

TEST(RemoteDropRules, DesktopDropsGroupByFolderAndRoute) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QDir(dir.path()).mkpath(QStringLiteral("a/sub"));
    QDir(dir.path()).mkpath(QStringLiteral("b"));
    for (const char* name : {"a/one.txt", "b/two.bin"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("12345");
    }
    QStringList missing;
    const auto records =
        UploadRecordsFromPaths({dir.filePath("a/one.txt"), dir.filePath("b/two.bin"),
                                dir.filePath("a/sub"), dir.filePath("gone.txt")},
                               &missing);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].path, QDir::cleanPath(dir.filePath("a")));
    ASSERT_EQ(records[0].items.size(), 2u);
    EXPECT_EQ(records[0].items[0].name, QStringLiteral("one.txt"));
    EXPECT_EQ(records[0].items[0].size, 5);
    EXPECT_TRUE(records[0].items[1].isFolder);
    EXPECT_EQ(records[1].items[0].name, QStringLiteral("two.bin"));
    EXPECT_EQ(missing, QStringList{dir.filePath("gone.txt")});

    struct Case {
        QByteArray project, target;
        bool inProject;
        QByteArray relative;
    };
    const Case cases[] = {
        {"/www/site", "/www/site/img/small", true, "img/small"},
        {"/www/site", "/www/site", true, ""},
        {"/www/site", "/www/sites", false, ""},
        {"", "/www/site", false, ""},
    };
    for (const Case& c : cases) {
        const RemoteUploadRoute route = UploadRouteFor(c.project, c.target);
        EXPECT_EQ(route.inProject, c.inProject) << c.target.constData();
        EXPECT_EQ(route.relativePath, c.relative);
    }
}

TEST(RemoteDropRules, WhereADropLands) {
    using S = RemoteDropSource;
    EXPECT_EQ(RemoteDropSourceOf(true, true), S::RemoteItems);
    EXPECT_EQ(RemoteDropSourceOf(false, true), S::LocalFiles);
    EXPECT_EQ(RemoteDropSourceOf(false, false), S::Other);

    struct TreeCase {
        S source;
        QByteArray node, root, folder;
    };
    const TreeCase tree[] = {
        {S::RemoteItems, "/www/img", "/", "/www/img"},
        {S::RemoteItems, "", "/", ""},  // the blank: remote entries go nowhere
        {S::LocalFiles, "/www/img", "/", "/www/img"},
        {S::LocalFiles, "", "/home", "/home"},
        {S::LocalFiles, "", "", ""},  // no root yet
        {S::Other, "/www", "/", ""},
    };
    for (const TreeCase& c : tree) {
        EXPECT_EQ(RemoteTreeDropFolder(c.source, c.node, c.root), c.folder)
            << int(c.source) << ' ' << c.node.constData();
    }

    auto item = [](char kind, const char* name) {
        RemoteItem i;
        i.kind = kind;
        i.name = name;
        return i;
    };
    const RemoteItem folder = item('d', "img");
    const RemoteItem file = item('-', "a.htm");
    const RemoteItem parent = item('d', "..");
    struct ListCase {
        S source;
        QByteArray shown;
        const RemoteItem* row;
        QByteArray folder;
    };
    const ListCase list[] = {
        {S::LocalFiles, "/www", &folder, "/www/img"},
        {S::LocalFiles, "/www", &file, "/www"},
        {S::LocalFiles, "/www", nullptr, "/www"},
        {S::LocalFiles, "/www/sub", &parent, "/www"},
        {S::LocalFiles, "", nullptr, ""},  // nothing shown
        // The server's entries move onto a folder row only.
        {S::RemoteItems, "/www", &folder, "/www/img"},
        {S::RemoteItems, "/www/sub", &parent, "/www"},
        {S::RemoteItems, "/www", &file, ""},
        {S::RemoteItems, "/www", nullptr, ""},
        {S::Other, "/www", &folder, ""},
    };
    for (const ListCase& c : list) {
        EXPECT_EQ(RemoteListDropFolder(c.source, c.shown, c.row), c.folder)
            << int(c.source) << ' ' << c.shown.constData();
    }
}

TEST(RemoteMenuRules, ConcernedFileChoice) {
    auto item = [](char kind, const char* name) {
        RemoteItem i;
        i.kind = kind;
        i.name = name;
        return i;
    };
    const QString ask = QString::fromLatin1(kReplaceConcernedQuestion);
    struct Case {
        std::vector<RemoteItem> chosen;
        QString current;
        ConcernedFileChoice choice;
    };
    const Case cases[] = {
        {{item('-', "a.htm")}, "", {"/www/a.htm", ""}},
        {{item('-', "a.htm")}, "/www/b.htm", {"/www/a.htm", ask}},
        {{item('-', "a.htm")}, "/www/a.htm", {}},
        {{item('d', "img")}, "", {}},
        {{item('-', "a.htm"), item('-', "b.htm")}, "", {}},
        {{}, "", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseConcernedFile("/www", c.chosen, c.current), c.choice)
            << c.chosen.size() << ' ' << c.current.toStdString();
    }
}

TEST(RemoteRenameRule, WhatIsSent) {
    struct Case {
        QByteArray oldName;
        QString edited;
        std::optional<QByteArray> sent;
    };
    const Case cases[] = {
        {"a.txt", "b.txt", QByteArray("b.txt")},
        {"a.txt", "a.txt", std::nullopt},
        {"a.txt", "A.txt", QByteArray("A.txt")},
        {"a.txt", "", std::nullopt},
        {"a.txt", ".", std::nullopt},
        {"a.txt", "..", std::nullopt},
        {"a.txt", "x/y", std::nullopt},
        {"a.txt", "new\nline", std::nullopt},
        {"a.txt", " blank name ", QByteArray(" blank name ")},
        {"a.txt", QString::fromUtf8("caf\xc3\xa9"), QByteArray("caf\xc3\xa9")},
        // Invalid UTF-8 shows with replacement characters; unedited, nothing goes.
        {"bad\xff", QString::fromUtf8("bad\xff"), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edited.toStdString());
        EXPECT_EQ(RenameTarget(c.oldName, c.edited), c.sent);
    }
}

}  // namespace
