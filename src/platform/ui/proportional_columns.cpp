#include "platform/ui/proportional_columns.h"

#include "platform/column_widths.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QHeaderView>

ProportionalColumns::ProportionalColumns(QAbstractItemView* view, QHeaderView* header,
                                         QList<int> weights)
    : QObject(view), viewport_(view->viewport()), header_(header), weights_(std::move(weights)) {
    header_->setStretchLastSection(false);
    viewport_->installEventFilter(this);
    apply();
}

void ProportionalColumns::apply() {
    const QList<int> widths = ProportionalWidths(viewport_->width(), weights_);
    for (qsizetype i = 0; i < widths.size(); ++i)
        header_->resizeSection(int(i), widths[i]);
}

bool ProportionalColumns::eventFilter(QObject* watched, QEvent* event) {
    // The viewport goes before this filter when the view is destroyed, and its
    // last events arrive once the view is a plain QWidget: no call into the view.
    if (watched == viewport_ && event->type() == QEvent::Resize)
        apply();
    return QObject::eventFilter(watched, event);
}
