#include "app/remote_view_copies.h"

#include "platform/launcher.h"
#include "platform/prompter.h"
#include "remote/action_engine.h"
#include "remote/local_name_guard.h"
#include "remote/remote_path.h"
#include "remote/transfer_starters.h"
#include "session/fake_group.h"
#include "session/ftp_session.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The host as one folder name: nothing that separates or hides paths.
QString hostFolder(const QString& host, int port) {
    QString name;
    for (QChar c : host)
        name += (c.isLetterOrNumber() || c == QLatin1Char('.') || c == QLatin1Char('-'))
                    ? c
                    : QLatin1Char('_');
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    if (name.isEmpty())
        name = QStringLiteral("server");
    return name + QLatin1Char('_') + QString::number(port);
}

}  // namespace

QString ViewCopyPath(const QString& cacheRoot, const QString& host, int port,
                     const QByteArray& remotePath) {
    QByteArray folder, name;
    if (cacheRoot.isEmpty() || !splitRemotePath(remotePath, &folder, &name) ||
        !isSafeLocalName(name))
        return {};
    QString path = QDir(cacheRoot).filePath(hostFolder(host, port));
    for (const QByteArray& part : folder.split('/')) {
        if (isSafeLocalName(part))
            path += QLatin1Char('/') + localNameOf(part);
    }
    return path + QLatin1Char('/') + localNameOf(name);
}

RemoteViewCopies::RemoteViewCopies(ActionEngine& engine, Launcher& launcher, Prompter& prompter,
                                   QString cacheRoot, QObject* parent)
    : QObject(parent),
      engine_(engine),
      launcher_(launcher),
      prompter_(prompter),
      cacheRoot_(std::move(cacheRoot)) {
    connect(&engine_, &ActionEngine::transferFinished, this,
            [this](const TransferInfo& info, qint64, bool success) { onTransfer(info, success); });
    connect(
        &engine_.session(), &FtpSession::taskMarker, this,
        [this](int fakeKind, int, const QString&, quintptr owner) { onMarker(fakeKind, owner); });
}

bool RemoteViewCopies::open(const ToolRecord& tool, const QByteArray& remotePath,
                            const QString& host, int port) {
    const QString localPath = ViewCopyPath(cacheRoot_, host, port, remotePath);
    QByteArray folder, name;
    if (localPath.isEmpty() || !splitRemotePath(remotePath, &folder, &name)) {
        prompter_.showMessage(QStringLiteral("Can not make a local copy of ") +
                              QString::fromUtf8(remotePath));
        return false;
    }
    const quintptr ticket = nextTicket_++;
    pending_[ticket] = Pending{tool, folder, name, localPath, false};
    TransferStarters(engine_).downloadCopy(folder, name, QFileInfo(localPath).path(), ticket);
    return true;
}

void RemoteViewCopies::onTransfer(const TransferInfo& info, bool success) {
    for (auto& [ticket, p] : pending_) {
        if (p.opened || p.folder != info.remoteFolder || p.name != info.fileName ||
            QDir::cleanPath(info.localPath) != QDir::cleanPath(p.localPath))
            continue;
        if (success) {
            p.opened = true;
            launcher_.startDetached(p.tool.programPath(), {p.localPath});
        }
        return;
    }
}

void RemoteViewCopies::onMarker(int fakeKind, quintptr owner) {
    if (fakeKind != int(FakeKind::Completed))
        return;
    const auto it = pending_.find(owner);
    if (it == pending_.end())
        return;
    if (!it->second.opened)
        prompter_.showMessage(
            QStringLiteral("Could not fetch %1 to view it; the FTP chat says why.")
                .arg(QString::fromUtf8(joinRemotePath(it->second.folder, it->second.name))));
    pending_.erase(it);
}
