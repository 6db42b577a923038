// The main window's own behaviour around its pages: what it keeps for the
// next start, where it comes up, and how it ends.
#include "app/command_ids.h"
#include "app/quick_connect.h"
#include "app/ui/main_frame.h"
#include "app/ui/main_view.h"
#include "app/window_placement_image.h"
#include "workbench_harness.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QTabBar>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace {

TEST(MainWindow, BannerAndPageAreAsTheyWereLeft) {
    WorkbenchHarness h;
    {
        MainFrame frame(*h.workbench);
        frame.show();
        EXPECT_TRUE(frame.view()->bannerPane()->isVisible());
        frame.updateMenuState();
        EXPECT_TRUE(frame.action(kCmdViewBanner)->isChecked());
        frame.action(kCmdViewBanner)->trigger();
        EXPECT_FALSE(frame.view()->bannerPane()->isVisible());
        frame.updateMenuState();
        EXPECT_FALSE(frame.action(kCmdViewBanner)->isChecked());
        frame.view()->showPage(MainView::RemoteProject);
        // No close: the banner's state is kept the moment it changes.
    }
    {
        MainFrame frame(*h.workbench);
        frame.show();
        EXPECT_FALSE(frame.view()->bannerPane()->isVisible());
        EXPECT_EQ(frame.view()->currentPage(), MainView::Normal);
        frame.view()->showPage(MainView::RemoteProject);
        frame.close();
    }
    MainFrame frame(*h.workbench);
    frame.show();
    EXPECT_EQ(frame.view()->currentPage(), MainView::RemoteProject);
    EXPECT_EQ(frame.view()->tabBar()->currentIndex(), int(MainView::RemoteProject));
    EXPECT_FALSE(frame.view()->bannerPane()->isVisible());
}

TEST(MainWindow, ExitClosesFromTheMenuAndCtrlQ) {
    WorkbenchHarness h;
    MainFrame frame(*h.workbench);
    frame.show();
    QAction* exit = frame.action(kCmdExit);
    ASSERT_TRUE(exit);
    EXPECT_EQ(exit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    exit->trigger();
    EXPECT_FALSE(frame.isVisible());
}

TEST(MainWindow, APlacementOffEveryScreenComesBackIntoView) {
    WorkbenchHarness h;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    AppSettings& s = h.workbench->settings();
    s.Loaded = true;
    WindowGeometry stored;
    stored.normal = QRect(screen.right() + 3000, screen.bottom() + 2000, 560, 380);
    s.MainPlacement = PlacementFromGeometry(stored);
    MainFrame frame(*h.workbench);
    frame.restorePlacement();
    EXPECT_TRUE(screen.contains(frame.geometry())) << frame.geometry().x();
    EXPECT_EQ(frame.geometry().size(), QSize(560, 380));

    // Twice the screen, as after the scale doubled: shrunk to it.
    stored.normal = QRect(screen.topLeft(), screen.size() * 2);
    s.MainPlacement = PlacementFromGeometry(stored);
    frame.restorePlacement();
    EXPECT_EQ(frame.geometry(), screen);
}

}  // namespace

// ---------------------------------------------------------------------------

#include "app/certificate_question.h"
#include "app/tool_dialog_rules.h"
#include "app/ui/certificate_dialog.h"
#include "app/ui/file_input_dialog.h"
#include "app/ui/site_name_dialog.h"
#include "extras/ui/ftp_wizard_window.h"
#include "extras/ui/wizard_registry.h"
#include "platform/help_viewer.h"
#include "remote/task_status.h"
#include "remote/ui/file_action_dialog.h"
#include "remote/ui/new_folder_dialog.h"
#include "remote/ui/permissions_dialog.h"
#include "remote/ui/remote_path_dialog.h"
#include "session/ui/command_queue_window.h"
#include "support/scripted_prompter.h"
#include "when_shown.h"
#include "workspace/ui/change_case_window.h"
#include "workspace/ui/compare_window.h"
#include "workspace/ui/copy_local_path_dialog.h"
#include "workspace/ui/local_name_dialog.h"
#include "workspace/ui/local_properties_dialog.h"
#include "workspace/ui/search_window.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPointer>

