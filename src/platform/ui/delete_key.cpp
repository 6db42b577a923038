#include "platform/ui/delete_key.h"

#include "platform/item_keys.h"

#include <QAbstractItemView>
#include <QKeyEvent>

void DeleteKey::attach(QAbstractItemView* view, std::function<void()> run) {
    new DeleteKey(view, std::move(run));
}

DeleteKey::DeleteKey(QAbstractItemView* view, std::function<void()> run)
    : QObject(view), run_(std::move(run)) {
    view->installEventFilter(this);
}

bool DeleteKey::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    // An editor open in the view takes its own keys: they never reach here.
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched != parent() || ItemKeyFor(key->key()) != ItemKey::Delete ||
        key->modifiers() & ~Qt::KeypadModifier)
        return false;
    run_();
    return true;
}
