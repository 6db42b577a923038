#pragma once

#include <QStyledItemDelegate>

// Draws one task box: what is transferred, from where to where, a progress bar
// and the figures on two lines, so the times always have a line of their own.
// Every box has the same height.
class TaskBoxDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static constexpr int kFigureLines = 2;
    // A figure line's text: bytes and speed, then the time used and left; for
    // a transfer that can not go on, why, then the bytes.
    static QString figureText(const QModelIndex& index, int line);
    // Where a figure line goes in a box drawn at `box`.
    static QRect figureRect(const QRect& box, const QFontMetrics& metrics, int line);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
