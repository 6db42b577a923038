#pragma once

#include "remote/listing_action.h"

#include "remote/transfer_alert_options.h"

#include <QString>

#include <optional>

// Downloads the listed folder into a local folder: one transfer per file, then
// one further download per subfolder, then a refresh of the local folder.
class DownloadAction : public ListingAction {
public:
    DownloadAction(ActionEngine& engine, QByteArray remoteFolder, QString localFolder,
                   RemoteItemList selection, const StepList& steps, quintptr progressWindow = 0)
        : ListingAction(engine, ActionKind::Download, std::move(remoteFolder), steps),
          localFolder(std::move(localFolder)),
          selection(std::move(selection)),
          progressWindow(progressWindow) {}
    // Stopped or failed before its listing was dealt with: the work it stood
    // for is told, so that it can be retried.
    ~DownloadAction() override;

    QString localFolder;
    RemoteItemList selection;  // empty: every entry
    quintptr progressWindow;
    // With one entry selected: the local path it is stored as when it is a
    // file, instead of its own name in localFolder ("get FILE NEWNAME", as cp
    // places a file). A folder still goes into localFolder.
    QString fileTarget;
    // The file action for this download and its subfolders instead of the
    // engine's (a retry decides its own).
    std::optional<TransferAlertOptions> options;
    // A retry: the selected files are fetched whatever the file action says,
    // continuing the data an earlier attempt kept where it can.
    bool retry = false;

protected:
    void process(const RemoteItemList& items) override;
};

// Fetches one named file into memory for its purpose, once the folder's
// listing shows it.
class DirectDownloadAction : public ListingAction {
public:
    DirectDownloadAction(ActionEngine& engine, DirectPurpose purpose, QByteArray folder,
                         QByteArray name, const StepList& steps)
        : ListingAction(engine, ActionKind::DirectDownload, std::move(folder), steps),
          purpose(purpose),
          name(std::move(name)) {}

    DirectPurpose purpose;
    QByteArray name;

protected:
    void process(const RemoteItemList& items) override;
};

// Makes a local folder and the folders above it. False, with a reason, when a
// part of the path is a file or cannot be made.
bool makeLocalFolder(const QString& folder, QString* reason);

// A listed entry's date and time as one text, for telling a changed file.
QByteArray listedModification(const RemoteItem& item);
