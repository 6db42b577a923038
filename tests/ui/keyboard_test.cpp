// The main window without a mouse: Tab walks the views of a page in reading
// order and back, Ctrl+Tab walks the pages, and a list that gets the focus
// shows its current row.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTabBar>
#include <QTest>
#include <QTreeView>

#include "app/ui/main_frame.h"
#include "app/ui/main_view.h"
#include "platform/ui/keyboard_reach.h"
#include "support/scripted_prompter.h"
#include "workbench_harness.h"
#include "workspace/ui/local_explorer.h"
#include "workspace/ui/local_tree_view.h"

namespace {

QString FocusName() {
    QWidget* w = QApplication::focusWidget();
    return w ? (w->accessibleName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                              : w->accessibleName())
             : QStringLiteral("(none)");
}

// The names of the widgets the key visits, starting from the focused one.
QStringList Walk(Qt::Key key, Qt::KeyboardModifiers modifiers, int steps) {
    QStringList seen{FocusName()};
    for (int i = 0; i < steps; ++i) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        seen << FocusName();
    }
    return seen;
}

struct Frame {
    WorkbenchHarness bench;
    ScriptedPrompter prompter;
    MainFrame frame{*bench.workbench, [this] {
                        MainFrame::Services s;
                        s.prompter = &prompter;
                        return s;
                    }()};
    Frame() {
        frame.resize(1200, 800);
        frame.show();
        frame.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&frame));
    }
};

TEST(Keyboard, TabWalksTheNormalPageInReadingOrderAndBack) {
    Frame f;
    f.frame.localExplorer()->tree()->setFocus();
    // The banner's links take Tab in turn; the walk stops on it.
    const QStringList forward = Walk(Qt::Key_Tab, Qt::NoModifier, 7);
    EXPECT_EQ(forward, (QStringList{"Local folders", "Local path", "Local files", "Remote folders",
                                    "Remote path", "Remote files", "Chat", "Banner"}));
    f.frame.localExplorer()->tree()->setFocus();
    Walk(Qt::Key_Tab, Qt::NoModifier, 6);
    const QStringList back = Walk(Qt::Key_Backtab, Qt::ShiftModifier, 6);
    EXPECT_EQ(back, QStringList(forward.rbegin() + 1, forward.rend()));
    // The page tabs and the task summary come last, and lead round through the
    // quick-connect fields at the top to the page.
    f.frame.view()->tabBar()->setFocus();
    EXPECT_EQ(Walk(Qt::Key_Tab, Qt::NoModifier, 7),
              (QStringList{"Pages", "Task", "Quick connect host", "Quick connect user",
                           "Quick connect password", "Quick connect port", "Quick connect",
                           "Local folders"}));
}

TEST(Keyboard, CtrlTabWalksThePagesRound) {
    Frame f;
    MainView* view = f.frame.view();
    QList<int> pages;
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &f.frame,
                        Qt::Key_Tab, Qt::ControlModifier);
        pages << view->currentPage();
    }
    for (int i = 0; i < 2; ++i) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &f.frame,
                        Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        pages << view->currentPage();
    }
    EXPECT_EQ(pages, (QList<int>{1, 2, 3, 4, 0, 1, 0, 4}));
    EXPECT_EQ(view->tabBar()->currentIndex(), 4);
}

// A list reached by Tab shows its current row, scrolled into sight; a click
// leaves the view where the user put it.
TEST(Keyboard, AListGettingTheFocusShowsItsCurrentRow) {
    QWidget window;
    auto* before = new QLineEdit(&window);
    auto* list = new QTreeView(&window);
    QStandardItemModel model(300, 1);
    list->setModel(&model);
    list->setGeometry(0, 30, 300, 200);
    KeyboardReach::attach(list);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const auto rowShown = [&] {
        return list->viewport()->rect().intersects(list->visualRect(list->currentIndex()));
    };
    for (const bool byTab : {true, false}) {
        SCOPED_TRACE(byTab);
        list->setCurrentIndex(model.index(250, 0));
        list->scrollToTop();
        before->setFocus();
        ASSERT_FALSE(rowShown());
        if (byTab)
            QTest::keyClick(before, Qt::Key_Tab);
        else
            list->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(QTest::qWaitFor([&] { return list->hasFocus(); }, 5000));
        if (byTab) {
            EXPECT_TRUE(QTest::qWaitFor(rowShown, 5000));
        } else {
            QCoreApplication::processEvents();
            EXPECT_FALSE(rowShown());
        }
    }
}

}  // namespace
