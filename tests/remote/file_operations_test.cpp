#include "remote/create_folder_actions.h"
#include "remote/delete_actions.h"
#include "remote/file_operation_starters.h"
#include "remote/permission_actions.h"
#include "remote/rename_actions.h"
#include "support/remote_harness_util.h"

#include <gtest/gtest.h>

namespace {

SessionOptions optionsListing(bool preferMlsd) {
    SessionOptions o = SessionHarness::defaultOptions();
    o.preferMlsd = preferMlsd;
    return o;
}

// A harness that is logged in and idle before anything else looks at it.
struct IdleHarness : SessionHarness {
    explicit IdleHarness(bool preferMlsd) : SessionHarness(optionsListing(preferMlsd)) {
        loginIdle();
    }
};

// A logged-in session, a server that answers from a table of folders, the
// starters, and what the client did.
struct Rig {
    explicit Rig(bool preferMlsd = true) : h(preferMlsd) {
        QObject::connect(&h.engine, &ActionEngine::listingReady, &guard,
                         [this](const ListingAction* a, const RemoteItemList& items) {
                             listings << describe(*a, items);
                         });
    }

    static QString describe(const ListingAction& a, const RemoteItemList& items) {
        QString text = QString::fromLatin1(a.actionName()) + ' ' + QString::fromUtf8(a.folder);
        if (auto* c = dynamic_cast<const RefreshFolderByCreateAction*>(&a))
            text += " names=" + QString::fromUtf8(c->request.names.join(','));
        if (auto* r = dynamic_cast<const RefreshFolderByRenameAction*>(&a))
            text += QStringLiteral(" %1->%2 flag=%3")
                        .arg(QString::fromUtf8(r->request.oldName),
                             QString::fromUtf8(r->request.newName))
                        .arg(r->request.flag);
        text += QStringLiteral(" items=%1").arg(items.size());
        return text;
    }

