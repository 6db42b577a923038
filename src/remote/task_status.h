#pragma once

#include "session/log_line.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <set>
#include <vector>

class FtpSession;

// The status line of the task panel: what the queue last reached of a user-level
// task (its start or its completion) and how long the task took. The start and
// completed markers of the queue feed it; the completion actions and the loop
// windows learn from it that a task ended. A task that met failures or that the
// user stopped does not end "completed": it ends failed (with the first reason)
// or stopped, and a task cut off by a lost connection or "Remove all tasks"
// ends at once. Tasks overlap when transfer connections carry one's files past
// the next one's start: each keeps its own troubles and start time.
class TaskStatus : public QObject {
    Q_OBJECT
public:
    enum State { NoTask = 0, Running = 1, Completed = 2, Stopped = 3, Failed = 4 };
    // Values a completed marker carries.
    enum CompletedValue {
        CompletedUpload = 1,
        CompletedDownload = 2,
        CompletedDelete = 3,
        CompletedPermissions = 4,
        CompletedLoop = 5
    };

    // Milliseconds of a monotonic clock.
    using Clock = std::function<qint64()>;
    // A completed upload, download, delete or permission change: kind 1..4 and
    // the time the task took.
    using CompletionHandler = std::function<void(int kind, qint64 elapsedMs)>;
    using StopBeepHandler = std::function<void()>;

    // Without a clock the status line measures with its own monotonic timer.
    explicit TaskStatus(Clock clock = {}, QObject* parent = nullptr);

    void setCompletionHandler(CompletionHandler handler) { completion_ = std::move(handler); }
    void setStopBeepHandler(StopBeepHandler handler) { stopBeep_ = std::move(handler); }
    // Whether a running task (by id) goes on elsewhere when the main
    // connection drops (transfer connections finishing its files): it then
    // ends by its completed entry instead of at the drop.
    void setCarriesOn(std::function<bool(quint64 taskId)> carriesOn) {
        carriesOn_ = std::move(carriesOn);
    }
    // Follows the session's task markers.
    void connectTo(FtpSession& session);

    int state() const { return state_; }
    const QString& text() const { return text_; }
    qint64 startTime() const { return startTime_; }
    qint64 elapsedMs() const { return elapsed_; }

    // What the line shows and in which colour.
    QString displayText() const { return taskStatusText(state_, text_); }
    Rgb displayColor() const { return taskStatusColor(state_); }

    // The line's text with the transfers in hand: "Start uploading files (2 running, 5 queued)".
    QString summary(const QString& countsText) const { return summary(displayText(), countsText); }
    static QString summary(const QString& text, const QString& countsText);

    static QString taskStatusText(int state, const QString& text);
    static Rgb taskStatusColor(int state);

    // "Start downloading files" and "Downloading files completed" both give
    // "Downloading files".
    static QString taskName(const QString& caption);

public slots:
    // The queue reached a marker (kind 1 start, 2 completed; others are not
    // ours). Markers without a task id belong to the task started last.
    void onMarker(int fakeKind, int value, const QString& caption, quintptr ownerToken,
                  quint64 taskId = 0);
    // Something of a running task failed, for this reason: of the task with
    // that id, or without one of the task the main queue is in.
    void noteProblem(const QString& reason, quint64 taskId = 0);
    // The user took work of a running task out of the queue.
    void noteStopped(quint64 taskId = 0);
    // A task that was never queued: the line says it failed, and why.
    void refuseTask(const QString& startText, const QString& reason);
    // The running tasks can not go on: the connection ended, or the user
    // emptied the queue (stopped). Those `goesOn` names keep running.
    void endRunningTask(bool stopped, const QString& reason = QString(),
                        const std::function<bool(quint64 taskId)>& goesOn = {});

signals:
    void changed();
    // A loop's completed marker: the loop window with that token ends its loop.
    // Delivered posted, after the queue has finished its pass.
    void loopEnded(quintptr ownerToken, qint64 elapsedMs);
    // Any other task naming an owner reached its completed entry; clean when
    // nothing of it failed or was stopped. Delivered posted.
    void ownedTaskEnded(quintptr ownerToken, bool clean);

private:
    struct Task {
        quint64 id = 0;
        QString caption;
        qint64 startTime = 0;
        QStringList problems;
        bool stopped = false;
    };
    qint64 now() const;
    // The running task with that id (0: the one started last), or none.
    Task* runningTask(quint64 taskId);
    static QString endText(const Task& task, const QString& name);
    // The owner a completed entry names: a loop window learns its loop ended,
    // any other owner whether its task ended clean.
    void tellOwner(int value, quintptr ownerToken, bool clean);

    Clock clock_;
    QElapsedTimer ownClock_;
    CompletionHandler completion_;
    StopBeepHandler stopBeep_;
    std::function<bool(quint64)> carriesOn_;
    int state_ = NoTask;
    QString text_;
    qint64 startTime_ = 0;
    qint64 elapsed_ = 0;
    // Started and not ended, oldest first.
    std::vector<Task> running_;
    // Ended by endRunningTask: a completed entry arriving late changes nothing.
    std::set<quint64> cutOff_;
    quint64 lastStarted_ = 0;
    // Ids for starts that came without one.
    quint64 ownIds_ = quint64(1) << 62;
};
