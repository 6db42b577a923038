#include "platform/ui/keyboard_reach.h"

#include <QAbstractItemView>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>

namespace {

// Above and left of the first row: no view finds a row there, so the view
// opens the menu of its background (or of its selection).
constexpr QPoint kBackground(-1, -1);

bool IsMenuKey(const QKeyEvent* key) {
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    return (key->key() == Qt::Key_Menu && mods == Qt::NoModifier) ||
           (key->key() == Qt::Key_F10 && mods == Qt::ShiftModifier);
}

}  // namespace

KeyboardReach::KeyboardReach(QWidget* widget) : QObject(widget) {
    widget->installEventFilter(this);
}

void KeyboardReach::attach(QWidget* widget) {
    if (!widget->findChild<KeyboardReach*>(QString(), Qt::FindDirectChildrenOnly))
        new KeyboardReach(widget);
}

QPoint KeyboardReach::menuPoint(QAbstractItemView* view) {
    const QModelIndex current = view->currentIndex();
    const bool onRow = current.isValid() &&
                       (view->selectionMode() == QAbstractItemView::NoSelection ||
                        (view->selectionModel() && view->selectionModel()->isSelected(current)));
    if (!onRow)
        return kBackground;
    view->scrollTo(current);
    const QRect area = view->viewport()->rect();
    const QRect row = view->visualRect(current);
    // Inside the row, on the left, where its name is.
    return QPoint(qBound(area.left(), row.left() + 8, area.right()),
                  qBound(area.top(), row.center().y(), area.bottom()));
}

bool KeyboardReach::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return false;
    auto* view = qobject_cast<QAbstractItemView*>(widget);
    switch (event->type()) {
        case QEvent::KeyPress:
            if (IsMenuKey(static_cast<QKeyEvent*>(event))) {
                openMenu(widget);
                return true;
            }
            break;
        case QEvent::ContextMenu:
            // The windowing system follows the Menu key with an event at the
            // pointer; the key itself has opened the menu at the current row.
            if (view &&
                static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard)
                return true;
            break;
        case QEvent::FocusIn:
            if (view && static_cast<QFocusEvent*>(event)->reason() != Qt::MouseFocusReason) {
                // After the view has picked a current row for a keyboard focus.
                QMetaObject::invokeMethod(
                    view,
                    [view] {
                        if (view->hasFocus() && view->currentIndex().isValid())
                            view->scrollTo(view->currentIndex());
                    },
                    Qt::QueuedConnection);
            }
            break;
        default:
            break;
    }
    return false;
}

void KeyboardReach::openMenu(QWidget* widget) {
    if (auto* view = qobject_cast<QAbstractItemView*>(widget)) {
        const QPoint at = menuPoint(view);
        const QPoint shown = at == kBackground ? QPoint(4, 4) : at;
        QContextMenuEvent e(QContextMenuEvent::Keyboard, at, view->viewport()->mapToGlobal(shown),
                            Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &e);
        return;
    }
    const QRect cursor = widget->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const QPoint at = cursor.isValid() ? cursor.center() : QPoint(4, 4);
    QContextMenuEvent e(QContextMenuEvent::Keyboard, at, widget->mapToGlobal(at), Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &e);
}
