#include "app/completion_actions.h"

#include "remote/task_status.h"
#include "session/direct_download_group.h"
#include "support/desktop_recorders.h"
#include "support/scripted_prompter.h"
#include "support/session_harness.h"
#include "support/wait_until.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr qint64 kMinute = 60'000;

// Completion actions on recording devices, with the settings a test sets.
struct Rig {
    AppSettings settings;
    RecordingBeeper beeper;
    RecordingShutdown shutdown;
    bool transfersRemain = false;
    CompletionActions actions{settings, beeper, shutdown};

    Rig() {
        actions.setPendingTransferCheck([this] { return transfersRemain; });
    }
    // Switches shutdown flags on, confirming each question.
    void enableShutdown(int flags) {
        ScriptedPrompter prompter;
        if (flags & kShutdownSystem) {
            prompter.answer(true);
            actions.toggleShutdown(kCmdShutdownSystem, prompter);
        }
        if (flags & kShutdownProgram) {
            prompter.answer(true);
            actions.toggleShutdown(kCmdShutdownProgram, prompter);
        }
    }
    // Completes an action and lets the posted shutdown check run.
    void complete(int kind, qint64 elapsed) {
        actions.onActionCompleted(kind, elapsed);
        QCoreApplication::sendPostedEvents();
    }
};

}  // namespace

