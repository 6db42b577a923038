#pragma once

#include <QList>
#include <QObject>

class QTreeView;

// What each column of a list needs to be read whole: its header text or the
// widest of the rows in view, measured again (once the event loop is back)
// whenever the rows are replaced or change, so a folder opened sizes its
// columns to what it shows.
class ColumnNeeds : public QObject {
    Q_OBJECT
public:
    explicit ColumnNeeds(QTreeView* view);

    const QList<int>& needs() const { return needs_; }
    // Below this the name column is not shrunk while others have room.
    int nameMinimum() const;
    // Measures now.
    void measure();

signals:
    void changed();

private:
    void schedule();

    QTreeView* view_;
    QList<int> needs_;
    bool pending_ = false;
};
