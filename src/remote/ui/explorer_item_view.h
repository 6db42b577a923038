#pragma once

#include <functional>

#include "platform/ui/explorer_view.h"

class QMimeData;

// The remote tree and the remote list: drops and keys handed to their owner.
class ExplorerItemView : public ExplorerView {
    Q_OBJECT
public:
    explicit ExplorerItemView(QWidget* parent = nullptr);

    // Which drops the owner takes: called while dragging over `index`.
    std::function<bool(const QMimeData* mime, const QModelIndex& index, bool fromSelf)> canDrop;
    std::function<void(const QMimeData* mime, const QModelIndex& index, bool fromSelf)> dropped;

signals:
    void keyOpen();
    void keyParent();
    void keyRefresh();
    void keyRename();
    void keyDelete();

protected:
    void keyAction(ItemKey key) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool acceptDrag(QDropEvent* event);
};
