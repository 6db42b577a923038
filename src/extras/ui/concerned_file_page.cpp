#include "extras/ui/concerned_file_page.h"

#include "extras/content_rules.h"
#include "platform/prompter.h"
#include "remote/action_engine.h"
#include "remote/remote_path.h"
#include "remote/transfer_starters.h"
#include "session/ftp_session.h"
#include "session/socket_group.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

ConcernedFilePage::ConcernedFilePage(FtpSession& session, ActionEngine& engine, const QFont& font,
                                     Prompter& prompter, Hooks hooks, QWidget* parent)
    : QWidget(parent),
      session_(session),
      engine_(engine),
      prompter_(prompter),
      hooks_(std::move(hooks)) {
    auto* caption = new QLabel(QStringLiteral("Concerned file"), this);
    auto* pathCaption = new QLabel(QStringLiteral("Path"), this);
    name_ = new QLabel(this);
    folder_ = new QLabel(this);
    for (QLabel* l : {name_, folder_}) {
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        l->setTextFormat(Qt::PlainText);
        l->setFrameShape(QFrame::StyledPanel);
        l->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    }
    refresh_ = new QPushButton(QStringLiteral("Refresh"), this);
    remove_ = new QPushButton(QStringLiteral("x"), this);
    upload_ = new QPushButton(QStringLiteral("Upload"), this);
    font_ = new QPushButton(QStringLiteral("F"), this);
    remove_->setToolTip(QStringLiteral("Remove concerned file"));
    remove_->setAccessibleName(QStringLiteral("Remove concerned file"));
    font_->setToolTip(QStringLiteral("Font"));
    font_->setAccessibleName(QStringLiteral("Font"));
    for (QPushButton* b : {remove_, font_})
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("WW")) + 12);

    remark_ = new QLabel(this);
    remark_->setTextFormat(Qt::PlainText);
    remark_->setStyleSheet(QStringLiteral("color: rgb(255,0,0);"));
    remark_->hide();
    pane_ = new QPlainTextEdit(this);
    pane_->setFont(font);
    pane_->setLineWrapMode(QPlainTextEdit::NoWrap);
    pane_->setAccessibleName(QStringLiteral("Concerned file content"));
    edited_ = EditedText(pane_);

    auto* grid = new QGridLayout;
    grid->addWidget(caption, 0, 0);
    grid->addWidget(name_, 0, 1);
    grid->addWidget(refresh_, 0, 2);
    grid->addWidget(remove_, 0, 3);
    grid->addWidget(pathCaption, 1, 0);
    grid->addWidget(folder_, 1, 1);
    grid->addWidget(upload_, 1, 2);
    grid->addWidget(font_, 1, 3);
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(grid);
    layout->addWidget(remark_);
    layout->addWidget(pane_, 1);

    connect(refresh_, &QPushButton::clicked, this, &ConcernedFilePage::refresh);
    connect(remove_, &QPushButton::clicked, this, &ConcernedFilePage::remove);
    connect(upload_, &QPushButton::clicked, this, &ConcernedFilePage::upload);
    connect(font_, &QPushButton::clicked, this, &ConcernedFilePage::chooseFont);
    connect(&session_, &FtpSession::directContentArrived, this,
            &ConcernedFilePage::onDirectContent);
    connect(&session_, &FtpSession::concernedFileAtLogin, this, &ConcernedFilePage::loginPath);
    connect(&session_, &FtpSession::logLine, this, &ConcernedFilePage::onLogLine);
    connect(&session_, &FtpSession::taskMarker, this, &ConcernedFilePage::onTaskMarker);
    connect(&engine_, &ActionEngine::transferFinished, this,
            [this](const TransferInfo& info, qint64, bool success) {
                if (info.socketKind == int(SocketKind::DirectUpload))
                    onTransferFinished(info.remoteFolder, info.fileName, success);
            });
    connect(&engine_, &ActionEngine::directUploadListed, this,
            [this](const QByteArray& folder, const QByteArray& name, qint64 size,
                   const QByteArray& modified) {
                if (QString::fromUtf8(joinRemotePath(folder, name)) == path_)
                    edited_.serverListed(size, modified);
            });
    connect(&session_, &FtpSession::connectionClosed, this, [this] {
        renames_.reset();
        fetching_ = 0;
    });
    showStartRemark();
}

void ConcernedFilePage::showStartRemark() {
    loaded_ = false;
    edited_.clear();
    remark_->hide();
    pane_->setPlainText(ConcernedFileStartRemark());
    pane_->setReadOnly(true);
    pane_->document()->setModified(false);
}

bool ConcernedFilePage::splitPath(QByteArray* folder, QByteArray* name) const {
    return !path_.isEmpty() && splitRemotePath(path_.toUtf8(), folder, name);
}

