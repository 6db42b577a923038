#pragma once

#include <QAccessibleObject>

class QMenu;

// The program's root for screen readers. Qt lists only the ordinary
// windows under it, so a menu opened from a list or tree (a window of its
// own, not reached from the menu bar) would be shown to the eye but to no
// screen reader: here such a menu is one more child while it is open.
class AccessibleApplication : public QAccessibleApplication {
public:
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* focusChild() const override;

    // The open menus that stand on their own, oldest first.
    static QList<QMenu*> openContextMenus();
};

// Puts the root above and the readable menu entries in place of Qt's own.
// Call once the application object exists, before any window is made.
void InstallAccessibility();
