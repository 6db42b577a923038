#include "support/session_harness.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using Lines = QList<QByteArray>;

TEST(ControlConnection, TextWaitsUntilTheSocketTakesIt) {
    SessionHarness h;
    h.loginIdle();
    const int before = int(h.sent().size());
    h.control()->setWritable(false);
    const int m = h.mark();
    h.session.sendCommand("NOOP");
    h.settle();
    EXPECT_EQ(int(h.sent().size()), before);
    EXPECT_TRUE(h.logSince(m).isEmpty());

    h.control()->setWritable(true);
    h.settle();
    EXPECT_EQ(h.sentSince(before), Lines{"NOOP"});
    EXPECT_EQ(h.logSince(m), QStringList{"sent: NOOP"});
}

TEST(ControlConnection, TextTakenInPiecesIsLoggedAsOneLine) {
    SessionHarness h;
    h.connect();
    h.control()->setSendLimit(3);
    h.reply("220 Welcome\r\n");
    const int m = h.mark();
    h.reply("331 Password required\r\n");
    EXPECT_EQ(h.sent(), (Lines{"USER bob", "PASS secret"}));
    QStringList sentLog;
    for (const QString& line : h.logSince(m))
        if (line.startsWith("sent: "))
            sentLog << line;
    // No fragment of the password may reach the log.
    EXPECT_EQ(sentLog, QStringList{"sent: PASS ******"});
    EXPECT_EQ(h.texts(LogChannel::Sent), (QStringList{"USER bob", "PASS ******"}));
}

TEST(ControlConnection, PartlyTakenLineIsLoggedWhenItsRestGoesOut) {
    SessionHarness h;
    h.loginIdle();
    h.control()->setSendBudget(6);
    const int m = h.mark();
    h.session.sendCommand("CWD", "/www/site");
    h.settle();
    EXPECT_TRUE(h.logSince(m).isEmpty());
    h.control()->grantSend(-1);
    h.settle();
    EXPECT_EQ(h.logSince(m), QStringList{"sent: CWD /www/site"});
    EXPECT_EQ(h.sent().last(), "CWD /www/site");
}

struct MaskCase {
    QByteArray sent;
    QByteArray logged;
};

class PasswordMask : public ::testing::TestWithParam<MaskCase> {};

TEST_P(PasswordMask, HidesThePasswordOnly) {
    EXPECT_EQ(maskPassword(GetParam().sent), GetParam().logged);
}

INSTANTIATE_TEST_SUITE_P(, PasswordMask,
                         ::testing::Values(MaskCase{"PASS secret\r\n", "PASS ******\r\n"},
                                           MaskCase{"pass ab", "pass **"},
                                           MaskCase{"Pass x y\r\n", "Pass ***\r\n"},
                                           MaskCase{"PASS ", "PASS "},
                                           MaskCase{"PASSWORD", "PASSWORD"},
                                           MaskCase{"USER bob\r\n", "USER bob\r\n"},
                                           MaskCase{"CWD PASS x", "CWD PASS x"}));

struct RefusalCase {
    const char* name;
    QByteArray command;
    QByteArray argument;
    QString shown;
};

class LineBreakRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(LineBreakRefusal, IsNeverSentAndTheQueueGoesOn) {
    SessionHarness h;
    h.loginIdle();
    QSignalSpy failures(&h.session, &FtpSession::failure);
    const int before = int(h.sent().size());
    const int m = h.mark();
    h.session.sendCommand(GetParam().command, GetParam().argument);
    h.session.sendCommand("NOOP");
    h.settle();
    EXPECT_EQ(h.logSince(m), (QStringList{"error: Command refused, it holds a line break or NUL: " +
                                              GetParam().shown,
                                          "sent: NOOP"}));
    EXPECT_EQ(h.sentSince(before), Lines{"NOOP"});
    EXPECT_FALSE(
        h.controlRecord().sent.contains(GetParam().command + ' ' + GetParam().argument.left(2)));
    EXPECT_EQ(failures.count(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    , LineBreakRefusal,
    ::testing::Values(RefusalCase{"crlf", "DELE", "a.txt\r\nRMD /", "DELE a.txt\\r\\nRMD /"},
                      RefusalCase{"lf", "DELE", "a\nb", "DELE a\\nb"},
                      RefusalCase{"cr", "DELE", "a\rb", "DELE a\\rb"},
                      RefusalCase{"nul", "DELE", QByteArray("a\0b", 3), "DELE a\\0b"},
                      // Every byte of a password stays hidden, after the break too.
                      RefusalCase{"password", "PASS", "s3\r\ncret", "PASS ********"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ControlConnection, LineBreakInALaterStepRefusesTheWholeGroup) {
    SessionHarness h;
    h.loginIdle();
    const int before = int(h.sent().size());
    h.engine.refresh("/www\r\nDELE x");
    h.session.sendCommand("NOOP");
    h.settle();
    EXPECT_EQ(h.sentSince(before), Lines{"NOOP"});
    EXPECT_EQ(h.texts(LogChannel::Error),
              QStringList{"Command refused, it holds a line break or NUL: CWD /www\\r\\nDELE x"});
}

struct LineBoundCase {
    const char* name;
    int bytes;
    bool closes;
};

class LineBound : public ::testing::TestWithParam<LineBoundCase> {};

TEST_P(LineBound, EndsTheConnectionOnlyPastSixtyFourKiB) {
    SessionHarness h;
    h.loginIdle();
    h.session.sendCommand("NOOP");
    QSignalSpy failures(&h.session, &FtpSession::failure);
    const int m = h.mark();
    // Fed in pieces, as a network would deliver it.
    const QByteArray line = "200 " + QByteArray(GetParam().bytes - 4, 'x');
    for (qsizetype at = 0; at < line.size(); at += 4000)
        h.control()->feed(line.mid(at, 4000));
    h.settle();
    if (GetParam().closes) {
        EXPECT_EQ(h.logSince(m),
                  (QStringList{"error: Server sent a line longer than 65536 bytes, connection "
                               "closed",
                               "status: Connection closed, waiting for re-connection..."}));
        EXPECT_TRUE(h.controlRecord().closedByClient);
        EXPECT_EQ(failures.count(), 1);
    } else {
        EXPECT_TRUE(h.logSince(m).isEmpty());
        EXPECT_FALSE(h.controlRecord().closedByClient);
        h.reply("\r\n");
        EXPECT_TRUE(h.session.queue().isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(, LineBound,
                         ::testing::Values(LineBoundCase{"atTheBound", 64 * 1024, false},
                                           LineBoundCase{"pastTheBound", 64 * 1024 + 1, true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ReplyBoundCase {
    const char* name;
    int lines;
    bool closed;  // the reply ends with its last line
    bool closes;
};

class ReplyBound : public ::testing::TestWithParam<ReplyBoundCase> {};

TEST_P(ReplyBound, EndsTheConnectionPastTenThousandLines) {
    const ReplyBoundCase& c = GetParam();
    SessionHarness h;
    h.loginIdle();
    h.session.sendCommand("STAT");
    QByteArray reply = "211-Status\r\n";
    const int middle = c.lines - (c.closed ? 2 : 1);
    for (int i = 0; i < middle; ++i)
        reply += " line\r\n";
    if (c.closed)
        reply += "211 End\r\n";
    const int m = h.mark();
    h.reply(reply);
    if (c.closes) {
        EXPECT_EQ(h.logSince(m),
                  (QStringList{"error: Server reply has more than 10000 lines, connection closed",
                               "status: Connection closed, waiting for re-connection..."}));
        EXPECT_TRUE(h.controlRecord().closedByClient);
    } else {
        EXPECT_FALSE(h.controlRecord().closedByClient);
        EXPECT_TRUE(h.session.queue().isEmpty());
        EXPECT_TRUE(h.texts(LogChannel::Trace).contains("'STAT' has been removed"));
    }
}

INSTANTIATE_TEST_SUITE_P(, ReplyBound,
                         ::testing::Values(ReplyBoundCase{"tenThousandLines", 10000, true, false},
                                           ReplyBoundCase{"oneMoreLine", 10001, true, true},
                                           ReplyBoundCase{"neverEnding", 20000, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ControlConnection, NothingOfAnEarlierConnectionLeaksIntoANewOne) {
    SessionHarness h;
    h.loginIdle();
    // A command stuck in the send buffer and half a reply in the receive buffer.
    h.control()->setWritable(false);
    h.session.sendCommand("DELE", "important.txt");
    h.reply("25");
    h.reconnect();
    h.reply("220 Welcome\r\n");
    EXPECT_EQ(h.sent(), Lines{"USER bob"});
    EXPECT_TRUE(h.texts(LogChannel::Error).isEmpty());
}
