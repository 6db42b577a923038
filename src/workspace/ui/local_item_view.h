#pragma once

#include <QIcon>

#include <memory>

#include "platform/ui/explorer_view.h"
#include "workspace/local_drag_data.h"
#include "workspace/local_drop_rules.h"
#include "workspace/ui/local_actions.h"

class LocalSide;
class QMenu;
class QMimeData;

// What the local tree and list share: their keys, drags and drops. Each says what its rows
// mean through the virtuals.
class LocalItemView : public ExplorerView {
    Q_OBJECT
public:
    LocalActions& actions() { return *actions_; }
    LocalSide& side() const { return side_; }

    // Where a drop at index lands.
    virtual QString dropFolderAt(const QModelIndex& index) const = 0;
    // Drops data at index: what it would do, and doing it.
    LocalDropDecision dropOn(const QModelIndex& index, const QMimeData& data);

protected:
    LocalItemView(LocalSide& side, bool guarded, QWidget* parent);

    void replaceActions(bool guarded);

    // Enter on index, Backspace, F5 and Delete.
    virtual void openAt(const QModelIndex& index) = 0;
    virtual void goUp() = 0;
    virtual void refresh() = 0;
    virtual void deleteChosen() = 0;
    // The menu at index (the background's when invalid); nullptr for none.
    virtual std::unique_ptr<QMenu> menuAt(const QModelIndex& index) = 0;
    // What a drag carries, with the picture's icon and text; no items: no drag.
    virtual LocalDragData dragData(QIcon* icon, QString* text) const = 0;
    // The row shown as the drop target for a drop at index (invalid: none).
    virtual QModelIndex dropHighlight(const QModelIndex& index) const { return index; }

    void keyAction(ItemKey key) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    LocalSide& side_;

private:
    bool acceptsDrag(QDropEvent* event);

    std::unique_ptr<LocalActions> actions_;
};
