#include "remote/upload_actions.h"

#include "remote/action_engine.h"
#include "remote/file_transfer.h"
#include "remote/folder_actions.h"
#include "remote/remote_path.h"
#include "remote/remote_time.h"
#include "remote/transfer_decision.h"
#include "remote/transfer_pool.h"
#include "remote/upload_leftovers.h"
#include "session/ftp_session.h"
#include "session/publish_plan.h"
#include "session/stored_size_check.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPointer>

void UploadNormalAction::process(const RemoteItemList& items) {
    ActionEngine& e = engine();
    GroupHost* h = host();
    const bool rest = e.session().serverSupportsRest();
    const QDir localDir(local.path);
    // The temporaries left in this folder, by the file they stand for.
    QHash<QByteArray, std::vector<RemoteItem>> temporaries;
    for (const RemoteItem& it : items)
        if (it.kind == '-' && isUploadTemporaryName(it.name))
            temporaries[uploadTemporaryTarget(it.name)].push_back(it);
    // Direct stores are checked by the listing after the folder's files: one
    // round trip a folder instead of one a file.
    std::shared_ptr<StoredSizeCheck> sizeCheck;
    if (!e.publish.atomic && e.session().checksStoredSize()) {
        QPointer<ActionEngine> guard(&e);
        sizeCheck = std::make_shared<StoredSizeCheck>([guard](const TransferResult& r) {
            if (guard)
                guard->announceTransfer(r);
        });
    }

    int skipped = 0;
    for (const LocalItem& item : local.items) {
        if (item.isFolder)
            continue;
        const QByteArray name = QFile::encodeName(item.name);
        const std::optional<RemoteItem> remote = items.itemOf(name);
        if (remote && remote->kind != '-') {
            if (h)
                h->reportFailure(QStringLiteral("Not uploaded, the server has a folder or other "
                                                "entry of that name: ") +
                                 QString::fromUtf8(joinRemotePath(folder, name)));
            continue;
        }
        TransferDecision d = decideUpload(options ? *options : e.uploadOptions, remote.has_value(),
                                          item.size, remote ? remote->size : 0, rest);
        const std::vector<RemoteItem> left = temporaries.value(name);
        if (d.kind == TransferDecision::Skip) {
            ++skipped;
            // Nothing will continue them.
            StepList deletes;
            for (const RemoteItem& t : left)
                deletes.append({"DELE", joinRemotePath(folder, t.name)});
            if (!deletes.isEmpty())
                insertNextCommands(deletes);
            continue;
        }
        FileTransfer t;
        t.direction = FileTransfer::Upload;
        t.info.remoteFolder = folder;
        t.info.fileName = name;
        t.info.localPath = localDir.filePath(item.name);
        t.info.total = item.size;
        t.info.publish.options = e.publish;
        t.info.publish.sizeCheck = sizeCheck;
        t.info.startOffset = d.kind == TransferDecision::Resume ? d.offset : 0;
        PlanUploadLeftovers(t, left, d.kind == TransferDecision::Whole);
        queueFileTransfer(t);
    }
    e.reportSkippedFiles(skipped, displayText(folder));

    std::vector<LocalFolderRecord> remembered;
    std::vector<QByteArray> rememberedNames;
    for (const LocalItem& item : local.items) {
        if (!item.isFolder)
            continue;
        const QByteArray name = QFile::encodeName(item.name);
        const char kind = items.kindOf(name);
        if (kind != 0 && kind != 'd' && kind != 'l') {
            if (h)
                h->reportFailure(QStringLiteral("Folder not uploaded, the server has a file of "
                                                "that name: ") +
                                 QString::fromUtf8(joinRemotePath(folder, name)));
            continue;
        }
        LocalFolderRecord sub;
        sub.path = localDir.filePath(item.name);
        sub.progressWindow = local.progressWindow;
        QStringList skipped;
        if (!e.localReader || !e.localReader(sub.path, &sub.items, &skipped)) {
            if (h)
                h->reportFailure(QStringLiteral("Can not read local folder ") + sub.path);
            continue;
        }
        e.reportSkippedLocal(h, skipped);
        if (kind == 0)
            insertNextCommands({{"CWD", folder}, {"MKD", name}});
        if (!sub.items.empty()) {
            remembered.push_back(std::move(sub));
            rememberedNames.push_back(name);
        }
    }

    RefreshTarget target;
    target.flag = e.uploadRefreshFlag;
    target.window = local.progressWindow;
    target.mode = RefreshMode::AfterUpload;
    auto refresh =
        std::make_unique<RefreshFolderAction>(e, folder, e.listingSequence(folder), target);
    refresh->sizeCheck = std::move(sizeCheck);
    insertNext(std::move(refresh));

    for (size_t i = 0; i < remembered.size(); ++i) {
        const QByteArray sub = joinRemotePath(folder, rememberedNames[i]);
        const std::optional<RemoteItem> listed = items.itemOf(rememberedNames[i]);
        if (!mayEnter(sub, listed ? *listed : RemoteItem()))
            continue;
        auto action = std::make_unique<UploadNormalAction>(e, sub, std::move(remembered[i]),
                                                           e.listingSequence(sub));
        action->options = options;
        action->subfolder = true;
        insertInWalk(std::move(action));
    }
}

