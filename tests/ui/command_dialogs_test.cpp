#include "session/command_index.h"
#include "session/ui/command_check_dialog.h"
#include "session/ui/command_queue_model.h"
#include "session/ui/command_queue_window.h"
#include "support/desktop_recorders.h"
#include "support/scripted_prompter.h"
#include "support/session_harness.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

TEST(CommandCheckDialog, ShowsSupportAndAnswersChecksThroughThePrompter) {
    const CommandIndex feat = SessionHarness::indexOf({"MLST", "REST", "SIZE"});
    const CommandIndex help = SessionHarness::indexOf({"LIST", "MLSD", "RETR"});
    ScriptedPrompter prompter;
    RecordingHelp helpViewer;
    CommandCheckDialog dialog(feat, help, prompter, helpViewer);
    dialog.resize(400, 300);
    dialog.show();

    QStringList rows;
    for (int i = 0; i < dialog.list()->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = dialog.list()->topLevelItem(i);
        rows << item->text(0) + QLatin1Char('|') + item->text(1) + QLatin1Char('|') + item->text(2);
    }
    EXPECT_EQ((QStringList{"FEAT|Get searver's features|Yes", "MLSD|Read item list|Yes",
                           "MLST|Read an item|Yes"}),
              rows);
    const QHeaderView* header = dialog.list()->header();
    EXPECT_NEAR(2.0, double(header->sectionSize(1)) / header->sectionSize(0), 0.05);
    EXPECT_NEAR(header->sectionSize(0), header->sectionSize(2), 1);

    dialog.commandEdit()->setText(QStringLiteral("  SIZE\t"));
    QTest::mouseClick(dialog.checkButton(), Qt::LeftButton);
    dialog.commandEdit()->setText(QString());
    QTest::keyClick(dialog.commandEdit(), Qt::Key_Return);
    EXPECT_EQ(
        (QStringList{"The command is supported.", "Please input an advanced command for checking"}),
        prompter.messages());
    EXPECT_EQ(dialog.commandEdit(), dialog.focusWidget());

    QTest::mouseClick(dialog.helpButton(), Qt::LeftButton);
    EXPECT_EQ(QStringList{"menu/command.htm"}, helpViewer.topics);
    QTest::mouseClick(dialog.closeButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(CommandQueueWindow, FollowsTheQueueOncePerBurstAndEmptiesIt) {
    SessionHarness h;
    h.loginIdle();
    CommandQueueWindow window(h.session);
    window.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(QStringLiteral("commands count : 0"), window.countLabel()->text());

    h.session.sendCommand("NOOP");
    h.session.sendCommand("PWD");
    h.session.sendCommand("SYST");
    const int before = window.refreshCount();
    for (int i = 0; i < 200; ++i)
        h.session.log(LogChannel::Status, QStringLiteral("busy %1").arg(i));
    EXPECT_EQ(before, window.refreshCount());  // nothing rebuilt inside the burst
    QCoreApplication::processEvents();
    EXPECT_EQ(before + 1, window.refreshCount());
    EXPECT_EQ(QStringLiteral("commands count : 3"), window.countLabel()->text());
    const QAbstractItemModel* model = window.view()->model();
    ASSERT_EQ(3, model->rowCount());
    EXPECT_EQ(QStringLiteral("NOOP  (sent)"), model->index(0, 4).data().toString());
    EXPECT_EQ(QStringLiteral("PWD  (unsend)"), model->index(1, 4).data().toString());
    EXPECT_EQ(QStringLiteral("cmd 3"), model->headerData(7, Qt::Horizontal).toString());

    // The head's reply takes it out; the rows of the others stay, so does the
    // user's selection.
    window.view()->selectRow(2);
    h.reply("200 NOOP ok\r\n");
    QCoreApplication::processEvents();
    ASSERT_EQ(2, model->rowCount());
    EXPECT_EQ(QStringLiteral("PWD  (sent)"), model->index(0, 4).data().toString());
    EXPECT_EQ(1, window.view()->currentIndex().row());

    QTest::mouseClick(window.clearButton(), Qt::LeftButton);
    EXPECT_TRUE(h.session.queue().isEmpty());
    EXPECT_EQ(0, model->rowCount());
    EXPECT_EQ(QStringLiteral("commands count : 0"), window.countLabel()->text());
}
