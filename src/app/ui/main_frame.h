#pragma once

#include "app/main_menu.h"
#include "app/runtime_command_menus.h"
#include "platform/ui/explorer_host.h"
#include "workspace/ui/compare_window.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class BannerHub;
class ChatPage;
class ConcernedFilePage;
class WizardRegistry;
class DialogCertificateAsker;
class FrameExplorerHost;
class LocalExplorer;
class RemoteExplorer;
class LocalSide;
class ChatPane;
class CommandQueueWindow;
class HelpViewer;
class HelpWindow;
class TaskPanel;
class TaskSummaryButton;
class MainView;
class Prompter;
class QAction;
class QLabel;
class QMenu;
class QToolBar;
class QuickConnectBar;
class Workbench;
struct QuickConnectFields;
struct WindowState;

// The main window: the menu bar built from the menu table, the tool bar, the
// pages, and the dispatch of every main-menu command to the part that does
// the work.
class MainFrame : public QMainWindow {
    Q_OBJECT
public:
    struct Services {
        Prompter* prompter = nullptr;  // message boxes when null
        HelpViewer* help = nullptr;    // the help window when null
    };

    explicit MainFrame(Workbench& workbench, QWidget* parent = nullptr);
    MainFrame(Workbench& workbench, const Services& services, QWidget* parent = nullptr);
    ~MainFrame() override;

    // The viewing tools of a compare result's "View/edit by".
    void addCompareTools(QMenu* menu, bool remoteFile, const CompareWindow::TargetChooser& choose);

    MainView* view() const { return view_; }
    ChatPane* mainChatPane() const { return mainChat_; }
    LocalSide* localSide() const { return localSide_; }
    LocalExplorer* localExplorer() const { return localExplorer_; }
    RemoteExplorer* remoteExplorer() const { return remoteExplorer_; }
    RemoteExplorer* remoteProjectExplorer() const { return remoteProject_; }
    FrameExplorerHost* explorerHost() const { return explorerHost_; }
    ChatPage* chatPage() const { return chatPage_; }
    TaskPanel* taskPanel() const { return taskPanel_; }
    TaskSummaryButton* taskSummary() const { return taskSummary_; }
    // Says in the status bar whether the conversation with the server is
    // encrypted.
    QLabel* securityLabel() const { return security_; }
    CommandQueueWindow* queueWindow() const { return queueWindow_; }
    ConcernedFilePage* concernedFilePage() const { return concernedPage_; }
    WizardRegistry* wizards() const { return wizards_; }
    QToolBar* toolBar() const { return toolBar_; }
    QuickConnectBar* quickConnectBar() const { return quickBar_; }
    // The quick-connect bar's "Connect": a connection without a stored site.
    void quickConnect(const QuickConnectFields& fields);
    // The action carrying that command id, null when the menu has none.
    QAction* action(int id) const;
    QMenu* menu(const QStringList& path) const;
    // Every action of the menu bar, in menu order (runtime items included).
    QList<QAction*> menuActions() const;

    // Placement from the settings: maximised on a first start.
    void restorePlacement();
    // Carries out a command as if its menu item was chosen.
    void runCommand(int id);
    // Checks and enabling from the state.
    void updateMenuState();
    // SIGTERM, SIGINT or SIGHUP: open dialogs are cancelled and the window
    // closes as if the user closed it, saving what it holds; nobody is asked.
    void closeForSignal();

    // The name of the remote item selected in the remote views, empty when
    // none: MLST and the listing group use it.
    void setRemoteSelection(std::function<QByteArray()> selected) {
        remoteSelection_ = std::move(selected);
    }

    Prompter& prompter() const { return *prompter_; }
    HelpViewer& help() const { return *help_; }

signals:
    // Settings a menu changed that views show (MenuRedraw bits).
    void viewOptionsChanged(int redraw);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPages();
    void applyChatOptions();
    void applyExplorerOptions();
    void buildMenus();
    void buildToolBar();
    void rebuildRuntimeMenus();
    void fillRuntimeMenu(QMenu* menu, const std::vector<RuntimeLetterMenu>& letters);
    QMenu* menuFor(const QStringList& path);
    MenuContext menuContext() const;
    void sendSimpleCommand(int id);
    void openSiteConnect();
    // Edits not uploaded (the concerned file's, the wizards'): each asks whether
    // they may go; false at the first the user keeps.
    bool editsMayGo();
    // Failed uploads' hidden temporaries on the server, forgotten once the
    // program ends, are the user's to keep or delete; false while the close
    // waits (cancelled, or the deletes are on their way).
    bool temporariesMayStay();
    // Those on servers not logged in to can not be deleted from here: the
    // user is told, and may keep the window to go back there.
    bool temporariesElsewhereMayStay();
    // A task in hand is the user's to stop by closing; false when kept, or
    // while an upload that would leave its temporary is being stopped first.
    bool runningWorkMayStop();
    // Closes again once the work in hand is through (stops, deletes), the
    // connection is gone, or a server that does not answer has had its time.
    void closeWhenIdle();
    void closeAfterWaiting();
    // Before a new connection, which may reach another server: edits not
    // uploaded are the user's to throw away (false: kept, nothing connects),
    // and the wizards and loop windows close, so that none acts on that
    // server's files of the same paths.
    bool leaveServer();
    void openGeneralOptions();
    void openColorDialog(int id);
    void openBeepOptions();
    void openToolDialog(int id);
    void openFileActionDialog(int id);
    void saveCurrentAsSite();
    void openLoopWindow(ExplorerHost::Loop loop, const QByteArray& remoteFolder);
    void sendGroupCommand(int id);
    // Saves the settings files at once (after a dialog or menu changed
    // them), so a kill or a crash loses nothing; failures are shown.
    void storeSettings();
    // The page shown (a banner page counts as the first) and the banner pane.
    WindowState windowState() const;

    Workbench& workbench_;
    std::unique_ptr<Prompter> ownPrompter_;
    std::unique_ptr<HelpWindow> ownHelp_;
    std::unique_ptr<DialogCertificateAsker> certificateAsker_;
    Prompter* prompter_;
    HelpViewer* help_;
    MainView* view_;
    ChatPane* mainChat_ = nullptr;
    FrameExplorerHost* explorerHost_ = nullptr;
    LocalSide* localSide_ = nullptr;
    LocalExplorer* localExplorer_ = nullptr;
    QWidget* localProjectTree_ = nullptr;
    RemoteExplorer* remoteExplorer_ = nullptr;
    RemoteExplorer* remoteProject_ = nullptr;
    ChatPage* chatPage_ = nullptr;
    TaskPanel* taskPanel_ = nullptr;
    TaskSummaryButton* taskSummary_ = nullptr;
    QLabel* security_ = nullptr;
    CommandQueueWindow* queueWindow_ = nullptr;
    ConcernedFilePage* concernedPage_ = nullptr;
    WizardRegistry* wizards_ = nullptr;
    BannerHub* banners_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QToolBar* quickToolBar_ = nullptr;
    QuickConnectBar* quickBar_ = nullptr;
    QHash<QString, QMenu*> menus_;
    QHash<int, QAction*> actions_;
    RuntimeCommandMenus runtime_;
    bool closingForSignal_ = false;
    bool workMayStop_ = false;
    bool temporariesDecided_ = false;
    QObject* closeWaiter_ = nullptr;  // while a close waits
    bool runtimeBuilt_ = false;
    std::function<QByteArray()> remoteSelection_;
};
