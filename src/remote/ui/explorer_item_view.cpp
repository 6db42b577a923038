#include "remote/ui/explorer_item_view.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>

#include "platform/item_keys.h"
#include "platform/row_colours.h"
#include "platform/ui/changed_row_repaint.h"
#include "platform/ui/drag_image.h"
#include "platform/ui/keyboard_reach.h"
#include "platform/ui/rgb_colour.h"
#include "remote/remote_list_columns.h"

ExplorerItemView::ExplorerItemView(QWidget* parent) : QTreeView(parent) {
    setUniformRowHeights(true);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(true);
    QPalette p = palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    setPalette(p);
    KeyboardReach::attach(this);
}

void ExplorerItemView::keyPressEvent(QKeyEvent* event) {
    if (state() == QAbstractItemView::EditingState) {
        QTreeView::keyPressEvent(event);
        return;
    }
    switch (ItemKeyFor(event->key())) {
        case ItemKey::Open:
            emit keyOpen();
            return;
        case ItemKey::Up:
            emit keyParent();
            return;
        case ItemKey::Refresh:
            emit keyRefresh();
            return;
        case ItemKey::Rename:
            emit keyRename();
            return;
        case ItemKey::Delete:
            emit keyDelete();
            return;
        case ItemKey::None:
            QTreeView::keyPressEvent(event);
    }
}

void ExplorerItemView::startDrag(Qt::DropActions supportedActions) {
    QModelIndexList rows = selectionModel()->selectedRows(0);
    if (rows.isEmpty() && currentIndex().isValid())
        rows << currentIndex().siblingAtColumn(0);
    if (rows.isEmpty())
        return;
    QMimeData* mime = model()->mimeData(rows);
    if (!mime)
        return;
    // The first entry and the count, whatever the number of rows: rendering
    // every dragged row would stall on large selections.
    const QIcon icon = rows.first().data(Qt::DecorationRole).value<QIcon>();
    QString text = rows.first().data(Qt::DisplayRole).toString();
    if (rows.size() > 1)
        text += QStringLiteral("  (+%1)").arg(rows.size() - 1);
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(DragImage(icon, text, font()));
    drag->setHotSpot(QPoint(-12, -12));
    drag->exec(supportedActions, Qt::MoveAction);
}

void ExplorerItemView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                   const QList<int>& roles) {
    QTreeView::dataChanged(topLeft, bottomRight, roles);
    // A listing may have shown that a node holds no folders after all.
    RepaintChangedRow(this, topLeft, bottomRight);
}

bool ExplorerItemView::acceptDrag(QDropEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    const bool fromSelf = event->source() == this;
    const bool ok = canDrop && canDrop(event->mimeData(), index, fromSelf);
    setDropTarget(ok ? index.siblingAtColumn(0) : QModelIndex());
    if (ok) {
        event->setDropAction(fromSelf ? Qt::MoveAction : Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
    return ok;
}

void ExplorerItemView::dragEnterEvent(QDragEnterEvent* event) {
    // Entering is accepted for anything the owner could take somewhere in the
    // view; the row under the pointer is judged while moving.
    if (canDrop &&
        (canDrop(event->mimeData(), QModelIndex(), event->source() == this) ||
         canDrop(event->mimeData(), indexAt(event->position().toPoint()), event->source() == this)))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ExplorerItemView::dragMoveEvent(QDragMoveEvent* event) {
    acceptDrag(event);
}

void ExplorerItemView::dragLeaveEvent(QDragLeaveEvent* event) {
    setDropTarget(QModelIndex());
    QTreeView::dragLeaveEvent(event);
}

void ExplorerItemView::dropEvent(QDropEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    const bool fromSelf = event->source() == this;
    setDropTarget(QModelIndex());
    if (!canDrop || !canDrop(event->mimeData(), index, fromSelf)) {
        event->ignore();
        return;
    }
    event->setDropAction(fromSelf ? Qt::MoveAction : Qt::CopyAction);
    event->accept();
    if (dropped)
        dropped(event->mimeData(), index, fromSelf);
}

void ExplorerItemView::setDropTarget(const QModelIndex& index) {
    if (QPersistentModelIndex(index) == dropTarget_)
        return;
    dropTarget_ = index;
    viewport()->update();
}

void ExplorerItemView::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    QStyleOptionViewItem o = option;
    const bool selected = selectionModel() && selectionModel()->isSelected(index);
    const bool drop = dropTarget_.isValid() && dropTarget_.row() == index.row() &&
                      dropTarget_.parent() == index.parent();
    const RowColours colours = RowColoursFor(selected, hasFocus(), drop);
    if (selected || drop) {
        const QColor back = ToQColor(colours.background);
        const QColor text = ToQColor(colours.text);
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            o.palette.setColor(group, QPalette::Highlight, back);
            o.palette.setColor(group, QPalette::HighlightedText, text);
        }
        painter->fillRect(option.rect, back);
        if (drop)
            o.state |= QStyle::State_Selected;
    }
    QTreeView::drawRow(painter, o, index);
}
