#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "platform/format.h"
#include "platform/program_texts.h"
#include "workspace/local_drag_data.h"
#include "workspace/local_drop_rules.h"
#include "workspace/local_file_operations.h"
#include "workspace/local_list_columns.h"
#include "workspace/local_list_rows.h"
#include "workspace/local_menu_rules.h"
#include "workspace/local_path_input.h"
#include "workspace/local_upload_plan.h"

namespace {

TEST(LocalListColumnsTest, WidthsCarryFractionsAndFillTheWidth) {
    struct Case {
        int width;
        QList<int> expected;
    };
    const Case cases[] = {
        // 80/40/35/80/24 of 261: the fractions of Size and Type carry into
        // Type and No. (plain truncation would give 80,40,35,80,26).
        {261, {80, 40, 36, 80, 25}}, {518, {160, 80, 70, 160, 48}}, {100, {30, 16, 13, 31, 10}},
        {0, {0, 0, 0, 0, 0}},        {-5, {0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const QList<int> widths = CarriedColumnWidths(c.width, LocalListWeights());
        EXPECT_EQ(widths, c.expected) << c.width;
        int sum = 0;
        for (int w : widths)
            sum += w;
        EXPECT_EQ(sum, qMax(0, c.width));
    }
    EXPECT_EQ(CarriedColumnWidths(50, {0, 0}), (QList<int>{0, 50}));
    EXPECT_EQ(CarriedColumnWidths(10, {1, 1, 1}), (QList<int>{3, 3, 4}));
}

LocalEntry Entry(const char* name, bool folder, qint64 size = 0) {
    LocalEntry e;
    e.name = QString::fromUtf8(name);
    e.kind = folder ? QLatin1Char('d') : QLatin1Char('-');
    e.size = size;
    e.modified = QDateTime(QDate(2024, 3, 5), QTime(7, 9, 30));
    return e;
}

TEST(LocalListRowsTest, ParentFirstThenFoldersThenFilesEachNumberedFromOne) {
    const std::vector<LocalEntry> entries = {
        Entry("b.TXT", false, 1500),    Entry("Zeta", true),
        Entry("README", false, 5),      Entry("a.tar.gz", false, 999),
        Entry(".htaccess", false, 0),   Entry("alpha", true),
        Entry("名前 with blank", true), Entry("Photo.JPG", false, 1234567),
    };
    const std::vector<LocalListRow> rows = BuildFolderRows(entries);
    struct Expect {
        LocalRowKind kind;
        const char* name;
        const char* type;
        const char* number;
        const char* size;  // long style
    };
    const Expect expected[] = {
        {LocalRowKind::Parent, "..", "", "", ""},
        {LocalRowKind::Folder, "alpha", "", "1", ""},
        {LocalRowKind::Folder, "Zeta", "", "2", ""},
        {LocalRowKind::Folder, "名前 with blank", "", "3", ""},
        {LocalRowKind::File, ".htaccess", "", "1", "0 b"},
        {LocalRowKind::File, "a.tar.gz", "gz", "2", "999 b"},
        {LocalRowKind::File, "b.TXT", "TXT", "3", "1,500 b"},
        {LocalRowKind::File, "Photo.JPG", "JPG", "4", "1,235 k"},
        {LocalRowKind::File, "README", "", "5", "5 b"},
    };
    ASSERT_EQ(rows.size(), std::size(expected));
    for (size_t i = 0; i < rows.size(); ++i) {
        const Expect& e = expected[i];
        EXPECT_EQ(rows[i].kind, e.kind) << i;
        EXPECT_EQ(rows[i].name, QString::fromUtf8(e.name)) << i;
        EXPECT_EQ(rows[i].typeText, QString::fromUtf8(e.type)) << i;
        EXPECT_EQ(LocalNumberText(rows[i]), QString::fromUtf8(e.number)) << i;
        EXPECT_EQ(LocalSizeText(rows[i], 0), QString::fromUtf8(e.size)) << i;
    }
    EXPECT_EQ(LocalSizeText(rows[7], 1), QStringLiteral("1 m"));
    EXPECT_EQ(LocalSizeText(rows[7], 2), QStringLiteral("1,234,567"));
    EXPECT_EQ(FormatLocalTime(rows[1].modified), QStringLiteral("2024-03-05  07:09"));

    const std::vector<LocalListRow> empty = BuildFolderRows({});
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_EQ(empty[0].kind, LocalRowKind::Parent);
}

TEST(LocalListRowsTest, DrivesAreNumberedWithTheDriverType) {
    const std::vector<Drive> drives = {
        {QStringLiteral("/"), QStringLiteral("Harddisk"), DriveType::Fixed},
        {QStringLiteral("/proc"), QString(), DriveType::NoDrive},
        {QStringLiteral("/media/usb"), QStringLiteral("STICK"), DriveType::Removable},
    };
    const std::vector<LocalListRow> rows = BuildDriveRows(drives);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].text, QStringLiteral("Harddisk (/)"));
    EXPECT_EQ(rows[1].text, QStringLiteral("STICK (/media/usb)"));
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].typeText, QStringLiteral("Driver"));
        EXPECT_EQ(LocalNumberText(rows[i]), QString::number(i + 1));
        EXPECT_EQ(LocalSizeText(rows[i], 0), QString());
    }
}

