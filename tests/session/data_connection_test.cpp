#include "remote/listing_action.h"
#include "session/passive_reply.h"
#include "support/session_harness.h"

#include <QRegularExpression>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <climits>

using Lines = QList<QByteArray>;

// ------------------------------------------------------ passive replies

struct PassiveCase {
    const char* name;
    QByteArray line;
    QString host;  // empty: the parse fails
    int port;
};

class PassiveParse : public ::testing::TestWithParam<PassiveCase> {};

TEST_P(PassiveParse, ReadsSixNumbers) {
    const PassiveCase& c = GetParam();
    const auto a = parsePassiveReply(c.line);
    if (c.host.isEmpty()) {
        EXPECT_FALSE(a.has_value());
        return;
    }
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(a->host, c.host);
    EXPECT_EQ(a->port, c.port);
}

INSTANTIATE_TEST_SUITE_P(
    , PassiveParse,
    ::testing::Values(PassiveCase{"usual", "227 Entering Passive Mode (192,168,1,2,19,137)\r\n",
                                  "192.168.1.2", 5001},
                      PassiveCase{"blanksBeforeNumbers", "227 ok ( 10, 0, 0, 7, 0, 21)", "10.0.0.7",
                                  21},
                      PassiveCase{"emptyNumberIsZero", "227 (127,,0,1,1,0)", "127.0.0.1", 256},
                      PassiveCase{"highestPort", "227 (1,2,3,4,255,255)", "1.2.3.4", 65535},
                      PassiveCase{"textAfterParenthesis", "227 =(1,2,3,4,0,80). ok", "1.2.3.4", 80},
                      PassiveCase{"empty", "", "", 0},
                      PassiveCase{"noParentheses", "227 Entering Passive Mode 1,2,3,4,5,6", "", 0},
                      PassiveCase{"fiveNumbers", "227 (1,2,3,4,5)", "", 0},
                      PassiveCase{"sevenNumbers", "227 (1,2,3,4,5,6,7)", "", 0},
                      PassiveCase{"blankBeforeParenthesis", "227 (1,2,3,4,5,6 )", "", 0},
                      PassiveCase{"closingBeforeOpening", "227 )1,2,3,4,5,6(", "", 0},
                      PassiveCase{"portZero", "227 (1,2,3,4,0,0)", "", 0},
                      PassiveCase{"allNumbersEmpty", "227 (,,,,,)", "", 0},
                      PassiveCase{"hugeNumber", "227 (1,2,3,4,99999999999999999999,6)", "", 0}),
    [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------------------ listings

namespace {

// A refresh of a folder after login, up to its listing command on the wire.
FakeTransport* startRefresh(SessionHarness& h, const QByteArray& folder, int port = 5001) {
    h.engine.refresh(folder);
    h.reply("250 OK\r\n");
    h.reply(SessionHarness::pasv(port));
    FakeTransport* d = h.acceptData();
    h.reply("150 Here it comes\r\n");
    return d;
}

}  // namespace

TEST(DataConnection, ListingArrivingInPiecesIsProcessedOnceAtTheClose) {
    SessionHarness h;
    h.loginIdle();
    QList<int> sizes;
    QObject::connect(
        &h.engine, &ActionEngine::listingReady,
        [&](const ListingAction*, const RemoteItemList& items) { sizes << items.size(); });
    const int m = h.mark();
    FakeTransport* d = startRefresh(h, "/www");
    d->feed("type=file;size=10; a.txt\r\ntype=dir;");
    h.settle();
    d->feed(" sub\r\ntype=file;size=3; b.t");
    h.settle();
    d->feed("xt\r\n");
    h.settle();
    EXPECT_TRUE(sizes.isEmpty());
    d->hangUp("type=file;size=4; last.txt\r\n");
    h.settle();
    EXPECT_EQ(sizes, QList<int>{4});
    h.reply("226 Transfer complete\r\n");
    EXPECT_EQ(sizes, QList<int>{4});
    EXPECT_TRUE(h.session.queue().isEmpty());

    EXPECT_EQ(h.logSince(m),
              (QStringList{
                  "sent: CWD /www",
                  "reply: 250 OK",
                  "sent: PASV",
                  "reply-trace: 250 is deleted",
                  "reply: 227 Entering Passive Mode (127,0,0,1,19,137)",
                  "trace: socket creation is OK",
                  "sent: MLSD",
                  "reply-trace: 227 is deleted",
                  "trace: Data port opens, count = 1",
                  "reply: 150 Here it comes",
                  "ignored: Above reproduce respnse 150 is ignored",
                  "reply-trace: 150 is deleted",
                  "info: type=file;size=10; a.txt\ntype=dir; sub\ntype=file;size=3; b.txt"
                  "\ntype=file;size=4; last.txt\n",
                  "trace: Data port closed, count = 1",
                  "reply: 226 Transfer complete",
                  "trace: 'CWD, PASV, MLSD' has been removed",
                  "reply-trace: 226 is deleted",
              }));
}

TEST(DataConnection, LastLineWithoutLineFeedIsParsed) {
    SessionHarness h;
    h.loginIdle();
    QList<QByteArray> names;
    QObject::connect(&h.engine, &ActionEngine::listingReady,
                     [&](const ListingAction*, const RemoteItemList& items) {
                         for (const RemoteItem& i : items)
                             names << i.name;
                     });
    FakeTransport* d = startRefresh(h, "/www");
    d->feed("type=dir; sub\r\ntype=file;size=3; z.txt");
    d->hangUp();
    h.settle();
    EXPECT_EQ(names, (Lines{"sub", "z.txt"}));
}

TEST(DataConnection, ListingUsesTheUnixGrammarAfterList) {
    SessionOptions o = SessionHarness::defaultOptions();
    o.preferMlsd = false;
    SessionHarness h(o);
    h.loginIdle();
    QList<QByteArray> names;
    QObject::connect(&h.engine, &ActionEngine::listingReady,
                     [&](const ListingAction*, const RemoteItemList& items) {
                         for (const RemoteItem& i : items)
                             names << i.name;
                     });
    h.engine.refresh("/www");
    h.reply("250 OK\r\n");
    h.reply(SessionHarness::pasv(5001));
    EXPECT_EQ(h.sent().last(), "LIST");
    FakeTransport* d = h.acceptData();
    d->hangUp("-rw-r--r--   1 bob  staff  1234 Jan 01 12:00 index.html\r\n");
    h.settle();
    EXPECT_EQ(names, Lines{"index.html"});
}

TEST(DataConnection, FinalReplyBeforeTheCloseWaitsAndCountsItsDelays) {
    SessionHarness h;
    h.loginIdle();
    QSignalSpy listings(&h.engine, &ActionEngine::listingReady);
    FakeTransport* d = startRefresh(h, "/www");
    h.session.sendCommand("NOOP");
    const int before = int(h.sent().size());
    const int m = h.mark();
    d->feed("type=dir; sub\r\n");
    h.reply("226 Transfer complete\r\n");
    h.wait(10);
    // The group waits for its data connection; nothing else goes out.
    EXPECT_EQ(int(h.sent().size()), before);
    EXPECT_EQ(h.session.queue().size(), 2);
    EXPECT_EQ(listings.count(), 0);

    d->hangUp();
    h.settle();
    EXPECT_EQ(listings.count(), 1);
    EXPECT_EQ(h.sentSince(before), Lines{"NOOP"});
    const QStringList logged = h.logSince(m);
    EXPECT_EQ(logged.count("reply: 226 Transfer complete"), 1);
    EXPECT_EQ(logged.count("reply-trace: 226 is deleted"), 1);
    const QStringList removed = logged.filter("has been removed");
    ASSERT_EQ(removed.size(), 1) << logged.join('\n').toStdString();
    EXPECT_TRUE(QRegularExpression("^trace: 'CWD, PASV, MLSD' has been removed -- delay count: "
                                   "[1-9][0-9]*$")
                    .match(removed.first())
                    .hasMatch())
        << removed.first().toStdString();
    // The closing comes before the removal.
    EXPECT_LT(logged.indexOf("trace: Data port closed, count = 2"),
              logged.indexOf(removed.first()));
}

// A refresh's listing is an information line of level 2, made only when
// someone shows that level.
TEST(DataConnection, ListingTextGoesToTheInfoChannelAtItsLevel) {
    struct Case {
        int shown;
        QList<int> levels;
    };
    for (const Case& c : {Case{INT_MAX, {2}}, Case{2, {2}}, Case{1, {}}, Case{-1, {}}}) {
        SCOPED_TRACE(c.shown);
        SessionHarness h;
        h.session.setShownInfoLevel(c.shown);
        h.loginIdle();
        FakeTransport* d = startRefresh(h, "/www");
        const int m = h.mark();
        d->hangUp("type=dir; a\r\n");
        h.settle();
        QList<int> levels;
        for (qsizetype i = m; i < h.log.size(); ++i)
            if (h.log[i].channel == LogChannel::Info)
                levels << h.log[i].level;
        EXPECT_EQ(levels, c.levels);
    }
}

struct UserListingCase {
    const char* name;
    StepList steps;
    bool shown;
};

class UserListing : public ::testing::TestWithParam<UserListingCase> {};

TEST_P(UserListing, TextGoesToTheMainChatPane) {
    const UserListingCase& c = GetParam();
    SessionHarness h;
    h.loginIdle();
    h.session.sendGroup(c.steps);
    if (c.steps.first().first == "PWD")
        h.reply("257 \"/\"\r\n");
    const int m = h.mark();
    h.serveData(
        "drwxr-xr-x 2 bob staff 4096 Jan 01 12:00 www\r\n-rw-r--r-- 1 bob staff 5 Jan "
        "01 12:00 a\r\n");
    QStringList info;
    for (qsizetype i = m; i < h.log.size(); ++i)
        if (h.log[i].channel == LogChannel::Info) {
            info << h.log[i].text;
            EXPECT_EQ(h.log[i].level, 0);
        }
    const QStringList expected{
        "drwxr-xr-x 2 bob staff 4096 Jan 01 12:00 www \n-rw-r--r-- 1 bob staff 5 Jan 01 12:00 a "
        "\n"};
    EXPECT_EQ(info, c.shown ? expected : QStringList{});
    EXPECT_TRUE(h.session.queue().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    , UserListing,
    ::testing::Values(UserListingCase{"list", {{"PWD", {}}, {"PASV", {}}, {"LIST", {}}}, true},
                      UserListingCase{"nlst", {{"PASV", {}}, {"NLST", {}}}, true},
                      UserListingCase{"mlsd", {{"PASV", {}}, {"MLSD", {}}}, true},
                      UserListingCase{"stat", {{"PASV", {}}, {"STOR", "x"}}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DataConnection, DataEventsAfterTheGroupLeftAreHarmless) {
    SessionHarness h;
    h.loginIdle();
    FakeTransport* d = startRefresh(h, "/www");
    QPointer<FakeTransport> data(d);
    h.session.removeGroup(h.session.queue().head());
    h.settle();
    // The transport is gone with its group; the abort went out.
    EXPECT_TRUE(data.isNull());
    EXPECT_EQ(h.sent().last(), "ABOR");
    h.reply("226 ABOR ok\r\n");
    EXPECT_TRUE(h.session.queue().isEmpty());
}
