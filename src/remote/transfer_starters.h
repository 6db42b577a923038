#pragma once

#include "remote/fetched_copy.h"
#include "remote/local_folder_record.h"
#include "remote/remote_item_list.h"
#include "remote/transfer_alert_options.h"
#include "session/direct_purpose.h"
#include "session/transfer_info.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class ActionEngine;
class CommandGroup;

// Files of one remote folder fetched into a local folder, as a part of a larger download.
struct DownloadPart {
    QByteArray remoteFolder;
    QString localFolder;
    RemoteItemList selection;
};

// Local items stored at a place below the remote project folder, as a part of a
// larger project upload.
struct ProjectUploadPart {
    QByteArray relativePath;
    LocalFolderRecord local;
};

// A file below the project folder (its path there, '/'-separated) and its size,
// or a folder that goes up whole.
struct ProjectFile {
    QByteArray path;
    qint64 size = 0;
    bool isFolder = false;
    // Where it is read from when its folders are spelt otherwise locally
    // (paired without regard to case); empty: the path's twin.
    QString localFolder = {};
};
// The parts that store these files: one a folder, folders in the order they
// first appear, each reading from its twin below `localProject`.
std::vector<ProjectUploadPart> ProjectUploadParts(const QString& localProject,
                                                  const std::vector<ProjectFile>& files);

// The work that stores bytes held in memory as folder/name, and lists the
// folder after it when a view shows it or (learnTime) the editor is to learn
// the stored copy's time.
std::vector<std::unique_ptr<CommandGroup>> DirectUploadWork(ActionEngine& engine,
                                                            const QByteArray& folder,
                                                            const QByteArray& name,
                                                            const QByteArray& content,
                                                            bool learnTime = false);

// The transfer starters: each appends its start entry, its work and its
// completed entry, then asks the session to send. The file-action dialog, when
// the options ask for it, is the view's to show before calling these.
class TransferStarters {
public:
    explicit TransferStarters(ActionEngine& engine) : engine_(engine) {}
    // Transfers that decide by these file-action options, not the engine's.
    TransferStarters(ActionEngine& engine, const TransferAlertOptions& options)
        : engine_(engine), options_(options) {}

    // Downloads the selected entries of a remote folder (all when the selection
    // is empty) into a local folder.
    void download(const QByteArray& remoteFolder, const QString& localFolder,
                  const RemoteItemList& selection = RemoteItemList(), quintptr progressWindow = 0);
    // Downloads one entry named by a path: a file is stored as `target`, a
    // folder goes into the folder `target` as download() places it.
    void downloadAs(const QByteArray& remoteFolder, const QByteArray& name, const QString& target);
    // Several folders' entries as one task, folder after folder; the completed
    // entry names the owner when there is one.
    void download(const std::vector<DownloadPart>& parts, quintptr ownerToken = 0);
    // Fetches one file whole over whatever the local folder holds under its
    // name (a private copy to view); the completed entry names the owner.
    void downloadCopy(const QByteArray& remoteFolder, const QByteArray& name,
                      const QString& localFolder, quintptr ownerToken);
    // Stores local items in a remote folder; false (nothing queued) when there
    // are none.
    bool uploadNormal(const LocalFolderRecord& local, const QByteArray& remoteFolder);
    // Stores local items at the same relative place below the remote project
    // folder, creating the folders on the way.
    bool uploadProject(const QByteArray& remoteProjectFolder, const QByteArray& relativePath,
                       const LocalFolderRecord& local);
    // Several places' items as one task, each walk in turn; false (nothing
    // queued) when a part holds no items or a path that leaves the project.
    // The completed entry names the owner when there is one.
    bool uploadProject(const QByteArray& remoteProjectFolder,
                       const std::vector<ProjectUploadPart>& parts, quintptr ownerToken = 0);
    // Fetches a file whose download failed once more, continuing the data it
    // kept where the server's file is still the same (whatever the file action
    // says), else whole. The folder is listed first, for its size and date.
    void retry(const TransferResult& failed);
    // That download as the one action of a task yet to be made.
    std::unique_ptr<CommandGroup> retryAction(const TransferResult& failed) const;
    // Fetches one file into memory for its purpose; the completed entry names
    // the owner, so the asker knows its fetch is over even when the file was
    // not there to fetch.
    void fetchDirect(DirectPurpose purpose, const QByteArray& folder, const QByteArray& name,
                     quintptr ownerToken = 0);
    // Stores bytes held in memory as one file: the concerned file or a file
    // edited in a wizard. With the copy it was fetched from, a copy of another
    // size or time on the server is not replaced unasked (see
    // DirectUploadCheckAction).
    void uploadDirect(const QByteArray& folder, const QByteArray& name, const QByteArray& content,
                      bool concernedFile, std::optional<FetchedCopy> fetched = std::nullopt);

private:
    std::unique_ptr<CommandGroup> downloadAction(const DownloadPart& part,
                                                 quintptr progressWindow) const;
    ActionEngine& engine_;
    std::optional<TransferAlertOptions> options_;
};