TEST(LocalListRowsTest, PlacesComeBeforeTheDrivesEachGroupNumberedOnItsOwn) {
    const std::vector<LocalListRow> rows = BuildDriveRows(
        {{QStringLiteral("/"), QStringLiteral("Harddisk"), DriveType::Fixed}},
        {{QStringLiteral("/home/u"), QStringLiteral("Home"), PlaceKind::Home},
         {QStringLiteral("/home/u/My Site"), QStringLiteral("Site"), PlaceKind::Bookmark}});
    QStringList shown;
    for (const LocalListRow& r : rows) {
        shown << QStringLiteral("%1|%2|%3|%4|%5")
                     .arg(int(r.kind))
                     .arg(r.name, r.text, r.typeText, LocalNumberText(r));
        EXPECT_TRUE(r.isFolderLike());
    }
    EXPECT_EQ(shown, (QStringList{"1|/home/u|Home|Folder|1", "1|/home/u/My Site|Site|Folder|2",
                                  "0|/|Harddisk (/)|Driver|1"}));
}

// One menu as "id:enabled" words, in order.
QString Describe(const std::vector<LocalMenuItem>& items) {
    QStringList words;
    for (const LocalMenuItem& item : items) {
        words << QStringLiteral("%1:%2").arg(item.id).arg(item.enabled ? 1 : 0);
    }
    return words.join(QLatin1Char(' '));
}

TEST(LocalMenuRulesTest, TreeMenuByNodeAndTree) {
    struct Case {
        LocalTreeNodeKind node;
        bool projectTree, projectRoot, paste, canUpload;
        const char* expected;
    };
    const Case cases[] = {
        {LocalTreeNodeKind::Computer, false, false, true, true, ""},
        {LocalTreeNodeKind::Folder, false, false, false, true,
         "32802:1 32798:1 32800:1 34228:1 34229:0 32804:1 33939:1 32801:1 32799:1"},
        {LocalTreeNodeKind::Folder, false, false, true, false,
         "32802:0 32798:1 32800:1 34228:1 34229:1 32804:1 33939:1 32801:1 32799:1"},
        {LocalTreeNodeKind::Drive, false, false, true, true,
         "32802:0 32798:0 32800:0 34228:0 34229:1 32804:1 33939:0 32801:1 32799:1"},
        // A place is used as its folder, renamed and deleted where it lives.
        {LocalTreeNodeKind::Place, false, false, false, true,
         "32802:1 32798:0 32800:0 34228:1 34229:0 32804:1 33939:1 32801:1 32799:1"},
        // The project tree has no "Set as local project Folder".
        {LocalTreeNodeKind::Folder, true, false, false, true,
         "32802:1 32798:1 32800:1 34228:1 34229:0 32804:1 32801:1 32799:1"},
        // Its root, the project folder, is neither renamed nor deleted there.
        {LocalTreeNodeKind::Folder, true, true, false, true,
         "32802:1 32798:0 32800:0 34228:1 34229:0 32804:1 32801:1 32799:1"},
    };
    for (const Case& c : cases) {
        LocalTreeMenuInput in;
        in.node = c.node;
        in.projectTree = c.projectTree;
        in.projectRoot = c.projectRoot;
        in.pasteAvailable = c.paste;
        in.canUpload = c.canUpload;
        in.upload.text = QStringLiteral("Upload to\t/www");
        const auto items = LocalTreeMenu(in);
        EXPECT_EQ(Describe(items), QString::fromLatin1(c.expected));
        if (!items.empty()) {
            EXPECT_EQ(items.front().text, QStringLiteral("Upload to\t/www"));
            EXPECT_EQ(items.back().text, QStringLiteral("Propertiy"));
        }
    }
}

