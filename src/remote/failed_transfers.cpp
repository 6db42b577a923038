#include "remote/failed_transfers.h"

#include "platform/format.h"
#include "remote/action_engine.h"
#include "remote/download_actions.h"
#include "remote/remote_item_list.h"
#include "remote/transfer_starters.h"
#include "remote/upload_actions.h"
#include "session/ftp_session.h"
#include "session/log_line.h"
#include "session/partial_download.h"
#include "session/publish_plan.h"
#include "session/socket_group.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <map>
#include <tuple>

namespace {

bool IsDownload(const TransferResult& r) {
    return r.info.socketKind == int(SocketKind::DownloadFile);
}

bool IsUpload(const TransferResult& r) {
    return r.info.socketKind == int(SocketKind::UploadFile);
}

bool SameTransfer(const FailedTransfer& a, const FailedTransfer& b) {
    const TransferInfo& x = a.result.info;
    const TransferInfo& y = b.result.info;
    return a.folder == b.folder && x.socketKind == y.socketKind &&
           x.remoteFolder == y.remoteFolder && x.fileName == y.fileName &&
           x.localPath == y.localPath;
}

}  // namespace

FailedTransfers::FailedTransfers(ActionEngine& engine, QObject* parent)
    : QObject(parent), engine_(engine) {
    connect(&engine_, &ActionEngine::transferFailed, this, &FailedTransfers::onTransferFailed);
    connect(&engine_, &ActionEngine::folderUnfinished, this, &FailedTransfers::onFolderUnfinished);
    FtpSession& s = engine_.session();
    connect(&s, &FtpSession::transferStartedSignal, this, &FailedTransfers::onTransferStarted);
    connect(&s, &FtpSession::loggedInChanged, this, &FailedTransfers::retryableChanged);
    connect(&s, &FtpSession::disconnected, this, &FailedTransfers::retryableChanged);
}

QString FailedTransfers::currentServer() const {
    const FtpSession& s = engine_.session();
    if (!s.loggedInNow())
        return {};
    const SessionOptions& o = s.options();
    const QString user = o.logonType == 1 ? QStringLiteral("anonymous") : o.user;
    return QStringLiteral("%1@%2:%3").arg(user, o.host).arg(o.port);
}

bool FailedTransfers::canRetry(int index) const {
    if (index < 0 || index >= count())
        return false;
    const QString server = currentServer();
    return !server.isEmpty() && server == at(index).server;
}

void FailedTransfers::onTransferFailed(const TransferResult& result) {
    // Direct transfers live in memory: their pages fetch or store them again.
    if (!IsDownload(result) && !IsUpload(result))
        return;
    add(FailedTransfer{result, currentServer(), false});
}

void FailedTransfers::onFolderUnfinished(const TransferResult& result) {
    if (IsDownload(result) || IsUpload(result))
        add(FailedTransfer{result, currentServer(), true});
}

void FailedTransfers::add(const FailedTransfer& entry) {
    FailedTransfer failed = entry;
    if (failed.server.isEmpty()) {
        // The connection is gone already; the transfer was for the site in hand.
        const SessionOptions& o = engine_.session().options();
        const QString user = o.logonType == 1 ? QStringLiteral("anonymous") : o.user;
        failed.server = QStringLiteral("%1@%2:%3").arg(user, o.host).arg(o.port);
    }
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (SameTransfer(entries_[i], failed)) {
            entries_[i] = failed;
            emit changed(int(i));
            return;
        }
    }
    entries_.push_back(failed);
    emit added(count() - 1);
}

TransferAlertOptions FailedTransfers::retryOptions(const TransferResult& result,
                                                   bool restSupported) {
    TransferAlertOptions o;
    o.showAlert = 0;
    o.ifLarger = TransferAlertOptions::Overwrite;
    // An upload under a temporary name goes on only from that temporary: with
    // it gone, resuming would continue the old file visitors read.
    const bool continued = IsDownload(result)
                               ? result.info.startOffset > 0
                               : result.position > 0 && (!result.info.publish.options.atomic ||
                                                         !result.keptTemporary.isEmpty());
    o.fileAction = continued && restSupported ? TransferAlertOptions::Resume
                                              : TransferAlertOptions::OverwriteAlways;
    return o;
}

TransferAlertOptions FailedTransfers::folderRetryOptions() {
    TransferAlertOptions o;
    o.showAlert = 0;
    o.fileAction = TransferAlertOptions::OverwriteIfDifferent;
    return o;
}

bool FailedTransfers::retry(int index) {
    return retry(std::vector<int>{index}) > 0;
}

