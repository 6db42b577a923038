#include "remote/direct_upload_check.h"

#include "remote/action_engine.h"
#include "remote/remote_path.h"
#include "remote/transfer_starters.h"
#include "session/log_line.h"

void DirectUploadCheckAction::process(const RemoteItemList& items) {
    const QByteArray path = joinRemotePath(folder, name);
    const std::optional<RemoteItem> now = items.itemOf(name);
    QHash<QByteArray, qint64>& shown = engine().changesShown;
    const bool changed = now && now->kind == '-' && now->size != fetchedSize;
    if (changed && shown.value(path, -1) != now->size) {
        shown.insert(path, now->size);
        if (GroupHost* h = host())
            h->reportFailure(QStringLiteral("Not uploaded, %1 changed on the server since it was "
                                            "fetched (%2 bytes then, %3 now): upload again to "
                                            "replace it, or download it again to see the change")
                                 .arg(displayText(path))
                                 .arg(fetchedSize)
                                 .arg(now->size));
        TransferInfo info;
        info.remoteFolder = folder;
        info.fileName = name;
        engine().announceTransfer(info, 0, false);
        return;
    }
    shown.remove(path);
    for (auto& group : DirectUploadWork(engine(), folder, name, content))
        insertNext(std::move(group));
}
