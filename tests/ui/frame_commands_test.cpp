// Every menu command that opens a dialog opens the right one, and the
// dialogs' answers reach the settings.
#include "app/command_ids.h"
#include "app/ui/main_frame.h"
#include "support/scripted_prompter.h"
#include "when_shown.h"
#include "workbench_harness.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

// Runs a command and reports the title of the modal dialog it opened, which
// is then closed with reject().
QString dialogTitleOf(MainFrame& frame, int id) {
    QString seen = QStringLiteral("(none)");
    WhenShown modal(WhenShown::modal, [&](QWidget* w) {
        seen = w->windowTitle();
        if (auto* d = qobject_cast<QDialog*>(w))
            d->reject();
    });
    frame.runCommand(id);
    modal.wait();
    return seen;
}

TEST(FrameCommands, EachDialogCommandOpensItsDialog) {
    WorkbenchHarness h;
    ScriptedPrompter prompter;
    MainFrame::Services services;
    services.prompter = &prompter;
    MainFrame frame(*h.workbench, services);
    frame.show();
    const QPair<int, const char*> cases[] = {
        {kCmdConnect, "Site connect"},
        {kCmdGeneralOptions, "General"},
        {kCmdLocalColor, "Change local project background color"},
        {kCmdRemoteColor, "Change remote project background color"},
        {kCmdBeepOptions, "Beep options"},
        {kCmdToolsBySearch, "Search for tools"},
        {kCmdToolsManually, "Add user tools"},
        {kCmdCheckCommands, "Check important FTP commands"},
        {kCmdShutdownSystem, "You want to shutdown ..."},
        {kCmdShutdownProgram, "You want to shutdown ..."},
    };
    for (const auto& [id, title] : cases) {
        SCOPED_TRACE(id);
        EXPECT_EQ(dialogTitleOf(frame, id), QString::fromUtf8(title));
    }
    // Cancelled confirmations leave both shutdown flags clear.
    EXPECT_EQ(h.workbench->completion().shutdownFlags(), 0);
    EXPECT_NE(dialogTitleOf(frame, kCmdAlertUpload), QStringLiteral("(none)"));
    EXPECT_NE(dialogTitleOf(frame, kCmdAlertDownload), QStringLiteral("(none)"));
}

TEST(FrameCommands, ShowCommandQueueShowsTheQueueWindow) {
    WorkbenchHarness h;
    MainFrame frame(*h.workbench);
    frame.runCommand(kCmdShowQueue);
    QWidget* queue = reinterpret_cast<QWidget*>(frame.queueWindow());
    ASSERT_TRUE(queue);
    EXPECT_TRUE(queue->isVisible());
    EXPECT_EQ(queue->windowTitle(), QStringLiteral("Command queue for bug detection and report"));
}

TEST(FrameCommands, CompareToolsAskForTheirTargetWhenPicked) {
    WorkbenchHarness h;
    MainFrame frame(*h.workbench);
    h.workbench->tools().UserTools.push_back({"Editor", "/opt/ed", "edit", 0});
    std::optional<CompareWindow::ViewTarget> target;
    int asked = 0;
    QMenu menu;
    frame.addCompareTools(&menu, false, [&] {
        ++asked;
        return target;
    });
    QAction* tool = nullptr;
    for (QAction* a : menu.actions())
        if (a->text().contains(QLatin1String("Editor")))
            tool = a;
    ASSERT_TRUE(tool);
    EXPECT_EQ(asked, 0);
    tool->trigger();  // cancelled: nothing starts
    target = CompareWindow::ViewTarget{false, QStringLiteral("/home/u/site/a.html")};
    tool->trigger();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(h.launcher.started(), QStringList{"/opt/ed/edit /home/u/site/a.html"});
}

}  // namespace
