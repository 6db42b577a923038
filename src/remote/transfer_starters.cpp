#include "remote/transfer_starters.h"

#include "platform/local_path.h"
#include "remote/action_engine.h"
#include "remote/direct_upload_check.h"
#include "remote/download_actions.h"
#include "remote/folder_actions.h"
#include "remote/remote_path.h"
#include "remote/upload_actions.h"
#include "session/direct_upload_group.h"
#include "session/ftp_session.h"

#include <QFileInfo>

#include <algorithm>

std::unique_ptr<CommandGroup> TransferStarters::downloadAction(const DownloadPart& part,
                                                               quintptr progressWindow) const {
    auto action = std::make_unique<DownloadAction>(
        engine_, part.remoteFolder, part.localFolder, part.selection,
        engine_.listingSequence(part.remoteFolder), progressWindow);
    action->options = options_;
    return action;
}

void TransferStarters::download(const QByteArray& remoteFolder, const QString& localFolder,
                                const RemoteItemList& selection, quintptr progressWindow) {
    std::vector<std::unique_ptr<CommandGroup>> work;
    work.push_back(downloadAction({remoteFolder, localFolder, selection}, progressWindow));
    engine_.appendTask(QStringLiteral("Start downloading files"), std::move(work),
                       QStringLiteral("Downloading files completed"), 2);
}

void TransferStarters::downloadAs(const QByteArray& remoteFolder, const QByteArray& name,
                                  const QString& target) {
    RemoteItem wanted;
    wanted.name = name;  // no kind: whatever the server lists
    RemoteItemList selection;
    selection.append(wanted);
    auto action = std::make_unique<DownloadAction>(engine_, remoteFolder, target, selection,
                                                   engine_.listingSequence(remoteFolder));
    action->options = options_;
    action->fileTarget = target;
    std::vector<std::unique_ptr<CommandGroup>> work;
    work.push_back(std::move(action));
    engine_.appendTask(QStringLiteral("Start downloading files"), std::move(work),
                       QStringLiteral("Downloading files completed"), 2);
}

void TransferStarters::download(const std::vector<DownloadPart>& parts, quintptr ownerToken) {
    if (parts.empty())
        return;
    std::vector<std::unique_ptr<CommandGroup>> work;
    for (const DownloadPart& part : parts)
        work.push_back(downloadAction(part, 0));
    engine_.appendTask(QStringLiteral("Start downloading files"), std::move(work),
                       QStringLiteral("Downloading files completed"), 2, ownerToken);
}

void TransferStarters::retry(const TransferResult& failed) {
    std::vector<std::unique_ptr<CommandGroup>> work;
    work.push_back(retryAction(failed));
    engine_.appendTask(QStringLiteral("Start downloading files"), std::move(work),
                       QStringLiteral("Downloading files completed"), 2);
}

std::unique_ptr<CommandGroup> TransferStarters::retryAction(const TransferResult& failed) const {
    RemoteItem wanted;
    wanted.name = failed.info.fileName;  // no kind: whatever the server lists
    RemoteItemList selection;
    selection.append(wanted);
    const QString localFolder = QFileInfo(failed.info.localPath).absolutePath();
    auto action =
        std::make_unique<DownloadAction>(engine_, failed.info.remoteFolder, localFolder, selection,
                                         engine_.listingSequence(failed.info.remoteFolder));
    action->retry = true;
    // The place it failed to reach, whatever name it was to have there.
    action->fileTarget = failed.info.localPath;
    return action;
}

void TransferStarters::downloadCopy(const QByteArray& remoteFolder, const QByteArray& name,
                                    const QString& localFolder, quintptr ownerToken) {
    RemoteItemList selection;
    RemoteItem file;
    file.kind = '-';
    file.name = name;
    selection.append(file);
    auto action = std::make_unique<DownloadAction>(engine_, remoteFolder, localFolder, selection,
                                                   engine_.listingSequence(remoteFolder));
    TransferAlertOptions always;
    always.fileAction = TransferAlertOptions::OverwriteAlways;
    action->options = always;
    std::vector<std::unique_ptr<CommandGroup>> work;
    work.push_back(std::move(action));
    engine_.appendTask(QStringLiteral("Start downloading file to view"), std::move(work),
                       QStringLiteral("Downloading file to view completed"), 0, ownerToken);
}

bool TransferStarters::uploadNormal(const LocalFolderRecord& local,
                                    const QByteArray& remoteFolder) {
    if (local.items.empty())
        return false;
    std::vector<std::unique_ptr<CommandGroup>> work;
    auto action = std::make_unique<UploadNormalAction>(engine_, remoteFolder, local,
                                                       engine_.listingSequence(remoteFolder));
    action->options = options_;
    work.push_back(std::move(action));
    engine_.appendTask(QStringLiteral("Start uploading normal files"), std::move(work),
                       QStringLiteral("Uploading normal files completed"), 1);
    return true;
}

bool TransferStarters::uploadProject(const QByteArray& remoteProjectFolder,
                                     const QByteArray& relativePath,
                                     const LocalFolderRecord& local) {
    return uploadProject(remoteProjectFolder, {{relativePath, local}});
}

