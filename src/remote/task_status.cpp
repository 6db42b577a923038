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
}

QString TaskStatus::taskStatusText(int state, const QString& text) {
    switch (state) {
        case NoTask:
            return QStringLiteral("No task");
        case Running:
        case Completed:
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
    }
    return Rgb{255, 0, 0};
}

void TaskStatus::onMarker(int fakeKind, int value, const QString& caption, quintptr ownerToken) {
    if (fakeKind == int(FakeKind::Start)) {
        state_ = Running;
        text_ = caption;
        startTime_ = now();
        started_ = true;
        if (stopBeep_)
            stopBeep_();
        emit changed();
        return;
    }
    if (fakeKind != int(FakeKind::Completed))
        return;

    state_ = Completed;
    text_ = caption;
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
        case CompletedLoop:
            if (ownerToken != 0) {
                // Posted: the loop window may take work out of the queue, which
                // must not happen inside the queue's own pass.
                const qint64 elapsed = elapsed_;
                QMetaObject::invokeMethod(
                    this, [this, ownerToken, elapsed] { emit loopEnded(ownerToken, elapsed); },
                    Qt::QueuedConnection);
            }
            break;
        default:
            break;
    }
}
