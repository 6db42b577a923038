// The lists of the dialogs and panels, and the chat pane, open their menus
// from the keyboard too, where a screen reader reads them.
#include <gtest/gtest.h>

#include <QListView>
#include <QTableView>
#include <QTableWidget>

#include "app/site_list.h"
#include "app/ui/site_connect_dialog.h"
#include "app/ui/tool_list_dialog.h"
#include "remote/task_list.h"
#include "remote/task_status.h"
#include "remote/ui/task_panel.h"
#include "screen_reader_menu.h"
#include "session/direct_download_group.h"
#include "session/ui/chat_pane.h"
#include "support/desktop_recorders.h"
#include "support/scripted_prompter.h"
#include "support/session_harness.h"

namespace {

TEST(ContextMenus, PanelAndDialogListsOpenFromTheKeyboard) {
    ScriptedPrompter prompter;
    RecordingHelp help;
    SiteList sites;
    SiteRecord site;
    site.Name = QStringLiteral("home");
    sites.Records.push_back(site);
    SiteConnectDialog siteDialog(sites, prompter, help);
    siteDialog.show();
    siteDialog.view()->selectRow(0);

    RecordingLauncher launcher;
    std::vector<ToolRecord> tools(1);
    tools[0].Name = QStringLiteral("Editor");
    ToolListDialog toolDialog(tools, ToolListDialog::Mode::User, launcher, prompter, help);
    toolDialog.show();
    toolDialog.table()->selectRow(0);

    SessionHarness session;
    session.loginIdle();
    TaskList tasks;
    tasks.connectTo(session.session);
    TaskStatus status;
    TaskPanel panel(tasks, status, session.session);
    panel.show();
    for (const char* name : {"a.zip", "b.zip"}) {
        TransferInfo info;
        info.remoteFolder = "/pub";
        info.fileName = name;
        info.localPath = QStringLiteral("/tmp/") + QString::fromLatin1(name);
        session.session.queue().append(std::make_unique<DirectDownloadGroup>(
            DirectPurpose::Stream, info, StepList{{"PASV", {}}, {"RETR", name}}));
    }
    panel.boxView()->setCurrentIndex(panel.boxView()->model()->index(1, 0));

    ChatPane chat(ChatPaneKind::Main);
    chat.show();

    const struct {
        const char* what;
        QWidget* target;
        QStringList entries;
    } cases[] = {
        {"sites", siteDialog.view(), {"Rename", "Delete", "Duplicate the site"}},
        {"tools",
         toolDialog.table(),
         {"Delete", "Rename", "Edit", "Launch only (off)", "Execute file (off)"}},
        {"tasks",
         panel.boxView(),
         {"Remove first task", "Remove selected task", "Remove all tasks"}},
        {"chat", &chat, {"Copy (off)", "Select all", "Clear chat"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& [key, modifiers] :
             {std::pair{Qt::Key_F10, Qt::ShiftModifier}, std::pair{Qt::Key_Menu, Qt::NoModifier}}) {
            c.target->setFocus();
            const ScreenReaderMenu menu =
                ReadContextMenu([&] { QTest::keyClick(c.target, key, modifiers); });
            ASSERT_TRUE(menu.opened);
            EXPECT_TRUE(menu.listedByRoot && menu.rootIsParent);
            EXPECT_EQ(menu.entries, c.entries);
        }
    }
}

}  // namespace
