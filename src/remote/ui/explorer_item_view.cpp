#include "remote/ui/explorer_item_view.h"

#include <QDragEnterEvent>
#include <QMimeData>

ExplorerItemView::ExplorerItemView(QWidget* parent) : ExplorerView(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(true);
    QPalette p = palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    setPalette(p);
}

void ExplorerItemView::keyAction(ItemKey key) {
    switch (key) {
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
            return;
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
    dragWithPicture(mime, icon, text, supportedActions);
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
