#include "platform/ui/column_needs.h"

#include "platform/column_widths.h"

#include <QHeaderView>
#include <QTimer>
#include <QTreeView>

ColumnNeeds::ColumnNeeds(QTreeView* view, int nameColumn, QList<int> fixedColumns)
    : QObject(view), view_(view), nameColumn_(nameColumn), fixedColumns_(std::move(fixedColumns)) {
    QAbstractItemModel* model = view->model();
    connect(model, &QAbstractItemModel::modelReset, this, &ColumnNeeds::schedule);
    connect(model, &QAbstractItemModel::layoutChanged, this, &ColumnNeeds::schedule);
    connect(model, &QAbstractItemModel::rowsInserted, this, &ColumnNeeds::schedule);
    connect(model, &QAbstractItemModel::dataChanged, this, &ColumnNeeds::schedule);
}

QList<int> ColumnNeeds::fit(const QList<int>& shares) const {
    if (needs_.size() != shares.size())
        return shares;
    const int chars = view_->fontMetrics().averageCharWidth();
    QList<int> floors;
    for (qsizetype c = 0; c < needs_.size(); ++c) {
        if (fixedColumns_.contains(int(c)))
            floors << needs_[c];
        else  // headers and short texts whole; longer ones cut in the middle
            floors << qMin(needs_[c],
                           qMax(headerNeeds_.value(c), chars * (c == nameColumn_ ? 20 : 12)));
    }
    return FitColumnWidths(shares, needs_, floors);
}

void ColumnNeeds::schedule() {
    if (pending_)
        return;
    pending_ = true;
    QTimer::singleShot(0, this, [this] {
        pending_ = false;
        measure();
    });
}

void ColumnNeeds::measure() {
    QList<int> needs;
    QList<int> headerNeeds;
    const QHeaderView* header = view_->header();
    const int columns = view_->model()->columnCount();
    // A little air, so the last character is never clipped by the cell margin.
    const int air = view_->fontMetrics().averageCharWidth();
    // The tree view measures only the rows in view (public through its base).
    const QAbstractItemView* rowsInView = view_;
    for (int c = 0; c < columns; ++c) {
        const int rows = view_->model()->rowCount() > 0 ? rowsInView->sizeHintForColumn(c) : 0;
        needs << qMax(header->sectionSizeHint(c), rows) + air;
        headerNeeds << header->sectionSizeHint(c) + air;
    }
    if (needs == needs_ && headerNeeds == headerNeeds_)
        return;
    needs_ = needs;
    headerNeeds_ = headerNeeds;
    emit changed();
}