int FailedTransfers::retry(std::vector<int> indexes) {
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    const bool rest = engine_.session().serverSupportsRest();
    // The files of one folder go together, as one listing of it; everything
    // retried goes as one task a direction, which ends when its last file does.
    std::vector<std::unique_ptr<CommandGroup>> downloads, uploads;
    std::map<std::tuple<QByteArray, QString, quint8>, DownloadAction*> downloadOf;
    std::map<std::tuple<QByteArray, QString, quint8>, UploadNormalAction*> uploadOf;
    // Each retried row leaves the list with what it kept: the retry goes on from it.
    std::vector<int> taken;
    for (const int index : indexes) {
        if (!canRetry(index))
            continue;
        const TransferResult r = at(index).result;
        const bool folder = at(index).folder;
        taken.push_back(index);
        const TransferAlertOptions options = folder ? folderRetryOptions() : retryOptions(r, rest);
        const QFileInfo local(r.info.localPath);
        const QByteArray& remote = r.info.remoteFolder;
        if (IsDownload(r)) {
            RemoteItem item;
            item.name = r.info.fileName;  // of any kind: a link is fetched like a file
            // Data an attempt kept is continued on its own, when the server's
            // file is still the one it came from.
            if (!folder && !r.keptPath.isEmpty()) {
                downloads.push_back(TransferStarters(engine_).retryAction(r));
                continue;
            }
            // The whole folder goes into its own local twin.
            if (folder && r.info.fileName.isEmpty()) {
                auto action = std::make_unique<DownloadAction>(engine_, remote, r.info.localPath,
                                                               RemoteItemList(),
                                                               engine_.listingSequence(remote));
                action->options = options;
                downloads.push_back(std::move(action));
                continue;
            }
            DownloadAction*& joined =
                downloadOf[{remote, local.absolutePath(), options.fileAction}];
            if (!joined) {
                auto action = std::make_unique<DownloadAction>(
                    engine_, remote, local.absolutePath(), RemoteItemList(),
                    engine_.listingSequence(remote));
                action->options = options;
                joined = action.get();
                downloads.push_back(std::move(action));
            }
            joined->selection.append(item);
            continue;
        }
        UploadNormalAction*& joined = uploadOf[{remote, local.absolutePath(), options.fileAction}];
        if (!joined) {
            LocalFolderRecord record;
            record.path = local.absolutePath();
            auto action = std::make_unique<UploadNormalAction>(engine_, remote, record,
                                                               engine_.listingSequence(remote));
            action->options = options;
            joined = action.get();
            uploads.push_back(std::move(action));
        }
        joined->local.items.push_back({local.fileName(), folder, folder ? 0 : local.size()});
    }
    takeRows(taken);
    if (!downloads.empty())
        engine_.appendTask(QStringLiteral("Start downloading files"), std::move(downloads),
                           QStringLiteral("Downloading files completed"), 2);
    if (!uploads.empty())
        engine_.appendTask(QStringLiteral("Start uploading normal files"), std::move(uploads),
                           QStringLiteral("Uploading normal files completed"), 1);
    return int(taken.size());
}

void FailedTransfers::remove(int index) {
    if (index < 0 || index >= count())
        return;
    const FailedTransfer gone = entries_[size_t(index)];
    take(index);
    dropKeptData(gone);
}

void FailedTransfers::remove(std::vector<int> indexes) {
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    indexes.erase(std::remove_if(indexes.begin(), indexes.end(),
                                 [this](int i) { return i < 0 || i >= count(); }),
                  indexes.end());
    std::vector<FailedTransfer> gone;
    for (const int index : indexes)
        gone.push_back(entries_[size_t(index)]);
    takeRows(indexes);
    for (const FailedTransfer& f : gone)
        dropKeptData(f);
}

void FailedTransfers::take(int index) {
    entries_.erase(entries_.begin() + index);
    emit removed(index, index);
}

void FailedTransfers::takeRows(const std::vector<int>& sorted) {
    // From the last run, so the earlier indexes stay right.
    for (size_t end = sorted.size(); end > 0;) {
        size_t begin = end - 1;
        while (begin > 0 && sorted[begin - 1] == sorted[begin] - 1)
            --begin;
        const int first = sorted[begin];
        const int last = sorted[end - 1];
        entries_.erase(entries_.begin() + first, entries_.begin() + last + 1);
        emit removed(first, last);
        end = begin;
    }
}

void FailedTransfers::onTransferStarted(const SocketGroup*, const TransferInfo& info) {
    // The same file sent or fetched again takes over what its failure kept.
    const QString server = currentServer();
    for (int i = count() - 1; i >= 0; --i) {
        const FailedTransfer& f = entries_[size_t(i)];
        const TransferInfo& x = f.result.info;
        if (!f.folder && f.server == server && x.socketKind == info.socketKind &&
            x.remoteFolder == info.remoteFolder && x.fileName == info.fileName &&
            x.localPath == info.localPath)
            take(i);
    }
}