TEST(LocalMenuRulesTest, ListMenuBySelection) {
    using K = LocalRowKind;
    struct Case {
        std::vector<LocalRowKind> selected;
        bool plainFile, canUpload;
        const char* expected;
    };
    const Case cases[] = {
        {{}, false, true, ""},
        {{K::File}, true, true, "-1:1 32807:1 32805:1 32806:1 34230:1 32809:1 32808:1"},
        {{K::File}, false, true, "-1:0 32807:1 32805:1 32806:1 34230:1 32809:1 32808:1"},
        {{K::Folder}, false, false, "-1:0 32807:0 32805:1 32806:1 34230:1 32809:1 32808:1"},
        // More than one row: no rename, path or properties.
        {{K::Folder, K::File}, false, true, "-1:0 32807:1 32805:0 32806:1 34230:1 32809:0 32808:0"},
        {{K::Parent}, false, true, "-1:0 32807:0 32805:0 32806:0 34230:0 32809:0 32808:0"},
        {{K::Parent, K::File}, false, true, "-1:0 32807:0 32805:0 32806:0 34230:0 32809:0 32808:0"},
        {{K::Drive}, false, true, "-1:0 32807:0 32805:0 32806:0 34230:0 32809:1 32808:1"},
        {{K::Place}, false, true, "-1:0 32807:0 32805:0 32806:0 34230:0 32809:1 32808:1"},
    };
    for (const Case& c : cases) {
        LocalListMenuInput in;
        in.selected = c.selected;
        in.singlePlainFile = c.plainFile;
        in.canUpload = c.canUpload;
        EXPECT_EQ(Describe(LocalListMenu(in)), QString::fromLatin1(c.expected));
    }
    EXPECT_EQ(Describe(LocalTreeBlankMenu(true, true)), QStringLiteral("34232:1 34233:1"));
    EXPECT_EQ(Describe(LocalTreeBlankMenu(true, false)), QStringLiteral("34232:0 34233:1"));
    EXPECT_EQ(Describe(LocalTreeBlankMenu(false, true)), QStringLiteral("34232:0 34233:0"));
}

