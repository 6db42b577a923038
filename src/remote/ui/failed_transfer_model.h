#pragma once

#include <QAbstractListModel>

class FailedTransfers;

// The rows of the task panel's "Failed" list: one per failed or stopped
// transfer, saying what it was and why, in red.
class FailedTransferModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit FailedTransferModel(FailedTransfers& failed, QObject* parent = nullptr);

    FailedTransfers& failed() const { return failed_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    FailedTransfers& failed_;
};
