#pragma once

#include "remote/listing_action.h"
#include "remote/local_folder_record.h"
#include "remote/transfer_alert_options.h"

#include <optional>

// Stores local items into the listed remote folder: the files, then the folders
// it creates, a refresh of the folder, then one further upload per subfolder.
class UploadNormalAction : public ListingAction {
public:
    UploadNormalAction(ActionEngine& engine, QByteArray remoteFolder, LocalFolderRecord local,
                       const StepList& steps)
        : ListingAction(engine, ActionKind::UploadNormal, std::move(remoteFolder), steps),
          local(std::move(local)) {}
    // Stopped or failed before its listing was dealt with: the work it stood
    // for is told, so that it can be retried.
    ~UploadNormalAction() override;

    // Queued by its parent folder's upload, which may still have to make the
    // folder: unfinished, it is told as that one folder of its parent.
    bool subfolder = false;
    LocalFolderRecord local;
    // The file action for this upload and its subfolders instead of the
    // engine's (a retry decides its own).
    std::optional<TransferAlertOptions> options;

protected:
    void process(const RemoteItemList& items) override;
};

// Walks down the relative path below the remote project folder, creating the
// folders that are missing, and then hands over to a normal upload.
class UploadPairAction : public ListingAction {
public:
    UploadPairAction(ActionEngine& engine, QByteArray remoteFolder, QByteArray relativePath,
                     LocalFolderRecord local, const StepList& steps, bool createdComponent = false)
        : ListingAction(engine, ActionKind::UploadPair, std::move(remoteFolder), steps),
          relativePath(std::move(relativePath)),
          local(std::move(local)),
          createdComponent(createdComponent) {}

    QByteArray relativePath;  // components separated by '/', possibly empty
    LocalFolderRecord local;
    // This listing follows an MKD of the next component: it is not tried again.
    bool createdComponent;
    // Handed on to the folder's upload; none: the engine's.
    std::optional<TransferAlertOptions> options;

protected:
    void process(const RemoteItemList& items) override;
};