bool TransferStarters::uploadProject(const QByteArray& remoteProjectFolder,
                                     const std::vector<ProjectUploadPart>& parts,
                                     quintptr ownerToken) {
    std::vector<std::unique_ptr<CommandGroup>> work;
    const StepList steps = engine_.listingSequence(remoteProjectFolder);
    for (const ProjectUploadPart& part : parts) {
        if (part.local.items.empty())
            return false;
        // Empty components name nothing; the walk only goes down.
        QList<QByteArray> components;
        for (const QByteArray& p : part.relativePath.split('/'))
            if (!p.isEmpty() && p != ".")
                components.append(p);
        if (components.contains(".."))
            return false;
        const QByteArray rel = components.join('/');
        if (rel.isEmpty()) {
            auto action = std::make_unique<UploadNormalAction>(engine_, remoteProjectFolder,
                                                               part.local, steps);
            action->options = options_;
            work.push_back(std::move(action));
        } else {
            auto action = std::make_unique<UploadPairAction>(engine_, remoteProjectFolder, rel,
                                                             part.local, steps);
            action->options = options_;
            work.push_back(std::move(action));
        }
    }
    if (work.empty())
        return false;
    engine_.appendTask(QStringLiteral("Start uploading project files"), std::move(work),
                       QStringLiteral("Uploading project files completed"), 1, ownerToken);
    return true;
}

void TransferStarters::fetchDirect(DirectPurpose purpose, const QByteArray& folder,
                                   const QByteArray& name, quintptr ownerToken) {
    QString start, completed;
    switch (purpose) {
        case DirectPurpose::ConcernedFile:
            start = QStringLiteral("Start retreiving concerned file");
            completed = QStringLiteral("Retreiving concerned file completed");
            break;
        case DirectPurpose::Viewer:
            start = QStringLiteral("Start retreiving FTP wizard file");
            completed = QStringLiteral("Retreiving FTP wizard file completed");
            break;
        case DirectPurpose::Stream:
            start = QStringLiteral("Start retreiving file");
            completed = QStringLiteral("Retreiving file completed");
            break;
    }
    std::vector<std::unique_ptr<CommandGroup>> work;
    work.push_back(std::make_unique<DirectDownloadAction>(engine_, purpose, folder, name,
                                                          engine_.listingSequence(folder)));
    engine_.appendTask(start, std::move(work), completed, 0, ownerToken);
}

std::vector<std::unique_ptr<CommandGroup>> DirectUploadWork(ActionEngine& engine,
                                                            const QByteArray& folder,
                                                            const QByteArray& name,
                                                            const QByteArray& content,
                                                            bool learnTime) {
    TransferInfo t;
    t.remoteFolder = folder;
    t.fileName = name;
    t.publish.options = engine.publish;
    std::vector<std::unique_ptr<CommandGroup>> work;
    auto group = std::make_unique<DirectUploadGroup>(
        t, content, StepList{{"CWD", folder}, {"PASV", {}}, {"STOR", name}});
    group->onResult = [&engine](const TransferInfo& info, qint64 position, bool success) {
        engine.announceTransfer(info, position, success);
    };
    work.push_back(std::move(group));
    // A view showing the folder shows the file's new size and time.
    if (learnTime)
        work.push_back(std::make_unique<DirectUploadListedAction>(
            engine, folder, engine.listingSequence(folder), name));
    else if (engine.isShown(folder))
        work.push_back(
            std::make_unique<RefreshFolderAction>(engine, folder, engine.listingSequence(folder)));
    return work;
}

void TransferStarters::uploadDirect(const QByteArray& folder, const QByteArray& name,
                                    const QByteArray& content, bool concernedFile,
                                    std::optional<FetchedCopy> fetched) {
    std::vector<std::unique_ptr<CommandGroup>> work;
    // Sizes compare only where the bytes travel as they are stored.
    if (fetched && engine_.session().binaryTransfers())
        work.push_back(std::make_unique<DirectUploadCheckAction>(
            engine_, folder, engine_.listingSequence(folder), name, content, *fetched,
            concernedFile));
    else
        work = DirectUploadWork(engine_, folder, name, content);
    if (concernedFile)
        engine_.appendTask(QStringLiteral("Start uploading concerned file"), std::move(work),
                           QStringLiteral("Uploading concerned file completed"), 0);
    else
        engine_.appendTask(QStringLiteral("Start uploading direct file"), std::move(work),
                           QStringLiteral("Uploading direct file completed"), 0);
}

std::vector<ProjectUploadPart> ProjectUploadParts(const QString& localProject,
                                                  const std::vector<ProjectFile>& files) {
    std::vector<ProjectUploadPart> parts;
    for (const ProjectFile& file : files) {
        const QByteArray folder = projectParentFolder(file.path);
        auto part = std::find_if(parts.begin(), parts.end(),
                                 [&folder](const auto& p) { return p.relativePath == folder; });
        if (part == parts.end()) {
            part = parts.insert(parts.end(), {folder, {}});
            part->local.path = file.localFolder.isEmpty()
                                   ? JoinLocalPath(localProject, QString::fromUtf8(folder))
                                   : file.localFolder;
        }
        const QByteArray name = folder.isEmpty() ? file.path : file.path.mid(folder.size() + 1);
        part->local.items.push_back({QString::fromUtf8(name), file.isFolder, file.size});
    }
    return parts;
}
