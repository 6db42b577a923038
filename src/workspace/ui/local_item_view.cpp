#include "workspace/ui/local_item_view.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

#include "platform/item_keys.h"
#include "platform/ui/changed_row_repaint.h"
#include "platform/ui/context_menu.h"
#include "platform/ui/drag_image.h"
#include "platform/ui/keyboard_reach.h"
#include "platform/ui/mime_copy.h"
#include "remote/remote_drag_data.h"
#include "workspace/ui/local_row_delegate.h"

LocalItemView::LocalItemView(LocalSide& side, bool guarded, QWidget* parent)
    : QTreeView(parent),
      side_(side),
      delegate_(new LocalRowDelegate(this)),
      actions_(std::make_unique<LocalActions>(side, this, guarded)) {
    setItemDelegate(delegate_);
    LocalRowDelegate::applyPalette(this);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    KeyboardReach::attach(this);
}

void LocalItemView::replaceActions(bool guarded) {
    actions_ = std::make_unique<LocalActions>(side_, this, guarded);
}

LocalDropDecision LocalItemView::dropOn(const QModelIndex& index, const QMimeData& data) {
    return actions_->drop(dropFolderAt(index), data);
}

void LocalItemView::keyPressEvent(QKeyEvent* event) {
    if (state() != QAbstractItemView::EditingState) {
        const QModelIndex current = currentIndex();
        switch (ItemKeyFor(event->key())) {
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
                break;
        }
    }
    QTreeView::keyPressEvent(event);
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
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kLocalDragMimeType), EncodeLocalDrag(data));
    mime->setUrls(LocalDragUrls(data));
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(DragImage(icon, text, font()));
    drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
}

bool LocalItemView::acceptsDrag(QDropEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    const LocalDropDecision decision =
        actions_->decideDrop(dropFolderAt(index), *event->mimeData());
    delegate_->setDropTarget(decision.action != LocalDropAction::Refuse ? dropHighlight(index)
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
    if (data->hasFormat(QString::fromLatin1(kLocalDragMimeType)) ||
        data->hasFormat(QString::fromLatin1(kRemoteDragMimeType))) {
        event->accept();
        return;
    }
    event->ignore();
}

void LocalItemView::dragMoveEvent(QDragMoveEvent* event) {
    QTreeView::dragMoveEvent(event);  // auto-scroll and auto-expand
    acceptsDrag(event);
}

void LocalItemView::dragLeaveEvent(QDragLeaveEvent* event) {
    delegate_->setDropTarget({});
    QTreeView::dragLeaveEvent(event);
}

void LocalItemView::dropEvent(QDropEvent* event) {
    delegate_->setDropTarget({});
    if (!acceptsDrag(event)) {
        return;
    }
    const QPersistentModelIndex target = indexAt(event->position().toPoint());
    const std::shared_ptr<QMimeData> copy = CopyMimeData(*event->mimeData());
    QMetaObject::invokeMethod(
        this, [this, target, copy] { dropOn(target, *copy); }, Qt::QueuedConnection);
}

void LocalItemView::focusInEvent(QFocusEvent* event) {
    QTreeView::focusInEvent(event);
    viewport()->update();
}

void LocalItemView::focusOutEvent(QFocusEvent* event) {
    QTreeView::focusOutEvent(event);
    viewport()->update();
}

void LocalItemView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                const QList<int>& roles) {
    QTreeView::dataChanged(topLeft, bottomRight, roles);
    // Reading a folder may have shown that it holds no folders after all.
    RepaintChangedRow(this, topLeft, bottomRight);
}
