#pragma once

#include <QList>
#include <QObject>

class QAbstractItemView;
class QHeaderView;
class QWidget;

// Keeps a list's column widths in fixed proportions of its client width,
// re-applied whenever the visible area changes size (a scroll bar appearing
// takes its width from the columns).
class ProportionalColumns : public QObject {
    Q_OBJECT
public:
    ProportionalColumns(QAbstractItemView* view, QHeaderView* header, QList<int> weights);

    void apply();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* viewport_;
    QHeaderView* header_;
    QList<int> weights_;
};
