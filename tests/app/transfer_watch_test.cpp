#include "app/transfer_watch.h"

#include "platform/desktop_notifier.h"
#include "platform/sleep_inhibitor.h"
#include "remote/transfer_starters.h"
#include "support/session_harness.h"
#include "support/transfer_test_util.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace transfer_test;

namespace {

struct RecordingNotifier : DesktopNotifier {
    void notify(const QString& title, const QString& text) override {
        shown << title + " | " + text;
    }
    QStringList shown;
};

// Records the lock's real changes; repeated calls change nothing, as the
// interface promises.
struct RecordingInhibitor : SleepInhibitor {
    void acquire() override {
        if (!held)
            events << "acquire";
        held = true;
    }
    void release() override {
        if (held)
            events << "release";
        held = false;
    }
    bool isAcquired() const override { return held; }
    bool held = false;
    QStringList events;
};

// The server plays only what comes after login.
struct LoggedIn : SessionHarness {
    LoggedIn() { loginIdle(); }
};

struct Rig {
    Rig() {
        server.addFile("/www/a.txt", "alpha");
        server.addFile("/www/b.txt", "bravo");
    }
    LoggedIn h;
    TransferServer server{h};
    RecordingNotifier notifier;
    RecordingInhibitor inhibitor;
    bool active = false;
    TransferWatch watch{h.session, notifier, inhibitor, [this] { return active; }};
    QTemporaryDir dir;
};

TEST(TransferWatch, KeepsTheMachineAwakeFromTheFirstTransferUntilTheQueueEmpties) {
    Rig rig;
    TransferStarters(rig.h.engine).download("/www", rig.dir.path());
    rig.server.pauseAt = [](const QByteArray& line) { return line == "RETR b.txt"; };
    ASSERT_TRUE(rig.server.run());
    // a.txt has been fetched, b.txt is still queued: the lock stays.
    EXPECT_EQ(rig.inhibitor.events, QStringList{"acquire"});
    EXPECT_TRUE(rig.inhibitor.held);

    rig.server.pauseAt = nullptr;
    ASSERT_TRUE(rig.server.run());
    rig.h.settle();
    EXPECT_TRUE(rig.h.session.queue().isEmpty());
    EXPECT_EQ(rig.inhibitor.events, (QStringList{"acquire", "release"}));
    EXPECT_EQ(readFile(rig.dir.filePath("b.txt")), "bravo");
    // The window was not active: the end is announced once.
    EXPECT_EQ(rig.notifier.shown, QStringList{"Velmora | Downloading files completed"});
}

TEST(TransferWatch, ClosingTheConnectionLetsTheMachineSleep) {
    Rig rig;
    TransferStarters(rig.h.engine).download("/www", rig.dir.path());
    rig.server.pauseAt = [](const QByteArray& line) { return line == "RETR b.txt"; };
    ASSERT_TRUE(rig.server.run());
    ASSERT_TRUE(rig.inhibitor.held);
    rig.h.session.closeConnection();
    EXPECT_EQ(rig.inhibitor.events, (QStringList{"acquire", "release"}));
    EXPECT_TRUE(rig.notifier.shown.isEmpty());
}

TEST(TransferWatch, ListingsAloneDoNotTakeTheLock) {
    Rig rig;
    rig.h.session.queue().addCommand("NOOP");
    rig.h.session.advance(false);
    rig.h.reply("200 NOOP ok\r\n");
    EXPECT_TRUE(rig.inhibitor.events.isEmpty());
}

struct MarkerCase {
    int value;
    QString caption;
    bool windowActive;
    bool announced;
};

TEST(TransferWatch, AnnouncesFinishedTransfersOnlyWhileTheWindowIsInactive) {
    const MarkerCase cases[] = {
        {2, "Downloading files completed", false, true},
        {1, "Uploading files completed", false, true},
        {2, "Downloading files completed", true, false},
        {1, "Uploading files completed", true, false},
        {3, "Deleting files completed", false, false},
        {4, "Changing permissions completed", false, false},
        {5, "Search completed", false, false},
    };
    for (const MarkerCase& c : cases) {
        SCOPED_TRACE(c.caption.toStdString() + (c.windowActive ? " active" : " inactive"));
        Rig rig;
        rig.active = c.windowActive;
        rig.h.session.queue().addFakeStart("Start");
        rig.h.session.queue().addCommand("NOOP");
        rig.h.session.queue().addFakeCompleted(c.value, c.caption);
        rig.h.session.advance(false);
        rig.h.settle();
        rig.h.reply("200 NOOP ok\r\n");
        const QStringList expected =
            c.announced ? QStringList{"Velmora | " + c.caption} : QStringList{};
        EXPECT_EQ(rig.notifier.shown, expected);
    }
}

}  // namespace
