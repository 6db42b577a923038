#pragma once

#include <QAbstractTableModel>
#include <QFont>

#include <memory>
#include <vector>

#include "remote/remote_item_list.h"
#include "remote/ui/remote_icons.h"

// The entries of one remote folder as the remote list's rows: a shared,
// read-only item list (the tree node holds the same one) and the numbers per
// kind, below a ".." row that stands for the folder above when there is one.
// Texts are made when a row is drawn, so a folder of 100,000 entries fills at
// once.
class RemoteListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using SharedItems = std::shared_ptr<const RemoteItemList>;

    explicit RemoteListModel(QObject* parent = nullptr);

    // `parentRow`: the first row is ".." (the folder above).
    void setFolder(const QByteArray& folder, SharedItems items, bool parentRow = false);
    void clear();
    QByteArray folder() const { return folder_; }
    bool hasFolder() const { return !folder_.isEmpty(); }
    bool hasParentRow() const { return parentRow_; }
    bool isParentRow(int row) const { return parentRow_ && row == 0; }
    // The entry a row shows; the ".." row's is a folder named "..".
    const RemoteItem& itemAt(int row) const;
    const RemoteItemList& items() const { return *items_; }
    int number(int row) const;
    // The row showing that entry, -1 when none does.
    int rowOf(const QByteArray& name) const;

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

    QByteArray folder_;
    SharedItems items_;
    bool parentRow_ = false;
    std::vector<int> numbers_;
    quint8 sizeStyle_ = 0;
    bool numeric_ = false;
    QFont fixedFont_;
    mutable RemoteIcons icons_;
};
