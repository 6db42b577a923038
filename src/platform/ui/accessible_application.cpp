#include "platform/ui/accessible_application.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

#include "platform/ui/accessible_menu_item.h"

namespace {

// The menu or menu bar an entry sits in.
QWidget* MenuOwner(QAction* action) {
    for (QObject* o : action->associatedObjects()) {
        if (qobject_cast<QMenu*>(o) || qobject_cast<QMenuBar*>(o))
            return static_cast<QWidget*>(o);
    }
    return nullptr;
}

QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (object && object == qApp)
        return new AccessibleApplication;
    if (auto* action = qobject_cast<QAction*>(object)) {
        if (!action->text().contains(QLatin1Char('\t')))
            return nullptr;
        if (QWidget* owner = MenuOwner(action))
            return new AccessibleMenuItem(owner, action);
    }
    return nullptr;
}

}  // namespace

QList<QMenu*> AccessibleApplication::openContextMenus() {
    QList<QMenu*> menus;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* menu = qobject_cast<QMenu*>(w);
        // Sub-menus and the menu bar's menus are reached through their entries.
        if (menu && menu->isVisible() && !MenuOwner(menu->menuAction()))
            menus << menu;
    }
    return menus;
}

int AccessibleApplication::childCount() const {
    return QAccessibleApplication::childCount() + int(openContextMenus().size());
}

QAccessibleInterface* AccessibleApplication::child(int index) const {
    const int windows = QAccessibleApplication::childCount();
    if (index < windows)
        return QAccessibleApplication::child(index);
    const QList<QMenu*> menus = openContextMenus();
    return index - windows < menus.size()
               ? QAccessible::queryAccessibleInterface(menus[index - windows])
               : nullptr;
}

int AccessibleApplication::indexOfChild(const QAccessibleInterface* child) const {
    const int index = QAccessibleApplication::indexOfChild(child);
    if (index >= 0 || !child)
        return index;
    const qsizetype at = openContextMenus().indexOf(qobject_cast<QMenu*>(child->object()));
    return at >= 0 ? QAccessibleApplication::childCount() + int(at) : -1;
}

QAccessibleInterface* AccessibleApplication::focusChild() const {
    const QList<QMenu*> menus = openContextMenus();
    if (!menus.isEmpty())
        return QAccessible::queryAccessibleInterface(menus.last());
    return QAccessibleApplication::focusChild();
}

void InstallAccessibility() {
    QAccessible::removeFactory(&Factory);
    QAccessible::installFactory(&Factory);
    // A root made before this call is Qt's own: the next query makes ours.
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(qApp);
    if (root && !dynamic_cast<AccessibleApplication*>(root)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(root));
        QAccessible::queryAccessibleInterface(qApp);
    }
}