TEST(CompletionBeep, BeepRuleByFlagsMinutesAndKind) {
    const qint32 defaults = AppSettings{}.BeepFlags;
    const struct {
        const char* what;
        qint32 flags;
        int minutes;
        int kind;
        qint64 elapsed;
        int beeps;
        bool continual;
    } cases[] = {
        {"4-minute download, defaults", defaults, 5, kCompletedDownload, 4 * kMinute, 1, false},
        {"upload, defaults", defaults, 5, kCompletedUpload, 1000, 1, false},
        {"long upload, defaults", defaults, 5, kCompletedUpload, 90 * kMinute, 1, false},
        {"delete, defaults", defaults, 5, kCompletedDelete, 1000, 0, false},
        {"delete checked", defaults | 0x08, 5, kCompletedDelete, 1000, 1, false},
        {"permissions, defaults", defaults, 5, kCompletedPermissions, 1000, 0, false},
        {"permissions checked", defaults | 0x04, 5, kCompletedPermissions, 1000, 1, false},
        {"download unchecked", 0x12, 5, kCompletedDownload, 1000, 0, false},
        {"continual, long download", 0x01, 3, kCompletedDownload, 4 * kMinute, 1, true},
        {"continual, download unchecked", 0x00, 3, kCompletedDownload, 4 * kMinute, 1, true},
        {"continual, delete unchecked", 0x00, 3, kCompletedDelete, 4 * kMinute, 1, true},
        {"continual, exactly the threshold", 0x01, 3, kCompletedDownload, 3 * kMinute, 1, false},
        {"continual, just past it", 0x00, 3, kCompletedDownload, 3 * kMinute + 1, 1, true},
        {"continual, short, unchecked", 0x00, 3, kCompletedUpload, 2 * kMinute, 0, false},
        {"unknown kind", 0x0F, 3, 7, 4 * kMinute, 0, false},
        // A damaged settings file must not make every action beep continually.
        {"minutes 0 counts as 1", 0x01, 0, kCompletedDownload, 30'000, 1, false},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.settings.BeepFlags = c.flags;
        rig.settings.BeepMinutes = c.minutes;
        rig.actions.onActionCompleted(c.kind, c.elapsed);
        EXPECT_EQ(c.beeps, rig.beeper.beeps.size()) << c.what;
        EXPECT_EQ(c.continual, rig.actions.beepTimer().isActive()) << c.what;
        EXPECT_EQ(c.continual, rig.actions.stopBeepVisible()) << c.what;
    }
}

TEST(CompletionBeep, ToneUsesTheFrequencyForTenMilliseconds) {
    const struct {
        int stored;
        int played;
    } cases[] = {{2500, 2500}, {50, 50}, {10000, 10000}, {0, 50}, {99999, 10000}};
    for (const auto& c : cases) {
        Rig rig;
        rig.settings.BeepFrequency = c.stored;
        rig.actions.onActionCompleted(kCompletedDownload, 10);
        ASSERT_EQ(1, rig.beeper.beeps.size()) << c.stored;
        EXPECT_EQ((std::pair<int, int>{c.played, 10}), rig.beeper.beeps[0]) << c.stored;
    }
}

TEST(CompletionBeep, ContinualBeepRunsEverySecondUntilStopped) {
    Rig rig;
    rig.settings.BeepFlags = 0x00;  // download not checked, continual on
    rig.settings.BeepMinutes = 3;
    QSignalSpy visible(&rig.actions, &CompletionActions::stopBeepVisibleChanged);
    rig.actions.onActionCompleted(kCompletedDownload, 4 * kMinute);
    EXPECT_EQ(1000, rig.actions.beepTimer().interval());
    ASSERT_EQ(1, visible.count());
    EXPECT_TRUE(visible.at(0).at(0).toBool());

    // The real timer beeps on its own...
    ASSERT_TRUE(waitUntil([&] { return rig.beeper.beeps.size() >= 2; }, 5000));
    ASSERT_EQ(2, rig.beeper.beeps.size());
    // ...and every tick is the same short tone.
    rig.actions.onBeepTimer();
    rig.actions.onBeepTimer();
    EXPECT_EQ(4, rig.beeper.beeps.size());
    for (const auto& b : rig.beeper.beeps)
        EXPECT_EQ((std::pair<int, int>{1000, 10}), b);

    rig.actions.stopContinualBeep();
    EXPECT_FALSE(rig.actions.beepTimer().isActive());
    EXPECT_FALSE(rig.actions.stopBeepVisible());
    ASSERT_EQ(2, visible.count());
    EXPECT_FALSE(visible.at(1).at(0).toBool());
}

TEST(CompletionBeep, StatusLineDrivesBeepsAndANewTaskStopsTheContinualOne) {
    Rig rig;
    rig.settings.BeepFlags = 0x01;
    rig.settings.BeepMinutes = 1;
    qint64 clock = 0;
    TaskStatus status([&clock] { return clock; });
    rig.actions.attachTo(status);
    status.onMarker(1, 0, QStringLiteral("Start downloading files"), 0);
    clock = 2 * kMinute;
    status.onMarker(2, 2, QStringLiteral("Downloading files completed"), 0);
    EXPECT_EQ(1, rig.beeper.beeps.size());
    EXPECT_TRUE(rig.actions.stopBeepVisible());
    status.onMarker(1, 0, QStringLiteral("Start uploading files"), 0);
    EXPECT_FALSE(rig.actions.beepTimer().isActive());
    EXPECT_FALSE(rig.actions.stopBeepVisible());
}

TEST(CompletionBeep, MenuTextAndFlagToggles) {
    const struct {
        qint32 flags;
        int minutes;
        const char* text;
    } texts[] = {
        {0x10, 5, "Do not beep continually"},
        {0x13, 1, "Do not beep continually"},
        {0x00, 1, "1 minute"},
        {0x03, 2, "2 minutes"},
        {0x0F, 60, "60 minutes"},
    };
    for (const auto& c : texts) {
        AppSettings s;
        s.BeepFlags = c.flags;
        s.BeepMinutes = c.minutes;
        EXPECT_EQ(QString::fromLatin1(c.text), beepMenuText(s)) << c.text;
    }

    const struct {
        int command;
        qint32 bit;
    } toggles[] = {{kCmdBeepDownload, 0x01},
                   {kCmdBeepUpload, 0x02},
                   {kCmdBeepDelete, 0x08},
                   {kCmdBeepPermissions, 0x04}};
    for (const auto& t : toggles) {
        AppSettings s;
        const qint32 before = s.BeepFlags;
        ASSERT_TRUE(toggleBeepFlag(s, t.command)) << t.command;
        EXPECT_EQ(before ^ t.bit, s.BeepFlags) << t.command;
        toggleBeepFlag(s, t.command);
        EXPECT_EQ(before, s.BeepFlags) << t.command;
    }
    AppSettings s;
    EXPECT_FALSE(toggleBeepFlag(s, kCmdBeepOptions));
    EXPECT_EQ(AppSettings{}.BeepFlags, s.BeepFlags);
}

TEST(BeepOptionsDialog, OpensWithStoredValuesAndStoresOnlyAChange) {
    AppSettings s;
    BeepOptions opened = beepOptionsFrom(s);
    EXPECT_EQ((BeepOptions{true, 1000, 5}), opened);
    EXPECT_FALSE(beepMinutesEnabled(opened));

    // Values out of the controls' ranges open as the controls show them.
    s.BeepFrequency = 20;
    s.BeepMinutes = 600;
    s.BeepFlags = 0x01;
    opened = beepOptionsFrom(s);
    EXPECT_EQ((BeepOptions{false, 50, 60}), opened);
    EXPECT_TRUE(beepMinutesEnabled(opened));

    ScriptedPrompter prompter;
    EXPECT_EQ(BeepOptionsOutcome::NoChange, applyBeepOptions(opened, opened, prompter));
    EXPECT_EQ(QStringList{QStringLiteral("No change.")}, prompter.messages());
    const BeepOptions changes[] = {{true, 50, 60}, {false, 51, 60}, {false, 50, 59}};
    for (const BeepOptions& chosen : changes)
        EXPECT_EQ(BeepOptionsOutcome::Accepted, applyBeepOptions(opened, chosen, prompter));
    EXPECT_EQ(1, prompter.messages().size());

    AppSettings stored;
    stored.BeepFlags = 0x0F | 0x10;
    storeBeepOptions(BeepOptions{false, 4400, 7}, stored);
    EXPECT_EQ(0x0F, stored.BeepFlags);
    EXPECT_EQ(4400, stored.BeepFrequency);
    EXPECT_EQ(7, stored.BeepMinutes);
    EXPECT_EQ(QStringLiteral("7 minutes"), beepMenuText(stored));
    storeBeepOptions(BeepOptions{true, 4400, 1}, stored);
    EXPECT_EQ(0x1F, stored.BeepFlags);
    EXPECT_EQ(QStringLiteral("1 minute"), beepMinutesText(stored.BeepMinutes));
}

TEST(ShutdownFlags, SwitchingOnAsksEveryTimeSwitchingOffNever) {
    const QString head = QStringLiteral(
        "If you click button 'Apply', when all of following actions completed,\n\n"
        "  Uploading files\n  Downloading files\n\n");
    const QString askSystem =
        head + QStringLiteral("System will be shutdown, do you want to apply?\n");
    const QString askProgram =
        head + QStringLiteral("The application will be shutdown, do you want to apply?\n");
    Rig rig;
    ScriptedPrompter prompter;
    prompter.expectQuestion(askSystem, false);
    EXPECT_FALSE(rig.actions.toggleShutdown(kCmdShutdownSystem, prompter));
    EXPECT_EQ(0, rig.actions.shutdownFlags());

    prompter.expectQuestion(askSystem, true);
    EXPECT_TRUE(rig.actions.toggleShutdown(kCmdShutdownSystem, prompter));
    EXPECT_EQ(kShutdownSystem, rig.actions.shutdownFlags());

    prompter.expectQuestion(askProgram, true);
    EXPECT_TRUE(rig.actions.toggleShutdown(kCmdShutdownProgram, prompter));
    EXPECT_EQ(kShutdownSystem | kShutdownProgram, rig.actions.shutdownFlags());

    // Off without a question.
    EXPECT_FALSE(rig.actions.toggleShutdown(kCmdShutdownSystem, prompter));
    EXPECT_EQ(kShutdownProgram, rig.actions.shutdownFlags());
    EXPECT_EQ(3, prompter.questions().size());

    prompter.expectQuestion(askSystem, true);
    EXPECT_TRUE(rig.actions.toggleShutdown(kCmdShutdownSystem, prompter));
    EXPECT_EQ(4, prompter.questions().size());
    EXPECT_FALSE(rig.actions.toggleShutdown(kCmdBeepOptions, prompter));
    EXPECT_EQ(kShutdownSystem | kShutdownProgram, rig.actions.shutdownFlags());
}

TEST(ShutdownCountdownText, PiecesAndSingularAtOneSecond) {
    EXPECT_FALSE(ShutdownCountdown::forFlags(0).has_value());
    const struct {
        int flags;
        const char* lead;
    } modes[] = {{0x01, "System will be shutdown in"},
                 {0x03, "System will be shutdown in"},
                 {0x02, "Application will be shutdown in"}};
    for (const auto& m : modes) {
        auto c = ShutdownCountdown::forFlags(m.flags);
        ASSERT_TRUE(c.has_value()) << m.flags;
        EXPECT_EQ(QString::fromLatin1(m.lead), c->leadText()) << m.flags;
        EXPECT_EQ(30, c->remaining());
    }
    auto c = *ShutdownCountdown::forFlags(kShutdownSystem);
    EXPECT_EQ(QStringLiteral("System will be shutdown in 30 seconds"), c.lineText());
    const struct {
        int remaining;
        const char* count;
        const char* unit;
    } steps[] = {
        {29, " 29 ", "seconds"}, {2, " 2 ", "seconds"}, {1, " 1 ", "second"}, {0, " 0 ", "second"}};
    for (const auto& s : steps) {
        while (c.remaining() > s.remaining)
            EXPECT_FALSE(c.tick());
        EXPECT_EQ(QString::fromLatin1(s.count), c.countText()) << s.remaining;
        EXPECT_EQ(QString::fromLatin1(s.unit), c.unitText()) << s.remaining;
    }
    EXPECT_FALSE(c.expired());
    EXPECT_TRUE(c.tick());
    EXPECT_TRUE(c.expired());
}

TEST(ShutdownCheck, BothFlagsCountDownInSystemModeAndPowerOff) {
    Rig rig;
    rig.enableShutdown(kShutdownSystem | kShutdownProgram);
    QSignalSpy closeProgram(&rig.actions, &CompletionActions::closeProgramRequested);
    QSignalSpy closed(&rig.actions, &CompletionActions::countdownClosed);
    rig.actions.onActionCompleted(kCompletedDownload, 1000);
    EXPECT_EQ(nullptr, rig.actions.countdown());  // the check is posted
    QCoreApplication::sendPostedEvents();
    ASSERT_NE(nullptr, rig.actions.countdown());
    EXPECT_EQ(ShutdownCountdown::Mode::System, rig.actions.countdown()->mode());
    EXPECT_EQ(QStringLiteral("System will be shutdown in 30 seconds"),
              rig.actions.countdown()->lineText());
    EXPECT_TRUE(rig.actions.countdownTimer().isActive());
    EXPECT_EQ(1000, rig.actions.countdownTimer().interval());

    for (int i = 0; i < 30; ++i)
        rig.actions.onCountdownTimer();
    ASSERT_NE(nullptr, rig.actions.countdown());
    EXPECT_EQ(QStringLiteral("System will be shutdown in 0 second"),
              rig.actions.countdown()->lineText());
    EXPECT_EQ(0, rig.shutdown.calls);
    rig.actions.onCountdownTimer();
    EXPECT_EQ(1, rig.shutdown.calls);
    EXPECT_EQ(nullptr, rig.actions.countdown());
    EXPECT_FALSE(rig.actions.countdownTimer().isActive());
    EXPECT_EQ(1, closed.count());
    EXPECT_EQ(0, closeProgram.count());
}

TEST(ShutdownCheck, ProgramModeClosesTheWindowAndCancelKeepsTheFlags) {
    Rig rig;
    rig.enableShutdown(kShutdownProgram);
    QSignalSpy closeProgram(&rig.actions, &CompletionActions::closeProgramRequested);
    rig.complete(kCompletedUpload, 10);
    ASSERT_NE(nullptr, rig.actions.countdown());
    EXPECT_EQ(QStringLiteral("Application will be shutdown in"),
              rig.actions.countdown()->leadText());
    rig.actions.cancelCountdown();
    EXPECT_EQ(nullptr, rig.actions.countdown());
    EXPECT_EQ(kShutdownProgram, rig.actions.shutdownFlags());
    EXPECT_EQ(0, closeProgram.count());

    // The next completed transfer counts down again; "Shundown Now" acts at once.
    rig.complete(kCompletedDownload, 10);
    ASSERT_NE(nullptr, rig.actions.countdown());
    rig.actions.shutdownNow();
    EXPECT_EQ(1, closeProgram.count());
    EXPECT_EQ(0, rig.shutdown.calls);
    EXPECT_EQ(nullptr, rig.actions.countdown());
}

TEST(ShutdownCheck, NoCountdownWhenItIsNotTime) {
    const struct {
        const char* what;
        int flags;
        int kind;
        bool transfersRemain;
    } cases[] = {
        {"no flag", 0, kCompletedDownload, false},
        {"delete", kShutdownSystem, kCompletedDelete, false},
        {"permissions", kShutdownSystem | kShutdownProgram, kCompletedPermissions, false},
        {"transfers remain", kShutdownSystem, kCompletedUpload, true},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.enableShutdown(c.flags);
        rig.transfersRemain = c.transfersRemain;
        QSignalSpy started(&rig.actions, &CompletionActions::countdownStarted);
        rig.complete(c.kind, 10 * kMinute);
        EXPECT_EQ(nullptr, rig.actions.countdown()) << c.what;
        EXPECT_EQ(0, started.count()) << c.what;
        EXPECT_EQ(0, rig.shutdown.calls) << c.what;
    }
}

TEST(ShutdownCheck, SwitchingTheLastFlagOffStopsARunningCountdown) {
    Rig rig;
    rig.enableShutdown(kShutdownSystem | kShutdownProgram);
    rig.complete(kCompletedDownload, 10);
    ASSERT_NE(nullptr, rig.actions.countdown());
    ScriptedPrompter prompter;
    rig.actions.toggleShutdown(kCmdShutdownSystem, prompter);
    ASSERT_NE(nullptr, rig.actions.countdown());  // the program flag still holds
    rig.actions.toggleShutdown(kCmdShutdownProgram, prompter);
    EXPECT_EQ(nullptr, rig.actions.countdown());
    for (int i = 0; i < 40; ++i)
        rig.actions.onCountdownTimer();
    EXPECT_EQ(0, rig.shutdown.calls);
}

TEST(ShutdownCheck, WaitsForTheSessionsLastTransfer) {
    for (const bool secondTransfer : {false, true}) {
        SessionHarness h;
        h.loginIdle();
        Rig rig;
        rig.enableShutdown(kShutdownSystem);
        rig.actions.setPendingTransferCheck(
            [&h] { return h.session.queue().hasPendingTransfer(); });
        TaskStatus status;
        status.connectTo(h.session);
        rig.actions.attachTo(status);

        auto download = [](const char* name) {
            TransferInfo info;
            info.remoteFolder = "/";
            info.fileName = name;
            return std::make_unique<DirectDownloadGroup>(DirectPurpose::Stream, info,
                                                         StepList{{"PASV", {}}, {"RETR", name}});
        };
        CommandQueue& q = h.session.queue();
        q.addFakeStart(QStringLiteral("Start downloading files"));
        q.append(download("a"));
        q.addFakeCompleted(2, QStringLiteral("Downloading files completed"));
        if (secondTransfer)
            q.append(download("b"));
        h.session.advance(false);
        h.serveData("abc");
        h.settle();
        EXPECT_EQ(QStringLiteral("Downloading files completed"), status.displayText());
        EXPECT_EQ(1, rig.beeper.beeps.size()) << secondTransfer;
        EXPECT_EQ(!secondTransfer, rig.actions.countdown() != nullptr) << secondTransfer;
    }
}
