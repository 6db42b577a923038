#include "app/ui/main_view.h"

#include "app/app_settings.h"
#include "app/splitter_proportion.h"
#include "app/ui/normal_page.h"
#include "platform/ui/pane_splitter.h"
#include "platform/ui/project_page.h"

#include <QShortcut>
#include <QStackedWidget>
#include <QTabBar>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

QColor fromColorRef(qint32 c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

std::vector<int> unpack(qint32 field) {
    const auto s = SplitterProportion::unpack(field);
    return {s[0], s[1]};
}

qint32 pack(const std::vector<int>& s) {
    return s.size() == 2 ? SplitterProportion::pack(s[0], s[1]) : 0;
}

QWidget* container(const QString& name, QWidget* parent) {
    auto* w = new QWidget(parent);
    w->setAccessibleName(name);
    auto* l = new QVBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    return w;
}

}  // namespace

MainView::MainView(QWidget* parent)
    : QWidget(parent),
      splitter_(new PaneSplitter(Qt::Horizontal, this, 30, 6)),
      stack_(new QStackedWidget(splitter_)),
      tabs_(new QTabBar(this)),
      normal_(new NormalPage(stack_)),
      localProject_(new ProjectPage(QStringLiteral("Local project"), stack_)),
      remoteProject_(new ProjectPage(QStringLiteral("Remote project"), stack_)),
      concerned_(container(QStringLiteral("Concerned file"), stack_)),
      chat_(container(QStringLiteral("FTP chat"), stack_)),
      banner_(new QTextBrowser(splitter_)) {
    banner_->setObjectName(QStringLiteral("bannerPane"));
    banner_->setAccessibleName(QStringLiteral("Banner"));
    banner_->setOpenExternalLinks(false);
    stack_->addWidget(normal_);
    stack_->addWidget(localProject_);
    stack_->addWidget(remoteProject_);
    stack_->addWidget(concerned_);
    stack_->addWidget(chat_);
    tabs_->setShape(QTabBar::RoundedSouth);
    tabs_->setDrawBase(false);
    tabs_->setExpanding(false);
    tabs_->setAccessibleName(QStringLiteral("Pages"));
    for (const char* title :
         {"Normal", "Local project", "Remote project", "Concerned file", "FTP chat"})
        tabs_->addTab(QString::fromLatin1(title));
    connect(tabs_, &QTabBar::currentChanged, stack_, &QStackedWidget::setCurrentIndex);
    // Ctrl+Tab and Ctrl+Shift+Tab walk the pages, round from the last to the first.
    const auto walk = [this](const QList<QKeySequence>& keys, int step) {
        for (const QKeySequence& key : keys) {
            auto* shortcut = new QShortcut(key, this);
            connect(shortcut, &QShortcut::activated, this, [this, step] {
                const int count = stack_->count();
                showPage((currentPage() + step + count) % count);
            });
        }
    };
    walk({QKeySequence(Qt::CTRL | Qt::Key_Tab)}, 1);
    walk({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)},
         -1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(7, 7, 7, 7);
    layout->setSpacing(0);
    layout->addWidget(splitter_, 1);
    layout->addWidget(tabs_);
    showPage(Normal);
}

int MainView::currentPage() const {
    return stack_->currentIndex();
}

void MainView::showPage(int page) {
    if (page < 0 || page >= stack_->count())
        return;
    tabs_->setCurrentIndex(page);
    stack_->setCurrentIndex(page);
}

void MainView::setBannerVisible(bool visible) {
    banner_->setVisible(visible);
}

bool MainView::bannerVisible() const {
    return !banner_->isHidden();
}

void MainView::addPage(const QString& label, QWidget* page) {
    stack_->addWidget(page);
    tabs_->addTab(label);
}

void MainView::restoreLayout(const AppSettings& s) {
    splitter_->setShares(unpack(s.MainSplit));
    normal_->splitter()->setShares(unpack(s.NormalSplit));
    applyPageOptions(s);
    localProject_->setPaneShares(unpack(s.LocalPageSplit));
    remoteProject_->setPaneShares(unpack(s.RemotePageSplit));
}

void MainView::storeLayout(AppSettings& s) const {
    s.MainSplit = pack(splitter_->shares());
    s.NormalSplit = pack(normal_->splitter()->shares());
    s.LocalPageSplit = pack(localProject_->paneShares());
    s.RemotePageSplit = pack(remoteProject_->paneShares());
}

void MainView::applyPageOptions(const AppSettings& s) {
    localProject_->setTreeOnLeft(s.ViewFlags & AppSettings::kLocalProjectTreeLeft);
    remoteProject_->setTreeOnLeft(s.ViewFlags & AppSettings::kRemoteProjectTreeLeft);
    localProject_->setBackground(fromColorRef(s.LocalPageColor));
    remoteProject_->setBackground(fromColorRef(s.RemotePageColor));
}
