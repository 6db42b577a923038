#pragma once

#include "remote/task_list.h"

#include <QHash>

class SocketGroup;

// Where a task box stood when it appeared: the time and the byte position
// (a resumed transfer starts past 0).
struct TaskStart {
    qint64 timeMs = 0;
    qint64 position = 0;
};

// What a box shows of its transfer's progress.
struct TaskFigures {
    int percent = -1;           // -1 while the size is not known ("waiting")
    qint64 bytesPerSecond = 0;  // average since the box appeared
    qint64 elapsedMs = 0;
    qint64 remainingMs = -1;  // -1 when it cannot be told
};

// The heading of a box by its transfer's socket kind ("Download", ...).
QString TaskKindText(int socketKind);

TaskFigures TaskProgressFigures(const TaskBox& box, const TaskStart& start, qint64 nowMs);

// The start of every box, kept by its transfer; the task list itself knows
// nothing of time.
class TaskProgressTracker {
public:
    void started(const SocketGroup* group, qint64 position, qint64 nowMs);
    void ended(const SocketGroup* group);
    void clear() { starts_.clear(); }
    int count() const { return int(starts_.size()); }
    // A box whose start was missed is measured from now on.
    TaskFigures figures(const TaskBox& box, qint64 nowMs);

private:
    QHash<const SocketGroup*, TaskStart> starts_;
};
