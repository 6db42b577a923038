#include "extras/ui/banner_panel.h"

#include "extras/banner_set.h"
#include "platform/launcher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

void openLinksOutside(QTextBrowser* browser, Launcher& launcher) {
    browser->setOpenLinks(false);
    browser->setFrameShape(QFrame::NoFrame);
    QObject::connect(browser, &QTextBrowser::anchorClicked, browser, [&launcher](const QUrl& url) {
        const QString scheme = url.scheme().toLower();
        if (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
            scheme == QLatin1String("mailto"))
            launcher.openLink(url.toString());
    });
}

// Banner pages are the page's own bytes; they are shown as UTF-8.
void showFile(QTextBrowser* browser, const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > 4 * kMaxBannerPageBytes) {
        browser->clear();
        return;
    }
    browser->document()->setBaseUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath() + '/'));
    browser->setHtml(QString::fromUtf8(f.readAll()));
}

}  // namespace

BannerPanel::BannerPanel(Side side, QString fallbackFolder, Launcher& launcher, QWidget* parent)
    : QTextBrowser(parent), side_(side), fallbackFolder_(std::move(fallbackFolder)) {
    setAccessibleName(QStringLiteral("Banner"));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    openLinksOutside(this, launcher);
    connect(&timer_, &QTimer::timeout, this, &BannerPanel::next);
    showFallback();
}

void BannerPanel::showFallback() {
    timer_.stop();
    index_ = -1;
    singles_.clear();
    showFile(this, QDir(fallbackFolder_)
                       .filePath(QLatin1String(side_ == Side::Local ? kBannerFallbackLocal
                                                                    : kBannerFallbackRemote)));
}

void BannerPanel::start(const BannerSource& source) {
    if (source.banners().singles.isEmpty()) {
        showFallback();
        return;
    }
    workFolder_ = source.workFolder();
    head_ = source.banners().head;
    singles_ = source.banners().singles;
    showBanner(0);
    timer_.setInterval(1000 * BannerIntervalSeconds(source.banners().timerElapse));
    if (singles_.size() >= 2)
        timer_.start();
}

void BannerPanel::next() {
    if (singles_.isEmpty())
        return;
    showBanner((index_ + 1) % int(singles_.size()));
}

void BannerPanel::showBanner(int index) {
    index_ = index;
    const QString path = QDir(workFolder_).filePath(QLatin1String(kBannerSingleTemp));
    if (!WriteBannerFile(path, BannerSingleFile(head_, singles_[index]))) {
        clear();
        return;
    }
    showFile(this, path);
}

BannerPage::BannerPage(const QString& file, Launcher& launcher, QWidget* parent)
    : QTextBrowser(parent) {
    setAccessibleName(QStringLiteral("Banners"));
    openLinksOutside(this, launcher);
    showFile(this, file);
}

BannerHub::BannerHub(QString fallbackFolder, QString workFolder, int desktopHeight,
                     Launcher& launcher, QObject* parent)
    : QObject(parent),
      fallbackFolder_(std::move(fallbackFolder)),
      launcher_(launcher),
      source_(std::move(workFolder), desktopHeight) {
    connect(&source_, &BannerSource::finished, this, [this] {
        for (const auto& p : panels_)
            if (p)
                p->start(source_);
        emit pagesReady(source_.pageFiles());
    });
}

BannerPanel* BannerHub::makePanel(BannerPanel::Side side, QWidget* parent) {
    auto* panel = new BannerPanel(side, fallbackFolder_, launcher_, parent);
    panels_.removeAll(nullptr);
    panels_ << panel;
    if (!source_.running() && !source_.banners().singles.isEmpty())
        panel->start(source_);
    return panel;
}

BannerPage* BannerHub::makePage(const QString& file, QWidget* parent) {
    return new BannerPage(file, launcher_, parent);
}

void BannerHub::start(const QUrl& address) {
    source_.start(address);
}
