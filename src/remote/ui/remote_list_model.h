#pragma once

#include <QAbstractTableModel>
#include <QDate>
#include <QFont>

#include <vector>

#include "platform/list_sort.h"
#include "remote/remote_item_list.h"
#include "remote/ui/remote_icons.h"

// The entries of one remote folder as the remote list's rows: a shared,
// read-only item list (the tree node holds the same one) and the numbers per
// kind, below a ".." row that stands for the folder above when there is one.
// Texts are made when a row is drawn, so a folder of 100,000 entries fills at
// once. Rows follow the chosen column's order through a table of positions;
// the listing itself is never copied or reordered, and ".." stays first.
class RemoteListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RemoteListModel(QObject* parent = nullptr);

    // `parentRow`: the first row is ".." (the folder above).
    void setFolder(const QByteArray& folder, SharedRemoteItems items, bool parentRow = false);
    void clear();
    QByteArray folder() const { return folder_; }
    bool hasFolder() const { return !folder_.isEmpty(); }
    bool hasParentRow() const { return parentRow_; }
    bool isParentRow(int row) const { return parentRow_ && row == 0; }
    // The entry a row shows (a copy); the ".." row's is a folder named "..".
    RemoteItem itemAt(int row) const;
    // The same in place, valid while the folder is shown.
    RemoteItemView viewAt(int row) const;
    QByteArrayView nameAt(int row) const;
    char kindAt(int row) const;
    // The listing in its own order, not the rows'.
    const RemoteItemList& items() const { return *items_; }
    int number(int row) const;
    // The row showing that entry, -1 when none does.
    int rowOf(const QByteArray& name) const;

    // The rows in a column's order, kept for every folder shown after it;
    // dates without a year are read against `today`.
    void setSort(ListSort sort, QDate today = QDate::currentDate());
    ListSort sort() const { return sort_; }

    void setSizeStyle(quint8 style);
    void setNumericPermissions(bool numeric);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // An edited name is not taken here: it goes out as a rename request and
    // the folder's next listing shows the result.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override {
        return Qt::CopyAction | Qt::MoveAction;
    }
    Qt::DropActions supportedDropActions() const override {
        return Qt::CopyAction | Qt::MoveAction;
    }

signals:
    void renameRequested(int row, const QString& text);

private:
    int offset() const { return parentRow_ ? 1 : 0; }
    // The listing position a row other than ".." shows.
    int itemOf(int row) const {
        const int sorted = row - offset();
        return order_.empty() ? sorted : order_.at(size_t(sorted));
    }

    QByteArray folder_;
    SharedRemoteItems items_;
    bool parentRow_ = false;
    std::vector<int> numbers_;
    ListSort sort_;
    QDate today_ = QDate::currentDate();
    std::vector<int> order_;  // row -> position in the listing; empty: the same
    quint8 sizeStyle_ = 0;
    bool numeric_ = false;
    QFont fixedFont_;
    mutable RemoteIcons icons_;
};
