#include "remote/ui/task_panel.h"
#include "remote/task_list.h"
#include "remote/task_status.h"
#include "remote/ui/task_box_delegate.h"
#include "remote/ui/task_box_model.h"
#include "remote/ui/task_status_line.h"
#include "session/direct_download_group.h"
#include "support/session_harness.h"
#include "when_shown.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QListView>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

std::unique_ptr<DirectDownloadGroup> Download(const char* name, qint64 total) {
    TransferInfo info;
    info.remoteFolder = "/pub";
    info.fileName = name;
    info.localPath = QStringLiteral("/tmp/") + QString::fromLatin1(name);
    info.total = total;
    return std::make_unique<DirectDownloadGroup>(DirectPurpose::Stream, info,
                                                 StepList{{"PASV", {}}, {"RETR", name}});
}

// Right-clicks a point of the box view and chooses `text` from the menu that
// opens; returns the menu's items as shown. The menu is closed in any case.
QStringList RightClickAndChoose(TaskPanel& panel, const QPoint& pos, const QString& text) {
    QStringList shown;
    bool seen = false;
    WhenShown popup(WhenShown::popup, [&](QWidget* widget) {
        QPointer<QMenu> menu = qobject_cast<QMenu*>(widget);
        if (!menu)
            return;
        seen = true;
        QAction* pick = nullptr;
        for (QAction* a : menu->actions()) {
            shown << a->text() + (a->isEnabled() ? QString() : QStringLiteral(" (off)"));
            if (a->text() == text)
                pick = a;
        }
        if (pick)
            menu->setActiveAction(pick);
        QTest::keyClick(menu, pick ? Qt::Key_Return : Qt::Key_Escape);
        // Whatever happens, no menu stays open.
        if (menu && menu->isVisible())
            menu->close();
    });
    QWidget* viewport = panel.boxView()->viewport();
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, viewport->mapToGlobal(pos));
    QCoreApplication::sendEvent(viewport, &event);
    popup.wait();
    EXPECT_TRUE(seen) << "no menu opened";
    return shown;
}

}  // namespace

// In a box as wide as the default window (1440 pixels) makes it, the figures
// read whole inside the box, however large the file and long the transfer.
TEST(TaskPanel, ABoxHoldsItsFiguresWholeAtTheDefaultWidth) {
    TaskList tasks;
    qint64 now = 0;
    TaskBoxModel model(tasks, [&] { return now; });
    const auto download = Download("backup.tar", 98765432100);
    tasks.onTransferStarted(download.get(), download->info());
    const struct {
        const char* what;
        qint64 moved;  // the position reached at this time, -1 for none
        qint64 atMs;
        QStringList figures;
    } cases[] = {
        {"half way after more than a day",
         49382716050,
         99999000,
         {"49,382,716,050 / 98,765,432,100   494 k/s", "27:46:39 used, 27:46:39 left"}},
        {"nothing more for longer than the limit",
         -1,
         99999000 + kTransferInactivityLimitMs + 1,
         {"stalled", "49,382,716,050 / 98,765,432,100"}},
    };
    QStyleOptionViewItem option;
    option.fontMetrics = QFontMetrics(QApplication::font());
    const QRect box(0, 0, 400, TaskBoxDelegate().sizeHint(option, {}).height());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        now = c.atMs;
        if (c.moved >= 0)
            tasks.onTransferProgress(download.get(), c.moved);
        for (int line = 0; line < TaskBoxDelegate::kFigureLines; ++line) {
            const QString text = TaskBoxDelegate::figureText(model.index(0), line);
            const QRect room = TaskBoxDelegate::figureRect(box, option.fontMetrics, line);
            EXPECT_EQ(text, c.figures[line]);
            EXPECT_LE(option.fontMetrics.horizontalAdvance(text), room.width());
            EXPECT_TRUE(box.contains(room));
        }
    }
}

TEST(TaskPanel, RemovingARunningTransferSendsAbor) {
    SessionHarness h;
    h.loginIdle();
    TaskList tasks;
    tasks.connectTo(h.session);
    TaskStatus status;
    status.connectTo(h.session);
    TaskPanel panel(tasks, status, h.session);
    panel.resize(420, 500);
    panel.show();

    auto* running = h.session.queue().append(Download("big.iso", 1000));
    h.session.queue().append(Download("next.txt", 10));
    ASSERT_EQ(2, panel.model()->rowCount());
    h.session.advance(false);
    h.settle();
    h.reply(SessionHarness::pasv(5001));
    FakeTransport* data = h.acceptData();
    ASSERT_NE(nullptr, data);
    h.reply("150 Opening data connection\r\n");
    data->feed(QByteArray(400, 'x'));
    h.settle();
    const QModelIndex first = panel.model()->index(0);
    EXPECT_EQ(QStringLiteral("big.iso"), first.data(TaskBoxModel::FileNameRole).toString());
    EXPECT_EQ(QStringLiteral("40%"), first.data(TaskBoxModel::ProgressTextRole).toString());
    EXPECT_EQ(QStringLiteral("400 / 1,000"), first.data(TaskBoxModel::BytesTextRole).toString());

    const int sentBefore = h.sent().size();
    const QRect box = panel.boxView()->visualRect(first);
    ASSERT_TRUE(box.isValid());
    EXPECT_EQ(0, panel.boxAt(box.center()));
    const QStringList shown =
        RightClickAndChoose(panel, box.center(), QStringLiteral("Remove selected task"));
    EXPECT_EQ((QStringList{"Remove selected task", "Remove all tasks"}), shown);
    h.settle();

    EXPECT_TRUE(h.sentSince(sentBefore).contains("ABOR"))
        << h.sentSince(sentBefore).join(' ').toStdString();
    EXPECT_EQ(-1, h.session.queue().indexOf(running));
    ASSERT_EQ(1, tasks.count());
    ASSERT_EQ(1, panel.model()->rowCount());
    EXPECT_EQ(QStringLiteral("next.txt"),
              panel.model()->index(0).data(TaskBoxModel::FileNameRole).toString());

    // The empty part of the panel with one box offers the first task and a
    // disabled "all".
    const QPoint below(10, panel.boxView()->viewport()->height() - 5);
    ASSERT_EQ(-1, panel.boxAt(below));
    EXPECT_EQ((QStringList{"Remove first task", "Remove all tasks (off)"}),
              RightClickAndChoose(panel, below, QString()));
    EXPECT_EQ(1, tasks.count());
}

TEST(TaskPanel, StopBeepButtonAndStatusLine) {
    SessionHarness h;
    TaskList tasks;
    TaskStatus status;
    TaskPanel panel(tasks, status, h.session);
    panel.resize(300, 200);
    panel.show();
    QSignalSpy clicked(&panel, &TaskPanel::stopBeepClicked);
    EXPECT_FALSE(panel.isStopBeepVisible());
    panel.setStopBeepVisible(true);
    EXPECT_TRUE(panel.isStopBeepVisible());
    QToolButton* button = panel.statusLine()->stopBeepButton();
    EXPECT_EQ(26, button->height());
    EXPECT_EQ(panel.statusLine()->width() - 4, button->geometry().right() + 1);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(1, clicked.count());

    EXPECT_EQ(QStringLiteral("No task"), panel.statusLine()->accessibleDescription());
    status.onMarker(1, 0, QStringLiteral("Downloading files"), 0);
    EXPECT_EQ(QStringLiteral("Downloading files"), panel.statusLine()->accessibleDescription());
    // No box: no menu at all.
    EXPECT_EQ(nullptr, panel.createTaskMenu(-1, &panel));
}
