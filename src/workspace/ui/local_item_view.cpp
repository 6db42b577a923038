#include "workspace/ui/local_item_view.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>

#include "platform/ui/context_menu.h"
#include "platform/ui/mime_copy.h"
#include "remote/remote_drag_data.h"

LocalItemView::LocalItemView(LocalSide& side, bool guarded, QWidget* parent)
    : ExplorerView(parent),
      side_(side),
      actions_(std::make_unique<LocalActions>(side, this, guarded)) {
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    setDefaultDropAction(Qt::MoveAction);
}

void LocalItemView::replaceActions(bool guarded) {
    actions_ = std::make_unique<LocalActions>(side_, this, guarded);
}

LocalDropDecision LocalItemView::dropOn(const QModelIndex& index, const QMimeData& data) {
    return actions_->drop(dropFolderAt(index), data);
}

void LocalItemView::keyAction(ItemKey key) {
    const QModelIndex current = currentIndex();
    switch (key) {
        case ItemKey::Open:
            if (current.isValid()) {
                openAt(current);
            }
            return;
        case ItemKey::Up:
            goUp();
            return;
        case ItemKey::Refresh:
            refresh();
            return;
        case ItemKey::Rename: {
            // Renaming edits the name, whichever column has the focus.
            const QModelIndex name = current.siblingAtColumn(0);
            if (model()->flags(name) & Qt::ItemIsEditable) {
                edit(name);
            }
            return;
        }
        case ItemKey::Delete:
            deleteChosen();
            return;
        case ItemKey::None:
            return;
    }
}

void LocalItemView::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex index = indexAt(event->pos());
    // A click outside the selection chooses the row clicked.
    if (index.isValid() && !selectionModel()->isSelected(index)) {
        setCurrentIndex(index);
    }
    if (auto menu = menuAt(index)) {
        ExecContextMenu(menu.get(), event->globalPos());
    }
}

void LocalItemView::startDrag(Qt::DropActions) {
    QIcon icon;
    QString text;
    const LocalDragData data = dragData(&icon, &text);
    if (data.folder.isEmpty() || data.items.empty()) {
        return;
    }
    dragWithPicture(LocalDragMime(data), icon, text, Qt::MoveAction | Qt::CopyAction);
}

bool LocalItemView::acceptsDrag(QDropEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    const LocalDropDecision decision =
        actions_->decideDrop(dropFolderAt(index), *event->mimeData());
    setDropTarget(decision.action != LocalDropAction::Refuse ? dropHighlight(index)
                                                             : QModelIndex());
    if (decision.action == LocalDropAction::Download) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return true;
    }
    // A refused move is still taken, so that the drop can say why.
    if (decision.action == LocalDropAction::Move || !decision.message.isEmpty()) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
        return true;
    }
    event->ignore();
    return false;
}

void LocalItemView::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* data = event->mimeData();
    if (HasLocalDrag(data) || HasRemoteDrag(data)) {
        event->accept();
        return;
    }
    event->ignore();
}

void LocalItemView::dragMoveEvent(QDragMoveEvent* event) {
    QTreeView::dragMoveEvent(event);  // auto-scroll and auto-expand
    acceptsDrag(event);
}

void LocalItemView::dropEvent(QDropEvent* event) {
    // Judged first: the judging marks the target, which must not stay marked.
    const bool accepted = acceptsDrag(event);
    setDropTarget({});
    if (!accepted) {
        return;
    }
    const QPersistentModelIndex target = indexAt(event->position().toPoint());
    const std::shared_ptr<QMimeData> copy = CopyMimeData(*event->mimeData());
    QMetaObject::invokeMethod(
        this, [this, target, copy] { dropOn(target, *copy); }, Qt::QueuedConnection);
}
