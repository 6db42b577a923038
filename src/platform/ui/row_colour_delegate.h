#pragma once

#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

class QAbstractItemView;

// Draws the rows of an explorer's tree or list in the row colours: selected rows blue on a
// focused view and beige otherwise, the row under a drop in blue. Texts too long for a column
// are shortened as the view says.
class RowColourDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit RowColourDelegate(QAbstractItemView* view);

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
