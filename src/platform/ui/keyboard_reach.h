#pragma once

#include <QObject>
#include <QPoint>

class QAbstractItemView;
class QWidget;

// What a list, tree or text pane does for the keyboard beyond Qt's own, one
// way for all of them:
// - the Menu key and Shift+F10 send the widget the context menu event a right
//   click would, on the current row of a list or tree, so every view's own
//   menu code serves both;
// - a list or tree that gets the focus from the keyboard shows its current
//   row, scrolled into sight.
class KeyboardReach : public QObject {
    Q_OBJECT
public:
    static void attach(QWidget* widget);

    // Where a menu asked for from the keyboard is for, in the viewport: the
    // current row when it is selected (scrolled into sight), else a point
    // outside every row, the view's background.
    static QPoint menuPoint(QAbstractItemView* view);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit KeyboardReach(QWidget* widget);
    void openMenu(QWidget* widget);
};
