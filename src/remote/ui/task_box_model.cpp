#include "remote/ui/task_box_model.h"

#include "platform/format.h"
#include "remote/task_list.h"
#include "session/log_line.h"

#include <QColor>

TaskBoxModel::TaskBoxModel(const TaskList& tasks, Clock clock, QObject* parent)
    : QAbstractListModel(parent), tasks_(tasks), clock_(std::move(clock)) {
    ownClock_.start();
    for (const TaskBox& box : tasks_.boxes()) {
        rows_.push_back(box.group);
        tracker_.started(box.group, box.position, now());
    }
    connect(&tasks_, &TaskList::boxAdded, this, &TaskBoxModel::onAdded);
    connect(&tasks_, &TaskList::boxChanged, this, &TaskBoxModel::onChanged);
    connect(&tasks_, &TaskList::boxRemoved, this, &TaskBoxModel::onRemoved);
    ticker_.setInterval(1000);
    connect(&ticker_, &QTimer::timeout, this, &TaskBoxModel::tick);
    if (!rows_.empty())
        ticker_.start();
}

qint64 TaskBoxModel::now() const {
    return clock_ ? clock_() : ownClock_.elapsed();
}

int TaskBoxModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

void TaskBoxModel::onAdded(int index) {
    if (index < 0 || index >= tasks_.count())
        return;
    const TaskBox& box = tasks_.at(index);
    const int row = qMin(index, int(rows_.size()));
    beginInsertRows(QModelIndex(), row, row);
    rows_.insert(rows_.begin() + row, box.group);
    tracker_.started(box.group, box.position, now());
    endInsertRows();
    ticker_.start();
}

void TaskBoxModel::onChanged(int index) {
    if (index < 0 || index >= int(rows_.size()))
        return;
    // Progress is noted as it comes, drawn or not.
    if (index < tasks_.count())
        tracker_.figures(tasks_.at(index), now());
    const QModelIndex i = this->index(index);
    emit dataChanged(i, i);
}

void TaskBoxModel::onRemoved(int index) {
    if (index < 0 || index >= int(rows_.size()))
        return;
    beginRemoveRows(QModelIndex(), index, index);
    tracker_.ended(rows_[size_t(index)]);
    rows_.erase(rows_.begin() + index);
    endRemoveRows();
    if (rows_.empty())
        ticker_.stop();
}

void TaskBoxModel::tick() {
    if (!rows_.empty())
        emit dataChanged(index(0), index(int(rows_.size()) - 1));
}

QVariant TaskBoxModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(rows_.size()) || index.row() >= tasks_.count())
        return {};
    const TaskBox& box = tasks_.at(index.row());
    switch (role) {
        case Qt::DisplayRole:
        case FileNameRole:
            return displayText(box.info.fileName);
        case Qt::AccessibleTextRole:
            return TaskKindText(box.info.socketKind) + QStringLiteral(" ") +
                   displayText(box.info.fileName);
        case KindTextRole:
            return TaskKindText(box.info.socketKind);
        case RemoteFolderRole:
            return displayText(box.info.remoteFolder);
        case LocalPathRole:
            return box.info.localPath;
        default:
            break;
    }
    if (role != Qt::ForegroundRole && role != Qt::ToolTipRole &&
        (role < PercentRole || role > StateTextRole))
        return {};
    const TaskFigures f = tracker_.figures(box, now());
    const QString state = !box.problem.isEmpty() ? box.problem
                          : f.stalled            ? QStringLiteral("stalled")
                                                 : QString();
    if (role == StateTextRole)
        return state;
    if (role == Qt::ToolTipRole)
        return state.isEmpty() ? QVariant() : QVariant(state);
    if (role == Qt::ForegroundRole)
        return state.isEmpty() ? QVariant() : QVariant(QColor(255, 0, 0));
    switch (role) {
        case PercentRole:
            return f.percent;
        case ProgressTextRole:
            return FormatProgressText(f.percent);
        case BytesTextRole:
            return box.info.total >= 0 ? FormatSizeBytes(box.position) + QStringLiteral(" / ") +
                                             FormatSizeBytes(box.info.total)
                                       : FormatSizeBytes(box.position);
        case SpeedTextRole:
            return FormatSpeed(f.bytesPerSecond) + QStringLiteral("/s");
        case ElapsedTextRole:
            return FormatElapsed(quint32(qMin<qint64>(f.elapsedMs, 0xffffffffLL)));
        case RemainingTextRole:
            return f.remainingMs < 0
                       ? QStringLiteral("--:--:--")
                       : FormatElapsed(quint32(qMin<qint64>(f.remainingMs, 0xffffffffLL)));
    }
    return {};
}
