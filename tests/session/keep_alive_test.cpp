#include "support/session_harness.h"

#include <gtest/gtest.h>

using Lines = QList<QByteArray>;

namespace {

SessionOptions keepAliveOptions(int interval, int command1, int command2) {
    SessionOptions o = SessionHarness::defaultOptions();
    o.keepAliveInterval = interval;
    o.keepAliveCommand1 = command1;
    o.keepAliveCommand2 = command2;
    // Ticks are driven by hand; keep the real timer out of the way.
    o.keepAliveMinuteMs = 60000;
    return o;
}

// Answers whatever keep-alive item went out so that the queue is idle again.
void answer(SessionHarness& h) {
    const QByteArray last = h.sent().last();
    if (last == "MLST")
        h.reply("250-Listing\r\n type=dir; /\r\n250 End\r\n");
    else if (last == "NOOP")
        h.reply("200 OK\r\n");
    else if (last == "PWD")
        h.reply("257 \"/\"\r\n");
    else if (last == "PASV")
        h.serveData("type=file;size=1; a\r\n", 5100);
}

}  // namespace

struct AlternationCase {
    const char* name;
    int command1;
    int command2;
    bool mlsdAnnounced;
    // Lines sent by three ticks, each answered.
    Lines expected;
};

class KeepAliveAlternation : public ::testing::TestWithParam<AlternationCase> {};

TEST_P(KeepAliveAlternation, AlternatesCommandOneAndCommandTwo) {
    const AlternationCase& c = GetParam();
    SessionHarness h(keepAliveOptions(1, c.command1, c.command2));
    if (c.mlsdAnnounced)
        h.login();
    else
        h.login("211 No features\r\n", "214 Nothing\r\n");
    h.finishInitialListing();
    ASSERT_TRUE(h.session.queue().isEmpty());
    const int before = int(h.sent().size());
    for (int tick = 0; tick < 3; ++tick) {
        h.session.onKeepAliveTimer();
        h.settle();
        answer(h);
        ASSERT_TRUE(h.session.queue().isEmpty()) << "tick " << tick;
    }
    EXPECT_EQ(h.sentSince(before), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    , KeepAliveAlternation,
    ::testing::Values(
        AlternationCase{"mlstAndNoop", 0, 0, true, {"MLST", "NOOP", "MLST"}},
        AlternationCase{"mlstAndPwd", 0, 1, true, {"MLST", "PWD", "MLST"}},
        AlternationCase{"listingAndNoop", 1, 0, true, {"PASV", "MLSD", "NOOP", "PASV", "MLSD"}},
        AlternationCase{
            "listingWithoutMlsd", 1, 1, false, {"PASV", "LIST", "PWD", "PASV", "LIST"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KeepAlive, IntervalZeroSendsNothing) {
    SessionHarness h(keepAliveOptions(0, 0, 0));
    h.loginIdle();
    const int before = int(h.sent().size());
    for (int tick = 0; tick < 3; ++tick)
        h.session.onKeepAliveTimer();
    h.settle();
    EXPECT_EQ(int(h.sent().size()), before);
    EXPECT_FALSE(h.session.capabilities() & FtpSession::KeepAliveToggle);
}

TEST(KeepAlive, BusyQueueSendsNothingAndKeepsTheTurn) {
    SessionHarness h(keepAliveOptions(1, 0, 0));
    h.loginIdle();
    const int before = int(h.sent().size());
    h.session.sendCommand("SYST");
    h.session.onKeepAliveTimer();
    h.session.onKeepAliveTimer();
    h.settle();
    EXPECT_EQ(h.sentSince(before), Lines{"SYST"});
    EXPECT_EQ(h.session.queue().size(), 1);
    h.reply("215 UNIX\r\n");
    h.session.onKeepAliveTimer();
    h.settle();
    // Command 1 still has its turn.
    EXPECT_EQ(h.sentSince(before), (Lines{"SYST", "MLST"}));
}

TEST(KeepAlive, ListingIsShownOnlyWithActiveServerFiles) {
    for (bool show : {false, true}) {
        SessionOptions o = keepAliveOptions(1, 1, 0);
        o.showActiveServerFiles = show;
        SessionHarness h(o);
        h.loginIdle();
        h.session.onKeepAliveTimer();
        h.settle();
        const int m = h.mark();
        h.serveData("type=file;size=1; a.txt\r\n", 5100);
        QStringList infoSince;
        for (const QString& line : h.logSince(m))
            if (line.startsWith("info: "))
                infoSince << line;
        EXPECT_EQ(infoSince, show ? QStringList{"info: type=file;size=1; a.txt \n"} : QStringList{})
            << "show " << show;
        EXPECT_TRUE(h.session.queue().isEmpty());
    }
}

TEST(KeepAlive, TimerTicksOnlyWhileIdle) {
    SessionHarness h(keepAliveOptions(0, 0, 0));
    h.loginIdle();
    const int before = int(h.sent().size());
    // Switching the interval on starts the timer; 5 ms stand for a minute.
    SessionOptions o = h.session.options();
    o.keepAliveInterval = 1;
    o.keepAliveMinuteMs = 5;
    h.session.setOptions(o);
    h.wait(60);
    // The first tick sent MLST; later ticks found the queue busy.
    EXPECT_EQ(h.sentSince(before), Lines{"MLST"});
    h.reply("250 OK\r\n");
    h.wait(60);
    EXPECT_EQ(h.sentSince(before), (Lines{"MLST", "NOOP"}));

    // Switched off, the timer stops: an idle session stays silent.
    o.keepAliveInterval = 0;
    h.session.setOptions(o);
    h.reply("200 OK\r\n");
    h.wait(60);
    EXPECT_EQ(h.sentSince(before), (Lines{"MLST", "NOOP"}));
}