TEST(LocalDropRulesTest, MovesRefusalsAndDownloads) {
    const QString child = QString::fromLatin1(LocalTexts::kCannotDropToChild);
    const QString place = QString::fromLatin1(CommonTexts::kCannotDrop);
    struct Case {
        const char* destination;
        const char* source;
        const char* item;
        bool folder, fromTree;
        LocalDropAction action;
        QString message;
    };
    const Case cases[] = {
        {"/a/b", "/", "a", true, true, LocalDropAction::Refuse, child},
        {"/a", "/", "a", true, true, LocalDropAction::Refuse, child},
        {"/a/b/c", "/", "a", true, true, LocalDropAction::Refuse, child},
        {"/ab", "/", "a", true, true, LocalDropAction::Move, {}},
        {"/a/b", "/", "a", true, false, LocalDropAction::Refuse, place},
        {"/ab", "/", "a", true, false, LocalDropAction::Move, {}},
        {"/x", "/x", "f.txt", false, false, LocalDropAction::Refuse, place},
        {"/x/sub", "/x", "f.txt", false, false, LocalDropAction::Move, {}},
        {"/y", "/x", "名前 with blank", false, false, LocalDropAction::Move, {}},
        {"", "/x", "f.txt", false, false, LocalDropAction::Refuse, place},
    };
    for (const Case& c : cases) {
        const LocalDropDecision d =
            DecideLocalDrop(QString::fromUtf8(c.destination), QString::fromUtf8(c.source),
                            {LocalItemRef{QString::fromUtf8(c.item), c.folder}}, c.fromTree);
        EXPECT_EQ(d.action, c.action) << c.destination << " " << c.item;
        EXPECT_EQ(d.message, c.message) << c.destination << " " << c.item;
    }
    EXPECT_EQ(DecideRemoteDrop(QStringLiteral("/tmp"), true, true).action,
              LocalDropAction::Download);
    EXPECT_EQ(DecideRemoteDrop(QStringLiteral("/tmp"), true, false).action,
              LocalDropAction::Refuse);
    EXPECT_EQ(DecideRemoteDrop(QString(), true, true).action, LocalDropAction::Refuse);
    EXPECT_EQ(DecideRemoteDrop(QStringLiteral("/tmp"), false, true).action,
              LocalDropAction::Refuse);
}

TEST(LocalUploadPlanTest, ProjectMappingOrOpenRemoteFolder) {
    const ProjectFolders project{QStringLiteral("/home/u/web"), QStringLiteral("/public_html")};
    const ProjectFolders slashed{QStringLiteral("/home/u/web/"), QStringLiteral("/public_html")};
    const ProjectFolders none;
    const std::vector<LocalItem> two = {{QStringLiteral("a.htm"), false, 3},
                                        {QStringLiteral("img"), true, 0}};
    // Only the project folder itself is read, and only by the plan.
    QStringList read;
    const LocalFolderReader reader = [&](const QString& folder, std::vector<LocalItem>* items,
                                         QStringList*) {
        read << folder;
        *items = two;
        return true;
    };
    struct Case {
        const char* name;
        LocalUploadPlan plan;
        bool valid, isProject;
        const char* remote;
        const char* relative;
        const char* recordPath;
        size_t items;
    };
    const Case cases[] = {
        {"list in project",
         PlanListUpload(project, QStringLiteral("/home/u/web/docs/old"), two, "/open"), true, true,
         "/public_html", "docs/old", "/home/u/web/docs/old", 2},
        {"list, folders with a final /",
         PlanListUpload(slashed, QStringLiteral("/home/u/web/docs/old/"), two, "/open"), true, true,
         "/public_html", "docs/old", "/home/u/web/docs/old/", 2},
        {"list at project", PlanListUpload(project, QStringLiteral("/home/u/web"), two, "/open"),
         true, true, "/public_html", "", "/home/u/web", 2},
        {"list outside", PlanListUpload(project, QStringLiteral("/home/u/website"), two, "/open"),
         true, false, "/open", "", "/home/u/website", 2},
        {"list, no project", PlanListUpload(none, QStringLiteral("/home/u/web"), two, "/open"),
         true, false, "/open", "", "/home/u/web", 2},
        {"nothing open", PlanListUpload(none, QStringLiteral("/home/u"), two, ""), false, false, "",
         "", "/home/u", 2},
        {"nothing chosen", PlanListUpload(none, QStringLiteral("/home/u"), {}, "/open"), false,
         false, "/open", "", "/home/u", 0},
        {"tree below project",
         PlanTreeUpload(project, QStringLiteral("/home/u/web/docs/old"), reader, "/open"), true,
         true, "/public_html", "docs", "/home/u/web/docs", 1},
        {"tree first level",
         PlanTreeUpload(project, QStringLiteral("/home/u/web/docs"), reader, "/open"), true, true,
         "/public_html", "", "/home/u/web", 1},
        {"tree project root",
         PlanTreeUpload(project, QStringLiteral("/home/u/web"), reader, "/open"), true, true,
         "/public_html", "", "/home/u/web", 2},
        {"tree outside", PlanTreeUpload(project, QStringLiteral("/home/u/other"), reader, "/open"),
         true, false, "/open", "", "/home/u", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.plan.valid, c.valid) << c.name;
        EXPECT_EQ(c.plan.project, c.isProject) << c.name;
        EXPECT_EQ(c.plan.remoteFolder, QByteArray(c.remote)) << c.name;
        EXPECT_EQ(c.plan.relativePath, QByteArray(c.relative)) << c.name;
        EXPECT_EQ(c.plan.record.path, QString::fromLatin1(c.recordPath)) << c.name;
        EXPECT_EQ(c.plan.record.items.size(), c.items) << c.name;
    }
    EXPECT_EQ(read, QStringList{QStringLiteral("/home/u/web")});
    const LocalFolderReader unreadable = [](const QString&, std::vector<LocalItem>*, QStringList*) {
        return false;
    };
    EXPECT_FALSE(PlanTreeUpload(project, QStringLiteral("/home/u/web"), unreadable, "/open").valid);
    const LocalUploadPlan folder =
        PlanTreeUpload(none, QStringLiteral("/home/u/名前 x"), reader, "/o");
    ASSERT_EQ(folder.record.items.size(), 1u);
    EXPECT_EQ(folder.record.items[0].name, QString::fromUtf8("名前 x"));
    EXPECT_TRUE(folder.record.items[0].isFolder);
}

