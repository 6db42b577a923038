#include "platform/ui/changed_row_repaint.h"

#include <QTreeView>

void RepaintChangedRow(QTreeView* view, const QModelIndex& topLeft,
                       const QModelIndex& bottomRight) {
    // The view reads the arrow anew only for one changed node in the first
    // column; a list has no arrows at all.
    if (!view->itemsExpandable() || topLeft.column() != 0 || topLeft != bottomRight)
        return;
    const QRect text = view->visualRect(topLeft);
    if (text.isValid())
        view->viewport()->update(QRect(0, text.top(), view->viewport()->width(), text.height()));
}
