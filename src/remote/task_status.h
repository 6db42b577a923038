#pragma once

#include "session/log_line.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <functional>

class FtpSession;

// The status line of the task panel: what the queue last reached of a user-level
// task (its start or its completion) and how long the task took. The start and
// completed markers of the queue feed it; the completion actions and the loop
// windows learn from it that a task ended.
class TaskStatus : public QObject {
    Q_OBJECT
public:
    enum State { NoTask = 0, Running = 1, Completed = 2 };
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
    // Follows the session's task markers.
    void connectTo(FtpSession& session);

    int state() const { return state_; }
    const QString& text() const { return text_; }
    qint64 startTime() const { return startTime_; }
    qint64 elapsedMs() const { return elapsed_; }

    // What the line shows and in which colour.
    QString displayText() const { return taskStatusText(state_, text_); }
    Rgb displayColor() const { return taskStatusColor(state_); }

    static QString taskStatusText(int state, const QString& text);
    static Rgb taskStatusColor(int state);

public slots:
    // The queue reached a marker (kind 1 start, 2 completed; others are not ours).
    void onMarker(int fakeKind, int value, const QString& caption, quintptr ownerToken);

signals:
    void changed();
    // A loop's completed marker: the loop window with that token ends its loop.
    // Delivered posted, after the queue has finished its pass.
    void loopEnded(quintptr ownerToken, qint64 elapsedMs);

private:
    qint64 now() const;

    Clock clock_;
    QElapsedTimer ownClock_;
    CompletionHandler completion_;
    StopBeepHandler stopBeep_;
    int state_ = NoTask;
    QString text_;
    qint64 startTime_ = 0;
    bool started_ = false;
    qint64 elapsed_ = 0;
};
