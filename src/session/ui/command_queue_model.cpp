#include "session/ui/command_queue_model.h"

#include <QSet>

namespace {

bool sameTexts(const QueueRow& a, const QueueRow& b) {
    return a.completed == b.completed && a.type == b.type && a.subType == b.subType &&
           a.subSubType == b.subSubType && a.steps == b.steps;
}

}  // namespace

int CommandQueueModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int CommandQueueModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 4 + kQueueStepColumns;
}

QVariant CommandQueueModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size())
        return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const QueueRow& row = rows_[index.row()];
    switch (index.column()) {
        case 0:
            return row.completed;
        case 1:
            return row.type;
        case 2:
            return row.subType;
        case 3:
            return row.subSubType;
        default:
            return row.steps.value(index.column() - 4);
    }
}

QVariant CommandQueueModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QueueColumnTitles().value(section);
}

void CommandQueueModel::setRows(const QList<QueueRow>& rows) {
    // The queue never reorders: groups leave (mostly at the head) and new ones
    // are added (mostly at the end). Remove the rows of groups that left, then
    // insert the new ones where they stand.
    QSet<const CommandGroup*> now;
    for (const QueueRow& r : rows)
        now.insert(r.group);
    for (int i = int(rows_.size()) - 1; i >= 0;) {
        if (now.contains(rows_[i].group)) {
            --i;
            continue;
        }
        int first = i;
        while (first > 0 && !now.contains(rows_[first - 1].group))
            --first;
        beginRemoveRows(QModelIndex(), first, i);
        rows_.remove(first, i - first + 1);
        endRemoveRows();
        i = first - 1;
    }
    int kept = 0;
    for (int i = 0; i < rows.size(); ++i) {
        if (kept < rows_.size() && rows_[kept].group == rows[i].group) {
            if (!sameTexts(rows_[kept], rows[i])) {
                rows_[kept] = rows[i];
                emit dataChanged(index(kept, 0), index(kept, columnCount() - 1));
            }
            ++kept;
            continue;
        }
        beginInsertRows(QModelIndex(), kept, kept);
        rows_.insert(kept, rows[i]);
        endInsertRows();
        ++kept;
    }
    // Whatever is left did not match in order (a group object reused at a new
    // place): drop it.
    if (kept < rows_.size()) {
        beginRemoveRows(QModelIndex(), kept, int(rows_.size()) - 1);
        rows_.remove(kept, rows_.size() - kept);
        endRemoveRows();
    }
}
