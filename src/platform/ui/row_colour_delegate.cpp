#include "platform/ui/row_colour_delegate.h"

#include <QAbstractItemView>
#include <QPainter>

#include "platform/row_colours.h"
#include "platform/ui/rgb_colour.h"

RowColourDelegate::RowColourDelegate(QAbstractItemView* view)
    : QStyledItemDelegate(view), view_(view) {}

void RowColourDelegate::applyPalette(QAbstractItemView* view) {
    QPalette palette = view->palette();
    const RowColours active = RowColoursFor(true, true, false);
    const RowColours inactive = RowColoursFor(true, false, false);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        const RowColours& c = group == QPalette::Active ? active : inactive;
        palette.setColor(group, QPalette::Highlight, ToQColor(c.background));
        palette.setColor(group, QPalette::HighlightedText, ToQColor(c.text));
    }
    view->setPalette(palette);
}

void RowColourDelegate::setDropTarget(const QModelIndex& index) {
    if (QModelIndex(dropTarget_) == index) {
        return;
    }
    dropTarget_ = index;
    view_->viewport()->update();
}

void RowColourDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const QModelIndex target = dropTarget_;
    const bool dropRow =
        target.isValid() && target.row() == index.row() && target.parent() == index.parent();
    const bool selected = opt.state & QStyle::State_Selected;
    const RowColours colors = RowColoursFor(selected, view_->hasFocus(), dropRow);
    painter->fillRect(opt.rect, ToQColor(colors.background));
    opt.state &= ~QStyle::State_Selected;
    opt.state &= ~QStyle::State_HasFocus;
    opt.backgroundBrush = Qt::NoBrush;
    opt.palette.setColor(QPalette::Text, ToQColor(colors.text));
    opt.palette.setColor(QPalette::WindowText, ToQColor(colors.text));
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : nullptr;
    if (style) {
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    } else {
        QStyledItemDelegate::paint(painter, opt, index);
    }
}
