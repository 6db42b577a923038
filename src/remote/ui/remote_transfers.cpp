#include "remote/ui/remote_transfers.h"

#include "remote/action_engine.h"
#include "remote/remote_drop_rules.h"
#include "remote/remote_item_list.h"
#include "remote/transfer_starters.h"
#include "remote/ui/file_action_dialog.h"
#include "session/ftp_session.h"

namespace {

bool ConfirmOptions(ActionEngine& engine, TransferDirection direction, HelpViewer& help,
                    QWidget* parent) {
    TransferAlertOptions& options =
        direction == TransferDirection::Upload ? engine.uploadOptions : engine.downloadOptions;
    if (!options.showAlert)
        return true;
    FileActionDialog dialog(direction, options, engine.session().serverSupportsRest(), help,
                            parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options = dialog.options();
    return true;
}

}  // namespace

bool LaunchDownload(ActionEngine& engine, HelpViewer& help, QWidget* parent,
                    const QByteArray& remoteFolder, const std::vector<RemoteItem>& items,
                    const QString& localFolder) {
    if (remoteFolder.isEmpty() || localFolder.isEmpty())
        return false;
    if (!ConfirmOptions(engine, TransferDirection::Download, help, parent))
        return false;
    RemoteItemList selection;
    for (const RemoteItem& item : items)
        selection.append(item);
    TransferStarters(engine).download(remoteFolder, localFolder, selection);
    return true;
}

bool LaunchUpload(ActionEngine& engine, HelpViewer& help, QWidget* parent,
                  const QByteArray& remoteFolder, const std::vector<LocalFolderRecord>& records) {
    const bool any = std::any_of(records.begin(), records.end(),
                                 [](const LocalFolderRecord& r) { return !r.items.empty(); });
    if (remoteFolder.isEmpty() || !any)
        return false;
    if (!ConfirmOptions(engine, TransferDirection::Upload, help, parent))
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
