#include "remote/ui/failed_transfer_model.h"

#include "remote/failed_transfers.h"

#include <QColor>

FailedTransferModel::FailedTransferModel(FailedTransfers& failed, QObject* parent)
    : QAbstractListModel(parent), failed_(failed) {
    connect(&failed_, &FailedTransfers::added, this, [this](int row) {
        beginInsertRows(QModelIndex(), row, row);
        endInsertRows();
    });
    connect(&failed_, &FailedTransfers::removed, this, [this](int first, int last) {
        beginRemoveRows(QModelIndex(), first, last);
        endRemoveRows();
    });
    connect(&failed_, &FailedTransfers::changed, this,
            [this](int row) { emit dataChanged(index(row), index(row)); });
}

int FailedTransferModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : failed_.count();
}

QVariant FailedTransferModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= failed_.count())
        return {};
    const FailedTransfer& f = failed_.at(index.row());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return FailedTransfers::describe(f);
        case Qt::ToolTipRole:
            return FailedTransfers::describe(f) + QStringLiteral("\nLocal: ") +
                   f.result.info.localPath + QStringLiteral("\nServer: ") + f.server;
        case Qt::ForegroundRole:
            return QColor(255, 0, 0);
        default:
            return {};
    }
}
