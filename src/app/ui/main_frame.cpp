#include "app/ui/main_frame.h"

#include "app/close_question.h"
#include "app/color_choice.h"
#include "app/command_ids.h"
#include "app/connection_security.h"
#include "app/group_command_steps.h"
#include "app/log_font_image.h"
#include "app/loop_settings.h"
#include "app/quick_connect.h"
#include "app/screen_fit.h"
#include "app/site_rules.h"
#include "app/tool_menu.h"
#include "app/ui/beep_options_dialog.h"
#include "app/ui/certificate_dialog.h"
#include "app/ui/color_dialog.h"
#include "app/ui/frame_explorer_host.h"
#include "app/ui/general_options_sheet.h"
#include "app/ui/main_view.h"
#include "app/ui/normal_page.h"
#include "app/ui/quick_connect_bar.h"
#include "app/ui/shutdown_confirm_dialog.h"
#include "app/ui/shutdown_countdown_dialog.h"
#include "app/ui/site_connect_dialog.h"
#include "app/ui/site_name_dialog.h"
#include "app/ui/tool_list_dialog.h"
#include "app/window_placement_image.h"
#include "app/window_state.h"
#include "app/workbench.h"
#include "extras/banner_source.h"
#include "extras/ui/about_box.h"
#include "extras/ui/banner_panel.h"
#include "extras/ui/concerned_file_page.h"
#include "extras/ui/ftp_wizard_window.h"
#include "extras/ui/wizard_registry.h"
#include "platform/help_location.h"
#include "platform/help_viewer.h"
#include "platform/launcher.h"
#include "platform/local_places.h"
#include "platform/program_texts.h"
#include "platform/ui/accessible_menu_item.h"
#include "platform/ui/context_menu.h"
#include "platform/ui/help_window.h"
#include "platform/ui/message_box_prompter.h"
#include "platform/ui/project_page.h"
#include "remote/action_engine.h"
#include "remote/failed_transfers.h"
#include "remote/remote_list_columns.h"
#include "remote/remote_path.h"
#include "remote/remote_project_guard.h"
#include "remote/task_menu_rules.h"
#include "remote/ui/explorer_item_view.h"
#include "remote/ui/file_action_dialog.h"
#include "remote/ui/remote_explorer.h"
#include "remote/ui/task_panel.h"
#include "remote/ui/task_summary_button.h"
#include "session/ui/chat_page.h"
#include "session/ui/chat_pane.h"
#include "session/ui/command_check_dialog.h"
#include "session/ui/command_queue_window.h"
#include "workspace/local_list_columns.h"
#include "workspace/project_folders.h"
#include "workspace/ui/change_case_window.h"
#include "workspace/ui/compare_window.h"
#include "workspace/ui/local_explorer.h"
#include "workspace/ui/local_list_view.h"
#include "workspace/ui/local_side.h"
#include "workspace/ui/local_tree_view.h"
#include "workspace/ui/search_window.h"
#include "workspace/workspace_command_ids.h"

#include <algorithm>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <functional>
#include <utility>

namespace {

const QString kProfileOrganisation = QStringLiteral("Local AppWizard-Generated Applications");
const QString kProfileApplication = QStringLiteral("Velmora");
const QString kProfileSection = QStringLiteral("General");
const QString kToolBarStateKey = QStringLiteral("ToolBarState");
// How long a close waits for the server to delete failed uploads' temporaries.
constexpr int kCloseWaitMs = 15000;

// Each list's order lives in the profile, written as soon as it changes so a
// kill loses none.
ListSort StoredListSort(const QString& key, int columnCount) {
    QSettings profile(kProfileOrganisation, kProfileApplication);
    profile.beginGroup(kProfileSection);
    return ListSort::fromText(profile.value(key).toString(), columnCount);
}

void StoreListSort(const QString& key, ListSort sort) {
    QSettings profile(kProfileOrganisation, kProfileApplication);
    profile.beginGroup(kProfileSection);
    profile.setValue(key, sort.toText());
}

QString pathKey(const QStringList& path) {
    return path.join(QChar(0x1F));
}

}  // namespace

MainFrame::MainFrame(Workbench& workbench, QWidget* parent)
    : MainFrame(workbench, Services(), parent) {}

MainFrame::MainFrame(Workbench& workbench, const Services& services, QWidget* parent)
    : QMainWindow(parent),
      workbench_(workbench),
      prompter_(services.prompter),
      help_(services.help),
      view_(new MainView(this)) {
    if (!prompter_) {
        ownPrompter_ = std::make_unique<MessageBoxPrompter>(this);
        prompter_ = ownPrompter_.get();
    }
    if (!help_) {
        ownHelp_ = std::make_unique<HelpWindow>();
        help_ = ownHelp_.get();
    }
    setObjectName(QStringLiteral("mainFrame"));
    // A certificate that did not verify is put to the user, without blocking.
    certificateAsker_ = std::make_unique<DialogCertificateAsker>(this);
    workbench_.setCertificateAsker(certificateAsker_.get());
    connect(&workbench_.certificateJudge(), &StoredCertificateJudge::storeFailed, this,
            [this](const QString& path) {
                prompter_->showMessage(
                    QStringLiteral("The trusted certificate could not be saved in %1.").arg(path));
            });
    setWindowTitle(workbench_.windowTitle());
    setCentralWidget(view_);
    buildPages();
    // Project folders and the concerned file are kept with the site at once.
    connect(explorerHost_, &FrameExplorerHost::projectFoldersChanged, this,
            &MainFrame::storeSettings);
    connect(explorerHost_, &FrameExplorerHost::concernedFileChanged, this,
            &MainFrame::storeSettings);
    buildMenus();
    buildToolBar();
    statusBar();
    const WindowState state = LoadWindowState(workbench_.settingFolder(), MainView::PageCount);
    view_->setBannerVisible(state.bannerVisible);
    view_->showPage(state.page);

    FtpSession& session = workbench_.session();
    connect(&workbench_, &Workbench::titleChanged, this, &QWidget::setWindowTitle);
    connect(&session, &FtpSession::loggedInChanged, this, &MainFrame::updateMenuState);
    connect(&session, &FtpSession::disconnected, this, &MainFrame::updateMenuState);
    connect(&session, &FtpSession::connectionClosed, this, [this] {
        runtimeBuilt_ = false;
        rebuildRuntimeMenus();
        updateMenuState();
    });
    connect(&session, &FtpSession::commandMenusRebuilt, this, &MainFrame::rebuildRuntimeMenus);
    connect(&workbench_.completion(), &CompletionActions::closeProgramRequested, this,
            &QWidget::close, Qt::QueuedConnection);

    // The pages restore their proportions once they all exist.
    QTimer::singleShot(0, this, [this] { view_->restoreLayout(workbench_.settings()); });
    updateMenuState();
}

