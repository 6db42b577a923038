#pragma once

#include <QModelIndex>
#include <QString>
#include <QVariant>

#include <functional>

// What the local tree and list models do alike, over either of Qt's model
// bases: a name edited in place goes to renameHandler and the model itself
// changes only with the reading of the folder that follows; items are dragged
// and dropped to be moved or copied.
template <typename Base>
class LocalModelBase : public Base {
public:
    using Base::Base;

    // Called with the index and the new name when a name was edited in place.
    std::function<void(const QModelIndex&, const QString&)> renameHandler;

    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (role == Qt::EditRole && (this->flags(index) & Qt::ItemIsEditable) && renameHandler)
            renameHandler(index, value.toString());
        return false;
    }
    Qt::DropActions supportedDropActions() const override {
        return Qt::MoveAction | Qt::CopyAction;
    }
    Qt::DropActions supportedDragActions() const override {
        return Qt::MoveAction | Qt::CopyAction;
    }
};