namespace {

class NoHelp : public HelpViewer {
public:
    void showTopic(const QString&) override {}
};

// Whether Escape closes the window, waiting a little for a close that comes
// through the event loop.
bool escapeCloses(QWidget* w) {
    QPointer<QWidget> guard(w);
    QTest::keyClick(w, Qt::Key_Escape);
    return QTest::qWaitFor([&] { return !guard || !guard->isVisible(); }, 2000);
}

// Presses Escape in the modal dialog a command opens; true when that closed
// it (otherwise it is rejected by hand so the test goes on).
bool commandDialogClosesWithEscape(MainFrame& frame, int id, QString* title) {
    bool closed = false;
    WhenShown modal(WhenShown::modal, [&](QWidget* shown) {
        QPointer<QWidget> w = shown;
        *title = w->windowTitle();
        closed = escapeCloses(w);
        if (w && w->isVisible())
            if (auto* d = qobject_cast<QDialog*>(w.data()))
                d->reject();
    });
    frame.runCommand(id);
    modal.wait();
    return closed;
}

bool closesWithEscape(QWidget* w) {
    w->show();
    // Shortcuts reach only the active window.
    return QTest::qWaitForWindowActive(w) && escapeCloses(w);
}

TEST(MainWindow, EveryDialogClosesWithEscape) {
    WorkbenchHarness h;
    ScriptedPrompter prompter;
    NoHelp help;
    MainFrame::Services services;
    services.prompter = &prompter;
    services.help = &help;
    MainFrame frame(*h.workbench, services);
    frame.show();
    for (int id :
         {kCmdConnect, kCmdGeneralOptions, kCmdLocalColor, kCmdBeepOptions, kCmdToolsBySearch,
          kCmdToolsManually, kCmdCheckCommands, kCmdShutdownSystem, kCmdAlertDownload, kCmdAbout}) {
        QString title;
        EXPECT_TRUE(commandDialogClosesWithEscape(frame, id, &title)) << id;
        EXPECT_FALSE(title.isEmpty()) << id;
    }
    EXPECT_EQ(h.workbench->completion().shutdownFlags(), 0);

    const LoopContext loops{h.workbench->engine(), h.workbench->taskStatus(), prompter, help};
    SiteList& sites = h.workbench->sites();
    CertificateQuestion question;
    using Make = std::function<QWidget*()>;
    const std::vector<std::pair<const char*, Make>> dialogs = {
        {"permissions", Make([&] { return new PermissionsDialog({}, false, prompter); })},
        {"file action",
         [&] { return new FileActionDialog(TransferDirection::Upload, {}, true, help); }},
        {"new folder", [] { return new NewFolderDialog("/a"); }},
        {"remote path", [] { return new RemotePathDialog("/a", "http://h/a"); }},
        {"site name",
         [&] { return new SiteNameDialog(sites, SiteNameDialog::Mode::New, -1, prompter); }},
        {"local name",
         [] { return new LocalNameDialog(LocalNameDialog::Purpose::Folder, "/tmp"); }},
        {"local path", [] { return new CopyLocalPathDialog("/tmp"); }},
        {"local properties", [] { return new LocalPropertiesDialog("/tmp"); }},
        {"file input", [&] { return new FileInputDialog(FileInputMode::Test, prompter); }},
        {"certificate", [&] { return new CertificateDialog(question); }},
        {"search", [&] { return new SearchWindow(loops, {}, "/", {}, {}); }},
        {"change case", [&] { return new ChangeCaseWindow(loops, "/", {}); }},
        {"compare",
         [&] {
             return new CompareWindow(loops, {"/tmp", "/"}, "/", 0);
         }},
    };
    for (const auto& [name, make] : dialogs) {
        QPointer<QWidget> w = make();
        const bool deletes = w->testAttribute(Qt::WA_DeleteOnClose);
        EXPECT_TRUE(closesWithEscape(w)) << name;
        if (!deletes)
            delete w;
    }
    EXPECT_TRUE(closesWithEscape(reinterpret_cast<QWidget*>(frame.queueWindow())));

    // The wizard closes too, but asks first when its text holds edits.
    FtpWizardWindow* wizard = frame.wizards()->open("/", "a.txt");
    ASSERT_TRUE(wizard);
    EXPECT_TRUE(closesWithEscape(wizard));
    QPointer<FtpWizardWindow> edited = frame.wizards()->open("/", "b.txt");
    ASSERT_TRUE(edited);
    edited->showContent("text\n");
    ASSERT_TRUE(
        WorkbenchHarness::waitFor([&] { return edited->textView()->toPlainText() == "text\n"; }));
    edited->textView()->appendPlainText("more");
    const QString closeAnyway =
        "The text has changes that were not uploaded.\nClose the wizard anyway?";
    prompter.expectQuestion(closeAnyway, false);
    EXPECT_FALSE(closesWithEscape(edited));
    // So does the main window while the wizard holds them.
    prompter.expectQuestion(closeAnyway, false);
    EXPECT_FALSE(frame.close());
    EXPECT_TRUE(edited && edited->isVisible());
    // And a new connection, which may reach another server: "No" keeps the
    // wizard and connects nowhere, "Yes" closes it before connecting.
    const QuickConnectFields elsewhere{"192.0.2.1", "me", "pw", "2121"};
    prompter.expectQuestion(closeAnyway, false);
    frame.quickConnect(elsewhere);
    EXPECT_TRUE(edited && edited->isVisible());
    EXPECT_NE(h.workbench->sites().Current.Site.Host, "192.0.2.1");
    // A loop window of this server closes too.
    QPointer<QWidget> search = new SearchWindow(loops, {}, "/", {}, {}, &frame);
    search->setWindowFlag(Qt::Window);
    search->show();
    prompter.expectQuestion(closeAnyway, true);
    frame.quickConnect(elsewhere);
    EXPECT_FALSE(edited && edited->isVisible());
    EXPECT_TRUE(WorkbenchHarness::waitFor([&] { return !search; }));
    EXPECT_EQ(h.workbench->sites().Current.Site.Host, "192.0.2.1");
    h.workbench->session().closeConnection();
}

}  // namespace
