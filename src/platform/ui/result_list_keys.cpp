#include "platform/ui/result_list_keys.h"

#include "platform/item_keys.h"

#include <QAbstractItemView>
#include <QKeyEvent>

void ResultListKeys::attach(QAbstractItemView* view, std::function<void()> onDelete) {
    new ResultListKeys(view, std::move(onDelete));
}

ResultListKeys::ResultListKeys(QAbstractItemView* view, std::function<void()> onDelete)
    : QObject(view), onDelete_(std::move(onDelete)) {
    view->installEventFilter(this);
}

bool ResultListKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watched != parent() || event->type() != QEvent::KeyPress)
        return false;
    // An editor open in the view takes its own keys: they never reach here.
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~Qt::KeypadModifier)
        return false;
    switch (ItemKeyFor(key->key())) {
        case ItemKey::Delete:
            if (onDelete_)
                onDelete_();
            return true;
        case ItemKey::Open:
            return true;
        default:
            return false;
    }
}
