#include "platform/ui/help_window.h"

#include "platform/help_location.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QShortcut>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>
#include "velmora_paths.h"

QStringList HelpWindow::defaultFolders() {
    const QString appDir = QCoreApplication::applicationDirPath();
    return {QDir::cleanPath(appDir + QStringLiteral("/help")),
            QStringLiteral(VELMORA_INSTALLED_HELP_DIR),
            QDir::cleanPath(appDir + QStringLiteral("/../share/velmora/help")),
            QStringLiteral(VELMORA_SOURCE_HELP_DIR)};
}

HelpWindow::HelpWindow(QWidget* parent) : HelpWindow(defaultFolders(), parent) {}

HelpWindow::HelpWindow(QStringList folders, QWidget* parent)
    : QWidget(parent, Qt::Window),
      folders_(std::move(folders)),
      browser_(new QTextBrowser(this)),
      back_(new QToolButton(this)),
      forward_(new QToolButton(this)),
      home_(new QToolButton(this)),
      externalOpener_([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("Velmora Help"));
    // Open beside the main window, it never keeps the program running alone.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(760, 600);

    struct Button {
        QToolButton* button;
        const char* text;
        const char* theme;
        QKeySequence keys;
    };
    const Button buttons[] = {
        {back_, "Back", "go-previous", QKeySequence::Back},
        {forward_, "Forward", "go-next", QKeySequence::Forward},
        {home_, "Contents", "go-home", QKeySequence(Qt::ALT | Qt::Key_Home)},
    };
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 6, 6, 0);
    for (const Button& b : buttons) {
        b.button->setText(QLatin1String(b.text));
        b.button->setIcon(QIcon::fromTheme(QLatin1String(b.theme)));
        b.button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b.button->setAutoRaise(true);
        b.button->setShortcut(b.keys);
        b.button->setAccessibleName(QLatin1String(b.text));
        bar->addWidget(b.button);
    }
    bar->addStretch();

    browser_->setObjectName(QStringLiteral("helpBrowser"));
    browser_->setAccessibleName(QStringLiteral("Help page"));
    // Links are ours to route: pages of the help folders here, the rest outside.
    browser_->setOpenLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addLayout(bar);
    layout->addWidget(browser_);

    // A window of its own: the keyboard closes it as it does a dialog.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)}) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, &QWidget::close);
    }
    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(home_, &QToolButton::clicked, this, [this] { open(contentsTopic()); });
    connect(browser_, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
    connect(browser_, &QTextBrowser::historyChanged, this, &HelpWindow::updateButtons);
    updateButtons();
}

void HelpWindow::showTopic(const QString& topic) {
    open(topic);
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void HelpWindow::open(const QString& topic) {
    const HelpLocation where = locateHelpTopic(folders_, topic);
    if (!where.found()) {
        browser_->setPlainText(missingHelpPageText(where));
        return;
    }
    applyStyleSheet(where);
    browser_->setSource(where.url(), QTextDocument::HtmlResource);
}

void HelpWindow::applyStyleSheet(const HelpLocation& where) {
    // The pages link help.css for web browsers; the text browser takes the
    // same rules as the document's default style sheet.
    // The folder searched last is the one that held the page.
    const QString css = QDir(where.searched.last()).filePath(QStringLiteral("help.css"));
    if (css == styleSheetFile_)
        return;
    styleSheetFile_ = css;
    QFile file(css);
    browser_->document()->setDefaultStyleSheet(
        file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString());
}

void HelpWindow::followLink(const QUrl& link) {
    const QString topic = helpTopicForLink(folders_, browser_->source(), link);
    if (!topic.isEmpty()) {
        open(topic);
        return;
    }
    const QUrl target = browser_->source().resolved(link);
    const QString scheme = target.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
        scheme == QLatin1String("mailto"))
        externalOpener_(target);
}

void HelpWindow::updateButtons() {
    back_->setEnabled(browser_->isBackwardAvailable());
    forward_->setEnabled(browser_->isForwardAvailable());
}
