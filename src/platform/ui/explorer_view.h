#pragma once

#include <QIcon>
#include <QTreeView>

#include "platform/item_keys.h"

class QMimeData;
class RowColourDelegate;

// What the trees and lists of both explorers share: one key map, the row colours with the
// row a drop would land on, the drag picture, and a changed row repainted whole. Each side
// says what its keys, drags and drops do.
class ExplorerView : public QTreeView {
    Q_OBJECT
public:
    QModelIndex dropTarget() const;

protected:
    explicit ExplorerView(QWidget* parent);

    // A mapped key pressed while no name is being edited.
    virtual void keyAction(ItemKey key) = 0;
    // Shown as the drop target (invalid: none).
    void setDropTarget(const QModelIndex& index);
    // Drags `mime` (taken over) under the shared picture; Move unless the drop says otherwise.
    void dragWithPicture(QMimeData* mime, const QIcon& icon, const QString& text,
                         Qt::DropActions actions);

    void keyPressEvent(QKeyEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;

private:
    RowColourDelegate* delegate_;
};