UploadNormalAction::~UploadNormalAction() {
    if (finished || (!stopped() && problem().isEmpty()))
        return;
    QByteArray parent, name;
    if (subfolder && splitRemotePath(folder, &parent, &name)) {
        // Its folder may never have been made (the MKD went with the queue):
        // a retry must go through the parent, which makes it.
        TransferResult r;
        r.info.socketKind = int(SocketKind::UploadFile);
        r.info.remoteFolder = parent;
        r.info.fileName = name;
        r.info.localPath = local.path;
        r.info.total = -1;
        r.error = problem();
        r.stopped = stopped();
        engine().announceUnfinishedFolder(r);
        return;
    }
    const QDir localDir(local.path);
    for (const LocalItem& item : local.items) {
        TransferResult r;
        r.info.socketKind = int(SocketKind::UploadFile);
        r.info.remoteFolder = folder;
        r.info.fileName = QFile::encodeName(item.name);
        r.info.localPath = localDir.filePath(item.name);
        r.info.total = item.isFolder ? -1 : item.size;
        r.error = problem();
        r.stopped = stopped();
        if (item.isFolder)
            engine().announceUnfinishedFolder(r);
        else
            engine().announceTransfer(r);
    }
}

void UploadPairAction::process(const RemoteItemList& items) {
    ActionEngine& e = engine();
    const auto upload = [this, &e](const QByteArray& target) {
        auto action =
            std::make_unique<UploadNormalAction>(e, target, local, e.listingSequence(target));
        action->options = options;
        return action;
    };
    const auto walk = [this](std::unique_ptr<UploadPairAction> next) {
        next->options = options;
        return next;
    };
    if (relativePath.isEmpty()) {
        insertInWalk(upload(folder));
        return;
    }
    const qsizetype slash = relativePath.indexOf('/');
    const QByteArray component = slash < 0 ? relativePath : relativePath.left(slash);
    const QByteArray rest = slash < 0 ? QByteArray() : relativePath.mid(slash + 1);
    if (const std::optional<RemoteItem> listed = items.itemOf(component)) {
        e.announceListing(*this, items);
        const QByteArray next = joinRemotePath(folder, component);
        if (!mayEnter(next, *listed))
            return;
        // The last folder of the path is listed once, by its own upload.
        if (rest.isEmpty())
            insertInWalk(upload(next));
        else
            insertInWalk(walk(
                std::make_unique<UploadPairAction>(e, next, rest, local, e.listingSequence(next))));
        return;
    }
    if (createdComponent) {
        // The folder could not be made: trying again would never end.
        if (GroupHost* h = host())
            h->reportFailure(QStringLiteral("Can not create folder %1, project upload stopped")
                                 .arg(QString::fromUtf8(joinRemotePath(folder, component))));
        return;
    }
    // Other walks may have moved the working folder since this listing.
    StepList steps{{"CWD", folder}, {"MKD", component}};
    steps.append(e.shortListingSequence());
    insertInWalk(
        walk(std::make_unique<UploadPairAction>(e, folder, relativePath, local, steps, true)));
}
