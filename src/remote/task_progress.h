#pragma once

#include "remote/task_list.h"
#include "remote/transfer_rate.h"

#include <QHash>

class SocketGroup;

// Where a task box stood when it appeared: the time and the byte position
// (a resumed transfer starts past 0); when its position last moved; and where
// its speed is measured from.
struct TaskStart {
    qint64 timeMs = 0;
    qint64 position = 0;
    qint64 movedMs = -1;  // -1: movement not followed, never stalled
    qint64 movedPosition = 0;
    qint64 rateMs = -1;  // -1: from the start
    qint64 ratePosition = 0;
};

// How long a transfer may go without a byte moving before its box says it is
// stalled: the time velmora-cli waits by default.
inline constexpr qint64 kTransferInactivityLimitMs = 60000;

// What a box shows of its transfer's progress.
struct TaskFigures {
    int percent = -1;           // -1 while the size is not known ("waiting")
    qint64 bytesPerSecond = 0;  // over the last few seconds
    qint64 elapsedMs = 0;
    qint64 remainingMs = -1;  // -1 when it cannot be told
    bool stalled = false;     // nothing moved for longer than the limit
};

// The heading of a box by its transfer's socket kind ("Download", ...).
QString TaskKindText(int socketKind);

TaskFigures TaskProgressFigures(const TaskBox& box, const TaskStart& start, qint64 nowMs,
                                qint64 inactivityLimitMs = kTransferInactivityLimitMs);

// The start of every box, kept by its transfer; the task list itself knows
// nothing of time.
class TaskProgressTracker {
public:
    void started(const SocketGroup* group, qint64 position, qint64 nowMs);
    void ended(const SocketGroup* group);
    void clear() { starts_.clear(); }
    int count() const { return int(starts_.size()); }
    // A box whose start was missed is measured from now on. A position that
    // moved since the last look counts as moving now.
    TaskFigures figures(const TaskBox& box, qint64 nowMs);
    void setInactivityLimitMs(qint64 ms) { limitMs_ = ms; }
    qint64 inactivityLimitMs() const { return limitMs_; }

private:
    struct Tracked {
        TaskStart start;
        TransferRate rate;
    };
    QHash<const SocketGroup*, Tracked> starts_;
    qint64 limitMs_ = kTransferInactivityLimitMs;
};
