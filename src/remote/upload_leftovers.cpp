#include "remote/upload_leftovers.h"

#include "session/publish_plan.h"

#include <optional>

void PlanUploadLeftovers(FileTransfer& transfer, const std::vector<RemoteItem>& left, bool whole) {
    TransferInfo& info = transfer.info;
    std::optional<RemoteItem> best;
    if (whole && info.publish.options.atomic && !left.empty()) {
        const QByteArray version = localFileVersion(info.localPath);
        for (const RemoteItem& t : left)
            if (uploadTagOfVersion(uploadTemporaryTag(t.name), version) && t.size > 0 &&
                t.size <= info.total && (!best || t.size > best->size))
                best = t;
    }
    if (best) {
        // Stopped just before its rename, the whole file waits there: only renamed.
        info.startOffset = best->size;
        info.publish.continuesTemporary = true;
        info.publish.temporaryTag = uploadTemporaryTag(best->name);
    }
    for (const RemoteItem& other : left)
        if (!best || other.name != best->name)
            info.publish.staleTemporaries.push_back(other.name);
}
