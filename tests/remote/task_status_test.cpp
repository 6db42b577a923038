#include "remote/task_status.h"
#include "remote/action_engine.h"
#include "remote/transfer_starters.h"

#include "support/session_harness.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

struct Completion {
    int kind;
    qint64 elapsed;
    bool operator==(const Completion&) const = default;
};

// A status line on a clock the test sets, recording what it hands on.
struct StatusRig {
    qint64 clock = 0;
    TaskStatus status{[this] { return clock; }};
    std::vector<Completion> completions;
    int stopBeeps = 0;

    StatusRig() {
        status.setCompletionHandler([this](int kind, qint64 elapsed) {
            completions.push_back({kind, elapsed});
        });
        status.setStopBeepHandler([this] { ++stopBeeps; });
    }
    void start(const QString& caption, qint64 at) {
        clock = at;
        status.onMarker(1, 0, caption, 0);
    }
    void complete(int value, const QString& caption, qint64 at, quintptr token = 0) {
        clock = at;
        status.onMarker(2, value, caption, token);
    }
};

bool SameColor(const Rgb& a, const Rgb& b) {
    return a == b;
}

}  // namespace

TEST(TaskStatus, TextAndColourFollowTheState) {
    const struct {
        int state;
        const char* expected;
        Rgb color;
    } cases[] = {
        {0, "No task", {0, 0, 0}},
        {1, "Start downloading files", {128, 0, 0}},
        {2, "Start downloading files", {0, 96, 0}},
        {3, "Start downloading files", {160, 96, 0}},
        {4, "Start downloading files", {255, 0, 0}},
        {5, "unknown action", {255, 0, 0}},
        {-1, "unknown action", {255, 0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QString::fromLatin1(c.expected),
                  TaskStatus::taskStatusText(c.state, QStringLiteral("Start downloading files")))
            << c.state;
        EXPECT_TRUE(SameColor(c.color, TaskStatus::taskStatusColor(c.state))) << c.state;
    }
    StatusRig rig;
    EXPECT_EQ(QStringLiteral("No task"), rig.status.displayText());
    EXPECT_TRUE(SameColor(Rgb{0, 0, 0}, rig.status.displayColor()));
}

TEST(TaskStatus, StartShowsCaptionNotesTimeAndStopsTheBeep) {
    StatusRig rig;
    QSignalSpy changed(&rig.status, &TaskStatus::changed);
    rig.start(QStringLiteral("Start uploading files"), 1234);
    EXPECT_EQ(1, rig.status.state());
    EXPECT_EQ(QStringLiteral("Start uploading files"), rig.status.displayText());
    EXPECT_TRUE(SameColor(Rgb{128, 0, 0}, rig.status.displayColor()));
    EXPECT_EQ(1234, rig.status.startTime());
    EXPECT_EQ(1, rig.stopBeeps);
    EXPECT_EQ(1, changed.count());
    EXPECT_TRUE(rig.completions.empty());
}

TEST(TaskStatus, CompletedMeasuresFromTheStartAndHandsOnByValue) {
    const struct {
        int value;
        bool toCompletion;
    } cases[] = {{1, true}, {2, true}, {3, true}, {4, true}, {0, false}, {6, false}, {5, false}};
    for (const auto& c : cases) {
        StatusRig rig;
        QSignalSpy loopEnded(&rig.status, &TaskStatus::loopEnded);
        rig.start(QStringLiteral("Start"), 10'000);
        rig.complete(c.value, QStringLiteral("Done"), 250'000);
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(2, rig.status.state()) << c.value;
        EXPECT_EQ(QStringLiteral("Done"), rig.status.displayText()) << c.value;
        EXPECT_TRUE(SameColor(Rgb{0, 96, 0}, rig.status.displayColor())) << c.value;
        EXPECT_EQ(240'000, rig.status.elapsedMs()) << c.value;
        const std::vector<Completion> expected = c.toCompletion
                                                     ? std::vector<Completion>{{c.value, 240'000}}
                                                     : std::vector<Completion>{};
        EXPECT_EQ(expected, rig.completions) << c.value;
        // A loop end without a window to tell goes nowhere.
        EXPECT_EQ(0, loopEnded.count()) << c.value;
    }
}

TEST(TaskStatus, LoopEndReachesItsOwnerAfterTheQueuePass) {
    StatusRig rig;
    QSignalSpy loopEnded(&rig.status, &TaskStatus::loopEnded);
    rig.start(QStringLiteral("Start comparing"), 500);
    rig.complete(5, QStringLiteral("Comparing completed"), 8'500, quintptr(0xBEEF));
    // Posted, not delivered while the queue is still handing out markers.
    EXPECT_EQ(0, loopEnded.count());
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(1, loopEnded.count());
    EXPECT_EQ(quintptr(0xBEEF), loopEnded.at(0).at(0).value<quintptr>());
    EXPECT_EQ(8'000, loopEnded.at(0).at(1).toLongLong());
    EXPECT_TRUE(rig.completions.empty());
}

TEST(TaskStatus, CompletionWithoutAStartCountsAsInstant) {
    // Measuring from the clock's origin would make it look hours long.
    StatusRig rig;
    rig.complete(2, QStringLiteral("Downloading files completed"), 50'000'000);
    EXPECT_EQ((std::vector<Completion>{{2, 0}}), rig.completions);
    // A clock that went backwards never gives a negative time either.
    rig.start(QStringLiteral("Start"), 9'000);
    rig.complete(1, QStringLiteral("Uploading files completed"), 8'000);
    EXPECT_EQ((Completion{1, 0}), rig.completions.back());
}

TEST(TaskStatus, OtherMarkerKindsLeaveTheLineAlone) {
    StatusRig rig;
    rig.start(QStringLiteral("Start deleting"), 100);
    QSignalSpy changed(&rig.status, &TaskStatus::changed);
    rig.status.onMarker(0, 2, QStringLiteral("none"), 0);
    rig.status.onMarker(3, 2, QStringLiteral("folder"), 0);
    EXPECT_EQ(1, rig.status.state());
    EXPECT_EQ(QStringLiteral("Start deleting"), rig.status.text());
    EXPECT_EQ(0, changed.count());
    EXPECT_TRUE(rig.completions.empty());
}

TEST(TaskStatus, FollowsTheMarkersASessionReaches) {
    SessionHarness h;
    h.loginIdle();
    StatusRig rig;
    rig.status.connectTo(h.session);
    rig.clock = 40;
    h.session.queue().addFakeStart(QStringLiteral("Start downloading files"));
    h.session.queue().addCommand("NOOP");
    h.session.queue().addFakeCompleted(2, QStringLiteral("Downloading files completed"));
    h.session.advance(false);
    h.settle();
    EXPECT_EQ(QStringLiteral("Start downloading files"), rig.status.displayText());
    EXPECT_EQ(1, rig.stopBeeps);
    rig.clock = 1'040;
    h.reply("200 NOOP ok\r\n");
    EXPECT_EQ(QStringLiteral("Downloading files completed"), rig.status.displayText());
    EXPECT_EQ((std::vector<Completion>{{2, 1'000}}), rig.completions);
    EXPECT_TRUE(h.session.queue().isEmpty());
}

// A task that met failures, or that the user stopped, ends saying so in the
// colour of its end; the completion actions still learn that it ended.
TEST(TaskStatus, TroubleDuringATaskShowsAtItsEnd) {
    const struct {
        const char* name;
        QStringList problems;
        bool stopped;
        int state;
        const char* text;
        Rgb color;
    } cases[] = {
        {"clean", {}, false, 2, "Downloading files completed", {0, 96, 0}},
        {"stopped", {}, true, 3, "Downloading files stopped", {160, 96, 0}},
        {"one failure",
         {"Can not read local folder /x"},
         false,
         4,
         "Downloading files failed: Can not read local folder /x",
         {255, 0, 0}},
        {"failures and a stop",
         {"RETR a: 550 No", "RETR b: 550 No"},
         true,
         4,
         "Downloading files failed: RETR a: 550 No (and 1 more)",
         {255, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StatusRig rig;
        QSignalSpy ownedEnd(&rig.status, &TaskStatus::ownedTaskEnded);
        rig.status.noteProblem(QStringLiteral("before the task: not counted"));
        rig.start(QStringLiteral("Start downloading files"), 0);
        for (const QString& p : c.problems)
            rig.status.noteProblem(p);
        if (c.stopped)
            rig.status.noteStopped();
        rig.complete(2, QStringLiteral("Downloading files completed"), 500, quintptr(0xBEEF));
        EXPECT_EQ(c.state, rig.status.state());
        EXPECT_EQ(QString::fromLatin1(c.text), rig.status.displayText());
        EXPECT_TRUE(SameColor(c.color, rig.status.displayColor()));
        EXPECT_EQ((std::vector<Completion>{{2, 500}}), rig.completions);
        // The owner named by the completed entry learns whether it ended clean.
        QCoreApplication::sendPostedEvents();
        ASSERT_EQ(1, ownedEnd.count());
        EXPECT_EQ(quintptr(0xBEEF), ownedEnd.at(0).at(0).value<quintptr>());
        EXPECT_EQ(c.state == 2, ownedEnd.at(0).at(1).toBool());
    }
}

TEST(TaskStatus, TaskCutOffEndsAtOnceAndOnlyOnce) {
    StatusRig rig;
    rig.start(QStringLiteral("Start uploading project files"), 0);
    rig.status.endRunningTask(false, QStringLiteral("the connection was closed"));
    EXPECT_EQ(4, rig.status.state());
    EXPECT_EQ(QStringLiteral("Uploading project files failed: the connection was closed"),
              rig.status.displayText());
    rig.status.endRunningTask(true);
    EXPECT_EQ(QStringLiteral("Uploading project files failed: the connection was closed"),
              rig.status.displayText());
    // Its completed entry, told late by a transfer connection that finished
    // its files, does not turn the line green: the rest of the task was lost.
    rig.complete(1, QStringLiteral("Uploading project files completed"), 5);
    EXPECT_EQ(4, rig.status.state());
    EXPECT_TRUE(rig.completions.empty());
    // A loop's late end still reaches its window, which would wait for ever.
    QSignalSpy loopEnded(&rig.status, &TaskStatus::loopEnded);
    rig.complete(5, QStringLiteral("Comparing items completed"), 6, quintptr(0xBEEF));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(1, loopEnded.count());
    EXPECT_EQ(4, rig.status.state());
    rig.start(QStringLiteral("Start deleting files"), 10);
    rig.status.endRunningTask(true);
    EXPECT_EQ(QStringLiteral("Deleting files stopped"), rig.status.displayText());

    // Of two tasks, the one whose files go on over transfer connections is
    // not cut off with the main connection: it ends when its files do.
    rig.status.onMarker(1, 0, QStringLiteral("Start downloading files"), 0, 21);
    rig.status.onMarker(1, 0, QStringLiteral("Start uploading normal files"), 0, 22);
    rig.status.endRunningTask(false, QStringLiteral("the connection was closed"),
                              [](quint64 task) { return task == 22; });
    EXPECT_EQ(QStringLiteral("Downloading files failed: the connection was closed"),
              rig.status.displayText());
    rig.status.onMarker(2, 1, QStringLiteral("Uploading normal files completed"), 0, 22);
    EXPECT_EQ(2, rig.status.state());
    EXPECT_EQ(QStringLiteral("Uploading normal files completed"), rig.status.displayText());
    EXPECT_EQ(QStringLiteral("Initializing project Folder"),
              TaskStatus::taskName(QStringLiteral("Initializing project Folder completed")));
}

// Tasks overlap when transfer connections carry one's files past the next
// one's start: the line never says "completed" while another still runs, but
// a task that failed says so until the next marker.
TEST(TaskStatus, AnEndedTaskGivesTheLineBackToOneStillRunningUnlessItFailed) {
    StatusRig rig;
    rig.status.onMarker(1, 0, QStringLiteral("Start uploading normal files"), 0, 31);
    rig.clock = 100;
    rig.status.onMarker(1, 0, QStringLiteral("Start downloading files"), 0, 32);
    rig.clock = 300;
    rig.status.onMarker(2, 2, QStringLiteral("Downloading files completed"), 0, 32);
    EXPECT_EQ(TaskStatus::Running, rig.status.state());
    EXPECT_EQ(QStringLiteral("Start uploading normal files"), rig.status.displayText());
    EXPECT_EQ(0, rig.status.startTime());
    EXPECT_EQ((std::vector<Completion>{{2, 200}}), rig.completions);

    rig.status.onMarker(1, 0, QStringLiteral("Start deleting files"), 0, 33);
    rig.status.noteProblem(QStringLiteral("DELE a: 550 No"), 33);
    rig.status.onMarker(2, 3, QStringLiteral("Deleting files completed"), 0, 33);
    EXPECT_EQ(TaskStatus::Failed, rig.status.state());
    rig.clock = 900;
    rig.status.onMarker(2, 1, QStringLiteral("Uploading normal files completed"), 0, 31);
    EXPECT_EQ(TaskStatus::Completed, rig.status.state());
    EXPECT_EQ(900, rig.status.elapsedMs());
}

TEST(TaskStatus, FollowsRefusalsAndRemovalsOfASession) {
    SessionHarness h;
    h.loginIdle();
    StatusRig rig;
    rig.status.connectTo(h.session);
    CommandQueue& q = h.session.queue();
    q.addFakeStart(QStringLiteral("Start deleting files"));
    q.addCommands({{"CWD", "/www"}, {"DELE", "a.txt"}});
    q.addFakeCompleted(3, QStringLiteral("Deleting files completed"));
    h.session.advance(false);
    h.reply("250 ok\r\n");
    h.reply("550 a.txt: Permission denied\r\n");
    EXPECT_EQ(QStringLiteral("Deleting files failed: DELE a.txt: 550 a.txt: Permission denied"),
              rig.status.displayText());

    // "Remove all tasks" ends the task at once: its completed entry is gone.
    q.addFakeStart(QStringLiteral("Start deleting files"));
    q.addCommand("NOOP");
    q.addFakeCompleted(3, QStringLiteral("Deleting files completed"));
    h.session.advance(false);
    EXPECT_EQ(1, rig.status.state());
    h.session.clearQueue();
    EXPECT_EQ(QStringLiteral("Deleting files stopped"), rig.status.displayText());

    // Work started while the lost connection waits for Re-connect is not
    // queued to wait for ever: the line says why it failed at once.
    QObject::connect(&h.engine, &ActionEngine::taskRefused, &rig.status, &TaskStatus::refuseTask);
    h.control()->hangUp();
    h.settle();
    TransferStarters(h.engine).download("/www", QStringLiteral("/tmp/site"));
    EXPECT_TRUE(q.isEmpty());
    EXPECT_EQ(4, rig.status.state());
    EXPECT_TRUE(rig.status.displayText().startsWith(
        "Downloading files failed: the connection to the server was lost"))
        << rig.status.displayText().toStdString();

    // Nor while closed: the next connection would empty the queue.
    h.session.closeConnection();
    TransferStarters(h.engine).download("/www", QStringLiteral("/tmp/site"));
    EXPECT_TRUE(q.isEmpty());
    EXPECT_EQ(rig.status.displayText(),
              QStringLiteral("Downloading files failed: not connected to a server"));
}
