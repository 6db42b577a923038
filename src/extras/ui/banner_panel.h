#pragma once

#include "extras/banner_source.h"

#include <QTextBrowser>
#include <QTimer>

class Launcher;

// One rotating banner, on a local-side or a remote-side page. Without
// banners it shows the installed fallback page of its side. Links open in
// the desktop's browser.
class BannerPanel : public QTextBrowser {
    Q_OBJECT
public:
    enum class Side { Local, Remote };

    BannerPanel(Side side, QString fallbackFolder, Launcher& launcher, QWidget* parent = nullptr);

    // Starts showing what the source fetched (its fallback when nothing).
    void start(const BannerSource& source);
    void showFallback();

    Side side() const { return side_; }
    int shown() const { return index_; }
    bool rotating() const { return timer_.isActive(); }
    int intervalMs() const { return timer_.interval(); }
    // One rotation step; public so tests can step it.
    void next();

private:
    void showBanner(int index);

    Side side_;
    QString fallbackFolder_;
    QString workFolder_;
    QByteArray head_;
    QList<QByteArray> singles_;
    int index_ = -1;
    QTimer timer_;
};

// A banner tab: one page of banners in a browser.
class BannerPage : public QTextBrowser {
    Q_OBJECT
public:
    BannerPage(const QString& file, Launcher& launcher, QWidget* parent = nullptr);
};

// The banner feature of the main window: fetches once, then starts the
// panels made through it and announces the pages for the tabs.
class BannerHub : public QObject {
    Q_OBJECT
public:
    // `fallbackFolder` holds banner-single-local.htm and
    // banner-single-remote.htm; `workFolder` receives the page files.
    BannerHub(QString fallbackFolder, QString workFolder, int desktopHeight, Launcher& launcher,
              QObject* parent = nullptr);

    BannerPanel* makePanel(BannerPanel::Side side, QWidget* parent);
    BannerPage* makePage(const QString& file, QWidget* parent);
    // Starts the one fetch of the run; an empty address leaves the fallbacks.
    void start(const QUrl& address);
    BannerSource& source() { return source_; }

signals:
    // The fetch ended; one entry per tab to add, in order (none on failure).
    void pagesReady(const QList<BannerSource::PageFile>& pages);

private:
    QString fallbackFolder_;
    Launcher& launcher_;
    BannerSource source_;
    QList<QPointer<BannerPanel>> panels_;
};
