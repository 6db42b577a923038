#include "session/download_file_group.h"
#include "session/reply.h"
#include "session/reply_assembler.h"
#include "support/session_harness.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using Lines = QList<QByteArray>;

// ------------------------------------------------------------ assembly

struct AssemblyCase {
    const char* name;
    QList<QByteArray> lines;
    // Per complete reply: code text, error kind, line count.
    QList<std::tuple<QByteArray, int, int>> replies;
    bool lastOpen;
};

class ReplyAssembly : public ::testing::TestWithParam<AssemblyCase> {};

TEST_P(ReplyAssembly, CutsLinesIntoReplies) {
    const AssemblyCase& c = GetParam();
    ReplyAssembler a;
    for (const QByteArray& l : c.lines)
        a.feed(l);
    const QList<Reply> got = a.takeComplete();
    ASSERT_EQ(got.size(), c.replies.size());
    for (qsizetype i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].codeText, std::get<0>(c.replies[i])) << i;
        EXPECT_EQ(got[i].errorKind, std::get<1>(c.replies[i])) << i;
        EXPECT_EQ(got[i].lines.size(), std::get<2>(c.replies[i])) << i;
        EXPECT_TRUE(got[i].complete);
    }
    // A reply left open is ended by the next numbered line, which then stands
    // on its own.
    a.feed("999 closing\r\n");
    EXPECT_EQ(a.takeComplete().size(), c.lastOpen ? 2 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    , ReplyAssembly,
    ::testing::Values(
        AssemblyCase{"single", {"200 OK\r\n"}, {{"200", 0, 1}}, false},
        AssemblyCase{"multiLine",
                     {"211-Features\r\n", " MLST\r\n", "211-still\r\n", "211 End\r\n"},
                     {{"211", 0, 4}},
                     false},
        AssemblyCase{"noNumber", {"hello\r\n"}, {{"", Reply::NoNumber, 1}}, false},
        AssemblyCase{"mismatchStartsTheNextReply",
                     {"211-Features\r\n", "200 OK\r\n"},
                     {{"211", Reply::NumberMismatch, 1}, {"200", 0, 1}},
                     false},
        AssemblyCase{"unnumberedContinuation",
                     {"214-Help\r\n", "\r\n", "214 done\r\n"},
                     {{"214", 0, 3}},
                     false},
        AssemblyCase{
            "twoInARow", {"331 pw\r\n", "230 in\r\n"}, {{"331", 0, 1}, {"230", 0, 1}}, false},
        AssemblyCase{"numberWithoutBlank", {"220\r\n"}, {}, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------------------ through the session

TEST(ReplyHandling, QuotedPathOfA257Reply) {
    const struct {
        QByteArray line;
        std::optional<QByteArray> path;
    } cases[] = {
        {"257 \"/home/u\" is the current directory\r\n", "/home/u"},
        {"257 \"/a \"\"b\"\"\" created\r\n", "/a \"b\""},
        {"257 \"/x\" created, see \"HELP\"\r\n", "/x"},
        {"257 \"\"\r\n", ""},
        {"257 \"/ends\"\"\"", "/ends\""},
        {"257 no quotes\r\n", std::nullopt},
        {"257 \"/never closed\r\n", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QuotedPathOf(c.line), c.path) << c.line.constData();
}

TEST(ReplyHandling, ReplySplitByteByByteIsHandledOnceWhenComplete) {
    SessionHarness h;
    h.connect();
    h.reply("220 Welcome\r\n");
    h.reply("230 Logged in\r\n");
    h.reply("200 Type set\r\n");
    ASSERT_EQ(h.sent().last(), "FEAT");
    const QByteArray feat = "211-Features:\r\n MLSD\r\n REST STREAM\r\n211 End\r\n";
    for (qsizetype i = 0; i < feat.size(); ++i) {
        EXPECT_EQ(h.sent().last(), "FEAT") << "after byte " << i;
        h.control()->feed(feat.mid(i, 1));
    }
    h.settle();
    EXPECT_EQ(h.sent().last(), "HELP");
    EXPECT_EQ(h.texts(LogChannel::Trace).count("'FEAT' has been removed"), 1);
    EXPECT_EQ(h.session.featReply().lines.size(), 4);
}

TEST(ReplyHandling, SeveralRepliesInOnePacketAreHandledInOrder) {
    SessionHarness h;
    h.connect();
    h.reply("220 Welcome\r\n");
    h.reply("331 Password required\r\n230 Logged in\r\n200 Type set\r\n");
    EXPECT_EQ(h.sent(), (Lines{"USER bob", "PASS secret", "TYPE I", "FEAT"}));
}

TEST(ReplyHandling, ReplySplitAcrossPacketsMidLine) {
    SessionHarness h;
    h.connect();
    h.reply("22");
    h.reply("0 Wel");
    EXPECT_TRUE(h.sent().isEmpty());
    h.reply("come\r\n33");
    EXPECT_EQ(h.sent(), Lines{"USER bob"});
    h.reply("1 Password\r\n");
    EXPECT_EQ(h.sent(), (Lines{"USER bob", "PASS secret"}));
}

TEST(ReplyHandling, MultiLineReplyIsLoggedWhole) {
    SessionHarness h;
    h.loginIdle();
    h.session.sendCommand("STAT");
    const int m = h.mark();
    h.reply("211-Status of server\r\n Connected\r\n Logged in\r\n211 End of status\r\n");
    ASSERT_GE(h.log.size(), m + 1);
    const LogLine& line = h.log[m];
    EXPECT_EQ(line.channel, LogChannel::Reply);
    EXPECT_EQ(line.lines,
              (Lines{"211-Status of server", " Connected", " Logged in", "211 End of status"}));
    EXPECT_FALSE(line.bold);
    EXPECT_EQ(formatReplyForChatPage(line.lines),
              "211-Status of server\n       (omitting 2 lines...)\n211 End of status");
    EXPECT_TRUE(h.session.queue().isEmpty());
}

TEST(ReplyHandling, ChatPagePrintsUpToThreeLinesWhole) {
    EXPECT_EQ(formatReplyForChatPage({"214-a", "b", "214 c"}), "214-a\nb\n214 c");
    EXPECT_EQ(formatReplyForChatPage({"200 OK"}), "200 OK");
    EXPECT_EQ(formatReplyForChatPage({"1-", "2", "3", "4", "5", "1 end"}),
              "1-\n       (omitting 4 lines...)\n1 end");
}

TEST(ReplyHandling, RepliesAboveThreeNinetyNineAreBold) {
    SessionHarness h;
    h.loginIdle();
    h.session.sendCommand("CWD", "/nope");
    h.session.sendCommand("NOOP");
    const int m = h.mark();
    h.reply("550 No such folder\r\n");
    h.reply("200 OK\r\n");
    QList<bool> bold;
    for (qsizetype i = m; i < h.log.size(); ++i)
        if (h.log[i].channel == LogChannel::Reply)
            bold << h.log[i].bold;
    EXPECT_EQ(bold, (QList<bool>{true, false}));
}

TEST(ReplyHandling, ContinuationWithAnotherNumberIsAnErrorThenANewReply) {
    SessionHarness h;
    h.loginIdle();
    h.session.sendCommand("NOOP");
    const int m = h.mark();
    h.reply("211-Something odd\r\n200 NOOP ok\r\n");
    EXPECT_EQ(h.logSince(m), (QStringList{
                                 "reply: 211-Something odd",
                                 "reply: 200 NOOP ok",
                                 "error: Invalid response : number doesn't match",
                                 "reply-trace: 211 is deleted",
                                 "trace: 'NOOP' has been removed",
                                 "reply-trace: 200 is deleted",
                             }));
    EXPECT_TRUE(h.session.queue().isEmpty());
}

TEST(ReplyHandling, ReplyWithoutNumberIsDroppedWithoutAdvancing) {
    SessionHarness h;
    h.loginIdle();
    h.session.sendCommand("NOOP");
    h.session.sendCommand("SYST");
    const int m = h.mark();
    const int sentBefore = int(h.sent().size());
    h.reply("hello there\r\n");
    EXPECT_EQ(h.logSince(m),
              (QStringList{"reply: hello there", "error: Invalid response : no number",
                           "reply-trace: -1 is deleted"}));
    EXPECT_EQ(int(h.sent().size()), sentBefore);
    EXPECT_EQ(h.session.queue().size(), 2);
}

// ------------------------------------------------------ unexpected codes

struct IgnoredCase {
    const char* name;
    StepList steps;
    QList<QByteArray> answers;  // until the step in question is on the wire
    QByteArray reply;
    QString ignoredLine;
};

class IgnoredReplies : public ::testing::TestWithParam<IgnoredCase> {};

TEST_P(IgnoredReplies, AreLoggedAndDoNotAdvance) {
    const IgnoredCase& c = GetParam();
    SessionHarness h;
    h.loginIdle();
    h.session.sendGroup(c.steps);
    h.session.sendCommand("NOOP");
    for (const QByteArray& a : c.answers)
        h.reply(a);
    const int sentBefore = int(h.sent().size());
    const int m = h.mark();
    h.reply(c.reply);
    const QStringList logged = h.logSince(m);
    EXPECT_TRUE(logged.contains("ignored: " + c.ignoredLine)) << logged.join('\n').toStdString();
    EXPECT_EQ(int(h.sent().size()), sentBefore);
    EXPECT_EQ(h.session.queue().size(), 2);
    EXPECT_EQ(h.session.queue().head()->steps().size(), c.steps.size());
}

INSTANTIATE_TEST_SUITE_P(
    , IgnoredReplies,
    ::testing::Values(IgnoredCase{"retrDoesNotExpect150",
                                  {{"PASV", {}}, {"RETR", "a.txt"}},
                                  {SessionHarness::pasv(5001)},
                                  "150 Opening BINARY mode data connection\r\n",
                                  "Above excessive respnse 150 is ignored"},
                      IgnoredCase{"listExpects150ButWaits",
                                  {{"PASV", {}}, {"LIST", {}}},
                                  {SessionHarness::pasv(5001)},
                                  "150 Here comes the listing\r\n",
                                  "Above reproduce respnse 150 is ignored"},
                      IgnoredCase{"pwdDoesNotExpect200",
                                  {{"PWD", {}}, {"PASV", {}}, {"LIST", {}}},
                                  {},
                                  "200 Whatever\r\n",
                                  "Above excessive respnse 200 is ignored"}),
    [](const auto& info) { return std::string(info.param.name); });

// Nothing can be done on a connection whose login was refused: it ends, and
// the log says so in words instead of an unknown-reply error.
TEST(ReplyHandling, RefusedPasswordEndsTheConnection) {
    SessionHarness h;
    h.connect();
    h.reply("220 Welcome\r\n");
    h.reply("331 Password required\r\n");
    const int m = h.mark();
    h.reply("530 Login incorrect\r\n");
    EXPECT_EQ(h.logSince(m), (QStringList{"reply: 530 Login incorrect",
                                          "error: The server refused the login: 530 Login "
                                          "incorrect",
                                          "reply-trace: 530 is deleted"}));
    EXPECT_EQ(h.sent(), (Lines{"USER bob", "PASS secret"}));
    EXPECT_TRUE(h.session.queue().isEmpty());
    EXPECT_FALSE(h.session.isConnected());
    EXPECT_FALSE(h.session.loggedIn());
}

TEST(ReplyHandling, ErrorOfAMiddleStepRemovesOnlyThatStep) {
    SessionHarness h;
    h.loginIdle();
    QSignalSpy refused(&h.session, &FtpSession::commandRefused);
    h.session.queue().addCommands({{"CWD", "/www"}, {"DELE", "a.txt"}, {"DELE", "b.txt"}});
    h.session.sendCommand("NOOP");
    h.session.advance(false);
    h.reply("250 OK\r\n");
    EXPECT_EQ(h.sent().last(), "DELE a.txt");
    int m = h.mark();
    h.reply("550 a.txt: No such file\r\n");
    EXPECT_EQ(h.logSince(m), (QStringList{"reply: 550 a.txt: No such file",
                                          "trace: '<DELE>' has been removed - error (550)",
                                          "sent: DELE b.txt", "reply-trace: 550 is deleted"}));
    ASSERT_EQ(refused.count(), 1);
    EXPECT_EQ(refused.at(0).at(0).toByteArray(), "DELE a.txt");
    EXPECT_EQ(refused.at(0).at(1).toInt(), 550);
    m = h.mark();
    h.reply("250 Deleted\r\n");
    EXPECT_EQ(h.logSince(m),
              (QStringList{"reply: 250 Deleted", "trace: 'CWD, DELE' has been removed",
                           "sent: NOOP", "reply-trace: 250 is deleted"}));
}

TEST(ReplyHandling, ErrorOfTheLastStepRemovesTheGroup) {
    SessionHarness h;
    h.loginIdle();
    h.session.queue().addCommands({{"CWD", "/www"}, {"DELE", "a.txt"}});
    h.session.sendCommand("NOOP");
    h.session.advance(false);
    h.reply("250 OK\r\n");
    const int m = h.mark();
    h.reply("450 busy\r\n");
    EXPECT_EQ(h.logSince(m),
              (QStringList{"reply: 450 busy", "error: un-switched responding number : 450",
                           "trace: 'CWD, <DELE>' has been removed - error (450)", "sent: NOOP",
                           "reply-trace: 450 is deleted"}));
}

TEST(ReplyHandling, RefusedCwdRemovesTheWholeGroup) {
    SessionHarness h;
    h.loginIdle();
    h.engine.refresh("/missing");
    h.session.sendCommand("NOOP");
    const int m = h.mark();
    h.reply("550 No such directory\r\n");
    EXPECT_EQ(h.logSince(m),
              (QStringList{"reply: 550 No such directory",
                           "trace: '<CWD>  {PASV, MLSD}' has been removed - error (550)",
                           "sent: NOOP", "reply-trace: 550 is deleted"}));
    EXPECT_EQ(h.session.queue().size(), 1);
}

TEST(ReplyHandling, UnexpectedErrorCodeLeavesTheGroupWaiting) {
    SessionHarness h;
    h.loginIdle();
    h.session.sendCommand("CWD", "/www");
    h.session.sendCommand("NOOP");
    const int sentBefore = int(h.sent().size());
    h.reply("530 Not logged in\r\n");
    EXPECT_EQ(int(h.sent().size()), sentBefore);
    EXPECT_EQ(h.session.queue().size(), 2);
    EXPECT_TRUE(h.texts(LogChannel::Error).contains("un-switched responding number : 530"));
}

struct BadPassiveCase {
    const char* name;
    QByteArray reply;
    const char* given;  // as the error line names it
};

class BadPassiveReply : public ::testing::TestWithParam<BadPassiveCase> {};

// No data connection can be made: the command fails at once instead of
// waiting for a time-out, and the queue goes on.
TEST_P(BadPassiveReply, FailsTheCommandAtOnce) {
    SessionHarness h;
    h.loginIdle();
    h.session.sendGroup({{"PASV", {}}, {"LIST", {}}});
    h.session.sendCommand("NOOP");
    QSignalSpy failures(&h.session, &FtpSession::failure);
    const int transports = h.factory.count();
    const int sentBefore = int(h.sent().size());
    const int m = h.mark();
    h.reply(GetParam().reply);
    const QString error =
        QStringLiteral("the server gave an unusable passive address (%1)").arg(GetParam().given);
    EXPECT_EQ(
        h.logSince(m).mid(1),
        (QStringList{"error: " + error, "trace: 'PASV  {LIST}' has been removed - error (227)",
                     "sent: NOOP", "reply-trace: 227 is deleted"}));
    ASSERT_EQ(failures.count(), 1);
    EXPECT_EQ(failures[0][0].toString(), error);
    EXPECT_EQ(h.factory.count(), transports);
    EXPECT_EQ(h.sentSince(sentBefore), QList<QByteArray>{"NOOP"});
    EXPECT_EQ(h.session.queue().size(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    , BadPassiveReply,
    ::testing::Values(
        BadPassiveCase{"noParentheses", "227 Entering Passive Mode 127,0,0,1,19,137\r\n",
                       "Entering Passive Mode 127,0,0,1,19,137"},
        BadPassiveCase{"fiveNumbers", "227 Entering Passive Mode (127,0,0,1,19)\r\n",
                       "127,0,0,1,19"},
        BadPassiveCase{"sevenNumbers", "227 Entering Passive Mode (127,0,0,1,19,137,1)\r\n",
                       "127,0,0,1,19,137,1"},
        BadPassiveCase{"noClosingParenthesis", "227 Entering Passive Mode (127,0,0,1,19,137\r\n",
                       "Entering Passive Mode (127,0,0,1,19,137"},
        BadPassiveCase{"letters", "227 Entering Passive Mode (127,0,0,1,x9,137)\r\n",
                       "127,0,0,1,x9,137"},
        BadPassiveCase{"numberAbove255", "227 Entering Passive Mode (127,0,0,1,300,137)\r\n",
                       "127,0,0,1,300,137"},
        BadPassiveCase{"portZero", "227 Entering Passive Mode (127,0,0,1,0,0).\r\n",
                       "127,0,0,1,0,0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReplyHandling, PassiveReplyToAPureCommandOpensNothing) {
    SessionHarness h;
    h.loginIdle();
    h.session.sendCommand("PASV");
    const int transports = h.factory.count();
    h.reply(SessionHarness::pasv(5001));
    EXPECT_EQ(h.factory.count(), transports);
    EXPECT_TRUE(h.texts(LogChannel::Trace).contains("socket creation failed"));
}

TEST(ReplyHandling, DataConnectionGoesToTheControlPeer) {
    SessionHarness h;
    h.loginIdle();
    h.session.sendGroup({{"PASV", {}}, {"LIST", {}}});
    const int m = h.mark();
    h.reply(SessionHarness::pasv(5001, "10,0,0,5"));
    EXPECT_EQ(h.logSince(m).mid(1, 2),
              (QStringList{"trace: Passive address 10.0.0.5 differs from the server's address "
                           "127.0.0.1, connecting to 127.0.0.1",
                           "trace: socket creation is OK"}));
    const FakeConnectionRecord& data = h.factory.record(h.factory.count() - 1);
    EXPECT_EQ(data.host, "127.0.0.1");
    EXPECT_EQ(data.port, 5001);
    EXPECT_EQ(h.sent().last(), "LIST");
}

TEST(ReplyHandling, PassiveAddressOfThePeerWritesNoTrace) {
    SessionHarness h;
    h.loginIdle();
    h.session.sendGroup({{"PASV", {}}, {"LIST", {}}});
    const int m = h.mark();
    h.reply(SessionHarness::pasv(5001));
    for (const QString& line : h.logSince(m))
        EXPECT_FALSE(line.contains("differs")) << line.toStdString();
}

TEST(ReplyHandling, SecondHelpReplyChangesNothing) {
    SessionHarness h;
    QSignalSpy menus(&h.session, &FtpSession::commandMenusRebuilt);
    h.loginIdle();
    ASSERT_EQ(menus.count(), 1);
    const quint8 flags = h.session.capabilities();
    ASSERT_TRUE(flags & FtpSession::AnnouncedMlsd);
    const Reply firstHelp = h.session.helpReply();
    h.session.sendCommand("HELP", "SITE");
    const int sentBefore = int(h.sent().size());
    h.reply("214-SITE commands:\r\n CHMOD UMASK\r\n214 end\r\n");
    EXPECT_EQ(menus.count(), 1);
    EXPECT_EQ(h.session.capabilities(), flags);
    EXPECT_EQ(h.session.helpReply().lines, firstHelp.lines);
    EXPECT_FALSE(h.session.helpIndex().contains("CHMOD"));
    // No second initial listing.
    EXPECT_TRUE(h.session.queue().isEmpty());
    EXPECT_EQ(int(h.sent().size()), sentBefore);
}

struct AnnounceCase {
    const char* name;
    QByteArray feat;
    QByteArray help;
    bool mlsd;
    bool rest;
};

class Announcements : public ::testing::TestWithParam<AnnounceCase> {};

TEST_P(Announcements, SetTheCapabilityBits) {
    const AnnounceCase& c = GetParam();
    SessionHarness h;
    h.login(c.feat, c.help);
    EXPECT_EQ(h.session.serverSupportsMlsd(), c.mlsd);
    EXPECT_EQ(h.session.serverSupportsRest(), c.rest);
    h.reply("257 \"/\"\r\n");
    h.reply(SessionHarness::pasv(5001));
    EXPECT_EQ(h.sent().last(), c.mlsd ? "MLSD" : "LIST");
}

INSTANTIATE_TEST_SUITE_P(
    , Announcements,
    ::testing::Values(AnnounceCase{"inFeat",
                                   "211-Features:\r\n MLSD\r\n REST STREAM\r\n211 End\r\n",
                                   "214 Help\r\n", true, true},
                      AnnounceCase{"inHelpOnly", "500 FEAT not understood\r\n",
                                   "214-Commands:\r\n LIST MLSD REST\r\n214 OK\r\n", true, true},
                      AnnounceCase{"nowhere", "211 No features\r\n",
                                   "214-Commands:\r\n LIST RETR\r\n214 OK\r\n", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReplyHandling, ServiceClosingClosesTheConnection) {
    SessionHarness h;
    h.loginIdle();
    h.session.sendCommand("NOOP");
    QSignalSpy disconnected(&h.session, &FtpSession::disconnected);
    const int m = h.mark();
    h.reply("421 Timeout, closing control connection\r\n");
    EXPECT_EQ(h.logSince(m).mid(0, 2),
              (QStringList{"reply: 421 Timeout, closing control connection",
                           "status: Connection closed, waiting for re-connection..."}));
    EXPECT_TRUE(h.controlRecord().closedByClient);
    EXPECT_FALSE(h.session.isConnected());
    EXPECT_EQ(disconnected.count(), 1);
}
