#include "extras/ui/ftp_wizard_window.h"

#include "extras/content_rules.h"
#include "extras/image_decoder.h"
#include "extras/ui/image_canvas.h"
#include "platform/prompter.h"
#include "remote/action_engine.h"
#include "remote/transfer_starters.h"
#include "session/ftp_session.h"
#include "session/socket_group.h"

#include <QAction>
#include <QCloseEvent>
#include <QFutureWatcher>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPromise>
#include <QScrollArea>
#include <QShortcut>
#include <QStackedWidget>
#include <QThreadPool>
#include <QVBoxLayout>

#include <memory>

FtpWizardWindow::FtpWizardWindow(FtpSession& session, ActionEngine& engine, QByteArray folder,
                                 QByteArray name, const QFont& font, Prompter& prompter,
                                 Hooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Window),
      session_(session),
      engine_(engine),
      folder_(std::move(folder)),
      name_(std::move(name)),
      prompter_(prompter),
      hooks_(std::move(hooks)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(WizardTexts::title(folder_, name_));

    auto* bar = new QMenuBar(this);
    const auto add = [this](QMenu* menu, int id, const QString& text, auto slot) {
        QAction* a = menu->addAction(text);
        a->setData(id);
        connect(a, &QAction::triggered, this, slot);
        actions_ << a;
        return a;
    };
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    add(file, ReDownload, QStringLiteral("Re-download"), [this] { download(); });
    add(file, Upload, QStringLiteral("Upload"), [this] { upload(); });
    add(file, Properties, QStringLiteral("Properties"), [this] { properties(); });
    file->addSeparator();
    QAction* closeAction = file->addAction(QStringLiteral("Close"));
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    QAction* actual =
        add(view, ActualSize, QStringLiteral("Actual size"), [this] { setFit(false); });
    QAction* fit = add(view, FitToView, QStringLiteral("Fit to view"), [this] { setFit(true); });
    actual->setCheckable(true);
    fit->setCheckable(true);
    QMenu* fontMenu = bar->addMenu(QStringLiteral("F&ont"));
    add(fontMenu, ChangeFont, QStringLiteral("Change"), [this] { changeFont(); });
    QMenu* helpMenu = bar->addMenu(QStringLiteral("&Help"));
    add(helpMenu, Help, QStringLiteral("Help"), [this] { help(); });

    status_ = new QLabel(this);
    status_->setAlignment(Qt::AlignCenter);
    status_->setWordWrap(true);
    status_->setTextFormat(Qt::PlainText);
    text_ = new QPlainTextEdit(this);
    text_->setFont(font);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setAccessibleName(QStringLiteral("File text"));
    edited_ = EditedText(text_);
    canvas_ = new ImageCanvas;
    scroll_ = new QScrollArea(this);
    scroll_->setWidget(canvas_);
    scroll_->setAlignment(Qt::AlignCenter);
    scroll_->setBackgroundRole(QPalette::Dark);
    stack_ = new QStackedWidget(this);
    stack_->addWidget(status_);
    stack_->addWidget(text_);
    stack_->addWidget(scroll_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(bar);
    layout->addWidget(stack_);
    resize(640, 480);
    updateActions();
    connect(&session_, &FtpSession::taskMarker, this, &FtpWizardWindow::onTaskMarker);
    auto* escape = new QShortcut(QKeySequence::Cancel, this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    connect(&engine_, &ActionEngine::transferFinished, this,
            [this](const TransferInfo& info, qint64, bool success) {
                if (info.socketKind == int(SocketKind::DirectUpload) &&
                    info.remoteFolder == folder_ && info.fileName == name_)
                    edited_.uploadFinished(success);
            });
    connect(&engine_, &ActionEngine::directUploadListed, this,
            [this](const QByteArray& folder, const QByteArray& name, qint64 size,
                   const QByteArray& modified) {
                if (folder == folder_ && name == name_)
                    edited_.serverListed(size, modified);
            });
}

bool FtpWizardWindow::hasEditsNotUploaded() const {
    return view_ == View::Text && edited_.edited();
}

void FtpWizardWindow::closeQuietly() {
    quiet_ = true;
    close();
}

void FtpWizardWindow::onTaskMarker(int, int, const QString&, quintptr owner) {
    // The completed entry of this window's fetch names it. Without a file of
    // that name the listing queues no transfer: say so rather than wait for
    // ever.
    if (!waiting_ || owner != quintptr(this))
        return;
    waiting_ = false;
    if (size_ < 0)
        setStatus(WizardTexts::notFound());
}

FtpWizardWindow::~FtpWizardWindow() = default;

QAction* FtpWizardWindow::action(int id) const {
    for (QAction* a : actions_)
        if (a->data().toInt() == id)
            return a;
    return nullptr;
}

QString FtpWizardWindow::status() const {
    return status_->text();
}

void FtpWizardWindow::setStatus(const QString& text) {
    status_->setText(text);
    stack_->setCurrentWidget(status_);
}

void FtpWizardWindow::closeView() {
    ++decodeTicket_;
    view_ = View::None;
    text_->clear();
    canvas_->setImage(QImage());
    edited_.clear();
    stack_->setCurrentWidget(status_);
    updateActions();
}

void FtpWizardWindow::updateActions() {
    action(Upload)->setEnabled(view_ == View::Text);
    action(ChangeFont)->setEnabled(view_ == View::Text);
    action(ActualSize)->setEnabled(view_ == View::Image);
    action(FitToView)->setEnabled(view_ == View::Image);
    action(ActualSize)->setChecked(view_ == View::Image && !canvas_->fit());
    action(FitToView)->setChecked(view_ == View::Image && canvas_->fit());
}

void FtpWizardWindow::download() {
    // Edits are the user's to throw away, and a busy server keeps the view.
    if (session_.isBusy()) {
        setStatus(WizardTexts::downloadRefusedBusy());
        return;
    }
    if (hasEditsNotUploaded() && !prompter_.askYesNo(QString::fromLatin1(kDropWizardEditsQuestion)))
        return;
    closeView();
    size_ = -1;
    setStatus(WizardTexts::downloadingStarts());
    waiting_ = true;
    TransferStarters(engine_).fetchDirect(DirectPurpose::Viewer, folder_, name_, quintptr(this));
}

void FtpWizardWindow::showContent(const QByteArray& bytes, const QByteArray& modified) {
    waiting_ = false;
    size_ = bytes.size();
    closeView();
    switch (ClassifyContent(bytes)) {
        case ContentKind::ZeroSize:
            setStatus(WizardTexts::completed(WizardTexts::zeroLength()));
            break;
        case ContentKind::Binary:
            decodePicture(bytes);
            break;
        case ContentKind::BlankLike:
            setStatus(WizardTexts::completed(WizardTexts::unprintable(size_)));
            break;
        case ContentKind::Text:
            view_ = View::Text;
            status_->setText(WizardTexts::completed(QString()));
            stack_->setCurrentWidget(text_);
            edited_.load(bytes, FileText::decode(bytes), modified);
            break;
    }
    updateActions();
}

// A hostile or merely huge picture can take seconds to decode: that runs on
// the thread pool so the window keeps answering. Only the latest decode of a
// still open view is shown.
void FtpWizardWindow::decodePicture(const QByteArray& bytes) {
    setStatus(QStringLiteral("Downloading completed: decoding the picture, please wait ..."));
    const quint64 ticket = decodeTicket_;
    auto promise = std::make_shared<QPromise<DecodedImage>>();
    auto* watcher = new QFutureWatcher<DecodedImage>(this);
    connect(watcher, &QFutureWatcher<DecodedImage>::finished, this, [this, watcher, ticket] {
        watcher->deleteLater();
        if (ticket == decodeTicket_ && watcher->future().resultCount() > 0)
            showPicture(watcher->result());
    });
    watcher->setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start([promise, bytes] {
        promise->addResult(DecodeImage(bytes));
        promise->finish();
    });
}

void FtpWizardWindow::showPicture(const DecodedImage& decoded) {
    if (!decoded.ok()) {
        setStatus(WizardTexts::completed(
            decoded.tooLarge ? QStringLiteral("the picture of %1 x %2 pixels is too large "
                                              "to show.")
                                   .arg(decoded.width)
                                   .arg(decoded.height)
                             : WizardTexts::unknownFormat()));
        return;
    }
    view_ = View::Image;
    canvas_->setImage(decoded.image);
    setFit(true);
    stack_->setCurrentWidget(scroll_);
    updateActions();
}

void FtpWizardWindow::setFit(bool fit) {
    if (view_ != View::Image)
        return;
    scroll_->setWidgetResizable(fit);
    canvas_->setFit(fit);
    updateActions();
}

void FtpWizardWindow::upload() {
    if (view_ != View::Text)
        return;
    if (session_.isBusy()) {
        prompter_.showMessage(QString::fromLatin1(kServerBusyUpload));
        return;
    }
    if (!prompter_.askYesNo(QStringLiteral("Upload the wizard file?")))
        return;
    edited_.upload(engine_, prompter_, folder_, name_, false);
}

void FtpWizardWindow::properties() {
    switch (view_) {
        case View::Text:
            prompter_.showMessage(WizardTexts::textProperties(size_));
            break;
        case View::Image:
            prompter_.showMessage(WizardTexts::imageProperties(size_, canvas_->image().width(),
                                                               canvas_->image().height()));
            break;
        case View::None:
            prompter_.showMessage(WizardTexts::noViewProperties(size_));
            break;
    }
}

void FtpWizardWindow::help() {
    prompter_.showMessage(WizardTexts::help());
}

void FtpWizardWindow::changeFont() {
    if (view_ == View::Text)
        ChoosePaneFont(text_, hooks_.chooseFont, hooks_.storeFont);
}

bool FtpWizardWindow::mayClose() {
    if (!hasEditsNotUploaded())
        return true;
    raise();
    return prompter_.askYesNo(
        QStringLiteral("The text has changes that were not uploaded.\n"
                       "Close the wizard anyway?"));
}

void FtpWizardWindow::closeEvent(QCloseEvent* event) {
    if (!quiet_ && !mayClose()) {
        event->ignore();
        return;
    }
    session_.removeDirectDownload(DirectPurpose::Viewer, folder_, name_);
    QWidget::closeEvent(event);
}
