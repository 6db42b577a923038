#include "remote/task_status.h"

#include "session/fake_group.h"
#include "session/ftp_session.h"

#include <algorithm>

TaskStatus::TaskStatus(Clock clock, QObject* parent) : QObject(parent), clock_(std::move(clock)) {
    ownClock_.start();
}

qint64 TaskStatus::now() const {
    return clock_ ? clock_() : ownClock_.elapsed();
}

void TaskStatus::connectTo(FtpSession& session) {
    connect(&session, &FtpSession::taskMarker, this, &TaskStatus::onMarker);
    connect(&session, &FtpSession::failure, this,
            [this](const QString& reason) { noteProblem(reason); });
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
    connect(&session, &FtpSession::taskStopped, this, [this](quint64 id) { noteStopped(id); });
    connect(&session, &FtpSession::disconnected, this, [this] {
        endRunningTask(false, QStringLiteral("the connection was closed"), carriesOn_);
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

TaskStatus::Task* TaskStatus::runningTask(quint64 taskId) {
    if (running_.empty())
        return nullptr;
    if (taskId == 0)
        return &running_.back();
    for (Task& task : running_)
        if (task.id == taskId)
            return &task;
    return nullptr;
}

QString TaskStatus::endText(const Task& task, const QString& name) {
    if (!task.problems.isEmpty()) {
        QString text = name + QStringLiteral(" failed: ") + task.problems.front();
        if (task.problems.size() > 1)
            text += QStringLiteral(" (and %1 more)").arg(task.problems.size() - 1);
        return text;
    }
    return name + QStringLiteral(" stopped");
}

void TaskStatus::noteProblem(const QString& reason, quint64 taskId) {
    Task* task = runningTask(taskId);
    if (task && !reason.isEmpty())
        task->problems << reason;
}

void TaskStatus::noteStopped(quint64 taskId) {
    if (Task* task = runningTask(taskId))
        task->stopped = true;
}

void TaskStatus::endRunningTask(bool stopped, const QString& reason,
                                const std::function<bool(quint64)>& goesOn) {
    std::vector<Task> ended;
    for (auto it = running_.begin(); it != running_.end();) {
        if (goesOn && goesOn(it->id)) {
            ++it;
            continue;
        }
        if (!reason.isEmpty())
            it->problems << reason;
        it->stopped = it->stopped || stopped;
        cutOff_.insert(it->id);
        ended.push_back(std::move(*it));
        it = running_.erase(it);
    }
    if (ended.empty())
        return;
    const Task& last = ended.back();
    state_ = last.problems.isEmpty() ? Stopped : Failed;
    text_ = endText(last, taskName(last.caption));
    elapsed_ = qMax<qint64>(0, now() - last.startTime);
    emit changed();
}

void TaskStatus::refuseTask(const QString& startText, const QString& reason) {
    state_ = Failed;
    text_ = taskName(startText) + QStringLiteral(" failed: ") + reason;
    elapsed_ = 0;
    emit changed();
}

QString TaskStatus::summary(const QString& text, const QString& countsText) {
    return countsText.isEmpty() ? text : text + QStringLiteral(" (") + countsText + ')';
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

void TaskStatus::onMarker(int fakeKind, int value, const QString& caption, quintptr ownerToken,
                          quint64 taskId) {
    if (fakeKind == int(FakeKind::Start)) {
        Task task;
        task.id = taskId != 0 ? taskId : ++ownIds_;
        task.caption = caption;
        task.startTime = now();
        running_.push_back(task);
        lastStarted_ = task.id;
        state_ = Running;
        text_ = caption;
        startTime_ = task.startTime;
        if (stopBeep_)
            stopBeep_();
        emit changed();
        return;
    }
    if (fakeKind != int(FakeKind::Completed))
        return;

    const quint64 id = taskId != 0 ? taskId : lastStarted_;
    // A task that ended already (its connection closed) keeps the line that
    // says what cut it off; its owner still learns that it is over.
    if (cutOff_.count(id) > 0) {
        // A queue's id comes once; an own one may come again.
        if (taskId != 0)
            cutOff_.erase(id);
        tellOwner(value, ownerToken, false);
        return;
    }
    const auto it = std::find_if(running_.begin(), running_.end(),
                                 [id](const Task& task) { return task.id == id; });
    bool clean = false;
    state_ = Completed;
    text_ = caption;
    // A completion without a start of its own counts as instant: measured from
    // the clock's origin it would look like a very long task (and beep continually).
    elapsed_ = 0;
    if (it != running_.end()) {
        const Task task = std::move(*it);
        running_.erase(it);
        clean = !task.stopped && task.problems.isEmpty();
        if (!clean) {
            state_ = task.problems.isEmpty() ? Stopped : Failed;
            text_ = endText(task, taskName(caption));
        }
        elapsed_ = qMax<qint64>(0, now() - task.startTime);
        // Another task still runs: a clean end gives the line back to it, so
        // it never reads "completed" while work goes on. Trouble stays shown.
        if (clean && !running_.empty()) {
            state_ = Running;
            text_ = running_.back().caption;
            startTime_ = running_.back().startTime;
        }
    }
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
    tellOwner(value, ownerToken, clean);
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
