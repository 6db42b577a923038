#pragma once

#include "session/queue_rows.h"

#include <QAbstractTableModel>

// The rows of the command queue window. Updates keep the rows of groups that
// stay in the queue, so the user's selection and scroll position survive.
class CommandQueueModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void setRows(const QList<QueueRow>& rows);
    const QList<QueueRow>& rows() const { return rows_; }

private:
    QList<QueueRow> rows_;
};
