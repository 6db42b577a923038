#include "remote/download_actions.h"

#include "remote/action_engine.h"
#include "remote/local_name_guard.h"
#include "remote/remote_path.h"
#include "remote/remote_time.h"
#include "remote/transfer_decision.h"
#include "session/direct_download_group.h"
#include "session/download_file_group.h"
#include "session/ftp_session.h"

#include <QDir>
#include <QFileInfo>

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
        if (!QDir().mkdir(prefix)) {
            *reason = QStringLiteral("can not create ") + prefix;
            return false;
        }
    }
    return true;
}

void DownloadAction::process(const RemoteItemList& listed) {
    ActionEngine& e = engine();
    GroupHost* h = host();
    QString reason;
    if (!makeLocalFolder(localFolder, &reason)) {
        if (h)
            h->reportFailure(QStringLiteral("Download of %1 stopped: %2")
                                 .arg(QString::fromUtf8(folder), reason));
        return;
    }
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
    }
    // The folder as made: "a/x/../b" must not need a folder x to exist, and
    // the views know it by its plain name.
    const QString localPath = QDir::cleanPath(QDir::fromNativeSeparators(localFolder));
    const QDir local(localPath);
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
    for (const RemoteItem& it : items) {
        if (it.kind == 'd' || !e.kindFilter.passes(it.kind) || unsafe(it))
            continue;
        const QString target = local.filePath(localNameOf(it.name));
        const QFileInfo info(target);
        if (info.exists() && !info.isFile()) {
            if (h)
                h->reportFailure(QStringLiteral("Not downloaded, a local folder or other entry "
                                                "has its name: ") +
                                 target);
            continue;
        }
        const TransferDecision d = decideDownload(options ? *options : e.downloadOptions,
                                                  info.exists(), info.size(), it.size, rest);
        if (d.kind == TransferDecision::Skip)
            continue;
        TransferInfo t;
        t.remoteFolder = folder;
        t.fileName = it.name;
        t.localPath = target;
        t.total = it.size;
        t.startOffset = d.kind == TransferDecision::Resume ? d.offset : 0;
        t.publish.options = e.publish;
        // Only MLSD tells the time to the second; otherwise MDTM is asked.
        if (const auto listed = listedTime(it, mlsd); mlsd && listed && listed->precision == 1)
            t.publish.remoteTime = listed->utc;
        StepList steps{{"PASV", {}}};
        if (d.kind == TransferDecision::Resume)
            steps.append({"REST", QByteArray::number(d.offset)});
        steps.append({"RETR", it.name});
        auto g = std::make_unique<DownloadFileGroup>(t, steps);
        g->onResult = [&e](const TransferResult& r) { e.announceTransfer(r); };
        insertNext(std::move(g));
    }
    for (const RemoteItem& it : items) {
        if (it.kind != 'd' || unsafe(it))
            continue;
        const QByteArray sub = joinRemotePath(folder, it.name);
        auto action = std::make_unique<DownloadAction>(e, sub, local.filePath(localNameOf(it.name)),
                                                       RemoteItemList(), e.listingSequence(sub),
                                                       progressWindow);
        action->options = options;
        insertNext(std::move(action));
    }
    insertNext(std::make_unique<FakeGroup>(FakeKind::DownloadToFolder, 0, QString(), localPath));
}

DownloadAction::~DownloadAction() {
    if (finished || (!stopped() && problem().isEmpty()))
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
        one.info.localPath = QDir(localFolder).filePath(localNameOf(it.name));
        one.info.total = it.isFolder() ? -1 : it.size;
        if (it.isFolder())
            engine().announceUnfinishedFolder(one);
        else
            engine().announceTransfer(one);
    }
}

void DirectDownloadAction::process(const RemoteItemList& items) {
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
    insertNext(
        std::make_unique<DirectDownloadGroup>(purpose, t, StepList{{"PASV", {}}, {"RETR", name}}));
}
