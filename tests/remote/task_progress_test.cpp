#include "remote/task_progress.h"
#include "session/direct_download_group.h"

#include <gtest/gtest.h>

namespace {

TaskBox Box(qint64 total, qint64 position, const SocketGroup* group = nullptr) {
    TaskBox b;
    b.group = group;
    b.info.socketKind = 3;
    b.info.total = total;
    b.position = position;
    return b;
}

}  // namespace

TEST(TaskProgress, FiguresOfABox) {
    struct Case {
        const char* name;
        qint64 total, position, startPosition, elapsedMs;
        int percent;
        qint64 speed, remaining;
    };
    const Case cases[] = {
        {"just started", 1000, 0, 0, 0, 0, 0, -1},
        {"half way in two seconds", 1000, 500, 0, 2000, 50, 250, 2000},
        {"resumed: only new bytes count", 10000, 6000, 5000, 1000, 60, 1000, 4000},
        {"size unknown", -1, 4096, 0, 1000, -1, 4096, -1},
        {"empty file", 0, 0, 0, 10, 100, 0, 0},
        {"done", 300, 300, 0, 3000, 100, 100, 0},
        {"past the announced size", 100, 150, 0, 1000, 100, 150, 0},
        {"stalled: no estimate", 1000, 200, 200, 5000, 20, 0, -1},
        {"remaining rounds up", 1000, 999, 0, 1000, 99, 999, 2},
        {"huge file keeps its numbers", 4000000000000LL, 1000000000000LL, 0, 100000000, 25,
         10000000, 300000000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TaskFigures f = TaskProgressFigures(
            Box(c.total, c.position), TaskStart{1000, c.startPosition}, 1000 + c.elapsedMs);
        EXPECT_EQ(c.percent, f.percent);
        EXPECT_EQ(c.speed, f.bytesPerSecond);
        EXPECT_EQ(c.elapsedMs, f.elapsedMs);
        EXPECT_EQ(c.remaining, f.remainingMs);
    }
}

// A box whose bytes stop for longer than the inactivity limit says so, and
// stops estimating; the first byte that moves ends it.
TEST(TaskProgress, StalledAfterTheInactivityLimit) {
    TransferInfo info;
    DirectDownloadGroup g(DirectPurpose::Stream, info, {{"RETR", "a"}});
    TaskProgressTracker tracker;
    tracker.started(&g, 0, 0);
    const qint64 limit = kTransferInactivityLimitMs;
    const struct {
        qint64 at, position, total;
        bool stalled;
    } steps[] = {
        {limit, 0, 1000, false},         {limit + 1, 0, 1000, true},
        {limit + 2, 10, 1000, false},    {2 * limit + 2, 10, 1000, false},
        {2 * limit + 3, 10, 1000, true}, {9 * limit, 1000, 1000, false},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.at);
        const TaskFigures f = tracker.figures(Box(s.total, s.position, &g), s.at);
        EXPECT_EQ(s.stalled, f.stalled);
        if (f.stalled) {
            EXPECT_EQ(-1, f.remainingMs);
        }
    }
    tracker.setInactivityLimitMs(100);
    EXPECT_TRUE(tracker.figures(Box(2000, 1000, &g), 9 * limit + 101).stalled);
}

TEST(TaskProgress, TrackerKeepsEachBoxStart) {
    TransferInfo info;
    DirectDownloadGroup a(DirectPurpose::Stream, info, {{"RETR", "a"}});
    DirectDownloadGroup b(DirectPurpose::Stream, info, {{"RETR", "b"}});
    TaskProgressTracker tracker;
    tracker.started(&a, 0, 1000);
    tracker.started(&b, 500, 3000);
    EXPECT_EQ(200, tracker.figures(Box(1000, 200, &a), 2000).bytesPerSecond);
    const TaskFigures fb = tracker.figures(Box(1000, 900, &b), 5000);
    EXPECT_EQ(2000, fb.elapsedMs);
    EXPECT_EQ(200, fb.bytesPerSecond);
    tracker.ended(&a);
    EXPECT_EQ(1, tracker.count());
    // A box whose start was missed is measured from the first look at it.
    const TaskFigures late = tracker.figures(Box(1000, 400, &a), 9000);
    EXPECT_EQ(0, late.elapsedMs);
    EXPECT_EQ(-1, late.remainingMs);
    EXPECT_EQ(100, tracker.figures(Box(1000, 600, &a), 11000).bytesPerSecond);
    EXPECT_EQ(QStringLiteral("Download"), TaskKindText(3));
    EXPECT_EQ(QStringLiteral("Direct upload"), TaskKindText(5));
}

// Speed and time left come from the last seconds: a link that slows down or
// stops shows it at once instead of in a fading average.
TEST(TaskProgress, SpeedFollowsTheLastSeconds) {
    TransferInfo info;
    DirectDownloadGroup g(DirectPurpose::Stream, info, {{"RETR", "a"}});
    TaskProgressTracker tracker;
    tracker.started(&g, 0, 0);
    qint64 position = 0;
    TaskFigures f;
    const auto run = [&](qint64 fromS, qint64 toS, qint64 perSecond) {
        for (qint64 s = fromS + 1; s <= toS; ++s) {
            position += perSecond;
            f = tracker.figures(Box(100000, position, &g), s * 1000);
        }
    };
    run(0, 10, 1000);
    EXPECT_EQ(1000, f.bytesPerSecond);
    run(10, 20, 100);
    EXPECT_EQ(100, f.bytesPerSecond);  // the average would say 550
    EXPECT_EQ((100000 - 11000) * 10, f.remainingMs);
    run(20, 26, 0);
    EXPECT_EQ(0, f.bytesPerSecond);
    EXPECT_EQ(-1, f.remainingMs);
}
