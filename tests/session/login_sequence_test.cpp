#include "support/session_harness.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using Lines = QList<QByteArray>;

namespace {

const QByteArray kFeat =
    "211-Features:\r\n MLST type*;size*;modify*;\r\n REST STREAM\r\n211 End\r\n";
const QByteArray kHelp =
    "214-The following commands are recognized.\r\n LIST MLSD NLST REST RETR STOR\r\n214 Help "
    "OK.\r\n";

}  // namespace

TEST(LoginSequence, NormalAccountWritesTheWholeConversation) {
    SessionHarness h;
    h.login();
    EXPECT_EQ(h.sent(), (Lines{"USER bob", "PASS secret", "TYPE I", "FEAT", "HELP", "PWD"}));
    EXPECT_EQ(h.logSince(0),
              (QStringList{
                  "status: Resolving address of 127.0.0.1",
                  "status: Connection established, waiting for welcome message...",
                  "reply: 220 Welcome",
                  "sent: USER bob",
                  "reply-trace: 220 is deleted",
                  "reply: 331 Password required",
                  "trace: 'USER' has been removed",
                  "sent: PASS ******",
                  "reply-trace: 331 is deleted",
                  "reply: 230 Logged in",
                  "trace: 'PASS' has been removed",
                  "sent: TYPE I",
                  "reply-trace: 230 is deleted",
                  "reply: 200 Type set",
                  "trace: 'TYPE' has been removed",
                  "sent: FEAT",
                  "reply-trace: 200 is deleted",
                  "reply: 211-Features:\n MLST type*;size*;modify*;\n REST STREAM\n211 End",
                  "trace: 'FEAT' has been removed",
                  "sent: HELP",
                  "reply-trace: 211 is deleted",
                  "reply: 214-The following commands are recognized.\n LIST MLSD NLST REST RETR "
                  "STOR\n214 Help OK.",
                  "trace: 'HELP' has been removed",
                  "sent: PWD",
                  "reply-trace: 214 is deleted",
              }));
    EXPECT_EQ(h.controlRecord().port, 2121);
    EXPECT_EQ(h.controlRecord().host, "127.0.0.1");

    // The initial listing: PWD names the folder, PASV opens the data
    // connection, the announced MLSD lists it.
    int m = h.mark();
    h.reply("257 \"/home/bob\" is the current directory\r\n");
    EXPECT_EQ(h.sent().last(), "PASV");
    h.reply(SessionHarness::pasv(5001));
    EXPECT_EQ(h.sent().last(), "MLSD");
    EXPECT_EQ(h.logSince(m), (QStringList{
                                 "reply: 257 \"/home/bob\" is the current directory",
                                 "sent: PASV",
                                 "reply-trace: 257 is deleted",
                                 "reply: 227 Entering Passive Mode (127,0,0,1,19,137)",
                                 "trace: socket creation is OK",
                                 "sent: MLSD",
                                 "reply-trace: 227 is deleted",
                             }));
    ASSERT_EQ(h.factory.count(), 2);
    EXPECT_EQ(h.factory.record(1).host, "127.0.0.1");
    EXPECT_EQ(h.factory.record(1).port, 5001);
    EXPECT_TRUE(h.session.serverSupportsMlsd());
    EXPECT_TRUE(h.session.serverSupportsRest());
    EXPECT_TRUE(h.session.loggedIn());
}

struct AccountCase {
    const char* name;
    int logonType;
    QByteArray userReply;
    Lines expected;
};

class LoginAccounts : public ::testing::TestWithParam<AccountCase> {};

