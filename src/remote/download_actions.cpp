#include "remote/download_actions.h"

#include "remote/action_engine.h"
#include "remote/file_transfer.h"
#include "remote/local_name_guard.h"
#include "remote/remote_path.h"
#include "remote/remote_time.h"
#include "remote/transfer_decision.h"
#include "remote/transfer_pool.h"
#include "session/direct_download_group.h"
#include "session/download_file_group.h"
#include "session/ftp_session.h"
#include "session/partial_download.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

bool makeLocalFolder(const QString& folder, QString* reason) {
    const QString path = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    if (path.isEmpty()) {
        *reason = QStringLiteral("no local folder given");
        return false;
    }
    // Each part of the path must be a folder or be made one.
    const QStringList parts = path.split(QLatin1Char('/'));
    QString prefix = path.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString();
    for (const QString& part : parts) {
        if (part.isEmpty())
            continue;
        prefix = prefix.isEmpty() || prefix.endsWith(QLatin1Char('/')) ? prefix + part
                                                                       : prefix + '/' + part;
        const QFileInfo info(prefix);
        if (info.exists()) {
            if (!info.isDir()) {
                *reason = prefix + QStringLiteral(" is not a folder");
                return false;
            }
            continue;
        }
        if (::mkdir(QFile::encodeName(prefix).constData(), 0777) != 0 && errno != EEXIST) {
            *reason = QStringLiteral("can not create %1 (%2)")
                          .arg(prefix, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
    }
    return true;
}

QByteArray listedModification(const RemoteItem& item) {
    return QByteArray::number(item.year) + '-' + QByteArray::number(item.month) + '-' +
           QByteArray::number(item.day) + ' ' + item.time;
}

namespace {

// Data kept by an earlier download that stopped short, when it came from the
// server file as it is listed now and REST can continue it.
std::optional<KeptPart> continuableKept(const QString& target, const TransferInfo& t, bool rest,
                                        GroupHost* h) {
    std::optional<KeptPart> kept = PartialDownload::inspect(target);
    if (!kept)
        return std::nullopt;
    // A listing without a size (0) leaves the date to tell the file.
    if (rest && kept->source == DownloadFileGroup::sourceOf(t) && kept->length > 0 &&
        (t.total <= 0 || kept->length < t.total))
        return kept;
    if (h)
        h->log(LogChannel::Status,
               QStringLiteral("The data kept in %1 is not continued: the server's file is not "
                              "the one it came from, or can not be continued")
                   .arg(kept->path));
    return std::nullopt;
}

}  // namespace

void DownloadAction::process(const RemoteItemList& listed) {
    ActionEngine& e = engine();
    GroupHost* h = host();
    RemoteItemList items = listed;
    if (!selection.isEmpty()) {
        // A selected entry without a kind (named by a script) matches any kind.
        std::vector<std::pair<char, QByteArray>> keys;
        for (const RemoteItem& s : selection) {
            if (s.kind != 0) {
                keys.emplace_back(s.kind, s.name);
                continue;
            }
            const std::optional<RemoteItem> found = listed.itemOf(s.name);
            if (found)
                keys.emplace_back(found->kind, s.name);
            else if (h)
                h->reportFailure(QStringLiteral("Not found on the server: ") +
                                 QString::fromUtf8(joinRemotePath(folder, s.name)));
        }
        items.retainOnly(keys);
        // An entry chosen in a view and gone from the server since is said,
        // not passed over.
        if (items.size() < int(keys.size())) {
            QSet<QPair<char, QByteArray>> present;
            for (int i = 0; i < items.size(); ++i)
                present.insert({items.kindAt(i), items.nameAt(i).toByteArray()});
            for (const auto& [kind, name] : keys)
                if (!present.contains({kind, name}) && h)
                    h->reportFailure(QStringLiteral("Not found on the server: ") +
                                     QString::fromUtf8(joinRemotePath(folder, name)));
        }
    }
    // Nothing of it on the server: no folder is made in the file's place.
    if (!fileTarget.isEmpty() && !selection.isEmpty() && items.isEmpty())
        return;
    // A single file given a path of its own lands there, in the folder above it.
    const bool asFile = !fileTarget.isEmpty() && selection.size() == 1 && items.size() == 1 &&
                        items.kindAt(0) != 'd';
    // The folder as made: "a/x/../b" must not need a folder x to exist, and
    // the views know it by its plain name.
    const QString localPath = QDir::cleanPath(
        QDir::fromNativeSeparators(asFile ? QFileInfo(fileTarget).absolutePath() : localFolder));
    const QDir local(localPath);
    QString reason;
    if (!makeLocalFolder(localPath, &reason)) {
        // The entries named, where a selection names them.
        QStringList what;
        for (const RemoteItem& s : selection)
            what << QString::fromUtf8(joinRemotePath(folder, s.name));
        if (h)
            h->reportFailure(QStringLiteral("Download of %1 stopped: %2")
                                 .arg(what.isEmpty() ? QString::fromUtf8(folder)
                                                     : what.join(QStringLiteral(", ")),
                                      reason));
        return;
    }
    auto unsafe = [&](const RemoteItem& it) {
        if (isSafeLocalName(it.name))
            return false;
        if (h)
            h->reportFailure(QStringLiteral("Unsafe name skipped, not written locally: ") +
                             QString::fromUtf8(it.name.toPercentEncoding("/ ")));
        return true;
    };

    const bool rest = e.session().serverSupportsRest();
    const bool mlsd = hasSentStepNamed("MLSD");
    int skipped = 0;
    for (const RemoteItem& it : items) {
        if (it.kind == 'd' || !e.kindFilter.passes(it.kind) || unsafe(it))
            continue;
        const QString target = asFile ? QDir::cleanPath(QDir::fromNativeSeparators(fileTarget))
                                      : local.filePath(localNameOf(it.name));
        const QFileInfo info(target);
        if (info.exists() && !info.isFile()) {
            if (h)
                h->reportFailure(QStringLiteral("Not downloaded, a local folder or other entry "
                                                "has its name: ") +
                                 target);
            continue;
        }
        const TransferAlertOptions& chosen = options ? *options : e.downloadOptions;
        TransferDecision d = decideDownload(chosen, info.exists(), info.size(), it.size, rest);
        if (retry)
            d = {TransferDecision::Whole, 0};
        if (d.kind == TransferDecision::Skip) {
            ++skipped;
            continue;
        }
        FileTransfer t;
        t.direction = FileTransfer::Download;
        t.info.remoteFolder = folder;
        t.info.fileName = it.name;
        t.info.localPath = target;
        // The size of a link or device says nothing of what RETR brings.
        t.info.total = it.kind == '-' ? it.size : -1;
        t.info.remoteModified = listedModification(it);
        // Data an earlier download of this file kept is continued by the
        // actions that fetch what differs; the others start again.
        const quint8 action = chosen.fileAction;
        const bool mayContinue = retry || action == TransferAlertOptions::OverwriteIfDifferent ||
                                 action == TransferAlertOptions::Resume;
        if (mayContinue) {
            if (const std::optional<KeptPart> kept = continuableKept(target, t.info, rest, h)) {
                d = {TransferDecision::Resume, kept->length};
                t.info.continuesKept = true;
            }
        }
        t.info.startOffset = d.kind == TransferDecision::Resume ? d.offset : 0;
        t.info.publish.options = e.publish;
        // Only MLSD tells the time to the second; otherwise MDTM is asked.
        if (const auto listed = listedTime(it, mlsd); mlsd && listed && listed->precision == 1)
            t.info.publish.remoteTime = listed->utc;
        queueFileTransfer(t);
    }
    engine().reportSkippedFiles(skipped, local.path());
    for (const RemoteItem& it : items) {
        if (it.kind != 'd' || unsafe(it))
            continue;
        const QByteArray sub = joinRemotePath(folder, it.name);
        if (!mayEnter(sub, it))
            continue;
        const QString localSub = local.filePath(localNameOf(it.name));
        auto make = [&e, sub, localSub, window = progressWindow, options = options,
                     walk = sharedWalk()] {
            auto action = std::make_unique<DownloadAction>(e, sub, localSub, RemoteItemList(),
                                                           e.listingSequence(sub), window);
            action->options = options;
            action->joinWalk(walk);
            return action;
        };
        if (TransferPool* pool = e.transferPool()) {
            // The transfer connections list the sub-folders side by side.
            pool->submitListing([make]() -> std::unique_ptr<CommandGroup> { return make(); }, 0,
                                *this);
            continue;
        }
        insertNext(make());
    }
    auto shown = std::make_unique<FakeGroup>(FakeKind::DownloadToFolder, 0, QString(), localPath);
    TransferPool* pool = e.anyTransferPool();
    if (pool && pool->runsAsJob(*this))
        pool->holdUntilDone(std::move(shown), *this);  // after what it handed out
    else
        insertNext(std::move(shown));
}

DownloadAction::~DownloadAction() {
    if (finished || handedBack || (!stopped() && problem().isEmpty()))
        return;
    TransferResult r;
    r.info.socketKind = int(SocketKind::DownloadFile);
    r.info.remoteFolder = folder;
    r.info.localPath = localFolder;
    r.error = problem();
    r.stopped = stopped();
    if (selection.isEmpty()) {
        engine().announceUnfinishedFolder(r);
        return;
    }
    for (const RemoteItem& it : selection) {
        TransferResult one = r;
        one.info.fileName = it.name;
        one.info.localPath = !fileTarget.isEmpty() && !it.isFolder()
                                 ? fileTarget
                                 : QDir(localFolder).filePath(localNameOf(it.name));
        one.info.total = it.isFolder() ? -1 : it.size;
        if (it.isFolder())
            engine().announceUnfinishedFolder(one);
        else
            engine().announceTransfer(one);
    }
}

void DirectDownloadAction::process(const RemoteItemList& items) {
    // The views show what was found: a file gone from the server leaves their lists too.
    if (engine().isShown(folder))
        engine().announceListing(*this, items);
    GroupHost* h = host();
    const std::optional<RemoteItem> it = items.itemOf(name);
    if (!it) {
        if (h)
            h->reportFailure(QStringLiteral("Can not find file ") + QString::fromUtf8(name));
        return;
    }
    if (it->kind == 'd') {
        if (h)
            h->reportFailure(QStringLiteral("The name is a folder and can not be retrieved: ") +
                             QString::fromUtf8(name));
        return;
    }
    TransferInfo t;
    t.remoteFolder = folder;
    t.fileName = name;
    t.total = it->size;
    // An edit of the file goes back only over this very copy.
    t.remoteModified = listedModification(*it);
    insertNext(
        std::make_unique<DirectDownloadGroup>(purpose, t, StepList{{"PASV", {}}, {"RETR", name}}));
}
