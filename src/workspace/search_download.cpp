#include "workspace/search_download.h"

#include "remote/remote_project_guard.h"
#include "workspace/search_delete.h"

std::vector<DownloadPart> SearchDownloadParts(const std::vector<SearchRow>& rows,
                                              const QString& localProject,
                                              const QString& remoteProject,
                                              const QString& openLocalFolder) {
    std::vector<DownloadPart> parts;
    for (const SearchDeleteBatch& batch : GroupSearchRowsByFolder(rows)) {
        const TransferMenuTarget target = DownloadTargetFor(
            localProject, remoteProject, QString::fromUtf8(batch.folder), openLocalFolder);
        if (target.folder.isEmpty())
            continue;
        DownloadPart part{batch.folder, target.folder, {}};
        for (const RemoteItem& item : batch.items)
            part.selection.append(item);
        parts.push_back(std::move(part));
    }
    return parts;
}
