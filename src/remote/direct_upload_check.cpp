#include "remote/direct_upload_check.h"

#include "remote/action_engine.h"
#include "remote/download_actions.h"
#include "remote/remote_list_columns.h"
#include "remote/remote_path.h"
#include "remote/transfer_starters.h"
#include "session/log_line.h"

namespace {

QString changeText(const FetchedCopy& then, const RemoteItem& now) {
    if (now.size != then.size)
        return QStringLiteral("%1 bytes then, %2 now").arg(then.size).arg(now.size);
    // As the server's list shows the time.
    return QStringLiteral("the same size, modified %1 now")
        .arg(RemoteDateText(RemoteItemView::of(now)));
}

}  // namespace

void DirectUploadCheckAction::process(const RemoteItemList& items) {
    // The views show what was found, the change that may stop the upload too.
    if (engine().isShown(folder))
        engine().announceListing(*this, items);
    const QByteArray path = joinRemotePath(folder, name);
    const QByteArray key =
        (concernedFile ? QByteArrayLiteral("concerned ") : QByteArrayLiteral("editor ")) + path;
    const std::optional<RemoteItem> now = items.itemOf(name);
    QHash<QByteArray, QByteArray>& shown = engine().changesShown;
    const QByteArray modified = now ? listedModification(*now) : QByteArray();
    const QByteArray seen = now ? QByteArray::number(now->size) + ' ' + modified : "gone";
    // A time the fetch did not learn (the file was sent since) checks the size only.
    const bool changed =
        !now || (now->kind == '-' && (now->size != fetched.size || (!fetched.modified.isEmpty() &&
                                                                    modified != fetched.modified)));
    if (changed && shown.value(key) != seen) {
        shown.insert(key, seen);
        const QString text =
            now ? QStringLiteral(
                      "Not uploaded, %1 changed on the server since it was fetched "
                      "(%2): upload again to replace it, or download it again to see "
                      "the change")
                      .arg(displayText(path), changeText(fetched, *now))
                : QStringLiteral(
                      "Not uploaded, %1 is no longer on the server (renamed, moved or "
                      "deleted since it was fetched): upload again to store it there "
                      "anew")
                      .arg(displayText(path));
        if (GroupHost* h = host())
            h->reportFailure(text);
        TransferInfo info;
        info.remoteFolder = folder;
        info.fileName = name;
        engine().announceTransfer(info, 0, false);
        return;
    }
    shown.remove(key);
    for (auto& group : DirectUploadWork(engine(), folder, name, content, true))
        insertNext(std::move(group));
}

void DirectUploadListedAction::process(const RemoteItemList& items) {
    RefreshFolderAction::process(items);
    const std::optional<RemoteItem> now = items.itemOf(name);
    if (now && now->kind == '-')
        engine().announceDirectUploadListed(folder, name, now->size, listedModification(*now));
}
