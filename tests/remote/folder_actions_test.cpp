#include "remote/folder_actions.h"
#include "remote/remote_path.h"
#include "support/session_harness.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using Lines = QList<QByteArray>;

namespace {

const QByteArray kNoMlsdFeat = "211-Features:\r\n REST STREAM\r\n211 End\r\n";
const QByteArray kNoMlsdHelp = "214-Commands:\r\n LIST RETR STOR\r\n214 OK\r\n";

// Records what the engine tells the views and what the task markers say, in
// one order.
struct WalkRecorder {
    QStringList events;

    explicit WalkRecorder(SessionHarness& h) {
        QObject::connect(&h.engine, &ActionEngine::rootFound,
                         [this](const QByteArray& folder, const RemoteItemList& items) {
                             events << QStringLiteral("root %1 (%2)")
                                           .arg(QString::fromUtf8(folder))
                                           .arg(items.size());
                         });
        QObject::connect(&h.engine, &ActionEngine::listingReady,
                         [this](const ListingAction* a, const RemoteItemList& items) {
                             events << QStringLiteral("listing %1 %2 (%3)")
                                           .arg(QString::fromLatin1(a->actionName()))
                                           .arg(QString::fromUtf8(a->folder))
                                           .arg(items.size());
                         });
        QObject::connect(
            &h.engine, &ActionEngine::projectFolderReached,
            [this](const QByteArray& folder) { events << "reached " + QString::fromUtf8(folder); });
        QObject::connect(
            &h.engine, &ActionEngine::projectWalkStopped,
            [this](const QByteArray& folder) { events << "stopped " + QString::fromUtf8(folder); });
        QObject::connect(
            &h.session, &FtpSession::taskMarker,
            [this](int kind, int value, const QString& caption, quintptr) {
                events << QStringLiteral("marker %1 %2 %3").arg(kind).arg(value).arg(caption);
            });
    }
};

// Answers the head listing action: CWD when it has one, then the data.
void serveListing(SessionHarness& h, const QByteArray& listing, bool cwd = true) {
    if (cwd)
        h.reply("250 Directory changed\r\n");
    h.serveData(listing, 5100);
}

QByteArray mlsdFolders(const Lines& names) {
    QByteArray out = "type=file;size=12; readme.txt\r\n";
    for (const QByteArray& n : names)
        out += "type=dir;modify=20240101120000; " + n + "\r\n";
    return out;
}

}  // namespace

TEST(ProjectFolderWalk, ListsEachFolderDownToTheProjectFolder) {
    SessionHarness h;
    WalkRecorder r(h);
    h.engine.setRemoteProjectFolder("/www/site");
    h.login();
    const int before = int(h.sent().size()) - 1;  // from the PWD on
    h.reply("257 \"/\" is the current directory\r\n");
    h.serveData(mlsdFolders({"tmp", "www"}), 5000);
    EXPECT_EQ(r.events,
              (QStringList{"root / (3)", "marker 1 0 Start initializing project Folder"}));
    EXPECT_EQ(h.sent().last(), "CWD /www");

    serveListing(h, mlsdFolders({"logs", "site"}));
    EXPECT_EQ(h.sent().last(), "CWD /www/site");
    serveListing(h, mlsdFolders({}));

    EXPECT_EQ(h.sentSince(before), (Lines{"PWD", "PASV", "MLSD", "CWD /www", "PASV", "MLSD",
                                          "CWD /www/site", "PASV", "MLSD"}));
    EXPECT_EQ(r.events,
              (QStringList{"root / (3)", "marker 1 0 Start initializing project Folder",
                           "listing LIST_SEQUENCE_FOLDER /www (3)",
                           "listing LIST_SEQUENCE_FOLDER /www/site (1)", "reached /www/site",
                           "marker 2 0 Initializing project Folder completed"}));
    EXPECT_TRUE(h.session.queue().isEmpty());
    EXPECT_TRUE(h.texts(LogChannel::Error).isEmpty());
}

TEST(ProjectFolderWalk, LaterWorkWaitsBehindTheWholeWalk) {
    SessionHarness h;
    WalkRecorder r(h);
    h.engine.setRemoteProjectFolder("/www/site/");  // a trailing slash names the same folder
    h.login();
    h.reply("257 \"/\"\r\n");
    h.session.sendCommand("NOOP");  // queued during the first listing
    h.serveData(mlsdFolders({"www"}), 5000);
    serveListing(h, mlsdFolders({"site"}));
    EXPECT_EQ(h.sent().last(), "CWD /www/site");
    serveListing(h, "");
    // The completed marker comes after the last step, the NOOP after it.
    EXPECT_EQ(r.events.last(), "marker 2 0 Initializing project Folder completed");
    EXPECT_EQ(h.sent().last(), "NOOP");
    EXPECT_TRUE(r.events.contains("reached /www/site"));
}

struct WalkEndCase {
    const char* name;
    QByteArray start;
    QByteArray project;
    QByteArray listing;
    bool toldStopped = false;  // the walk began and could not go on
};

class WalkEnds : public ::testing::TestWithParam<WalkEndCase> {};

