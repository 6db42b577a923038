#include "platform/ui/proportional_columns.h"

#include "platform/column_widths.h"
#include "platform/ui/column_needs.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QHeaderView>
#include <QTreeView>

ProportionalColumns::ProportionalColumns(QAbstractItemView* view, QHeaderView* header,
                                         QList<int> weights)
    : QObject(view), viewport_(view->viewport()), header_(header), weights_(std::move(weights)) {
    header_->setStretchLastSection(false);
    viewport_->installEventFilter(this);
    apply();
}

ProportionalColumns::ProportionalColumns(QTreeView* view, QList<int> weights, int nameColumn,
                                         QList<int> fixedColumns)
    : ProportionalColumns(view, view->header(), std::move(weights)) {
    needs_ = new ColumnNeeds(view, nameColumn, std::move(fixedColumns));
    connect(needs_, &ColumnNeeds::changed, this, &ProportionalColumns::apply);
}

void ProportionalColumns::apply() {
    const QList<int> shares = ProportionalWidths(viewport_->width(), weights_);
    const QList<int> widths = needs_ ? needs_->fit(shares) : shares;
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
