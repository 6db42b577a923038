#pragma once

#include <QWidget>

class NormalPage;
class PaneSplitter;
class ProjectPage;
class QStackedWidget;
class QTabBar;
class QTextBrowser;
struct AppSettings;

// The pages behind the tab strip at the bottom, beside the banner pane.
class MainView : public QWidget {
    Q_OBJECT
public:
    enum Page { Normal = 0, LocalProject, RemoteProject, ConcernedFile, FtpChat, PageCount };

    explicit MainView(QWidget* parent = nullptr);

    QTabBar* tabBar() const { return tabs_; }
    QStackedWidget* pages() const { return stack_; }
    int currentPage() const;
    void showPage(int page);

    NormalPage* normalPage() const { return normal_; }
    ProjectPage* localProjectPage() const { return localProject_; }
    ProjectPage* remoteProjectPage() const { return remoteProject_; }
    // Containers of the pages whose content other parts of the program add.
    QWidget* concernedFileSlot() const { return concerned_; }
    QWidget* chatPageSlot() const { return chat_; }
    QTextBrowser* bannerPane() const { return banner_; }
    // The banner pane beside the pages can be closed; the pages then take its room.
    void setBannerVisible(bool visible);
    bool bannerVisible() const;

    // A page after the fixed five, with its tab (the banner pages).
    void addPage(const QString& label, QWidget* page);

    // The stored splitter proportions, colours and pane sides, once the pages exist.
    void restoreLayout(const AppSettings& settings);
    // Proportions back into the settings, as the window closes.
    void storeLayout(AppSettings& settings) const;
    // Colours and pane sides after a menu changed them.
    void applyPageOptions(const AppSettings& settings);

private:
    PaneSplitter* splitter_;
    QStackedWidget* stack_;
    QTabBar* tabs_;
    NormalPage* normal_;
    ProjectPage* localProject_;
    ProjectPage* remoteProject_;
    QWidget* concerned_;
    QWidget* chat_;
    QTextBrowser* banner_;
};
