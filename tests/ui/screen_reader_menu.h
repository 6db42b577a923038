#pragma once

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QTimer>

#include <functional>

#include "workbench_harness.h"

// What a screen reader finds of the context menu that `open` brings up: read
// through QAccessible from the program's root while the menu is open, then
// the menu is closed.
struct ScreenReaderMenu {
    bool opened = false;        // a menu showed
    bool listedByRoot = false;  // the program's root lists it among its children
    bool rootIsParent = false;  // and it names the root as its parent
    QStringList entries;        // "Name", or "Name (off)" for a disabled entry
    QPoint at;                  // its top left corner on the screen
};

inline ScreenReaderMenu ReadContextMenu(const std::function<void()>& open) {
    ScreenReaderMenu seen;
    bool done = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QPointer<QMenu> menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (done || !menu)
            return;
        done = true;
        seen.opened = true;
        seen.at = menu->pos();
        QAccessibleInterface* root = QAccessible::queryAccessibleInterface(qApp);
        for (int i = 0; root && i < root->childCount(); ++i) {
            QAccessibleInterface* child = root->child(i);
            if (!child || child->object() != menu)
                continue;
            seen.listedByRoot = true;
            seen.rootIsParent = child->parent() == root;
            for (int j = 0; j < child->childCount(); ++j) {
                QAccessibleInterface* entry = child->child(j);
                if (!entry || entry->role() == QAccessible::Separator)
                    continue;
                seen.entries << entry->text(QAccessible::Name) + (entry->state().disabled
                                                                      ? QStringLiteral(" (off)")
                                                                      : QString());
            }
        }
        menu->close();
    });
    poll.start();
    open();
    WorkbenchHarness::waitFor([&] { return done; }, 3000);
    return seen;
}

// The texts of a menu's entries as its actions say, in the same form.
inline QStringList EntriesOf(const QStringList& texts, const QList<bool>& enabled) {
    QStringList out;
    for (qsizetype i = 0; i < texts.size(); ++i)
        out << texts[i] + (enabled.value(i, true) ? QString() : QStringLiteral(" (off)"));
    return out;
}
