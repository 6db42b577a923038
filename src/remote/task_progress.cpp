#include "remote/task_progress.h"

#include <cmath>

QString TaskKindText(int socketKind) {
    switch (socketKind) {
        case 2:
            return QStringLiteral("Upload");
        case 3:
            return QStringLiteral("Download");
        case 4:
            return QStringLiteral("Direct download");
        case 5:
            return QStringLiteral("Direct upload");
    }
    return QStringLiteral("Transfer");
}

TaskFigures TaskProgressFigures(const TaskBox& box, const TaskStart& start, qint64 nowMs,
                                qint64 inactivityLimitMs) {
    TaskFigures f;
    const bool done = box.info.total >= 0 && box.position >= box.info.total;
    f.stalled = !done && start.movedMs >= 0 && nowMs - start.movedMs > inactivityLimitMs;
    f.elapsedMs = qMax<qint64>(0, nowMs - start.timeMs);
    if (box.info.total > 0)
        f.percent = int(qBound(qint64(0), box.position * 100 / box.info.total, qint64(100)));
    else if (box.info.total == 0)
        f.percent = 100;
    const qint64 moved = qMax<qint64>(0, box.position - start.position);
    if (f.elapsedMs > 0)
        f.bytesPerSecond = moved * 1000 / f.elapsedMs;
    if (box.info.total >= 0) {
        const qint64 left = qMax<qint64>(0, box.info.total - box.position);
        if (left == 0)
            f.remainingMs = 0;
        else if (moved > 0 && f.elapsedMs > 0 && !f.stalled)
            // From the average rate; rounded up so a running transfer never
            // claims to be done.
            f.remainingMs = qint64(std::ceil(double(left) * double(f.elapsedMs) / double(moved)));
    }
    return f;
}

void TaskProgressTracker::started(const SocketGroup* group, qint64 position, qint64 nowMs) {
    starts_.insert(group, TaskStart{nowMs, position, nowMs, position});
}

void TaskProgressTracker::ended(const SocketGroup* group) {
    starts_.remove(group);
}

TaskFigures TaskProgressTracker::figures(const TaskBox& box, qint64 nowMs) {
    auto it = starts_.find(box.group);
    if (it == starts_.end())
        it = starts_.insert(box.group, TaskStart{nowMs, box.position, nowMs, box.position});
    if (box.position != it->movedPosition) {
        it->movedPosition = box.position;
        it->movedMs = nowMs;
    }
    return TaskProgressFigures(box, *it, nowMs, limitMs_);
}
