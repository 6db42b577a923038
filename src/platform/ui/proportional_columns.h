#pragma once

#include <QList>
#include <QObject>

class QAbstractItemView;
class ColumnNeeds;
class QHeaderView;
class QTreeView;
class QWidget;

// Keeps a list's column widths in fixed proportions of its client width,
// re-applied whenever the visible area changes size (a scroll bar appearing
// takes its width from the columns).
class ProportionalColumns : public QObject {
    Q_OBJECT
public:
    ProportionalColumns(QAbstractItemView* view, QHeaderView* header, QList<int> weights);
    // The same for a tree view whose fixed columns (sizes, dates) are never
    // cut: the name column and the others give way first.
    ProportionalColumns(QTreeView* view, QList<int> weights, int nameColumn,
                        QList<int> fixedColumns);

    void apply();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* viewport_;
    QHeaderView* header_;
    QList<int> weights_;
    ColumnNeeds* needs_ = nullptr;
};
