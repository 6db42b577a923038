#pragma once

#include <QObject>
#include <QPoint>

class QAbstractItemView;
class QAction;
class QMenu;
class QWidget;

// Context menus of lists, trees and text panes, one way for all of them.
//
// Opening: the mouse opens a widget's menu as Qt does. ContextMenuOpener adds
// the keyboard: the Menu key and Shift+F10 send the widget the same context
// menu event a right click would, placed on the current row of a list or
// tree (scrolled into sight), so every view's own menu code serves both.
//
// Showing: ExecContextMenu and PopupContextMenu show the menu as a window of
// its own while it is open, where screen readers find it with its entries.
class ContextMenuOpener : public QObject {
    Q_OBJECT
public:
    static void attach(QAbstractItemView* view);
    static void attach(QWidget* widget);

    // Where a menu asked for from the keyboard is for, in the viewport: the
    // current row when it is selected (scrolled into sight), else a point
    // outside every row, the view's background.
    static QPoint keyboardPoint(QAbstractItemView* view);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit ContextMenuOpener(QWidget* widget);
    void open(QWidget* widget);
};

// Shows the menu at globalPos until it closes; the entry chosen, or nullptr.
QAction* ExecContextMenu(QMenu* menu, const QPoint& globalPos);
// Shows the menu at globalPos and returns at once.
void PopupContextMenu(QMenu* menu, const QPoint& globalPos);