TEST_P(LoginAccounts, SendsTheAccountCommands) {
    const AccountCase& c = GetParam();
    SessionOptions o = SessionHarness::defaultOptions();
    o.logonType = c.logonType;
    o.password = QStringLiteral("me@example.org");
    SessionHarness h(o);
    h.connect();
    h.reply("220 Welcome\r\n");
    h.reply(c.userReply);
    if (c.userReply.startsWith("331"))
        h.reply("230 Logged in\r\n");
    h.reply("200 Type set\r\n");
    h.reply(kFeat);
    h.reply(kHelp);
    EXPECT_EQ(h.sent(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(, LoginAccounts,
                         ::testing::Values(AccountCase{"normal",
                                                       0,
                                                       "331 Password required\r\n",
                                                       {"USER bob", "PASS me@example.org", "TYPE I",
                                                        "FEAT", "HELP", "PWD"}},
                                           AccountCase{"anonymous",
                                                       1,
                                                       "331 Password required\r\n",
                                                       {"USER anonymous", "PASS me@example.org",
                                                        "TYPE I", "FEAT", "HELP", "PWD"}},
                                           AccountCase{
                                               "userAnsweredWith230",
                                               0,
                                               "230 No password needed\r\n",
                                               {"USER bob", "TYPE I", "FEAT", "HELP", "PWD"}}),
                         [](const auto& info) { return std::string(info.param.name); });

struct TransferTypeCase {
    TransferType transferType;
    Lines afterLogin;
};

class LoginTransferType : public ::testing::TestWithParam<TransferTypeCase> {};

TEST_P(LoginTransferType, QueuesTheMatchingTypeCommand) {
    SessionOptions o = SessionHarness::defaultOptions();
    o.transferType = GetParam().transferType;
    SessionHarness h(o);
    h.connect();
    h.reply("220 Welcome\r\n");
    h.reply("230 Logged in\r\n");
    EXPECT_EQ(h.sentSince(1), GetParam().afterLogin);
}

INSTANTIATE_TEST_SUITE_P(, LoginTransferType,
                         ::testing::Values(TransferTypeCase{TransferType::Binary, {"TYPE I"}},
                                           TransferTypeCase{TransferType::Ascii, {"TYPE A"}},
                                           TransferTypeCase{TransferType::Default, {"FEAT"}},
                                           // a stored byte the program does not know
                                           TransferTypeCase{TransferType(3), {"FEAT"}}));

// A server that will not say what it offers still gets its first listing:
// refusals of FEAT and HELP with any code go on as empty lists.
TEST(LoginSequence, RefusedFeatAndHelpStillListTheFolder) {
    for (const QByteArray& refusal : {QByteArray("500 Unknown\r\n"), QByteArray("502 No\r\n")}) {
        SessionHarness h;
        h.login(refusal, refusal);
        EXPECT_EQ(h.sent(), (Lines{"USER bob", "PASS secret", "TYPE I", "FEAT", "HELP", "PWD"}))
            << refusal.constData();
        EXPECT_EQ(h.session.queue().size(), 1) << "only the listing waits";
        EXPECT_FALSE(h.session.serverSupportsRest());
    }
}

TEST(LoginSequence, WelcomeSplitAcrossPacketsIsAnsweredOnce) {
    SessionHarness h;
    h.connect();
    for (char c : QByteArray("220-Hello\r\n220 there\r\n")) {
        EXPECT_TRUE(h.sent().isEmpty());
        h.control()->feed(QByteArray(1, c));
    }
    h.settle();
    EXPECT_EQ(h.sent(), Lines{"USER bob"});
}

TEST(LoginSequence, ReconnectQueuesOnlyTheTypeCommand) {
    SessionHarness h;
    h.loginIdle();
    ASSERT_TRUE(h.session.queue().isEmpty());
    QSignalSpy menus(&h.session, &FtpSession::commandMenusRebuilt);

    const int m = h.mark();
    h.reconnect();
    EXPECT_EQ(h.logSince(m),
              (QStringList{"status: Resolving address of 127.0.0.1",
                           "status: Connection established, waiting for welcome message..."}));
    h.reply("220 Welcome back\r\n");
    h.reply("331 Password required\r\n");
    h.reply("230 Logged in\r\n");
    h.reply("200 Type set\r\n");
    EXPECT_EQ(h.sent(), (Lines{"USER bob", "PASS secret", "TYPE I"}));
    EXPECT_TRUE(h.session.queue().isEmpty());
    // Flags and lists of the first connection stay.
    EXPECT_TRUE(h.session.serverSupportsMlsd());
    EXPECT_FALSE(h.session.helpReply().lines.isEmpty());
    EXPECT_EQ(menus.count(), 0);
}

// Work handed to a connection that is logging in again (a transfer
// connection's listing given back while the main one reconnects) waits for
// the login and goes behind the start-up commands.
TEST(LoginSequence, WorkHandedOverDuringTheLoginWaitsForIt) {
    SessionHarness h;
    h.loginIdle();
    h.reconnect();
    h.session.release(std::make_unique<PureGroup>(StepList{{"CWD", "/site/sub"}}));
    h.settle();
    EXPECT_TRUE(h.sent().isEmpty());
    h.reply("220 Welcome back\r\n");
    h.reply("331 Password required\r\n");
    h.reply("230 Logged in\r\n");
    h.reply("200 Type set\r\n");
    h.reply("250 Okay\r\n");
    EXPECT_EQ(h.sent(), (Lines{"USER bob", "PASS secret", "TYPE I", "CWD /site/sub"}));
    EXPECT_TRUE(h.session.queue().isEmpty());
}

TEST(LoginSequence, ReconnectEmptiesTheQueue) {
    SessionHarness h;
    h.loginIdle();
    h.session.sendCommand("NOOP");
    h.session.sendCommand("SYST");
    ASSERT_EQ(h.session.queue().size(), 2);
    h.reconnect();
    EXPECT_TRUE(h.session.queue().isEmpty());
    EXPECT_TRUE(h.sent().isEmpty());
}

TEST(LoginSequence, ConnectClearsFlagsAndLists) {
    SessionHarness h;
    h.loginIdle();
    ASSERT_NE(h.session.capabilities(), 0);
    ASSERT_FALSE(h.session.featIndex().isEmpty());
    h.session.sendCommand("NOOP");

    h.connect();
    EXPECT_EQ(h.session.capabilities(), 0);
    EXPECT_FALSE(h.session.loggedIn());
    EXPECT_TRUE(h.session.featReply().lines.isEmpty());
    EXPECT_TRUE(h.session.helpReply().lines.isEmpty());
    EXPECT_TRUE(h.session.featIndex().isEmpty());
    EXPECT_TRUE(h.session.helpIndex().isEmpty());
    EXPECT_TRUE(h.session.queue().isEmpty());

    // A fresh connection runs the whole start-up again; this server announces
    // no MLSD, so the listing uses LIST.
    h.reply("220 Welcome\r\n");
    h.reply("230 Logged in\r\n");
    h.reply("200 Type set\r\n");
    h.reply("211 No features\r\n");
    h.reply("214 Nothing to say\r\n");
    h.reply("257 \"/\"\r\n");
    h.reply(SessionHarness::pasv(5002));
    EXPECT_EQ(h.sent(), (Lines{"USER bob", "TYPE I", "FEAT", "HELP", "PWD", "PASV", "LIST"}));
    EXPECT_FALSE(h.session.serverSupportsMlsd());
}

TEST(LoginSequence, CloseConnectionResetsTheSession) {
    SessionHarness h;
    h.loginIdle();
    h.session.sendCommand("NOOP");
    h.session.sendCommand("SYST");
    QSignalSpy closed(&h.session, &FtpSession::connectionClosed);
    QSignalSpy loggedIn(&h.session, &FtpSession::loggedInChanged);

    h.session.closeConnection();
    EXPECT_TRUE(h.controlRecord().closedByClient);
    EXPECT_FALSE(h.session.isConnected());
    EXPECT_EQ(h.session.capabilities(), 0);
    EXPECT_TRUE(h.session.queue().isEmpty());
    EXPECT_EQ(closed.count(), 1);
    ASSERT_EQ(loggedIn.count(), 1);
    EXPECT_FALSE(loggedIn.at(0).at(0).toBool());
}

TEST(ControlConnection, ConnectTimeoutReportsFailureAndNeverConnects) {
    SessionOptions o = SessionHarness::defaultOptions();
    o.connectTimeoutMs = 5;
    SessionHarness h(o);
    QSignalSpy failed(&h.session, &FtpSession::connectFailed);
    h.session.connectNew();  // never accepted
    EXPECT_TRUE(QTest::qWaitFor([&] { return failed.count() == 1; }, 10000));
    EXPECT_EQ(h.logSince(0),
              (QStringList{"status: Resolving address of 127.0.0.1",
                           "status: Connection failed, could not connect to server"}));
    EXPECT_EQ(failed.count(), 1);
    EXPECT_FALSE(h.session.isConnected());
}

TEST(ControlConnection, AcceptedConnectStopsTheTimeout) {
    SessionOptions o = SessionHarness::defaultOptions();
    o.connectTimeoutMs = 5;
    SessionHarness h(o);
    h.connect();
    h.wait(30);
    EXPECT_FALSE(
        h.texts(LogChannel::Status).contains("Connection failed, could not connect to server"));
    EXPECT_TRUE(h.session.isConnected());
}

// A server that takes the connection and never says a word is left, with a
// reason; one that welcomes in time is not.
TEST(ControlConnection, NoWelcomeInTimeClosesTheConnection) {
    SessionOptions o = SessionHarness::defaultOptions();
    o.welcomeTimeoutMs = 20;
    for (const bool welcomed : {false, true}) {
        SCOPED_TRACE(welcomed);
        SessionHarness h(o);
        QSignalSpy gone(&h.session, &FtpSession::disconnected);
        h.connect();
        if (welcomed)
            h.reply("220 Hello\r\n");
        h.wait(60);
        EXPECT_EQ(h.session.isConnected(), welcomed);
        EXPECT_EQ(gone.count(), welcomed ? 0 : 1);
        EXPECT_EQ(
            h.texts(LogChannel::Error)
                .contains("The server sent no welcome message in 0 seconds, connection closed"),
            !welcomed)
            << h.texts(LogChannel::Error).join('\n').toStdString();
    }
}

TEST(ControlConnection, NegativePortMeansTwentyOne) {
    SessionOptions o = SessionHarness::defaultOptions();
    o.port = -1;
    SessionHarness h(o);
    h.connect();
    EXPECT_EQ(h.controlRecord().port, 21);
}

TEST(ControlConnection, ServerCloseKeepsTheQueue) {
    SessionHarness h;
    h.loginIdle();
    h.session.sendCommand("NOOP");
    h.session.sendCommand("SYST");
    const int m = h.mark();
    h.control()->hangUp();
    h.settle();
    EXPECT_EQ(h.logSince(m),
              (QStringList{"status: Connection closed, waiting for re-connection..."}));
    EXPECT_FALSE(h.session.isConnected());
    EXPECT_EQ(h.session.queue().size(), 2);
}

TEST(ControlConnection, LastWordsBeforeTheCloseAreStillRead) {
    SessionHarness h;
    h.loginIdle();
    h.session.sendCommand("NOOP");
    h.control()->hangUp("200 NOOP ok\r\n");
    h.settle();
    EXPECT_TRUE(h.session.queue().isEmpty());
    EXPECT_TRUE(h.texts(LogChannel::Trace).contains("'NOOP' has been removed"));
}