MainFrame::~MainFrame() {
    workbench_.setCertificateAsker(nullptr);
}

void MainFrame::buildPages() {
    Workbench& w = workbench_;
    explorerHost_ = new FrameExplorerHost(w, *prompter_, *help_, this);
    explorerHost_->setLoopStarter([this](ExplorerHost::Loop loop, const QByteArray& folder) {
        openLoopWindow(loop, folder);
    });
    localSide_ = new LocalSide(w.engine(), w.session(), *explorerHost_, this);
    applyExplorerOptions();
    localExplorer_ = new LocalExplorer(*localSide_);
    view_->normalPage()->localSlot()->layout()->addWidget(localExplorer_);
    localExplorer_->setLastLocalFolder(
        StartLocalFolder(w.settings().Loaded, w.settings().LastLocalFolder, QDir::homePath()));
    const LocalProjectViews localProject =
        FillLocalProjectPage(*localSide_, *view_->localProjectPage());

    // The server side of both pages; each downloads into its page's local folder.
    remoteExplorer_ =
        new RemoteExplorer(w.engine(), w.session(), *explorerHost_, RemoteExplorer::Role::Normal);
    view_->normalPage()->remoteSlot()->layout()->addWidget(remoteExplorer_);
    remoteProject_ = new RemoteExplorer(w.engine(), w.session(), *explorerHost_,
                                        RemoteExplorer::Role::Project, this);
    view_->remoteProjectPage()->treeSlot()->layout()->addWidget(remoteProject_->treeView());
    view_->remoteProjectPage()->listSlot()->layout()->addWidget(remoteProject_->listPane());
    LocalTreeView* normalTree = localExplorer_->tree();
    LocalTreeView* projectTree = localProject.tree;
    remoteExplorer_->setLocalFolderSource([normalTree] { return normalTree->selectedFolder(); });
    remoteProject_->setLocalFolderSource([projectTree] { return projectTree->selectedFolder(); });
    for (RemoteExplorer* r : {remoteExplorer_, remoteProject_}) {
        r->setConcernedFileSource([&w] { return w.sites().Current.Site.ConcernedFile; });
        connect(r, &RemoteExplorer::remoteProjectFolderChanged, remoteProject_,
                &RemoteExplorer::setProjectFolder);
        connect(r, &RemoteExplorer::remoteProjectFolderCleared, remoteProject_,
                [this] { remoteProject_->setProjectFolder(QString()); });
    }
    connect(&w, &Workbench::localProjectChosen, remoteProject_, [this, &w] {
        remoteProject_->setProjectFolder(w.sites().Current.Site.RemoteProjectFolder);
    });
    localSide_->setRemoteFolderSource([this] {
        return view_->currentPage() == MainView::RemoteProject ||
                       view_->currentPage() == MainView::LocalProject
                   ? remoteProject_->currentFolder()
                   : remoteExplorer_->currentFolder();
    });
    setRemoteSelection([this] { return remoteExplorer_->selectedName(); });
    // Work that changes a remote folder lists it again when a view shows it.
    w.engine().setShownFolders([this](const QByteArray& folder) {
        if (remoteExplorer_->shows(folder) || remoteProject_->shows(folder))
            return true;
        const QList<LoopWindow*> loops = findChildren<LoopWindow*>();
        return std::any_of(loops.begin(), loops.end(),
                           [&folder](const LoopWindow* loop) { return loop->showsFolder(folder); });
    });
    // A refused login: nothing of the site shown before stays, and the user
    // learns the server's answer (after the reply has been dealt with).
    connect(&w.session(), &FtpSession::loginRefused, this, [this](const QString& reply) {
        remoteExplorer_->clearViews();
        remoteProject_->clearViews();
        QMetaObject::invokeMethod(
            this,
            [this, reply] {
                prompter_->showMessage(QStringLiteral("The server refused the login:\n\n") + reply);
            },
            Qt::QueuedConnection);
    });
    // Logged in: transfers that failed on this server can be taken up again.
    connect(&w.session(), &FtpSession::loggedInChanged, this, [this, &w](bool in) {
        FailedTransfers& failed = w.failedTransfers();
        int retryable = 0;
        for (int i = 0; in && i < failed.count(); ++i)
            retryable += failed.canRetry(i) ? 1 : 0;
        if (retryable > 0)
            statusBar()->showMessage(
                QStringLiteral("%1 transfer(s) did not finish: \"Retry\" in the Failed list of "
                               "the FTP chat page takes them up again")
                    .arg(retryable));
    });
    // A local file a download put in the trash is said where every page shows
    // it, not only in the transfer connection's lines.
    connect(&w.engine(), &ActionEngine::localFileSetAside, this,
            [this](const QString& text) { statusBar()->showMessage(text); });
    connect(&w.failedTransfers(), &FailedTransfers::removed, this, [this, &w] {
        if (w.failedTransfers().isEmpty())
            statusBar()->clearMessage();
    });
    // The question before an upload looks at what either remote tree holds.
    localSide_->setKnownListing([this](const QByteArray& folder) {
        std::shared_ptr<const RemoteItemList> listing = remoteExplorer_->knownListing()(folder);
        return listing ? listing : remoteProject_->knownListing()(folder);
    });
    const std::pair<RemoteExplorer*, QString> remoteLists[] = {
        {remoteExplorer_, QStringLiteral("RemoteListSort")},
        {remoteProject_, QStringLiteral("RemoteProjectListSort")}};
    for (const auto& [r, key] : remoteLists) {
        r->setListSort(StoredListSort(key, kRemoteListColumnCount));
        connect(r, &RemoteExplorer::listSortChanged, this,
                [key](ListSort sort) { StoreListSort(key, sort); });
    }
    const std::pair<LocalListView*, QString> localLists[] = {
        {localExplorer_->list(), QStringLiteral("LocalListSort")},
        {localProject.list, QStringLiteral("LocalProjectListSort")}};
    for (const auto& [l, key] : localLists) {
        l->setListSort(StoredListSort(key, int(kLocalListColumns.size())));
        connect(l, &LocalListView::listSortChanged, this,
                [key](ListSort sort) { StoreListSort(key, sort); });
    }
    // Without a remote project folder the page's tree says where to set one.
    remoteProject_->treeView()->viewport()->installEventFilter(this);
    connect(&w, &Workbench::localProjectChosen, localSide_, &LocalSide::reloadProjectFolder);
    connect(explorerHost_, &FrameExplorerHost::projectFoldersChanged, localSide_,
            &LocalSide::reloadProjectFolder);
    connect(this, &MainFrame::viewOptionsChanged, this, &MainFrame::applyExplorerOptions);

    mainChat_ = new ChatPane(ChatPaneKind::Main, view_->normalPage()->chatSlot());
    view_->normalPage()->chatSlot()->layout()->addWidget(mainChat_);
    taskPanel_ = new TaskPanel(w.tasks(), w.taskStatus(), w.session(), &w.transferPool(),
                               &w.transferCounts());
    taskPanel_->setFailedTransfers(&w.failedTransfers());
    security_ = new QLabel(statusBar());
    security_->setObjectName(QStringLiteral("connectionSecurity"));
    statusBar()->addPermanentWidget(security_);
    const auto showSecurity = [this, &w] {
        FtpSession& s = w.session();
        const ConnectionSecurity c =
            ConnectionSecurityOf(s.loggedIn(), s.controlSecure(), s.controlTls());
        security_->setText(c.text);
        security_->setToolTip(c.detail);
        security_->setAccessibleName(c.text);
        security_->setAccessibleDescription(c.detail);
        security_->setStyleSheet(
            c.encrypted || c.text.isEmpty() ? QString() : QStringLiteral("color: #a00000;"));
        security_->setVisible(!c.text.isEmpty());
    };
    showSecurity();
    connect(&w.session(), &FtpSession::loggedInChanged, this, showSecurity);
    connect(&w.session(), &FtpSession::secured, this, showSecurity);
    connect(&w.session(), &FtpSession::connectionClosed, this, showSecurity);
    connect(&w.session(), &FtpSession::disconnected, this, showSecurity);
    taskSummary_ = new TaskSummaryButton(w.taskStatus(), w.transferCounts(), statusBar());
    statusBar()->addPermanentWidget(taskSummary_);
    connect(taskSummary_, &QToolButton::clicked, this,
            [this] { view_->showPage(MainView::FtpChat); });
    chatPage_ = new ChatPage(taskPanel_, view_->chatPageSlot());
    view_->chatPageSlot()->layout()->addWidget(chatPage_);
    applyChatOptions();
    // The chat page shows every connection, tagged while several are open;
    // the Normal page's pane the main one.
    connect(&w.session(), &FtpSession::logLine, mainChat_, &ChatPane::appendLogLine);
    connect(&w.transferPool(), &TransferPool::logLine, chatPage_->chatPane(),
            &ChatPane::appendLogLine);
    connect(&w.completion(), &CompletionActions::stopBeepVisibleChanged, taskPanel_,
            &TaskPanel::setStopBeepVisible);
    connect(taskPanel_, &TaskPanel::stopBeepClicked, &w.completion(),
            &CompletionActions::stopContinualBeep);
    queueWindow_ = new CommandQueueWindow(w.session(), this);

    // The concerned file page and the FTP wizards.
    ConcernedFilePage::Hooks concernedHooks;
    concernedHooks.storeConcernedFile = [this, &w](const QString& p) {
        w.sites().SetConcernedFile(p);
        storeSettings();
    };
    concernedHooks.storeFont = [this, &w](const QFont& f) {
        w.settings().ConcernedFont = LogFontFromFont(f, w.settings().ConcernedFont);
        storeSettings();
    };
    concernedPage_ =
        new ConcernedFilePage(w.session(), w.engine(), FontFromLogFont(w.settings().ConcernedFont),
                              *prompter_, concernedHooks, view_->concernedFileSlot());
    view_->concernedFileSlot()->layout()->addWidget(concernedPage_);
    connect(explorerHost_, &FrameExplorerHost::concernedFileChanged, concernedPage_,
            [this](const QString& path) {
                QByteArray folder, name;
                if (splitRemotePath(path.toUtf8(), &folder, &name))
                    concernedPage_->setConcernedFile(folder, name);
            });
    FtpWizardWindow::Hooks wizardHooks;
    wizardHooks.storeFont = [this, &w](const QFont& f) {
        w.settings().WizardFont = LogFontFromFont(f, w.settings().WizardFont);
        wizards_->setFont(f);
        storeSettings();
    };
    wizards_ = new WizardRegistry(w.session(), w.engine(), *prompter_, wizardHooks, this, this);
    wizards_->setFont(FontFromLogFont(w.settings().WizardFont));
    for (RemoteExplorer* r : {remoteExplorer_, remoteProject_})
        connect(r, &RemoteExplorer::ftpWizardRequested, wizards_,
                [this](const QByteArray& folder, const QByteArray& name) {
                    wizards_->open(folder, name);
                });

    // Banner pages, fetched once the window is up, become extra tabs.
    banners_ = new BannerHub(
        QFileInfo(locateHelpTopic(HelpWindow::defaultFolders(), QStringLiteral("banner.htm"))
                      .url()
                      .toLocalFile())
            .absolutePath(),
        QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
            QStringLiteral("/Banners"),
        screen() ? screen()->availableGeometry().height() : 800, w.launcher(), this);
    // One rotating banner on each project page, under its list.
    for (auto [page, side] : {std::pair{view_->localProjectPage(), BannerPanel::Side::Local},
                              std::pair{view_->remoteProjectPage(), BannerPanel::Side::Remote}}) {
        BannerPanel* panel = banners_->makePanel(side, page->listSlot());
        panel->setFixedHeight(96);
        page->listSlot()->layout()->addWidget(panel);
    }
    connect(banners_, &BannerHub::pagesReady, this,
            [this](const QList<BannerSource::PageFile>& pages) {
                for (const BannerSource::PageFile& p : pages)
                    view_->addPage(p.label, banners_->makePage(p.path, nullptr));
            });
    QTimer::singleShot(0, this, [this, &w] {
        banners_->start(
            BannerAddress(w.settingFolder(), qgetenv("VELMORA_BANNER_URL"),
                          QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier));
    });
    ShutdownCountdownDialog::watch(w.completion(), this);
    // The pages' views joined the focus chain after the page tabs: Tab reads
    // the page, then the banner beside it, then the tabs below.
    QWidget::setTabOrder(view_->bannerPane(), view_->tabBar());
    // The banner pane's links open in the help window, or outside for the web.
    QTextBrowser* banner = view_->bannerPane();
    const QUrl bannerUrl =
        locateHelpTopic(HelpWindow::defaultFolders(), QStringLiteral("banner.htm")).url();
    banner->setOpenLinks(false);
    banner->setSource(bannerUrl);
    connect(banner, &QTextBrowser::anchorClicked, this, [this, bannerUrl](const QUrl& link) {
        const QUrl target = bannerUrl.resolved(link);
        if (!target.isLocalFile()) {
            QDesktopServices::openUrl(target);
            return;
        }
        const QString base = QFileInfo(bannerUrl.toLocalFile()).absolutePath() + QLatin1Char('/');
        QString topic = target.toLocalFile().mid(base.size());
        if (target.hasFragment())
            topic += QLatin1Char('#') + target.fragment();
        help_->showTopic(topic);
    });
}

