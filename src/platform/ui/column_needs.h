#pragma once

#include <QList>
#include <QObject>

class QTreeView;

// What each column of a list needs to be read whole: its header text or the
// widest of the rows in view, measured again (once the event loop is back)
// whenever the rows are replaced or change, so a folder opened sizes its
// columns to what it shows. The fixed columns (numbers, dates) are never cut;
// no header is cut, the name keeps about twenty characters and the other
// texts about twelve; below that the list scrolls sideways.
class ColumnNeeds : public QObject {
    Q_OBJECT
public:
    ColumnNeeds(QTreeView* view, int nameColumn, QList<int> fixedColumns);

    const QList<int>& needs() const { return needs_; }
    // The widths to use instead of the shares given.
    QList<int> fit(const QList<int>& shares) const;
    // Measures now.
    void measure();

signals:
    void changed();

private:
    void schedule();

    QTreeView* view_;
    int nameColumn_;
    QList<int> fixedColumns_;
    QList<int> needs_;
    QList<int> headerNeeds_;
    bool pending_ = false;
};
