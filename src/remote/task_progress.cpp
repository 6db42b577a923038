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
    const bool windowed = start.rateMs >= 0;
    const qint64 spanMs = qMax<qint64>(0, nowMs - (windowed ? start.rateMs : start.timeMs));
    const qint64 moved =
        qMax<qint64>(0, box.position - (windowed ? start.ratePosition : start.position));
    if (spanMs > 0)
        f.bytesPerSecond = moved * 1000 / spanMs;
    if (box.info.total >= 0) {
        const qint64 left = qMax<qint64>(0, box.info.total - box.position);
        if (left == 0)
            f.remainingMs = 0;
        else if (moved > 0 && spanMs > 0 && !f.stalled)
            // At the recent rate; rounded up so a running transfer never
            // claims to be done.
            f.remainingMs = qint64(std::ceil(double(left) * double(spanMs) / double(moved)));
    }
    return f;
}

void TaskProgressTracker::started(const SocketGroup* group, qint64 position, qint64 nowMs) {
    Tracked t{TaskStart{nowMs, position, nowMs, position}, {}};
    t.rate.start(nowMs, position);
    starts_.insert(group, t);
}

void TaskProgressTracker::ended(const SocketGroup* group) {
    starts_.remove(group);
}

TaskFigures TaskProgressTracker::figures(const TaskBox& box, qint64 nowMs) {
    if (!starts_.contains(box.group))
        started(box.group, box.position, nowMs);
    Tracked& t = starts_[box.group];
    if (box.position != t.start.movedPosition) {
        t.start.movedPosition = box.position;
        t.start.movedMs = nowMs;
    }
    t.rate.note(nowMs, box.position);
    t.start.rateMs = t.rate.fromMs();
    t.start.ratePosition = t.rate.fromPosition();
    return TaskProgressFigures(box, t.start, nowMs, limitMs_);
}
