#include "app/completion_actions.h"

#include "platform/beeper.h"
#include "platform/program_texts.h"
#include "platform/prompter.h"
#include "platform/shutdown.h"
#include "remote/task_status.h"

#include <QPointer>

// ------------------------------------------------------------------ beep rules

qint32 beepFlagForKind(int kind) {
    switch (kind) {
        case kCompletedUpload:
            return AppSettings::kBeepUpload;
        case kCompletedDownload:
            return AppSettings::kBeepDownload;
        case kCompletedDelete:
            return AppSettings::kBeepDelete;
        case kCompletedPermissions:
            return AppSettings::kBeepPermissions;
    }
    return 0;
}

qint32 beepFlagForCommand(int commandId) {
    switch (commandId) {
        case kCmdBeepDownload:
            return AppSettings::kBeepDownload;
        case kCmdBeepUpload:
            return AppSettings::kBeepUpload;
        case kCmdBeepDelete:
            return AppSettings::kBeepDelete;
        case kCmdBeepPermissions:
            return AppSettings::kBeepPermissions;
    }
    return 0;
}

bool toggleBeepFlag(AppSettings& settings, int commandId) {
    const qint32 bit = beepFlagForCommand(commandId);
    if (bit == 0)
        return false;
    settings.BeepFlags ^= bit;
    return true;
}

QString beepMinutesText(int minutes) {
    QString text = QString::asprintf(CompletionTexts::kMinuteFormat, minutes);
    if (minutes > 1)
        text += QLatin1Char('s');
    return text;
}

QString beepMenuText(const AppSettings& settings) {
    if (settings.BeepFlags & AppSettings::kBeepNotContinually)
        return QString::fromLatin1(CompletionTexts::kNotContinually);
    return beepMinutesText(settings.BeepMinutes);
}

BeepOptions beepOptionsFrom(const AppSettings& settings) {
    BeepOptions o;
    o.notContinually = settings.BeepFlags & AppSettings::kBeepNotContinually;
    o.frequency = qBound(kMinBeepFrequency, settings.BeepFrequency, kMaxBeepFrequency);
    o.minutes = qBound(kMinBeepMinutes, settings.BeepMinutes, kMaxBeepMinutes);
    return o;
}

bool beepMinutesEnabled(const BeepOptions& options) {
    return !options.notContinually;
}

BeepOptionsOutcome applyBeepOptions(const BeepOptions& opened, const BeepOptions& chosen,
                                    Prompter& prompter) {
    if (opened == chosen) {
        prompter.showMessage(QString::fromLatin1(CommonTexts::kNoChangeStop));
        return BeepOptionsOutcome::NoChange;
    }
    return BeepOptionsOutcome::Accepted;
}

void storeBeepOptions(const BeepOptions& options, AppSettings& settings) {
    settings.BeepFrequency = options.frequency;
    settings.BeepMinutes = options.minutes;
    if (options.notContinually)
        settings.BeepFlags |= AppSettings::kBeepNotContinually;
    else
        settings.BeepFlags &= ~AppSettings::kBeepNotContinually;
}

QString shutdownConfirmationText(bool system) {
    return QStringLiteral(
               "If you click button 'Apply', when all of following actions completed,\n\n") +
           QStringLiteral("  Uploading files\n") + QStringLiteral("  Downloading files\n") +
           QStringLiteral("\n") +
           (system ? QStringLiteral("System will be shutdown, ")
                   : QStringLiteral("The application will be shutdown, ")) +
           QStringLiteral("do you want to apply?\n");
}

// ------------------------------------------------------------------- countdown

std::optional<ShutdownCountdown> ShutdownCountdown::forFlags(int flags, int seconds) {
    if (flags & kShutdownSystem)
        return ShutdownCountdown(Mode::System, seconds);
    if (flags & kShutdownProgram)
        return ShutdownCountdown(Mode::Program, seconds);
    return std::nullopt;
}

bool ShutdownCountdown::tick() {
    if (remaining_ >= 0)
        --remaining_;
    return expired();
}

QString ShutdownCountdown::leadText() const {
    return QString::fromLatin1(mode_ == Mode::System ? CompletionTexts::kSystemLead
                                                     : CompletionTexts::kProgramLead);
}

QString ShutdownCountdown::countText() const {
    return QString::asprintf(CompletionTexts::kCountFormat, remaining_);
}

QString ShutdownCountdown::unitText() const {
    return QString::fromLatin1(remaining_ > 1 ? CompletionTexts::kSeconds
                                              : CompletionTexts::kSecond);
}

