#pragma once

#include "app/app_settings.h"
#include "app/command_ids.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

class Beeper;
class Prompter;
class SystemShutdown;
class TaskStatus;

// What happens when a long piece of work on the server ends: the beeps, the
// continual beep after long actions, and the shutdown of the system or of the
// program once no transfer remains. Dialogs and menus are the widget layer's;
// the rules they follow are here.

// The kinds of completed actions.
enum CompletedKind {
    kCompletedUpload = 1,
    kCompletedDownload = 2,
    kCompletedDelete = 3,
    kCompletedPermissions = 4,
};

// ShutdownFlags: kept for the run only. With both set the system wins.
enum ShutdownFlag {
    kShutdownSystem = 0x01,
    kShutdownProgram = 0x02,
};

inline constexpr int kBeepMs = 10;
inline constexpr int kTestBeepMs = 20;  // the options dialog's "Test"
inline constexpr int kBeepIntervalMs = 1000;
inline constexpr int kCountdownSeconds = 30;
inline constexpr int kCountdownTickMs = 1000;
inline constexpr int kMinBeepFrequency = 50;
inline constexpr int kMaxBeepFrequency = 10000;
inline constexpr int kMinBeepMinutes = 1;
inline constexpr int kMaxBeepMinutes = 60;

// The BeepFlags bit of a completed kind, 0 for an unknown kind.
qint32 beepFlagForKind(int kind);
// The BeepFlags bit a menu command toggles, 0 for other commands.
qint32 beepFlagForCommand(int commandId);
// Toggles that bit; false (nothing changed) for other commands.
bool toggleBeepFlag(AppSettings& settings, int commandId);

// "%d minute", with "s" above 1: the spin label of the options dialog.
QString beepMinutesText(int minutes);
// The text of the menu item kCmdBeepOptions.
QString beepMenuText(const AppSettings& settings);

// The beep options dialog's values.
struct BeepOptions {
    bool notContinually = true;
    int frequency = 1000;
    int minutes = 5;

    bool operator==(const BeepOptions&) const = default;
};

// What the dialog opens with: the stored values, held inside the controls'
// ranges as the slider and the spin control would show them.
BeepOptions beepOptionsFrom(const AppSettings& settings);
// The spin control and its label are usable only while continual beeping is on.
bool beepMinutesEnabled(const BeepOptions& options);

enum class BeepOptionsOutcome { NoChange, Accepted };
// "Apply": "No change." when nothing differs from what the dialog opened with
// (the dialog stays open), else accepted.
BeepOptionsOutcome applyBeepOptions(const BeepOptions& opened, const BeepOptions& chosen,
                                    Prompter& prompter);
// Stores an accepted choice: frequency, minutes and the "Do not beep
// continually" bit; the other flags stay.
void storeBeepOptions(const BeepOptions& options, AppSettings& settings);

// The question asked before a shutdown is switched on.
QString shutdownConfirmationText(bool system);

// The running shutdown countdown: seconds left and the pieces of its line.
class ShutdownCountdown {
public:
    enum class Mode { System, Program };

    // System mode when 0x01 is set, else program mode; none without a flag.
    static std::optional<ShutdownCountdown> forFlags(int flags, int seconds = kCountdownSeconds);

    Mode mode() const { return mode_; }
    int remaining() const { return remaining_; }
    // One second passed; true once the count went below 0 (shut down now).
    bool tick();
    bool expired() const { return remaining_ < 0; }

    // "System will be shutdown in" / "Application will be shutdown in".
    QString leadText() const;
    // " %d " with the seconds left (drawn in red).
    QString countText() const;
    // "seconds" while more than 1 second remains, else "second".
    QString unitText() const;
    QString lineText() const { return leadText() + countText() + unitText(); }

private:
    ShutdownCountdown(Mode mode, int seconds) : mode_(mode), remaining_(seconds) {}

    Mode mode_;
    int remaining_;
};

class CompletionActions : public QObject {
    Q_OBJECT
public:
    // settings supplies BeepFlags, BeepMinutes and BeepFrequency, read when used.
    CompletionActions(const AppSettings& settings, Beeper& beeper, SystemShutdown& shutdown,
                      QObject* parent = nullptr);
    ~CompletionActions() override;

    // Whether transfers remain in the queue; the shutdown waits for them.
    void setPendingTransferCheck(std::function<bool()> check) { pending_ = std::move(check); }
    // Takes the status line's completions, and its starts stop the continual beep.
    void attachTo(TaskStatus& status);

    // The beep rule; for uploads and downloads the shutdown check follows,
    // posted, after the completing action has finished its own handling.
    void onActionCompleted(int kind, qint64 elapsedMs);

    // Continual beep.
    bool stopBeepVisible() const { return stopBeepVisible_; }
    const QTimer& beepTimer() const { return beepTimer_; }
    // The stop-beep button (and a new task's start).
    void stopContinualBeep();
    // Entry point of the beep timer, public so tests can tick it.
    void onBeepTimer();

    // Shutdown.
    int shutdownFlags() const { return shutdownFlags_; }
    // kCmdShutdownSystem / kCmdShutdownProgram: a set flag is cleared at once; a clear one is set
    // only when the user confirms. Returns whether the flag is set afterwards.
    bool toggleShutdown(int commandId, Prompter& prompter);
    void runShutdownCheck();
    // The open countdown, null when none.
    const ShutdownCountdown* countdown() const { return countdown_ ? &*countdown_ : nullptr; }
    const QTimer& countdownTimer() const { return countdownTimer_; }
    // Entry point of the countdown timer, public so tests can tick it.
    void onCountdownTimer();
    // "Shundown Now" (also when the count runs out).
    void shutdownNow();
    // "Cancel": the flags stay, so the next completed transfer counts down again.
    void cancelCountdown();

signals:
    void stopBeepVisibleChanged(bool visible);
    void countdownStarted();
    void countdownChanged(int remaining);
    void countdownClosed();
    // Program mode: the main window closes itself (saving as on a normal close).
    void closeProgramRequested();

private:
    void beepOnce();
    void setStopBeepVisible(bool visible);
    void closeCountdown();

    const AppSettings& settings_;
    Beeper& beeper_;
    SystemShutdown& shutdown_;
    std::function<bool()> pending_;
    QTimer beepTimer_;
    bool stopBeepVisible_ = false;
    int shutdownFlags_ = 0;
    std::optional<ShutdownCountdown> countdown_;
    QTimer countdownTimer_;
};
