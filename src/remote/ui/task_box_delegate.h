#pragma once

#include <QStyledItemDelegate>

// Draws one task box: what is transferred, from where to where, a progress bar
// and the figures. Every box has the same height.
class TaskBoxDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