TEST(LocalDragDataTest, RoundTripAndDamagedBytes) {
    LocalDragData data;
    data.folder = QString::fromUtf8("/tmp/名前 with blank");
    data.items = {{QStringLiteral("a b.txt"), false}, {QStringLiteral("sub"), true}};
    data.fromTree = true;
    const QByteArray bytes = EncodeLocalDrag(data);
    const auto back = DecodeLocalDrag(bytes);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->folder, data.folder);
    EXPECT_TRUE(back->fromTree);
    ASSERT_EQ(back->items.size(), 2u);
    EXPECT_EQ(back->items[0].name, QStringLiteral("a b.txt"));
    EXPECT_TRUE(back->items[1].isFolder);
    EXPECT_FALSE(DecodeLocalDrag(bytes.left(bytes.size() - 3)).has_value());
    EXPECT_FALSE(DecodeLocalDrag(bytes + "x").has_value());
    EXPECT_FALSE(DecodeLocalDrag(QByteArray("garbage")).has_value());
    const QList<QUrl> urls = LocalDragUrls(data);
    ASSERT_EQ(urls.size(), 2);
    EXPECT_EQ(urls[0].toLocalFile(), QString::fromUtf8("/tmp/名前 with blank/a b.txt"));
}

TEST(LocalPathInput, TypedPathsResolveAgainstTheFolderShownOrHome) {
    struct Case {
        const char* typed;
        const char* current;
        const char* path;
    };
    const Case cases[] = {
        {"/etc", "/home/u", "/etc"},
        {"site", "/home/u", "/home/u/site"},
        {"../v/./w/", "/home/u", "/home/v/w"},
        {"~", "/tmp", "/home/u"},
        {"~/site", "/tmp", "/home/u/site"},
        {"site", "", "/home/u/site"},
        {"  ", "/tmp", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolveLocalPathInput(QString::fromLatin1(c.typed),
                                        QString::fromLatin1(c.current), "/home/u"),
                  QString::fromLatin1(c.path))
            << c.typed;
}

TEST(LocalListRows, TheStatusLineCountsFoldersAndFilesButNotDotDot) {
    LocalListRow parent;
    parent.kind = LocalRowKind::Parent;
    LocalListRow folder;
    folder.kind = LocalRowKind::Folder;
    folder.size = 4096;
    LocalListRow file;
    file.kind = LocalRowKind::File;
    file.size = 10;
    LocalListRow drive;
    drive.kind = LocalRowKind::Drive;
    ListCounts c;
    for (const LocalListRow* r : {&parent, &folder, &file, &file, &drive})
        CountLocalRow(c, *r);
    EXPECT_EQ(c, (ListCounts{2, 2, 20}));
}

}  // namespace