TEST_P(WalkEnds, AfterTheFirstListingWithoutAWord) {
    const WalkEndCase& c = GetParam();
    SessionHarness h;
    WalkRecorder r(h);
    h.engine.setRemoteProjectFolder(c.project);
    h.login();
    const int before = int(h.sent().size());
    h.reply("257 \"" + c.start + "\"\r\n");
    h.serveData(c.listing, 5000);
    EXPECT_EQ(h.sentSince(before), (Lines{"PASV", "MLSD"}));
    ASSERT_EQ(r.events.size(), c.toldStopped ? 2 : 1) << r.events.join('\n').toStdString();
    EXPECT_TRUE(r.events.first().startsWith("root " + QString::fromUtf8(c.start)));
    if (c.toldStopped) {
        EXPECT_EQ(r.events.last(), "stopped " + QString::fromUtf8(c.project));
    }
    EXPECT_TRUE(h.session.queue().isEmpty());
    EXPECT_TRUE(h.texts(LogChannel::Error).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    , WalkEnds,
    ::testing::Values(
        WalkEndCase{"startIsNotAnAncestor", "/home/bob", "/www/site", mlsdFolders({"www"})},
        WalkEndCase{"startIsBelowTheProject", "/www/site/img", "/www/site", mlsdFolders({})},
        WalkEndCase{"startOnlySharesAPrefix", "/ww", "/www/site", mlsdFolders({"w", "www"})},
        WalkEndCase{"componentMissing", "/", "/www/site", mlsdFolders({"tmp", "wwwroot"}), true},
        WalkEndCase{"componentDiffersInCase", "/", "/www/site", mlsdFolders({"WWW"}), true},
        WalkEndCase{"noProjectFolder", "/", "", mlsdFolders({"www"})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProjectFolderWalk, StartFolderIsTheProjectFolder) {
    SessionHarness h;
    WalkRecorder r(h);
    h.engine.setRemoteProjectFolder("/www/site");
    h.login();
    h.reply("257 \"/www/site\"\r\n");
    h.serveData(mlsdFolders({}), 5000);
    EXPECT_EQ(r.events, (QStringList{"root /www/site (1)", "reached /www/site"}));
    EXPECT_TRUE(h.session.queue().isEmpty());
}

TEST(ProjectFolderWalk, MissingComponentHalfWayEndsWithoutAnError) {
    SessionHarness h;
    WalkRecorder r(h);
    h.engine.setRemoteProjectFolder("/www/site/deep");
    h.login();
    h.reply("257 \"/\"\r\n");
    h.serveData(mlsdFolders({"www"}), 5000);
    serveListing(h, mlsdFolders({"other"}));
    // The views learn that the walk will not list the project folder.
    EXPECT_EQ(r.events,
              (QStringList{"root / (2)", "marker 1 0 Start initializing project Folder",
                           "listing LIST_SEQUENCE_FOLDER /www (2)", "stopped /www/site/deep",
                           "marker 2 0 Initializing project Folder completed"}));
    EXPECT_TRUE(h.session.queue().isEmpty());
    EXPECT_TRUE(h.texts(LogChannel::Error).isEmpty());
}

// Whether the walk from a start folder goes down to the project folder.
TEST(ProjectFolderWalk, ReachesOnlyFromTheFolderOrItsAncestors) {
    struct Case {
        const char* start;
        const char* target;
        bool reaches;
    };
    for (const Case& c :
         {Case{"/", "/www", true}, Case{"/www", "/www", true}, Case{"/www", "/www/site", true},
          Case{"/ww", "/www/site", false}, Case{"/www/site", "/www", false},
          Case{"/home/u", "/www", false}, Case{"", "/www", false}, Case{"/", "", false}}) {
        EXPECT_EQ(ProjectWalkReaches(c.start, c.target), c.reaches) << c.start << " " << c.target;
    }
}

TEST(ProjectFolderWalk, RefusedFolderEndsTheWalk) {
    SessionHarness h;
    WalkRecorder r(h);
    h.engine.setRemoteProjectFolder("/www/site");
    h.login();
    h.reply("257 \"/\"\r\n");
    h.serveData(mlsdFolders({"www"}), 5000);
    EXPECT_EQ(h.sent().last(), "CWD /www");
    h.reply("550 Permission denied\r\n");
    EXPECT_EQ(r.events, (QStringList{"root / (2)", "marker 1 0 Start initializing project Folder",
                                     "marker 2 0 Initializing project Folder completed"}));
    EXPECT_TRUE(h.session.queue().isEmpty());
    EXPECT_TRUE(h.texts(LogChannel::Trace)
                    .contains("'<CWD>  {PASV, MLSD}' has been removed - error (550)"));
}

TEST(ProjectFolderWalk, EverySequenceListsWithListWhenTheSitePrefersIt) {
    SessionOptions o = SessionHarness::defaultOptions();
    o.preferMlsd = false;
    SessionHarness h(o);
    WalkRecorder r(h);
    h.engine.setRemoteProjectFolder("/www/site");
    h.login();  // the server announces MLSD
    ASSERT_TRUE(h.session.serverSupportsMlsd());
    const int before = int(h.sent().size());
    h.reply("257 \"/\"\r\n");
    h.serveData("drwxr-xr-x 2 bob staff 4096 Jan 01 12:00 www\r\n", 5000);
    serveListing(h, "drwxr-xr-x 2 bob staff 4096 Jan 01 12:00 site\r\n");
    serveListing(h, "");
    EXPECT_EQ(h.sentSince(before),
              (Lines{"PASV", "LIST", "CWD /www", "PASV", "LIST", "CWD /www/site", "PASV", "LIST"}));
    EXPECT_TRUE(r.events.contains("reached /www/site"));
}

TEST(ProjectFolderWalk, WithoutMlsdAnnouncedListsWithList) {
    SessionHarness h;
    h.engine.setRemoteProjectFolder("/www");
    h.login(kNoMlsdFeat, kNoMlsdHelp);
    const int before = int(h.sent().size());
    h.reply("257 \"/\"\r\n");
    h.serveData("drwxr-xr-x 2 bob staff 4096 Jan 01 12:00 www\r\n", 5000);
    EXPECT_EQ(h.sentSince(before), (Lines{"PASV", "LIST", "CWD /www"}));
}

TEST(ProjectFolderWalk, ListingsAreShownAtTheirLevels) {
    SessionHarness h;
    h.engine.setRemoteProjectFolder("/www");
    h.login();
    h.reply("257 \"/\"\r\n");
    h.serveData(mlsdFolders({"www"}), 5000);
    serveListing(h, mlsdFolders({}));
    h.engine.refresh("/www");
    serveListing(h, mlsdFolders({}));
    QList<int> levels;
    for (const LogLine& l : h.log)
        if (l.channel == LogChannel::Info)
            levels << l.level;
    EXPECT_EQ(levels, (QList<int>{1, 3, 2}));
}

TEST(ProjectFolderWalk, QuotedFolderWithDoubledQuotes) {
    SessionHarness h;
    WalkRecorder r(h);
    h.login();
    h.reply("257 \"/say \"\"hi\"\"\" is current\r\n");
    h.serveData("", 5000);
    EXPECT_EQ(r.events, QStringList{"root /say \"hi\" (0)"});
}

struct RefreshCase {
    const char* name;
    RefreshTarget target;
    bool delivered;
};

class Refresh : public ::testing::TestWithParam<RefreshCase> {};

TEST_P(Refresh, ListsTheFolderAndTellsItsTarget) {
    const RefreshCase& c = GetParam();
    SessionHarness h;
    h.loginIdle();
    QStringList delivered;
    QObject::connect(&h.engine, &ActionEngine::refreshDelivered,
                     [&](quintptr window, quint8 flag, const QByteArray& folder,
                         const RemoteItemList& items, RefreshMode mode) {
                         delivered << QStringLiteral("%1 %2 %3 %4 %5")
                                          .arg(window)
                                          .arg(flag)
                                          .arg(QString::fromUtf8(folder))
                                          .arg(items.size())
                                          .arg(int(mode));
                     });
    QStringList listings;
    QObject::connect(
        &h.engine, &ActionEngine::listingReady, [&](const ListingAction* a, const RemoteItemList&) {
            listings << QString::fromLatin1(a->actionName()) + ' ' + QString::fromUtf8(a->folder);
        });
    QSignalSpy markers(&h.session, &FtpSession::taskMarker);
    const int before = int(h.sent().size());
    h.engine.refresh("/www/img", c.target);
    serveListing(h, mlsdFolders({"a", "b"}));
    EXPECT_EQ(h.sentSince(before), (Lines{"CWD /www/img", "PASV", "MLSD"}));
    EXPECT_EQ(listings, QStringList{"LIST_REFRESH_FOLDER /www/img"});
    EXPECT_EQ(delivered, c.delivered ? QStringList{"77 1 /www/img 3 2"} : QStringList{});
    // A refresh writes no task markers.
    EXPECT_EQ(markers.count(), 0);
    EXPECT_TRUE(h.session.queue().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    , Refresh,
    ::testing::Values(RefreshCase{"noTarget", {}, false},
                      RefreshCase{"withTarget", {77, 1, RefreshMode::AfterDelete}, true}),
    [](const auto& info) { return std::string(info.param.name); });

struct JoinCase {
    QByteArray folder;
    QByteArray name;
    QByteArray joined;
};

class JoinRemotePath : public ::testing::TestWithParam<JoinCase> {};

TEST_P(JoinRemotePath, NeverDoublesTheSeparator) {
    EXPECT_EQ(joinRemotePath(GetParam().folder, GetParam().name), GetParam().joined);
}

INSTANTIATE_TEST_SUITE_P(, JoinRemotePath,
                         ::testing::Values(JoinCase{"/", "www", "/www"},
                                           JoinCase{"/www", "site", "/www/site"},
                                           JoinCase{"/www/", "site", "/www/site"},
                                           JoinCase{"/www", "", "/www"}, JoinCase{"", "a", "a"}));