    IdleHarness h;
    FolderServer server{h};
    Timeline timeline{h.session};
    FileOperationStarters ops{h.engine};
    QStringList listings;
    QObject guard;
};

QStringList only(const QStringList& events, const QString& prefix) {
    QStringList out;
    for (const QString& e : events)
        if (e.startsWith(prefix))
            out << e;
    return out;
}

// ------------------------------------------------------------------ delete

struct DeleteCase {
    const char* name;
    bool mlsd;
    QMap<QByteArray, QByteArray> listings;
    QByteArray folder;
    std::vector<RemoteItem> selected;
    QStringList expected;
    int kindFlags = KindFilter::Link;
    QMap<QByteArray, QByteArray> replies = {};
};

void PrintTo(const DeleteCase& c, std::ostream* os) {
    *os << c.name;
}

class DeleteTree : public testing::TestWithParam<DeleteCase> {};

TEST_P(DeleteTree, SendsExactlyTheseCommands) {
    const DeleteCase& c = GetParam();
    Rig rig(c.mlsd);
    rig.h.engine.kindFilter.flags = c.kindFlags;
    rig.server.listings = c.listings;
    rig.server.replies = c.replies;
    EXPECT_TRUE(rig.ops.deleteItems(c.folder, c.selected));
    ASSERT_TRUE(rig.server.run());
    EXPECT_EQ(rig.timeline.events, c.expected);
    EXPECT_TRUE(rig.h.session.queue().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    FileOperations, DeleteTree,
    testing::Values(
        DeleteCase{"NestedFolderMlsd",
                   true,
                   {{"/", mlsdDir("a")}, {"/a", mlsdDir("b")}, {"/a/b", mlsdFile("f.txt")}},
                   "/",
                   {remoteItem('d', "a")},
                   {"start: Start deleting files", "CWD /a", "PASV", "MLSD", "CWD /a/b", "PASV",
                    "MLSD", "DELE f.txt", "CWD /a", "RMD b", "CWD /", "RMD a", "CWD /", "PASV",
                    "MLSD", "completed 3: Deleting files completed"}},
        DeleteCase{"NestedFolderList",
                   false,
                   {{"/", unixDir("a")}, {"/a", unixDir("b")}, {"/a/b", unixFile("f.txt")}},
                   "/",
                   {remoteItem('d', "a")},
                   {"start: Start deleting files", "CWD /a", "PASV", "LIST", "CWD /a/b", "PASV",
                    "LIST", "DELE f.txt", "CWD /a", "RMD b", "CWD /", "RMD a", "CWD /", "PASV",
                    "LIST", "completed 3: Deleting files completed"}},
        // Files of a folder go first, then each subfolder whole, then the folder:
        // entries are taken in display order (folders before files, by name).
        DeleteCase{"SubfoldersBeforeTheirParent",
                   true,
                   {{"/", mlsdDir("a")},
                    {"/a", mlsdFile("g") + mlsdDir("c") + mlsdFile("f") + mlsdDir("b")},
                    {"/a/b", mlsdFile("x")},
                    {"/a/c", {}}},
                   "/",
                   {remoteItem('d', "a")},
                   {"start: Start deleting files",
                    "CWD /a",
                    "PASV",
                    "MLSD",
                    "DELE f",
                    "DELE g",
                    "CWD /a/b",
                    "PASV",
                    "MLSD",
                    "DELE x",
                    "CWD /a",
                    "RMD b",
                    "CWD /a/c",
                    "PASV",
                    "MLSD",
                    "CWD /a",
                    "RMD c",
                    "CWD /",
                    "RMD a",
                    "CWD /",
                    "PASV",
                    "MLSD",
                    "completed 3: Deleting files completed"}},
        // Selected non-folders go in one sequence in selection order, whatever
        // their kind and whatever the kind filter says.
        DeleteCase{"SelectionOrderAndKinds",
                   true,
                   {{"/p", {}}, {"/p/d1", {}}, {"/p/d2", mlsdFile("z")}},
                   "/p",
                   {remoteItem('-', "x.txt"), remoteItem('d', "d1"), remoteItem('l', "lnk"),
                    remoteItem('-', "y"), remoteItem('d', "d2")},
                   {"start: Start deleting files",
                    "CWD /p",
                    "DELE x.txt",
                    "DELE lnk",
                    "DELE y",
                    "CWD /p/d1",
                    "PASV",
                    "MLSD",
                    "CWD /p",
                    "RMD d1",
                    "CWD /p/d2",
                    "PASV",
                    "MLSD",
                    "DELE z",
                    "CWD /p",
                    "RMD d2",
                    "CWD /p",
                    "PASV",
                    "MLSD",
                    "completed 3: Deleting files completed"},
                   0},
        DeleteCase{"OnlyFilesSelected",
                   true,
                   {{"/p", {}}},
                   "/p",
                   {remoteItem('-', "a"), remoteItem('-', "b")},
                   {"start: Start deleting files", "CWD /p", "DELE a", "DELE b", "CWD /p", "PASV",
                    "MLSD", "completed 3: Deleting files completed"}},
        DeleteCase{"EmptyFolderOnlyRemovesItself",
                   true,
                   {{"/p", {}}, {"/p/e", {}}},
                   "/p",
                   {remoteItem('d', "e")},
                   {"start: Start deleting files", "CWD /p/e", "PASV", "MLSD", "CWD /p", "RMD e",
                    "CWD /p", "PASV", "MLSD", "completed 3: Deleting files completed"}},
        // A refused RMD leaves the folder; the refresh and the completion
        // still come.
        DeleteCase{"RefusedRemovalStillRefreshes",
                   true,
                   {{"/", {}}, {"/a", mlsdFile("f")}},
                   "/",
                   {remoteItem('d', "a")},
                   {"start: Start deleting files", "CWD /a", "PASV", "MLSD", "DELE f", "CWD /",
                    "RMD a", "CWD /", "PASV", "MLSD", "completed 3: Deleting files completed"},
                   KindFilter::Link,
                   {{"RMD a", "550 Directory not empty\r\n"}}},
        // A subfolder that cannot be entered is neither emptied nor removed.
        DeleteCase{
            "RefusedSubfolderIsSkipped",
            true,
            {{"/", {}}, {"/a", mlsdDir("b") + mlsdFile("f")}},
            "/",
            {remoteItem('d', "a")},
            {"start: Start deleting files", "CWD /a", "PASV", "MLSD", "DELE f", "CWD /a/b", "CWD /",
             "RMD a", "CWD /", "PASV", "MLSD", "completed 3: Deleting files completed"}}),
    [](const testing::TestParamInfo<DeleteCase>& info) { return std::string(info.param.name); });

struct KindFilterCase {
    const char* name;
    int flags;
    QStringList deletes;
};

void PrintTo(const KindFilterCase& c, std::ostream* os) {
    *os << c.name;
}

class DeleteKindFilter : public testing::TestWithParam<KindFilterCase> {};

TEST_P(DeleteKindFilter, DeletesOnlyTheKindsSwitchedOn) {
    const KindFilterCase& c = GetParam();
    Rig rig;
    rig.h.engine.kindFilter.flags = c.flags;
    rig.server.listings = {
        {"/", {}},
        {"/d", mlsdFile("f") + mlsdLink("l") + mlsdDevice('b', "bd") + mlsdDevice('c', "cd")}};
    rig.ops.deleteItems("/", {remoteItem('d', "d")});
    ASSERT_TRUE(rig.server.run());
    EXPECT_EQ(only(rig.timeline.events, "DELE"), c.deletes);
    // The folder's removal is tried in every case; with entries left the
    // server refuses it.
    EXPECT_EQ(only(rig.timeline.events, "RMD"), QStringList{"RMD d"});
}

INSTANTIATE_TEST_SUITE_P(
    FileOperations, DeleteKindFilter,
    testing::Values(KindFilterCase{"LinkOn", KindFilter::Link, {"DELE l", "DELE f"}},
                    KindFilterCase{"NothingButFiles", 0, {"DELE f"}},
                    KindFilterCase{
                        "CharacterDevicesOnly", KindFilter::DeviceC, {"DELE cd", "DELE f"}},
                    KindFilterCase{"Everything",
                                   KindFilter::Link | KindFilter::DeviceB | KindFilter::DeviceC,
                                   {"DELE l", "DELE bd", "DELE cd", "DELE f"}}),
    [](const testing::TestParamInfo<KindFilterCase>& info) {
        return std::string(info.param.name);
    });

TEST(FileOperations, DeleteWithoutUsableItemsQueuesNothing) {
    struct Case {
        const char* name;
        std::vector<RemoteItem> selected;
        int errors;
    };
    const Case cases[] = {
        {"nothing selected", {}, 0},
        {"parent reference", {remoteItem('d', "..")}, 1},
        {"name with a slash", {remoteItem('-', "x/y"), remoteItem('d', "")}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        const int sentBefore = int(rig.h.sent().size());
        EXPECT_FALSE(rig.ops.deleteItems("/p", c.selected));
        EXPECT_TRUE(rig.h.session.queue().isEmpty());
        rig.h.settle();
        EXPECT_EQ(rig.h.sent().size(), sentBefore);
        EXPECT_TRUE(rig.timeline.events.isEmpty());
        EXPECT_EQ(rig.timeline.errors.size(), c.errors);
    }
}

// A server may name an entry so that joining it would leave the folder being
// deleted: such entries are reported and left alone.
TEST(FileOperations, DeleteSkipsEntriesThatWouldLeaveTheFolder) {
    Rig rig;
    rig.server.listings = {
        {"/", {}},
        {"/a", mlsdDir("../etc") + mlsdFile("x/y") + mlsdFile("ok.txt")},
    };
    rig.ops.deleteItems("/", {remoteItem('d', "a")});
    ASSERT_TRUE(rig.server.run());
    EXPECT_EQ(rig.timeline.events,
              (QStringList{"start: Start deleting files", "CWD /a", "PASV", "MLSD", "DELE ok.txt",
                           "CWD /", "RMD a", "CWD /", "PASV", "MLSD",
                           "completed 3: Deleting files completed"}));
    ASSERT_EQ(rig.timeline.errors.size(), 2);
    const QString errors = rig.timeline.errors.join('\n');
    EXPECT_TRUE(errors.contains("\"../etc\" in /a")) << errors.toStdString();
    EXPECT_TRUE(errors.contains("\"x/y\" in /a")) << errors.toStdString();
}

// A server that shows a looping link as a folder offers a tree without end.
TEST(FileOperations, DeleteStopsSixtyFourLevelsDown) {
    Rig rig;
    rig.server.listings = {{"/", {}}};
    rig.server.moreListings = [](const QByteArray& path) -> std::optional<QByteArray> {
        if (path.startsWith("/loop"))
            return mlsdDir("x");
        return std::nullopt;
    };
    rig.ops.deleteItems("/", {remoteItem('d', "loop")});
    ASSERT_TRUE(rig.server.run(5000));
    const QStringList cwds = only(rig.timeline.events, "CWD /loop");
    const QByteArray deepest = "/loop" + QByteArray("/x").repeated(FolderWalk::kMaxDepth);
    // Listed: the selected folder and 64 levels below it; each is then removed
    // from its parent.
    EXPECT_EQ(only(rig.timeline.events, "MLSD").size(), FolderWalk::kMaxDepth + 2);
    EXPECT_TRUE(cwds.contains("CWD " + deepest));
    EXPECT_FALSE(cwds.contains("CWD " + deepest + "/x"));
    EXPECT_EQ(only(rig.timeline.events, "RMD").size(), FolderWalk::kMaxDepth + 1);
    EXPECT_EQ(rig.timeline.events.last(), "completed 3: Deleting files completed");
    ASSERT_EQ(rig.timeline.errors.size(), 1);
    EXPECT_TRUE(rig.timeline.errors[0].contains("64 levels"))
        << rig.timeline.errors[0].toStdString();
}

TEST(FileOperations, DeleteRefreshTellsItsTargetItFollowsADelete) {
    struct Delivery {
        quintptr window;
        quint8 flag;
        QByteArray folder;
        int items;
        RefreshMode mode;
    };
    struct Case {
        const char* name;
        RefreshTarget target;
        std::vector<quintptr> windows;
    };
    const Case cases[] = {
        {"view window", {0x1234, 7, RefreshMode::Plain}, {0x1234}},
        {"no window (remote list)", {0, 7, RefreshMode::AfterUpload}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        std::vector<Delivery> deliveries;
        QObject::connect(&rig.h.engine, &ActionEngine::refreshDelivered, &rig.guard,
                         [&](quintptr w, quint8 f, const QByteArray& folder,
                             const RemoteItemList& items, RefreshMode mode) {
                             deliveries.push_back({w, f, folder, items.size(), mode});
                         });
        rig.server.listings = {{"/p", mlsdFile("left") + mlsdFile("over")}};
        rig.ops.deleteItems("/p", {remoteItem('-', "gone")}, c.target);
        ASSERT_TRUE(rig.server.run());
        ASSERT_EQ(deliveries.size(), c.windows.size());
        for (size_t i = 0; i < deliveries.size(); ++i) {
            EXPECT_EQ(deliveries[i].window, c.windows[i]);
            EXPECT_EQ(deliveries[i].flag, c.target.flag);
            EXPECT_EQ(deliveries[i].folder, "/p");
            EXPECT_EQ(deliveries[i].items, 2);
            EXPECT_EQ(deliveries[i].mode, RefreshMode::AfterDelete);
        }
        EXPECT_EQ(rig.listings, QStringList{"LIST_REFRESH_FOLDER /p items=2"});
    }
}

// ---------------------------------------------------------- create, rename

struct NameCase {
    const char* name;
    QByteArray listing;
    QStringList expected;
    QStringList viewListings;
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << c.name;
}

class CreateFolder : public testing::TestWithParam<NameCase> {};

TEST_P(CreateFolder, CreatesOnlyAMissingName) {
    const NameCase& c = GetParam();
    Rig rig;
    rig.server.listings = {{"/p", c.listing}};
    EXPECT_TRUE(rig.ops.createFolder("/p", "new"));
    ASSERT_TRUE(rig.server.run());
    EXPECT_EQ(rig.timeline.events, c.expected);
    EXPECT_EQ(rig.listings, c.viewListings);
    // A file of the name keeps the folder from being made: that is said.
    const QStringList said =
        QByteArray(c.name) == "ExistsAsFile"
            ? QStringList{"Not created, new in /p: an entry of that name that is not a folder "
                          "is there"}
            : QStringList();
    EXPECT_EQ(rig.timeline.errors, said);
}

const QStringList kCreated = {
    "start: Start creating directory",          "CWD /p", "PASV", "MLSD", "MKD new", "PASV", "MLSD",
    "completed 0: Creating directory completed"};
const QStringList kNotCreated = {"start: Start creating directory", "CWD /p", "PASV", "MLSD",
                                 "completed 0: Creating directory completed"};

INSTANTIATE_TEST_SUITE_P(
    FileOperations, CreateFolder,
    testing::Values(NameCase{"Missing",
                             mlsdFile("other"),
                             kCreated,
                             {"LIST_REFRESH_FOLDER_BY_CREATE_FOLDER /p names=new items=1"}},
                    NameCase{"OnlyOtherLetterCase",
                             mlsdDir("New"),
                             kCreated,
                             {"LIST_REFRESH_FOLDER_BY_CREATE_FOLDER /p names=new items=1"}},
                    NameCase{"ExistsAsFolder", mlsdDir("new"), kNotCreated, {}},
                    NameCase{"ExistsAsFile", mlsdFile("new"), kNotCreated, {}},
                    NameCase{"ExistsAsLink", mlsdLink("new"), kNotCreated, {}}),
    [](const testing::TestParamInfo<NameCase>& info) { return std::string(info.param.name); });

class RenameAtom : public testing::TestWithParam<NameCase> {};

TEST_P(RenameAtom, RenamesOnlyOntoAFreeName) {
    const NameCase& c = GetParam();
    Rig rig;
    rig.server.listings = {{"/p", mlsdFile("old") + c.listing}};
    EXPECT_TRUE(rig.ops.rename("/p", "old", "new", 5));
    ASSERT_TRUE(rig.server.run());
    EXPECT_EQ(rig.timeline.events, c.expected);
    EXPECT_EQ(rig.listings, c.viewListings);
    // Not renamed is said, in red, and fails the task.
    EXPECT_EQ(rig.timeline.errors, c.viewListings.isEmpty()
                                       ? QStringList{"Not renamed, new exists already in /p: old"}
                                       : QStringList{});
}

const QStringList kRenamed = {"start: Start rename",
                              "CWD /p",
                              "PASV",
                              "MLSD",
                              "RNFR old",
                              "RNTO new",
                              "PASV",
                              "MLSD",
                              "completed 0: Rename completed"};
const QStringList kNotRenamed = {"start: Start rename", "CWD /p", "PASV", "MLSD",
                                 "completed 0: Rename completed"};

INSTANTIATE_TEST_SUITE_P(
    FileOperations, RenameAtom,
    testing::Values(NameCase{"Free",
                             {},
                             kRenamed,
                             {"LIST_REFRESH_FOLDER_BY_RENAME /p old->new flag=5 items=1"}},
                    NameCase{"TakenInOtherLetterCase",
                             mlsdFile("NEW"),
                             kRenamed,
                             {"LIST_REFRESH_FOLDER_BY_RENAME /p old->new flag=5 items=2"}},
                    NameCase{"TakenByFile", mlsdFile("new"), kNotRenamed, {}},
                    NameCase{"TakenByFolder", mlsdDir("new"), kNotRenamed, {}}),
    [](const testing::TestParamInfo<NameCase>& info) { return std::string(info.param.name); });

TEST(FileOperations, CreateAndRenameRefuseEmptyNames) {
    Rig rig;
    EXPECT_FALSE(rig.ops.createFolder("/p", ""));
    EXPECT_FALSE(rig.ops.rename("/p", "", "b"));
    EXPECT_FALSE(rig.ops.rename("/p", "a", ""));
    EXPECT_TRUE(rig.h.session.queue().isEmpty());
    EXPECT_EQ(rig.timeline.errors.size(), 3);
}

// ------------------------------------------------------------------- move

// The target is listed first: an entry it holds already is not renamed onto
// (many servers would replace it), and the task says so.
TEST(FileOperations, MoveRenamesIntoTheTargetAndRefreshesBoth) {
    struct Case {
        const char* name;
        QByteArray target;
        QByteArray targetHolds;
        QStringList expected;
        int errors;
    };
    const Case cases[] = {
        {"into a folder",
         "/dst",
         {},
         {"start: Start moving files", "CWD /dst", "PASV", "MLSD", "CWD /src", "RNFR a",
          "RNTO /dst/a", "RNFR b", "RNTO /dst/b", "PASV", "MLSD", "CWD /dst", "PASV", "MLSD",
          "completed 0: Moving files completed"},
         0},
        {"into the root",
         "/",
         {},
         {"start: Start moving files", "CWD /", "PASV", "MLSD", "CWD /src", "RNFR a", "RNTO /a",
          "RNFR b", "RNTO /b", "PASV", "MLSD", "CWD /", "PASV", "MLSD",
          "completed 0: Moving files completed"},
         0},
        {"a name the target holds stays",
         "/dst",
         mlsdFile("a"),
         {"start: Start moving files", "CWD /dst", "PASV", "MLSD", "CWD /src", "RNFR b",
          "RNTO /dst/b", "PASV", "MLSD", "CWD /dst", "PASV", "MLSD",
          "completed 0: Moving files completed"},
         1},
        {"every name taken: nothing moves",
         "/dst",
         mlsdDir("a") + mlsdFile("b"),
         {"start: Start moving files", "CWD /dst", "PASV", "MLSD",
          "completed 0: Moving files completed"},
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.server.listings = {{"/src", {}}, {c.target, c.targetHolds}};
        EXPECT_TRUE(rig.ops.move("/src", c.target, {remoteItem('-', "a"), remoteItem('d', "b")}));
        ASSERT_TRUE(rig.server.run());
        EXPECT_EQ(rig.timeline.events, c.expected);
        ASSERT_EQ(rig.timeline.errors.size(), c.errors)
            << rig.timeline.errors.join('\n').toStdString();
        if (c.errors) {
            EXPECT_EQ(rig.timeline.errors.front(), "Not moved, a exists already in /dst");
        }
        // The source and target listed for the views once something moved.
        EXPECT_EQ(rig.listings.size(), c.errors < 2 ? 2 : 0);
    }
}

// Nothing was moved and the session stands elsewhere: listing "its" folder with
// the short sequence would show the wrong entries as the source's.
TEST(FileOperations, MoveFromAFolderThatCannotBeEnteredRefreshesOnlyTheTarget) {
    Rig rig;
    rig.server.listings = {{"/dst", mlsdFile("x")}};
    rig.ops.move("/gone", "/dst", {remoteItem('-', "a")});
    ASSERT_TRUE(rig.server.run());
    EXPECT_EQ(rig.timeline.events,
              (QStringList{"start: Start moving files", "CWD /dst", "PASV", "MLSD", "CWD /gone",
                           "CWD /dst", "PASV", "MLSD", "completed 0: Moving files completed"}));
    EXPECT_EQ(rig.listings, QStringList{"LIST_REFRESH_FOLDER /dst items=1"});
}

// A refused rename leaves the session in the source: both refreshes run.
TEST(FileOperations, MoveWithARefusedRenameStillRefreshesBoth) {
    Rig rig;
    rig.server.listings = {{"/src", mlsdFile("a")}, {"/dst", {}}};
    rig.server.replies = {{"RNTO /dst/a", "553 Not allowed\r\n"}};
    rig.ops.move("/src", "/dst", {remoteItem('-', "a")});
    ASSERT_TRUE(rig.server.run());
    EXPECT_EQ(rig.timeline.events,
              (QStringList{"start: Start moving files", "CWD /dst", "PASV", "MLSD", "CWD /src",
                           "RNFR a", "RNTO /dst/a", "PASV", "MLSD", "CWD /dst", "PASV", "MLSD",
                           "completed 0: Moving files completed"}));
}

TEST(FileOperations, MoveWithoutItemsQueuesNothing) {
    Rig rig;
    EXPECT_FALSE(rig.ops.move("/src", "/dst", std::vector<RemoteItem>{}));
    EXPECT_FALSE(rig.ops.move("/src", "/dst", {remoteItem('-', "../x")}));
    EXPECT_TRUE(rig.h.session.queue().isEmpty());
}

// ------------------------------------------------------------ permissions

struct PermissionCase {
    const char* name;
    std::vector<RemoteItem> selected;
    PermissionRequest request;
    bool linksAsFolders;
    QStringList expected;
};

// /p holds the folder d and the link ln (which leads to a folder); d holds a
// file, a subfolder and a link to a file; the subfolder holds a file and one
// more folder.
QMap<QByteArray, QByteArray> permissionTree() {
    return {
        {"/p", mlsdDir("d") + mlsdLink("ln") + mlsdFile("top.txt")},
        {"/p/ln", mlsdFile("z")},
        {"/p/d", mlsdFile("f1") + mlsdDir("sub") + mlsdLink("lnk")},
        {"/p/d/sub", mlsdFile("g") + mlsdDir("deep")},
        {"/p/d/sub/deep", mlsdFile("h")},
    };
}

PermissionRequest request(bool files, bool folders, bool recurse, QByteArray mode = "644") {
    PermissionRequest r;
    r.mode = mode;
    r.applyToFiles = files;
    r.applyToFolders = folders;
    r.recurse = recurse;
    return r;
}

void PrintTo(const PermissionCase& c, std::ostream* os) {
    *os << c.name;
}

class ChangePermissions : public testing::TestWithParam<PermissionCase> {};

TEST_P(ChangePermissions, SendsExactlyTheseCommands) {
    const PermissionCase& c = GetParam();
    Rig rig;
    rig.server.listings = permissionTree();
    const QByteArray folder = c.selected.empty() ? "/p/d" : "/p";
    EXPECT_TRUE(rig.ops.changePermissions(folder, c.request, c.selected, c.linksAsFolders));
    ASSERT_TRUE(rig.server.run());
    EXPECT_EQ(rig.timeline.events, c.expected);
    EXPECT_TRUE(rig.h.session.queue().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    FileOperations, ChangePermissions,
    testing::Values(
        // Files (and links) at every depth; no folder gets the files' mode,
        // the chosen one included, so every one can still be entered.
        PermissionCase{"FilesRecursive",
                       {remoteItem('d', "d")},
                       request(true, false, true),
                       false,
                       {"start: Start changing file permissions",
                        "CWD /p/d",
                        "PASV",
                        "MLSD",
                        "SITE CHMOD 644 lnk",
                        "SITE CHMOD 644 f1",
                        "PASV",
                        "MLSD",
                        "CWD /p/d/sub",
                        "PASV",
                        "MLSD",
                        "SITE CHMOD 644 g",
                        "PASV",
                        "MLSD",
                        "CWD /p/d/sub/deep",
                        "PASV",
                        "MLSD",
                        "SITE CHMOD 644 h",
                        "PASV",
                        "MLSD",
                        "CWD /p/d/lnk",
                        "CWD /p",
                        "PASV",
                        "MLSD",
                        "completed 4: Changing permission completed"}},
        // Folders at every depth and every link, no file; the link to a file
        // cannot be entered.
        PermissionCase{"FoldersRecursive",
                       {remoteItem('d', "d")},
                       request(false, true, true),
                       false,
                       {"start: Start changing file permissions",
                        "CWD /p",
                        "SITE CHMOD 644 d",
                        "CWD /p/d",
                        "PASV",
                        "MLSD",
                        "SITE CHMOD 644 sub",
                        "SITE CHMOD 644 lnk",
                        "PASV",
                        "MLSD",
                        "CWD /p/d/sub",
                        "PASV",
                        "MLSD",
                        "SITE CHMOD 644 deep",
                        "PASV",
                        "MLSD",
                        "CWD /p/d/sub/deep",
                        "PASV",
                        "MLSD",
                        "CWD /p/d/lnk",
                        "CWD /p",
                        "PASV",
                        "MLSD",
                        "completed 4: Changing permission completed"}},
        PermissionCase{"NoRecursion",
                       {remoteItem('d', "d"), remoteItem('-', "top.txt")},
                       request(true, true, false),
                       false,
                       {"start: Start changing file permissions", "CWD /p", "SITE CHMOD 644 d",
                        "SITE CHMOD 644 top.txt", "CWD /p", "PASV", "MLSD",
                        "completed 4: Changing permission completed"}},
        // Nothing selected: the folder's contents, everything, at every depth.
        PermissionCase{"RootFilesAndFolders",
                       {},
                       request(true, true, false, "700"),
                       false,
                       {"start: Start changing file permissions",
                        "CWD /p/d",
                        "PASV",
                        "MLSD",
                        "SITE CHMOD 700 sub",
                        "SITE CHMOD 700 lnk",
                        "SITE CHMOD 700 f1",
                        "PASV",
                        "MLSD",
                        "CWD /p/d/sub",
                        "PASV",
                        "MLSD",
                        "SITE CHMOD 700 deep",
                        "SITE CHMOD 700 g",
                        "PASV",
                        "MLSD",
                        "CWD /p/d/sub/deep",
                        "PASV",
                        "MLSD",
                        "SITE CHMOD 700 h",
                        "PASV",
                        "MLSD",
                        "CWD /p/d/lnk",
                        "completed 4: Changing permission completed"}},
        PermissionCase{"SelectedLinkCountsAsFolder",
                       {remoteItem('l', "ln")},
                       request(true, false, true),
                       true,
                       {"start: Start changing file permissions", "CWD /p/ln", "PASV", "MLSD",
                        "SITE CHMOD 644 z", "PASV", "MLSD", "CWD /p", "PASV", "MLSD",
                        "completed 4: Changing permission completed"}},
        PermissionCase{"SelectedLinkStaysALink",
                       {remoteItem('l', "ln")},
                       request(true, false, true),
                       false,
                       {"start: Start changing file permissions", "CWD /p", "SITE CHMOD 644 ln",
                        "CWD /p", "PASV", "MLSD", "completed 4: Changing permission completed"}}),
    [](const testing::TestParamInfo<PermissionCase>& info) {
        return std::string(info.param.name);
    });

TEST(FileOperations, PermissionsOfAFolderWithoutChangesInsideSkipItsRefresh) {
    Rig rig;
    rig.server.listings = {{"/p", mlsdDir("d")}, {"/p/d", mlsdFile("only")}};
    rig.ops.changePermissions("/p", request(false, true, true, "007"), {remoteItem('d', "d")},
                              false);
    ASSERT_TRUE(rig.server.run());
    EXPECT_EQ(rig.timeline.events,
              (QStringList{"start: Start changing file permissions", "CWD /p", "SITE CHMOD 007 d",
                           "CWD /p/d", "PASV", "MLSD", "CWD /p", "PASV", "MLSD",
                           "completed 4: Changing permission completed"}));
}

TEST(FileOperations, PermissionsRefuseAModeThatIsNotThreeOctalDigits) {
    for (const QByteArray& mode : {QByteArray(), QByteArray("64"), QByteArray("1234"),
                                   QByteArray("648"), QByteArray("6 4"), QByteArray("rwx")}) {
        SCOPED_TRACE(mode.toStdString());
        Rig rig;
        EXPECT_FALSE(rig.ops.changePermissions("/p", request(true, true, true, mode),
                                               {remoteItem('-', "a")}, false));
        EXPECT_TRUE(rig.h.session.queue().isEmpty());
        EXPECT_EQ(rig.timeline.errors.size(), 1);
    }
}

// A link that leads back to its own folder is entered again and again.
TEST(FileOperations, PermissionWalkStopsSixtyFourLevelsDown) {
    Rig rig;
    rig.server.moreListings = [](const QByteArray& path) -> std::optional<QByteArray> {
        if (path.startsWith("/p/d"))
            return mlsdLink("self");
        return std::nullopt;
    };
    rig.ops.changePermissions("/p/d", request(true, true, true), std::vector<RemoteItem>{}, false);
    ASSERT_TRUE(rig.server.run(5000));
    const QByteArray deepest = "/p/d" + QByteArray("/self").repeated(FolderWalk::kMaxDepth);
    const QStringList cwds = only(rig.timeline.events, "CWD ");
    EXPECT_EQ(cwds.size(), FolderWalk::kMaxDepth + 1);
    EXPECT_EQ(cwds.last(), "CWD " + deepest);
    EXPECT_EQ(only(rig.timeline.events, "SITE CHMOD").size(), FolderWalk::kMaxDepth + 1);
    EXPECT_EQ(rig.timeline.events.last(), "completed 4: Changing permission completed");
    ASSERT_EQ(rig.timeline.errors.size(), 1);
    EXPECT_TRUE(rig.timeline.errors[0].contains("64 levels"))
        << rig.timeline.errors[0].toStdString();
}

// ------------------------------------------------------------ task order

// Work a processor generates goes before its task's completed entry, and a task
// queued meanwhile waits behind all of it.
TEST(FileOperations, TasksQueuedWhileOneRunsFollowItsGeneratedWork) {
    Rig rig;
    rig.server.listings = {{"/", mlsdDir("a")}, {"/a", mlsdDir("b")}, {"/a/b", {}}};
    rig.ops.deleteItems("/", {remoteItem('d', "a")});
    rig.ops.createFolder("/", "n");
    rig.ops.rename("/", "n", "m");
    ASSERT_TRUE(rig.server.run());
    EXPECT_EQ(rig.timeline.events, (QStringList{"start: Start deleting files",
                                                "CWD /a",
                                                "PASV",
                                                "MLSD",
                                                "CWD /a/b",
                                                "PASV",
                                                "MLSD",
                                                "CWD /a",
                                                "RMD b",
                                                "CWD /",
                                                "RMD a",
                                                "CWD /",
                                                "PASV",
                                                "MLSD",
                                                "completed 3: Deleting files completed",
                                                "start: Start creating directory",
                                                "CWD /",
                                                "PASV",
                                                "MLSD",
                                                "MKD n",
                                                "PASV",
                                                "MLSD",
                                                "completed 0: Creating directory completed",
                                                "start: Start rename",
                                                "CWD /",
                                                "PASV",
                                                "MLSD",
                                                "RNFR n",
                                                "RNTO m",
                                                "PASV",
                                                "MLSD",
                                                "completed 0: Rename completed"}));
}

}  // namespace
