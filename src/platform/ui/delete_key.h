#pragma once

#include <QObject>

#include <functional>

class QAbstractItemView;

// The Delete key on a result list runs the rows' "Delete", as it does in the
// explorers' views.
class DeleteKey : public QObject {
    Q_OBJECT
public:
    static void attach(QAbstractItemView* view, std::function<void()> run);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DeleteKey(QAbstractItemView* view, std::function<void()> run);
    std::function<void()> run_;
};
