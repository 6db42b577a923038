#include "platform/ui/context_menu.h"

#include <QAbstractItemView>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>

namespace {

// Above and left of the first row: no view finds a row there, so the view
// opens the menu of its background (or of its selection).
constexpr QPoint kBackground(-1, -1);

bool IsMenuKey(const QKeyEvent* key) {
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    return (key->key() == Qt::Key_Menu && mods == Qt::NoModifier) ||
           (key->key() == Qt::Key_F10 && mods == Qt::ShiftModifier);
}

// A menu with a parent widget names that widget as its parent to screen
// readers, and that widget does not list it: while shown it stands alone.
void Detach(QMenu* menu) {
    QWidget* owner = menu->parentWidget();
    if (!owner)
        return;
    menu->setProperty("contextMenuOwner", QVariant::fromValue(QPointer<QWidget>(owner)));
    menu->setParent(nullptr, menu->windowFlags());
}

void Reattach(QMenu* menu) {
    const auto owner = menu->property("contextMenuOwner").value<QPointer<QWidget>>();
    menu->setProperty("contextMenuOwner", QVariant());
    if (owner && !menu->parentWidget())
        menu->setParent(owner, menu->windowFlags());
}

}  // namespace

ContextMenuOpener::ContextMenuOpener(QWidget* widget) : QObject(widget) {
    widget->installEventFilter(this);
}

void ContextMenuOpener::attach(QAbstractItemView* view) {
    attach(static_cast<QWidget*>(view));
}

void ContextMenuOpener::attach(QWidget* widget) {
    if (!widget->findChild<ContextMenuOpener*>(QString(), Qt::FindDirectChildrenOnly))
        new ContextMenuOpener(widget);
}

QPoint ContextMenuOpener::keyboardPoint(QAbstractItemView* view) {
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

bool ContextMenuOpener::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return false;
    if (event->type() == QEvent::KeyPress && IsMenuKey(static_cast<QKeyEvent*>(event))) {
        open(widget);
        return true;
    }
    // The windowing system follows the Menu key with an event at the pointer;
    // the key itself has opened the menu at the current row already.
    if (event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard &&
        qobject_cast<QAbstractItemView*>(widget)) {
        return true;
    }
    return false;
}

void ContextMenuOpener::open(QWidget* widget) {
    if (auto* view = qobject_cast<QAbstractItemView*>(widget)) {
        const QPoint at = keyboardPoint(view);
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

QAction* ExecContextMenu(QMenu* menu, const QPoint& globalPos) {
    QPointer<QMenu> guard(menu);
    Detach(menu);
    QAction* chosen = menu->exec(globalPos);
    if (guard)
        Reattach(menu);
    return chosen;
}

void PopupContextMenu(QMenu* menu, const QPoint& globalPos) {
    Detach(menu);
    QObject::connect(
        menu, &QMenu::aboutToHide, menu,
        [menu] {
            QMetaObject::invokeMethod(
                menu, [menu] { Reattach(menu); }, Qt::QueuedConnection);
        },
        Qt::SingleShotConnection);
    menu->popup(globalPos);
}
