#include "platform/ui/proportional_columns.h"

#include "platform/column_widths.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QHeaderView>

ProportionalColumns::ProportionalColumns(QAbstractItemView* view, QHeaderView* header,
                                         QList<int> weights)
    : QObject(view), view_(view), header_(header), weights_(std::move(weights)) {
    header_->setStretchLastSection(false);
    view_->viewport()->installEventFilter(this);
    apply();
}

void ProportionalColumns::apply() {
    const QList<int> widths = ProportionalWidths(view_->viewport()->width(), weights_);
    for (qsizetype i = 0; i < widths.size(); ++i)
        header_->resizeSection(int(i), widths[i]);
}

bool ProportionalColumns::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_->viewport() && event->type() == QEvent::Resize)
        apply();
    return QObject::eventFilter(watched, event);
}
