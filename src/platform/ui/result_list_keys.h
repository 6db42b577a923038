#pragma once

#include <QObject>

#include <functional>

class QAbstractItemView;

// Keys on a loop window's result list: Delete runs the rows' "Delete" (when
// there is one), as it does in the explorers' views, and Enter stays in the
// list instead of starting the loop again over the results.
class ResultListKeys : public QObject {
    Q_OBJECT
public:
    static void attach(QAbstractItemView* view, std::function<void()> onDelete = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ResultListKeys(QAbstractItemView* view, std::function<void()> onDelete);
    std::function<void()> onDelete_;
};
