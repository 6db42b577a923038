#pragma once

#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

class QAbstractItemView;

// Draws the rows of a local view in the colours of the local side: selected
// rows blue on a focused view and pale grey otherwise, the row under a drop
// in blue. Texts too long for a column are shortened as the view says.
class LocalRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit LocalRowDelegate(QAbstractItemView* view);

    // The view's own highlight (the tree's branch area) in the same colours.
    static void applyPalette(QAbstractItemView* view);

    void setDropTarget(const QModelIndex& index);
    QModelIndex dropTarget() const { return dropTarget_; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    QAbstractItemView* view_;
    QPersistentModelIndex dropTarget_;
};
