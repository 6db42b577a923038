#pragma once

#include "remote/task_progress.h"

#include <QAbstractListModel>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <vector>

class TaskList;

// One row per task box of the task list, with the texts a box draws. Times
// move on by themselves: while boxes exist the rows are refreshed every second.
// A box whose transfer can not go on, or has not moved for the inactivity
// limit, says so (StateTextRole) in red (Qt::ForegroundRole).
class TaskBoxModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        KindTextRole = Qt::UserRole + 1,
        RemoteFolderRole,
        LocalPathRole,
        FileNameRole,
        PercentRole,
        ProgressTextRole,
        BytesTextRole,
        SpeedTextRole,
        ElapsedTextRole,
        RemainingTextRole,
        StateTextRole,  // the problem, "stalled", or empty while all is well
    };

    using Clock = std::function<qint64()>;

    // Without a clock the model measures with its own monotonic timer.
    explicit TaskBoxModel(const TaskList& tasks, Clock clock = {}, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    const TaskList& tasks() const { return tasks_; }
    // Re-reads the times of every row.
    void tick();
    void setInactivityLimitMs(qint64 ms) { tracker_.setInactivityLimitMs(ms); }

private:
    void onAdded(int index);
    void onChanged(int index);
    void onRemoved(int index);
    qint64 now() const;

    const TaskList& tasks_;
    Clock clock_;
    QElapsedTimer ownClock_;
    // The groups of the rows as the view knows them; the task list has already
    // changed when it tells us.
    std::vector<const SocketGroup*> rows_;
    mutable TaskProgressTracker tracker_;
    QTimer ticker_;
};