int FailedTransfers::temporariesOnServer() const {
    return int(std::count_if(entries_.begin(), entries_.end(),
                             [this](const FailedTransfer& f) { return keepsTemporaryHere(f); }));
}

QString FailedTransfers::temporariesQuestion(int count) {
    if (count == 1)
        return QStringLiteral(
            "An upload that did not finish left a hidden partial copy on the server, where the "
            "site's visitors may fetch it; the next upload of the same file would go on from it. "
            "Delete it before closing?");
    return QStringLiteral(
               "%1 uploads that did not finish left hidden partial copies on the "
               "server, where the site's visitors may fetch them; the next upload of "
               "the same files would go on from them. Delete them before closing?")
        .arg(count);
}

void FailedTransfers::removeTemporariesOnServer() {
    for (int i = count() - 1; i >= 0; --i)
        if (keepsTemporaryHere(entries_[size_t(i)]))
            remove(i);
}

bool FailedTransfers::keepsTemporary(const TransferInfo& info) {
    return info.socketKind == int(SocketKind::UploadFile) && info.publish.options.atomic;
}

bool FailedTransfers::keepsTemporaryOnServer(const FailedTransfer& failed) {
    const TransferResult& r = failed.result;
    return !failed.folder && IsUpload(r) && !r.keptTemporary.isEmpty() && r.position > 0 &&
           !failed.server.isEmpty();
}

bool FailedTransfers::keepsTemporaryHere(const FailedTransfer& failed) const {
    return keepsTemporaryOnServer(failed) && failed.server == currentServer();
}

QString FailedTransfers::temporariesElsewhereQuestion() const {
    QStringList servers;
    int count = 0;
    for (const FailedTransfer& f : entries_) {
        if (!keepsTemporaryOnServer(f) || keepsTemporaryHere(f))
            continue;
        ++count;
        if (!servers.contains(f.server))
            servers << f.server;
    }
    const QString where = servers.join(QStringLiteral(", "));
    if (count == 0)
        return QString();
    if (count == 1)
        return QStringLiteral(
                   "An upload that did not finish left a hidden partial copy on %1, which Velmora "
                   "is not logged in to now: the site's visitors may fetch it until it is "
                   "removed. To remove it, connect there again and remove the failed upload. "
                   "Close anyway?")
            .arg(where);
    return QStringLiteral(
               "%1 uploads that did not finish left hidden partial copies on %2, which Velmora "
               "is not logged in to now: the site's visitors may fetch them until they are "
               "removed. To remove them, connect there again and remove the failed uploads. "
               "Close anyway?")
        .arg(count)
        .arg(where);
}

void FailedTransfers::dropKeptData(const FailedTransfer& failed) {
    const TransferResult& r = failed.result;
    if (failed.folder)
        return;
    if (IsDownload(r)) {
        // Only our own hidden part file, never the target.
        if (!r.keptPath.isEmpty() && PartialDownload::isPartName(QFileInfo(r.keptPath).fileName()))
            QFile::remove(r.keptPath);
        return;
    }
    if (!keepsTemporaryHere(failed))
        return;
    engine_.session().queue().addCommands(
        {{"CWD", r.info.remoteFolder}, {"DELE", r.keptTemporary}});
    engine_.sendIfIdle();
}

QString FailedTransfers::describe(const FailedTransfer& failed) {
    const TransferResult& r = failed.result;
    const QString name =
        (failed.folder ? QStringLiteral("folder ") : QString()) + displayText(r.info.fileName);
    const QString folder = displayText(r.info.remoteFolder);
    QString text = IsDownload(r) ? QStringLiteral("Download %1 from %2").arg(name, folder)
                                 : QStringLiteral("Upload %1 to %2").arg(name, folder);
    if (failed.folder && r.info.fileName.isEmpty())
        text = QStringLiteral("Download folder %1").arg(folder);
    QString why = r.error;
    if (why.isEmpty())
        why = r.stopped ? QStringLiteral("stopped by the user") : QStringLiteral("not finished");
    text += QStringLiteral(": ") + why;
    // An upload knows what it sent, not what the server kept of it.
    if (!failed.folder && r.info.total > 0)
        text += (IsDownload(r) ? QStringLiteral(" (%1 of %2 bytes)")
                               : QStringLiteral(" (%1 of %2 bytes sent)"))
                    .arg(FormatSizeBytes(r.position), FormatSizeBytes(r.info.total));
    return text;
}
