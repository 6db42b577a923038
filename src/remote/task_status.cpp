#include "remote/task_status.h"

#include "session/fake_group.h"
#include "session/ftp_session.h"

TaskStatus::TaskStatus(Clock clock, QObject* parent) : QObject(parent), clock_(std::move(clock)) {
    ownClock_.start();
}

qint64 TaskStatus::now() const {
    return clock_ ? clock_() : ownClock_.elapsed();
}

void TaskStatus::connectTo(FtpSession& session) {
    connect(&session, &FtpSession::taskMarker, this, &TaskStatus::onMarker);
    connect(&session, &FtpSession::failure, this, &TaskStatus::noteProblem);
    connect(&session, &FtpSession::commandRefused, this,
            [this](const QByteArray& command, int, const QString& reply) {
                noteProblem(QString::fromUtf8(command) + QStringLiteral(": ") + reply);
            });
    connect(&session, &FtpSession::headStalled, this,
            [this](const CommandGroup*, const QByteArray& command, int, const QString& reply) {
                noteProblem(QString::fromUtf8(command) + QStringLiteral(": ") + reply);
            });
    connect(&session, &FtpSession::workRemoved, this, [this](bool all) {
        if (all)
            endRunningTask(true);
        else
            noteStopped();
    });
    connect(&session, &FtpSession::disconnected, this, [this] {
        if (!(carriesOn_ && carriesOn_()))
            endRunningTask(false, QStringLiteral("the connection was closed"));
    });
    connect(&session, &FtpSession::connectionClosed, this, [this] { endRunningTask(true); });
}

QString TaskStatus::taskName(const QString& caption) {
    static const QString start = QStringLiteral("Start ");
    static const QString completed = QStringLiteral(" completed");
    QString name = caption;
    if (name.startsWith(start)) {
        name = name.mid(start.size());
        if (!name.isEmpty())
            name[0] = name[0].toUpper();
    } else if (name.endsWith(completed)) {
        name.chop(completed.size());
    }
    return name;
}

QString TaskStatus::endText(const QString& name) const {
    if (!problems_.isEmpty()) {
        QString text = name + QStringLiteral(" failed: ") + problems_.front();
        if (problems_.size() > 1)
            text += QStringLiteral(" (and %1 more)").arg(problems_.size() - 1);
        return text;
    }
    return name + QStringLiteral(" stopped");
}

void TaskStatus::noteProblem(const QString& reason) {
    if (state_ == Running && !reason.isEmpty())
        problems_ << reason;
}

void TaskStatus::noteStopped() {
    if (state_ == Running)
        stopped_ = true;
}

void TaskStatus::endRunningTask(bool stopped, const QString& reason) {
    if (state_ != Running)
        return;
    if (!reason.isEmpty())
        problems_ << reason;
    stopped_ = stopped_ || stopped;
    cutOff_ = true;
    state_ = problems_.isEmpty() ? Stopped : Failed;
    text_ = endText(taskName(text_));
    elapsed_ = started_ ? qMax<qint64>(0, now() - startTime_) : 0;
    emit changed();
}

QString TaskStatus::summary(const QString& countsText) const {
    return countsText.isEmpty() ? displayText()
                                : displayText() + QStringLiteral(" (") + countsText + ')';
}

QString TaskStatus::taskStatusText(int state, const QString& text) {
    switch (state) {
        case NoTask:
            return QStringLiteral("No task");
        case Running:
        case Completed:
        case Stopped:
        case Failed:
            return text;
    }
    return QStringLiteral("unknown action");
}

Rgb TaskStatus::taskStatusColor(int state) {
    switch (state) {
        case NoTask:
            return Rgb{0, 0, 0};
        case Running:
            return Rgb{128, 0, 0};
        case Completed:
            return Rgb{0, 96, 0};
        case Stopped:
            return Rgb{160, 96, 0};
        case Failed:
            return Rgb{255, 0, 0};
    }
    return Rgb{255, 0, 0};
}

void TaskStatus::onMarker(int fakeKind, int value, const QString& caption, quintptr ownerToken) {
    if (fakeKind == int(FakeKind::Start)) {
        state_ = Running;
        text_ = caption;
        startTime_ = now();
        started_ = true;
        problems_.clear();
        stopped_ = false;
        cutOff_ = false;
        if (stopBeep_)
            stopBeep_();
        emit changed();
        return;
    }
    if (fakeKind != int(FakeKind::Completed))
        return;

    // A task that ended already (its connection closed) keeps the line that
    // says what cut it off; its owner still learns that it is over.
    if (cutOff_) {
        tellOwner(value, ownerToken, false);
        return;
    }
    const bool running = state_ == Running;
    state_ = Completed;
    text_ = caption;
    if (running && (stopped_ || !problems_.isEmpty())) {
        state_ = problems_.isEmpty() ? Stopped : Failed;
        text_ = endText(taskName(caption));
    }
    // A completion without a start of its own would otherwise measure from the
    // clock's origin and look like a very long task (and beep continually).
    elapsed_ = started_ ? qMax<qint64>(0, now() - startTime_) : 0;
    emit changed();

    switch (value) {
        case CompletedUpload:
        case CompletedDownload:
        case CompletedDelete:
        case CompletedPermissions:
            if (completion_)
                completion_(value, elapsed_);
            break;
        default:
            break;
    }
    tellOwner(value, ownerToken, running && state_ == Completed);
}

void TaskStatus::tellOwner(int value, quintptr ownerToken, bool clean) {
    if (ownerToken == 0)
        return;
    // Posted: the owner may take work out of the queue, which must not happen
    // inside the queue's own pass.
    if (value == CompletedLoop) {
        const qint64 elapsed = elapsed_;
        QMetaObject::invokeMethod(
            this, [this, ownerToken, elapsed] { emit loopEnded(ownerToken, elapsed); },
            Qt::QueuedConnection);
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, ownerToken, clean] { emit ownedTaskEnded(ownerToken, clean); },
        Qt::QueuedConnection);
}