void MainFrame::openSiteConnect() {
    Workbench& w = workbench_;
    SiteConnectDialog dialog(w.sites(), *prompter_, *help_, this);
    dialog.setSecretStoreMissing(w.secretStoreMissing());
    dialog.setPublishSettings(&w.publish());
    connect(&dialog, &SiteConnectDialog::sitesChanged, this, &MainFrame::storeSettings);
    const bool connect = dialog.exec() == QDialog::Accepted;
    storeSettings();
    if (connect && leaveServer())
        w.connectSelectedSite();
}

bool MainFrame::editsMayGo() {
    return concernedPage_->mayDropEdits() && wizards_->mayCloseAll();
}

bool MainFrame::leaveServer() {
    if (!editsMayGo())
        return false;
    wizards_->closeAll();
    // Their results name this server's files: a delete or transfer from them
    // would act on the next server's files of the same paths.
    for (LoopWindow* loop : findChildren<LoopWindow*>())
        loop->close();
    return true;
}

void MainFrame::quickConnect(const QuickConnectFields& fields) {
    QString error;
    const std::optional<FtpUrl> url = QuickConnectAddress(fields, &error);
    if (!url) {
        prompter_->showMessage(error);
        return;
    }
    if (!leaveServer())
        return;
    workbench_.connectUrl(*url);
    updateMenuState();
}

