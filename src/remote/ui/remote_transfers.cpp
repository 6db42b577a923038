#include "remote/ui/remote_transfers.h"

#include "remote/action_engine.h"
#include "remote/remote_drop_rules.h"
#include "remote/remote_item_list.h"
#include "remote/transfer_starters.h"
#include "remote/ui/file_action_dialog.h"
#include "session/ftp_session.h"

bool ConfirmFileAction(ActionEngine& engine, TransferDirection direction,
                       const TransferConflicts& conflicts, HelpViewer& help, QWidget* parent) {
    TransferAlertOptions& options =
        direction == TransferDirection::Upload ? engine.uploadOptions : engine.downloadOptions;
    if (!options.showAlert || !conflicts.worthAsking())
        return true;
    FileActionDialog dialog(direction, options, engine.session().serverSupportsRest(), help, parent,
                            &conflicts);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options = dialog.options();
    return true;
}

bool LaunchDownload(ActionEngine& engine, HelpViewer& help, QWidget* parent,
                    const QByteArray& remoteFolder, const std::vector<RemoteItem>& items,
                    const QString& localFolder, const RemoteItemList* folderListing) {
    if (remoteFolder.isEmpty() || localFolder.isEmpty())
        return false;
    TransferConflicts conflicts;
    if (!items.empty()) {
        conflicts = DownloadConflicts(items, localFolder);
    } else if (folderListing) {
        conflicts = DownloadConflicts(
            std::vector<RemoteItem>(folderListing->begin(), folderListing->end()), localFolder);
    } else {
        conflicts.targetUnknown = true;
    }
    if (!ConfirmFileAction(engine, TransferDirection::Download, conflicts, help, parent))
        return false;
    RemoteItemList selection;
    for (const RemoteItem& item : items)
        selection.append(item);
    TransferStarters(engine).download(remoteFolder, localFolder, selection);
    return true;
}

bool LaunchUpload(ActionEngine& engine, HelpViewer& help, QWidget* parent,
                  const QByteArray& remoteFolder, const std::vector<LocalFolderRecord>& records,
                  const KnownListing& known) {
    const bool any = std::any_of(records.begin(), records.end(),
                                 [](const LocalFolderRecord& r) { return !r.items.empty(); });
    if (remoteFolder.isEmpty() || !any)
        return false;
    const SharedRemoteItems listing = known ? known(remoteFolder) : nullptr;
    TransferConflicts conflicts;
    for (const LocalFolderRecord& record : records) {
        TransferConflicts c = UploadConflicts(record, listing.get());
        conflicts.targetUnknown = conflicts.targetUnknown || c.targetUnknown;
        for (TransferConflict& one : c.conflicts)
            conflicts.conflicts.push_back(std::move(one));
    }
    if (!ConfirmFileAction(engine, TransferDirection::Upload, conflicts, help, parent))
        return false;
    const RemoteUploadRoute route = UploadRouteFor(engine.remoteProjectFolder(), remoteFolder);
    TransferStarters starters(engine);
    bool queued = false;
    for (const LocalFolderRecord& record : records) {
        if (route.inProject)
            queued |=
                starters.uploadProject(engine.remoteProjectFolder(), route.relativePath, record);
        else
            queued |= starters.uploadNormal(record, remoteFolder);
    }
    return queued;
}