// ---------------------------------------------------------- completion actions

CompletionActions::CompletionActions(const AppSettings& settings, Beeper& beeper,
                                     SystemShutdown& shutdown, QObject* parent)
    : QObject(parent), settings_(settings), beeper_(beeper), shutdown_(shutdown) {
    beepTimer_.setInterval(kBeepIntervalMs);
    connect(&beepTimer_, &QTimer::timeout, this, &CompletionActions::onBeepTimer);
    countdownTimer_.setInterval(kCountdownTickMs);
    connect(&countdownTimer_, &QTimer::timeout, this, &CompletionActions::onCountdownTimer);
}

CompletionActions::~CompletionActions() = default;

void CompletionActions::attachTo(TaskStatus& status) {
    QPointer<CompletionActions> self(this);
    status.setCompletionHandler([self](int kind, qint64 elapsedMs) {
        if (self)
            self->onActionCompleted(kind, elapsedMs);
    });
    status.setStopBeepHandler([self] {
        if (self)
            self->stopContinualBeep();
    });
}

void CompletionActions::beepOnce() {
    // A frequency from a damaged settings file must still give an audible tone.
    beeper_.beep(qBound(kMinBeepFrequency, settings_.BeepFrequency, kMaxBeepFrequency), kBeepMs);
}

void CompletionActions::onActionCompleted(int kind, qint64 elapsedMs) {
    const qint32 ownFlag = beepFlagForKind(kind);
    const qint64 threshold =
        qint64(qBound(kMinBeepMinutes, settings_.BeepMinutes, kMaxBeepMinutes)) * 60000;
    if ((settings_.BeepFlags & AppSettings::kBeepNotContinually) || elapsedMs <= threshold) {
        if (ownFlag != 0 && (settings_.BeepFlags & ownFlag))
            beepOnce();
    } else if (ownFlag != 0) {
        // A long action: keep beeping until someone comes back and says stop,
        // whether or not this kind beeps on its own.
        beepOnce();
        beepTimer_.start();
        setStopBeepVisible(true);
    }
    if (kind == kCompletedUpload || kind == kCompletedDownload)
        QMetaObject::invokeMethod(this, &CompletionActions::runShutdownCheck, Qt::QueuedConnection);
}

void CompletionActions::stopContinualBeep() {
    beepTimer_.stop();
    setStopBeepVisible(false);
}

void CompletionActions::onBeepTimer() {
    beepOnce();
}

void CompletionActions::setStopBeepVisible(bool visible) {
    if (stopBeepVisible_ == visible)
        return;
    stopBeepVisible_ = visible;
    emit stopBeepVisibleChanged(visible);
}

bool CompletionActions::toggleShutdown(int commandId, Prompter& prompter) {
    int bit = 0;
    if (commandId == kCmdShutdownSystem)
        bit = kShutdownSystem;
    else if (commandId == kCmdShutdownProgram)
        bit = kShutdownProgram;
    else
        return false;
    if (shutdownFlags_ & bit) {
        shutdownFlags_ &= ~bit;
        // Switched off while counting down: the user no longer wants it.
        if (shutdownFlags_ == 0 && countdown_)
            cancelCountdown();
        return false;
    }
    if (!prompter.askYesNo(shutdownConfirmationText(bit == kShutdownSystem)))
        return false;
    shutdownFlags_ |= bit;
    return true;
}

void CompletionActions::runShutdownCheck() {
    if (shutdownFlags_ == 0)
        return;
    if (pending_ && pending_())
        return;
    if (countdown_)
        return;  // one countdown at a time
    countdown_ = ShutdownCountdown::forFlags(shutdownFlags_);
    if (!countdown_)
        return;
    countdownTimer_.start();
    emit countdownStarted();
}

void CompletionActions::onCountdownTimer() {
    if (!countdown_)
        return;
    if (countdown_->tick())
        shutdownNow();
    else
        emit countdownChanged(countdown_->remaining());
}

void CompletionActions::closeCountdown() {
    countdownTimer_.stop();
    countdown_.reset();
    emit countdownClosed();
}

void CompletionActions::shutdownNow() {
    if (!countdown_)
        return;
    const ShutdownCountdown::Mode mode = countdown_->mode();
    closeCountdown();
    if (mode == ShutdownCountdown::Mode::System)
        shutdown_.powerOff();  // a refusal is not reported: the program keeps running
    else
        emit closeProgramRequested();
}

void CompletionActions::cancelCountdown() {
    if (countdown_)
        closeCountdown();
}