void MainFrame::saveCurrentAsSite() {
    SiteList& sites = workbench_.sites();
    if (!CurrentSiteUnsaved(sites))
        return;
    SiteNameDialog dialog(sites, SiteNameDialog::Mode::New, -1, *prompter_, this);
    dialog.setTexts(sites.Current.Site.Host, QString());
    if (dialog.exec() != QDialog::Accepted)
        return;
    SaveCurrentAsSite(sites, dialog.name(), dialog.comment());
    storeSettings();
    updateMenuState();
}

void MainFrame::openGeneralOptions() {
    Workbench& w = workbench_;
    GeneralOptionsSheet sheet(w.settings(), *prompter_, *help_, this);
    sheet.setPublishOptions(w.publish().options);
    if (sheet.exec() != QDialog::Accepted)
        return;
    const AppSettings before = w.settings();
    w.settings() = sheet.settings();
    w.applySettings(before);
    w.publish().options = sheet.publishOptions();
    w.applyPublishOptions();
    applyChatOptions();
    emit viewOptionsChanged(kRedrawExplorers);
    storeSettings();
}

void MainFrame::openColorDialog(int id) {
    AppSettings& s = workbench_.settings();
    const bool local = id == kCmdLocalColor;
    qint32& field = local ? s.LocalPageColor : s.RemotePageColor;
    ColorDialog dialog(
        field, *prompter_,
        QString::fromLatin1(local ? ColorTexts::kLocalPageTitle : ColorTexts::kRemotePageTitle),
        this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    field = dialog.colorRef();
    view_->applyPageOptions(s);
    storeSettings();
}

void MainFrame::openBeepOptions() {
    AppSettings& s = workbench_.settings();
    BeepOptionsDialog dialog(beepOptionsFrom(s), workbench_.beeper(), *prompter_, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    storeBeepOptions(dialog.options(), s);
    action(kCmdBeepOptions)->setText(beepMenuText(s));
    storeSettings();
}

void MainFrame::openToolDialog(int id) {
    ToolLists& tools = workbench_.tools();
    const bool search = id == kCmdToolsBySearch;
    ToolListDialog dialog(search ? tools.SearchedTools : tools.UserTools,
                          search ? ToolListDialog::Mode::Search : ToolListDialog::Mode::User,
                          workbench_.launcher(), *prompter_, *help_, this);
    dialog.exec();
    storeSettings();
}

// The tools as a file's "View/edit by" lists them; a tool asks for its target
// (the side, for a file on both) only once picked, and gets the server file's
// web address or the local path.
void MainFrame::addCompareTools(QMenu* menu, bool remoteFile,
                                const CompareWindow::TargetChooser& choose) {
    QAction* separator = menu->addSeparator();
    const int added = explorerHost_->addViewTools(
        menu, remoteFile, nullptr, [choose]() -> std::optional<FrameExplorerHost::ToolTarget> {
            const std::optional<CompareWindow::ViewTarget> target = choose();
            if (!target)
                return std::nullopt;
            return FrameExplorerHost::ToolTarget{target->remote, target->path};
        });
    if (added == 0)
        delete separator;
}

void MainFrame::openLoopWindow(ExplorerHost::Loop loop, const QByteArray& folder) {
    Workbench& w = workbench_;
    MixedSettings& mixed = w.mixed();
    const AppSettings& s = w.settings();
    const ProjectFolders folders{w.sites().Current.Site.LocalProjectFolder,
                                 w.sites().Current.Site.RemoteProjectFolder};
    const LoopContext context{w.engine(), w.taskStatus(), *prompter_, *help_};
    LoopWindow* window = nullptr;
    QString sortKey;
    switch (loop) {
        case ExplorerHost::Loop::Compare: {
            auto* c = new CompareWindow(context, folders, folder, mixed.CompareOptions, this);
            connect(c, &CompareWindow::optionsStored, this, [this, &mixed](quint8 options) {
                mixed.CompareOptions = options;
                storeSettings();
            });
            const SiteRecord& site = w.sites().Current.Site;
            c->setDates(w.publish().compareDates,
                        w.publish().offsetFor(site.Host, site.Port).value_or(0));
            // Emitted just before optionsStored, whose save keeps it.
            connect(c, &CompareWindow::datesStored, this,
                    [&w](bool checked) { w.publish().compareDates = checked; });
            connect(c, &CompareWindow::listOffsetFound, this,
                    [this, &w, host = site.Host, port = site.Port](qint64 seconds) {
                        w.publish().setOffset(host, port, qint32(seconds));
                        storeSettings();
                    });
            connect(c, &CompareWindow::localTreesChanged, localSide_,
                    &LocalSide::reloadProjectFolder);
            c->setToolMenuFiller(
                [this](QMenu* menu, bool remoteFile, const CompareWindow::TargetChooser& choose) {
                    addCompareTools(menu, remoteFile, choose);
                });
            // The wizard reads server files only: a local file opens in the
            // desktop's own viewer instead.
            connect(c, &CompareWindow::viewRequested, this,
                    [this, &w](int id, const QByteArray& remoteFolder, const QByteArray& remoteName,
                               const QString& localPath) {
                        if (id != kCompareFtpWizard)
                            help_->showTopic(QString::fromLatin1(HelpTopics::kAddTools));
                        else if (!remoteName.isEmpty())
                            wizards_->open(remoteFolder, remoteName);
                        else if (!localPath.isEmpty() &&
                                 !w.launcher().openLink(QUrl::fromLocalFile(localPath).toString()))
                            prompter_->showMessage(QStringLiteral("Can not open ") + localPath);
                    });
            window = c;
            sortKey = QStringLiteral("CompareListSort");
            break;
        }
        case ExplorerHost::Loop::Search: {
            const LoopDisplayOptions display{s.SizeStyle,
                                             bool(s.ViewFlags & AppSettings::kNumericPermissions)};
            auto* f = new SearchWindow(context, folders, folder, SearchCriteriaFromSettings(mixed),
                                       display, this);
            f->setViewMenuFiller([this](QMenu* menu, const QString& path) {
                explorerHost_->fillViewEditMenu(menu, true, true, path);
            });
            f->setOpenLocalFolder([this] { return localExplorer_->tree()->selectedFolder(); });
            connect(f, &SearchWindow::criteriaStored, this,
                    [this, &mixed](const SearchCriteria& c) {
                        StoreSearchCriteria(mixed, c);
                        storeSettings();
                    });
            connect(f, &SearchWindow::viewRequested, this,
                    [this](int id, const QByteArray& folder, const QByteArray& name) {
                        if (id == kSearchFtpWizard)
                            wizards_->open(folder, name);
                        else
                            help_->showTopic(QString::fromLatin1(HelpTopics::kAddTools));
                    });
            window = f;
            sortKey = QStringLiteral("SearchListSort");
            break;
        }
        case ExplorerHost::Loop::ChangeCase: {
            auto* c =
                new ChangeCaseWindow(context, folder, ChangeCaseOptionsFromSettings(mixed), this);
            connect(c, &ChangeCaseWindow::optionsStored, this,
                    [this, &mixed](const ChangeCaseOptions& o) {
                        StoreChangeCaseOptions(mixed, o);
                        storeSettings();
                    });
            window = c;
            sortKey = QStringLiteral("ChangeCaseListSort");
            break;
        }
    }
    window->setListSort(StoredListSort(sortKey, window->listColumnCount()));
    connect(window, &LoopWindow::listSortChanged, this,
            [sortKey](ListSort sort) { StoreListSort(sortKey, sort); });
    window->setWindowFlag(Qt::Window);
    window->show();
    window->raise();
    window->activateWindow();
}

void MainFrame::openFileActionDialog(int id) {
    ActionEngine& engine = workbench_.engine();
    const bool upload = id == kCmdAlertUpload;
    TransferAlertOptions& options = upload ? engine.uploadOptions : engine.downloadOptions;
    FileActionDialog dialog(upload ? TransferDirection::Upload : TransferDirection::Download,
                            options, workbench_.session().serverSupportsRest(), *help_, this);
    if (dialog.exec() == QDialog::Accepted)
        options = dialog.options();
}

void MainFrame::applyExplorerOptions() {
    const AppSettings& s = workbench_.settings();
    for (RemoteExplorer* r : {remoteExplorer_, remoteProject_}) {
        if (!r)
            continue;
        r->setSizeStyle(s.SizeStyle);
        r->setNumericPermissions(s.ViewFlags & AppSettings::kNumericPermissions);
        r->setServerKindFlags(s.ServerKindFlags);
    }
    localSide_->setSizeStyle(s.SizeStyle);
    localSide_->setShowFlags(s.LocalShowFlags);
    localSide_->setViewFlags(s.ViewFlags);
}

void MainFrame::applyChatOptions() {
    const AppSettings& s = workbench_.settings();
    const bool traces = s.CommonFlags & AppSettings::kShowSoftwareTraces;
    for (ChatPane* pane : {mainChat_, chatPage_->chatPane()})
        pane->setOptions(traces, s.ChatInfoLevel);
    workbench_.session().setShownInfoLevel(s.ChatInfoLevel);
}

QMenu* MainFrame::menuFor(const QStringList& path) {
    const QString key = pathKey(path);
    if (QMenu* m = menus_.value(key))
        return m;
    QMenu* m = nullptr;
    if (path.size() == 1) {
        // Alt and the first letter opens it; the shown text stays the same.
        m = menuBar()->addMenu(QLatin1Char('&') + path.front());
    } else {
        QMenu* parentMenu = menuFor(path.mid(0, path.size() - 1));
        m = parentMenu->addMenu(path.back());
    }
    m->setObjectName(path.back());
    connect(m, &QMenu::aboutToShow, this, &MainFrame::updateMenuState);
    menus_.insert(key, m);
    return m;
}

QMenu* MainFrame::menu(const QStringList& path) const {
    return menus_.value(pathKey(path));
}

QAction* MainFrame::action(int id) const {
    return actions_.value(id);
}

QList<QAction*> MainFrame::menuActions() const {
    QList<QAction*> all;
    std::function<void(QMenu*)> walk = [&](QMenu* m) {
        for (QAction* a : m->actions()) {
            if (a->menu())
                walk(a->menu());
            else if (!a->isSeparator())
                all << a;
        }
    };
    for (QAction* top : menuBar()->actions())
        if (top->menu())
            walk(top->menu());
    return all;
}

void MainFrame::buildMenus() {
    for (const QString& title : MainMenuTitles())
        menuFor({title});
    QHash<QString, QActionGroup*> radioGroups;
    for (const MenuEntry& e : MainMenuTable()) {
        QMenu* m = menuFor(e.path);
        if (e.kind == MenuItemKind::Separator) {
            m->addSeparator();
            continue;
        }
        QAction* a = m->addAction(e.text);
        a->setData(e.id);
        if (e.kind == MenuItemKind::Check || e.kind == MenuItemKind::Radio)
            a->setCheckable(true);
        if (e.kind == MenuItemKind::Radio) {
            QActionGroup*& g = radioGroups[pathKey(e.path)];
            if (!g)
                g = new QActionGroup(this);
            g->addAction(a);
        }
        if (e.id != kCmdEmpty) {
            actions_.insert(e.id, a);
            connect(a, &QAction::triggered, this, [this, id = e.id] { runCommand(id); });
        }
    }
    action(kCmdBeepOptions)->setText(beepMenuText(workbench_.settings()));

    const QList<QPair<int, QKeySequence>> shortcuts = {
        {kCmdConnect, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {kCmdReconnect, QKeySequence(Qt::CTRL | Qt::Key_R)},
        {kCmdCloseConnection, QKeySequence(Qt::CTRL | Qt::Key_W)},
        {kCmdGeneralOptions, QKeySequence(Qt::CTRL | Qt::Key_Comma)},
        {kCmdShowQueue, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Q)},
        {kCmdContents, QKeySequence(QKeySequence::HelpContents)},
        {kCmdExit, QKeySequence(Qt::CTRL | Qt::Key_Q)},
    };
    for (const auto& [id, keys] : shortcuts)
        action(id)->setShortcut(keys);
    rebuildRuntimeMenus();
}

void MainFrame::buildToolBar() {
    toolBar_ = addToolBar(QStringLiteral("Toolbar"));
    toolBar_->setObjectName(QStringLiteral("mainToolBar"));
    struct Button {
        int id;
        const char* theme;
    };
    const Button buttons[] = {
        {kCmdConnect, "network-server"},
        {kCmdReconnect, "view-refresh"},
        {kCmdCloseConnection, "network-offline"},
        {0, nullptr},
        {kCmdGeneralOptions, "preferences-system"},
        {kCmdShowQueue, "view-list-details"},
        {kCmdCheckCommands, "dialog-question"},
        {0, nullptr},
        {kCmdContents, "help-contents"},
    };
    for (const Button& b : buttons) {
        if (!b.theme) {
            toolBar_->addSeparator();
            continue;
        }
        QAction* a = action(b.id);
        const QString fallback = QStringLiteral(":/icons/%1.svg").arg(QLatin1String(b.theme));
        a->setIcon(QIcon::fromTheme(QLatin1String(b.theme), QIcon(fallback)));
        // A tab only splits a menu entry in two columns; the button reads both.
        if (a->text().contains(QLatin1Char('\t')))
            a->setIconText(AccessibleMenuItem::nameFor(a->text()));
        toolBar_->addAction(a);
    }
    // The button that shows the buttons a narrow window has no room for.
    if (auto* more = toolBar_->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("More buttons"));
    connect(toolBar_, &QToolBar::visibilityChanged, this, &MainFrame::updateMenuState);

    // Quick connect on its own row, so neither bar makes the window wider.
    addToolBarBreak();
    quickToolBar_ = addToolBar(QStringLiteral("Quick connect"));
    quickToolBar_->setObjectName(QStringLiteral("quickConnectToolBar"));
    quickToolBar_->setAccessibleName(QStringLiteral("Quick connect"));
    quickBar_ = new QuickConnectBar(quickToolBar_);
    quickToolBar_->addWidget(quickBar_);
    if (auto* more =
            quickToolBar_->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("More quick connect fields"));
    connect(quickBar_, &QuickConnectBar::connectRequested, this, &MainFrame::quickConnect);
    // Read from the top: after the page tabs and the task summary beside them at
    // the bottom, Tab comes round to the quick-connect fields, then to the page.
    QWidget::setTabOrder(view_->tabBar(), taskSummary_);
    QWidget* previous = taskSummary_;
    const QList<QWidget*> fields = {quickBar_->hostEdit(), quickBar_->userEdit(),
                                    quickBar_->passwordEdit(), quickBar_->portEdit(),
                                    quickBar_->connectButton()};
    for (QWidget* w : fields) {
        QWidget::setTabOrder(previous, w);
        previous = w;
    }
    QSettings profile(kProfileOrganisation, kProfileApplication);
    profile.beginGroup(kProfileSection);
    restoreState(profile.value(kToolBarStateKey).toByteArray());
}

void MainFrame::fillRuntimeMenu(QMenu* m, const std::vector<RuntimeLetterMenu>& letters) {
    m->clear();
    if (letters.empty()) {
        QAction* a = m->addAction(QStringLiteral("(Empty)"));
        a->setData(int(kCmdEmpty));
        a->setEnabled(false);
        return;
    }
    for (const RuntimeLetterMenu& letter : letters) {
        QMenu* sub = m->addMenu(letter.letter);
        for (const RuntimeCommandItem& item : letter.items) {
            QAction* a = sub->addAction(QString::fromUtf8(item.word));
            a->setData(item.id);
            connect(a, &QAction::triggered, this, [this, id = item.id] { runCommand(id); });
        }
    }
}

void MainFrame::rebuildRuntimeMenus() {
    using namespace MenuTitles;
    FtpSession& s = workbench_.session();
    // Only the first HELP reply of a connection builds the menus.
    if (runtimeBuilt_)
        return;
    if (s.loggedIn() && !s.helpIndex().isEmpty())
        runtimeBuilt_ = true;
    runtime_ = s.loggedIn() ? BuildRuntimeCommandMenus(s.featIndex(), s.helpIndex())
                            : RuntimeCommandMenus{};
    fillRuntimeMenu(menu({kCommand, kRuntime, kFeat}), runtime_.feat);
    fillRuntimeMenu(menu({kCommand, kRuntime, kHelp}), runtime_.help);
    updateMenuState();
}

MenuContext MainFrame::menuContext() const {
    MenuContext c;
    c.settings = &workbench_.settings();
    c.loggedIn = workbench_.session().loggedIn();
    c.connected = workbench_.session().isConnected();
    c.shutdownFlags = workbench_.completion().shutdownFlags();
    c.uploadAlert = workbench_.engine().uploadOptions.showAlert == 1;
    c.downloadAlert = workbench_.engine().downloadOptions.showAlert == 1;
    c.toolbarVisible = toolBar_ && !toolBar_->isHidden();
    c.bannerVisible = view_->bannerVisible();
    c.currentSiteUnsaved = CurrentSiteUnsaved(workbench_.sites());
    return c;
}

void MainFrame::updateMenuState() {
    const MenuContext c = menuContext();
    for (QAction* a : menuActions()) {
        const int id = a->data().toInt();
        if (!id)
            continue;
        const MenuItemState s = MenuStateFor(id, c);
        a->setEnabled(s.enabled);
        if (a->isCheckable())
            a->setChecked(s.checked);
    }
}

void MainFrame::sendSimpleCommand(int id) {
    const QByteArray word = SimpleCommandWord(action(id)->text());
    const QByteArray selected = remoteSelection_ ? remoteSelection_() : QByteArray();
    workbench_.session().sendCommand(word, id == kCmdSimpleMlst ? selected : QByteArray());
}

void MainFrame::sendGroupCommand(int id) {
    const QByteArray selected = remoteSelection_ ? remoteSelection_() : QByteArray();
    workbench_.session().sendGroup(GroupCommandSteps(id, selected));
}

void MainFrame::runCommand(int id) {
    Workbench& w = workbench_;
    int redraw = kRedrawNothing;
    if (ApplyMenuToggle(id, w.settings(), &redraw)) {
        w.configureEngine();
        if (redraw & (kRedrawLocalProject | kRedrawRemoteProject))
            view_->applyPageOptions(w.settings());
        emit viewOptionsChanged(redraw);
        updateMenuState();
        storeSettings();
        return;
    }
    if (id >= kCmdSimpleCwd && id <= kCmdSimpleFeat) {
        sendSimpleCommand(id);
        return;
    }
    if (id >= kCmdGroupMlsd && id <= kCmdGroupNlst) {
        sendGroupCommand(id);
        return;
    }
    if (id >= kCmdRuntimeFirst && id <= kCmdRuntimeLast) {
        const QByteArray word = runtime_.wordFor(id);
        if (!word.isEmpty())
            w.session().sendCommand(QByteArrayLiteral("HELP"), word);
        return;
    }
    switch (id) {
        case kCmdConnect:
            openSiteConnect();
            break;
        case kCmdGeneralOptions:
            openGeneralOptions();
            break;
        case kCmdLocalColor:
        case kCmdRemoteColor:
            openColorDialog(id);
            break;
        case kCmdBeepOptions:
            openBeepOptions();
            break;
        case kCmdToolsBySearch:
        case kCmdToolsManually:
            openToolDialog(id);
            break;
        case kCmdAlertUpload:
        case kCmdAlertDownload:
            openFileActionDialog(id);
            break;
        case kCmdReconnect:
            w.reconnect();
            break;
        case kCmdCloseConnection:
            // What the server held leaves the screen with the connection.
            w.closeConnection();
            remoteExplorer_->clearViews();
            remoteProject_->clearViews();
            break;
        case kCmdShutdownSystem:
        case kCmdShutdownProgram: {
            ShutdownConfirmPrompter confirm(*prompter_, this);
            w.completion().toggleShutdown(id, confirm);
            break;
        }
        case kCmdViewToolbar:
            toolBar_->setVisible(!toolBar_->isVisible());
            break;
        case kCmdViewBanner:
            // Kept at once: it stays closed whatever ends the program.
            view_->setBannerVisible(!view_->bannerVisible());
            SaveWindowState(workbench_.settingFolder(), windowState());
            break;
        case kCmdExit:
            close();
            break;
        case kCmdSaveAsSite:
            saveCurrentAsSite();
            break;
        case kCmdShowQueue:
            queueWindow_->show();
            queueWindow_->raise();
            queueWindow_->activateWindow();
            break;
        case kCmdCheckCommands: {
            CommandCheckDialog dialog(w.session().featIndex(), w.session().helpIndex(), *prompter_,
                                      *help_, this);
            dialog.exec();
            break;
        }
        case kCmdAbout: {
            AboutBox box(*help_, w.launcher(), this);
            box.exec();
            break;
        }
        case kCmdContents:
            help_->showTopic(HelpWindow::contentsTopic());
            break;
        default:
            break;
    }
    updateMenuState();
}

void MainFrame::restorePlacement() {
    const AppSettings& s = workbench_.settings();
    const WindowGeometry g = GeometryFromPlacement(s.MainPlacement);
    if (!s.Loaded || !g.normal.isValid()) {
        // Without a window manager maximising does nothing: fill the screen.
        if (QScreen* screen = QGuiApplication::primaryScreen())
            setGeometry(screen->availableGeometry());
        showMaximized();
        return;
    }
    // A placement from another screen arrangement (or scale) comes back into view.
    QList<QRect> screens;
    if (QScreen* primary = QGuiApplication::primaryScreen())
        screens << primary->availableGeometry();
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen())
            screens << screen->availableGeometry();
    setGeometry(FitOntoScreens(g.normal, screens));
    if (g.maximised)
        showMaximized();
    else
        showNormal();
}

WindowState MainFrame::windowState() const {
    WindowState state;
    const int page = view_->currentPage();
    state.page = page < MainView::PageCount ? page : 0;
    state.bannerVisible = view_->bannerVisible();
    return state;
}

bool MainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ContextMenu && remoteProject_ &&
        watched == remoteProject_->treeView()->viewport() &&
        workbench_.sites().Current.Site.RemoteProjectFolder.isEmpty()) {
        QMenu menu(this);
        QAction* help = menu.addAction(QStringLiteral("Help for remote project "));
        help->setData(kCmdRemoteProjectHelp);
        if (ExecContextMenu(&menu, static_cast<QContextMenuEvent*>(event)->globalPos()) == help)
            prompter_->showMessage(QString::fromLatin1(RemoteProjectTexts::kRemoteProjectHelp));
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainFrame::closeEvent(QCloseEvent* event) {
    // Text edited and not uploaded is the user's to throw away.
    if (!closingForSignal_ && (!editsMayGo() || !runningWorkMayStop() || !temporariesMayStay())) {
        event->ignore();
        return;
    }
    AppSettings& s = workbench_.settings();
    WindowGeometry g;
    g.normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    g.maximised = isMaximized();
    s.MainPlacement = PlacementFromGeometry(g, s.MainPlacement);
    QSettings profile(kProfileOrganisation, kProfileApplication);
    profile.beginGroup(kProfileSection);
    profile.setValue(kToolBarStateKey, saveState());
    profile.endGroup();
    profile.sync();
    wizards_->closeAll();
    SaveWindowState(workbench_.settingFolder(), windowState());
    view_->storeLayout(s);
    s.LastLocalFolder = localExplorer_->lastLocalFolder();
    const QStringList errors = workbench_.save();
    // Closing for a signal nobody may be there to answer: the reasons go to the log.
    if (!errors.isEmpty() && !closingForSignal_)
        prompter_->showMessage(errors.join(QLatin1Char('\n')));
    event->accept();
}

bool MainFrame::runningWorkMayStop() {
    if (closeWaiter_ || workMayStop_ || temporariesDecided_)
        return true;
    const QString question = CloseWhileBusyQuestion(
        workbench_.taskStatus(), workbench_.transferCounts(), workbench_.session().isBusy());
    if (question.isEmpty())
        return true;
    if (!prompter_->askYesNo(question))
        return false;
    workMayStop_ = true;
    if (!CloseLeavesTemporaries(workbench_.tasks()))
        return true;
    // Stopped here, the upload joins the failed ones and its temporary is
    // offered for deletion before the window goes.
    runTaskMenuCommand(kRemoveAllTasks, -1, workbench_.tasks(), workbench_.session(),
                       &workbench_.transferPool());
    closeWhenIdle();
    return false;
}

bool MainFrame::temporariesMayStay() {
    FailedTransfers& failed = workbench_.failedTransfers();
    FtpSession& session = workbench_.session();
    if (closeWaiter_)
        return false;
    // Other work queued would run first: the close does not wait for it.
    const int count = failed.temporariesOnServer();
    if (temporariesDecided_ || count == 0 || session.isBusy())
        return temporariesElsewhereMayStay();
    switch (prompter_->askYesNoCancel(FailedTransfers::temporariesQuestion(count))) {
        case PromptAnswer::Cancel:
            workMayStop_ = false;
            return false;
        case PromptAnswer::No:
            temporariesDecided_ = true;
            return temporariesElsewhereMayStay();
        case PromptAnswer::Yes:
            break;
    }
    temporariesDecided_ = true;
    failed.removeTemporariesOnServer();
    if (!session.isBusy())
        return temporariesElsewhereMayStay();
    closeWhenIdle();
    return false;
}

bool MainFrame::temporariesElsewhereMayStay() {
    const QString question = workbench_.failedTransfers().temporariesElsewhereQuestion();
    if (question.isEmpty() || prompter_->askYesNo(question))
        return true;
    workMayStop_ = false;
    temporariesDecided_ = false;
    return false;
}

void MainFrame::closeWhenIdle() {
    // One waiter a wait: its connections and timer go with it.
    delete closeWaiter_;
    closeWaiter_ = new QObject(this);
    auto closeIfIdle = [this] {
        if (!workbench_.session().isBusy() && !workbench_.transferPool().busy())
            closeAfterWaiting();
    };
    connect(&workbench_.session(), &FtpSession::idle, closeWaiter_, closeIfIdle);
    connect(&workbench_.transferPool(), &TransferPool::idle, closeWaiter_, closeIfIdle);
    connect(&workbench_.session(), &FtpSession::disconnected, closeWaiter_,
            [this] { closeAfterWaiting(); });
    QTimer::singleShot(kCloseWaitMs, closeWaiter_, [this] { closeAfterWaiting(); });
}

void MainFrame::closeAfterWaiting() {
    if (!closeWaiter_)
        return;
    closeWaiter_->deleteLater();
    closeWaiter_ = nullptr;
    close();
}

void MainFrame::storeSettings() {
    const QStringList errors = workbench_.save();
    if (!errors.isEmpty())
        prompter_->showMessage(errors.join(QLatin1Char('\n')));
}

void MainFrame::closeForSignal() {
    closingForSignal_ = true;
    // Each cancelled dialog returns from its own event loop once this one ends.
    for (int i = 0; i < 32; ++i) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            break;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    }
    close();
}