void ConcernedFilePage::showPath() {
    QByteArray folder, name;
    if (splitPath(&folder, &name)) {
        folder_->setText(QString::fromUtf8(folder));
        name_->setText(QString::fromUtf8(name));
    } else {
        folder_->setText(path_);
        name_->clear();
    }
}

void ConcernedFilePage::setPath(const QString& path) {
    path_ = path;
    if (hooks_.storeConcernedFile)
        hooks_.storeConcernedFile(path);
    showPath();
}

bool ConcernedFilePage::mayDropEdits() {
    if (!loaded_ || pane_->isReadOnly() || !edited_.edited())
        return true;
    return prompter_.askYesNo(QString::fromLatin1(kDropEditsQuestion));
}

void ConcernedFilePage::onTransferFinished(const QByteArray& folder, const QByteArray& name,
                                           bool success) {
    if (QString::fromUtf8(joinRemotePath(folder, name)) == path_)
        edited_.uploadFinished(success);
}

void ConcernedFilePage::setConcernedFile(const QByteArray& folder, const QByteArray& name) {
    const QString path = QString::fromUtf8(joinRemotePath(folder, name));
    if (path == path_)
        return;
    if (!mayDropEdits()) {
        // The site keeps the file whose edits stay on the page.
        if (hooks_.storeConcernedFile)
            hooks_.storeConcernedFile(path_);
        return;
    }
    setPath(path);
    showStartRemark();
    refresh();
}

void ConcernedFilePage::loginPath(const QString& path) {
    const SessionOptions& o = session_.options();
    const QString server = QStringLiteral("%1@%2:%3").arg(o.user, o.host).arg(o.port);
    // The same file of the same server keeps its copy and edits. A copy fetched from another
    // server, even of the same path, goes: its upload would replace this server's file. A site
    // without a path clears what another site left.
    if (path == path_ && server == server_)
        return;
    server_ = server;
    path_ = path;
    showPath();
    showStartRemark();
    refresh();
}

void ConcernedFilePage::refresh() {
    QByteArray folder, name;
    if (!splitPath(&folder, &name))
        return;
    if (!mayDropEdits())
        return;
    ++fetching_;
    TransferStarters(engine_).fetchDirect(DirectPurpose::ConcernedFile, folder, name,
                                          quintptr(this));
}

void ConcernedFilePage::onTaskMarker(int, int, const QString&, quintptr owner) {
    if (fetching_ == 0 || owner != quintptr(this))
        return;
    --fetching_;
    // Fetches run in order; one whose listing found no such file brought
    // nothing.
    if (!contentArrived_) {
        remark_->setText(WizardTexts::notFound());
        remark_->show();
    }
    contentArrived_ = false;
}

void ConcernedFilePage::onDirectContent(DirectPurpose purpose, const QByteArray& folder,
                                        const QByteArray& name, const QByteArray& content,
                                        const QByteArray& modified) {
    // A fetch of a path replaced meanwhile must not show under the new one:
    // its upload would overwrite the new file with the old one's text.
    if (purpose != DirectPurpose::ConcernedFile)
        return;
    contentArrived_ = true;
    if (QString::fromUtf8(joinRemotePath(folder, name)) == path_)
        showContent(content, modified);
}

void ConcernedFilePage::showContent(const QByteArray& bytes, const QByteArray& modified) {
    const ConcernedFileContent content = ConcernedFileContentOf(bytes);
    const QString remark = (content.remarkBefore + content.remarkAfter).trimmed();
    remark_->setText(remark);
    remark_->setVisible(!remark.isEmpty());
    loaded_ = true;
    // Only the part before a zero byte is shown: editing it would lose the rest.
    pane_->setReadOnly(content.binary);
    edited_.load(bytes, content.text, modified);
}

void ConcernedFilePage::remove() {
    if (path_.isEmpty())
        return;
    if (!prompter_.askYesNo(QStringLiteral("Remove concerned file?")))
        return;
    setPath(QString());
    showPath();
    showStartRemark();
}

void ConcernedFilePage::upload() {
    if (session_.isBusy()) {
        prompter_.showMessage(QString::fromLatin1(kServerBusyUpload));
        return;
    }
    QByteArray folder, name;
    if (!splitPath(&folder, &name))
        return;
    if (!loaded_) {
        // Sending the remark would replace the file on the server.
        prompter_.showMessage(WizardTexts::noViewProperties(-1));
        return;
    }
    if (!prompter_.askYesNo(QStringLiteral("Upload the concerned file?")))
        return;
    edited_.upload(engine_, prompter_, folder, name, true);
}

void ConcernedFilePage::chooseFont() {
    ChoosePaneFont(pane_, hooks_.chooseFont, hooks_.storeFont);
}

void ConcernedFilePage::onLogLine(const LogLine& line) {
    const auto rename = renames_.onLogLine(line);
    if (!rename)
        return;
    const QString followed = FollowRenamedPath(path_, rename->from, rename->to);
    if (!followed.isEmpty())
        setPath(followed);  // shown and stored, not fetched
}
