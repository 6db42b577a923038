#include "platform/ui/explorer_view.h"

#include <QDrag>
#include <QKeyEvent>

#include "platform/ui/changed_row_repaint.h"
#include "platform/ui/drag_image.h"
#include "platform/ui/keyboard_reach.h"
#include "platform/ui/row_colour_delegate.h"

ExplorerView::ExplorerView(QWidget* parent)
    : QTreeView(parent), delegate_(new RowColourDelegate(this)) {
    setItemDelegate(delegate_);
    RowColourDelegate::applyPalette(this);
    setUniformRowHeights(true);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
    KeyboardReach::attach(this);
}

QModelIndex ExplorerView::dropTarget() const {
    return delegate_->dropTarget();
}

void ExplorerView::setDropTarget(const QModelIndex& index) {
    delegate_->setDropTarget(index);
}

void ExplorerView::dragWithPicture(QMimeData* mime, const QIcon& icon, const QString& text,
                                   Qt::DropActions actions) {
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(DragImage(icon, text, font()));
    drag->setHotSpot(QPoint(-12, -12));
    drag->exec(actions, Qt::MoveAction);
}

void ExplorerView::keyPressEvent(QKeyEvent* event) {
    const ItemKey key = ItemKeyFor(event->key());
    if (key != ItemKey::None && state() != QAbstractItemView::EditingState) {
        keyAction(key);
        return;
    }
    QTreeView::keyPressEvent(event);
}

void ExplorerView::dragLeaveEvent(QDragLeaveEvent* event) {
    setDropTarget({});
    QTreeView::dragLeaveEvent(event);
}

// The selection's colour follows the focus.
void ExplorerView::focusInEvent(QFocusEvent* event) {
    QTreeView::focusInEvent(event);
    viewport()->update();
}

void ExplorerView::focusOutEvent(QFocusEvent* event) {
    QTreeView::focusOutEvent(event);
    viewport()->update();
}

void ExplorerView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                               const QList<int>& roles) {
    QTreeView::dataChanged(topLeft, bottomRight, roles);
    // A listing may have shown that a folder holds no folders after all.
    RepaintChangedRow(this, topLeft, bottomRight);
}
