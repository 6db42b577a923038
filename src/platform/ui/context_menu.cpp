#include "platform/ui/context_menu.h"

#include <QMenu>
#include <QPointer>

namespace {

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
