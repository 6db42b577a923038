#pragma once

class QAction;
class QMenu;
class QPoint;

// Context menus of lists, trees and panes are shown through these. While open
// the menu is a window of its own, listed by the program's root, so that
// screen readers find it and read its entries (KeyboardReach opens them from
// the keyboard).

// Shows the menu at globalPos until it closes; the entry chosen, or nullptr.
QAction* ExecContextMenu(QMenu* menu, const QPoint& globalPos);
// Shows the menu at globalPos and returns at once.
void PopupContextMenu(QMenu* menu, const QPoint& globalPos);
