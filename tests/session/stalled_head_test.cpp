#include "support/session_harness.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

// A failure is reported under the command the server answered, and one that no
// command of the group expects leaves the group waiting, announced as stalled.
TEST(StalledHead, RefusalNamesTheCommandOnTheWire) {
    SessionHarness h;
    h.loginIdle();
    QSignalSpy refused(&h.session, &FtpSession::commandRefused);
    h.session.queue().addCommands({{"CWD", "/pub"}, {"SITE CHMOD", "640 a.txt"}});
    h.session.advance(false);
    h.reply("250 ok\r\n");
    ASSERT_EQ(h.sent().last(), "SITE CHMOD 640 a.txt");
    h.reply("550 Permission denied.\r\n");
    ASSERT_EQ(refused.count(), 1);
    EXPECT_EQ(refused.at(0).at(0).toByteArray(), "SITE CHMOD 640 a.txt");
    EXPECT_EQ(refused.at(0).at(1).toInt(), 550);
    EXPECT_TRUE(h.session.queue().isEmpty());
}

TEST(StalledHead, UnexpectedFailureKeepsTheGroupAndSaysSo) {
    SessionHarness h;
    h.loginIdle();
    QSignalSpy stalled(&h.session, &FtpSession::headStalled);
    QSignalSpy refused(&h.session, &FtpSession::commandRefused);
    h.session.sendCommand("SITE CHMOD", "640 a.txt");
    h.reply("553 Not allowed.\r\n");
    ASSERT_EQ(stalled.count(), 1);
    EXPECT_EQ(stalled.at(0).at(1).toByteArray(), "SITE CHMOD 640 a.txt");
    EXPECT_EQ(stalled.at(0).at(2).toInt(), 553);
    EXPECT_EQ(refused.count(), 0);
    ASSERT_EQ(h.session.queue().size(), 1);
    EXPECT_EQ(h.session.queue().head()->steps().first().name, "SITE CHMOD");
}
