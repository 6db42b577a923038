#include "workspace/local_upload_plan.h"

#include "platform/local_path.h"
#include "platform/path_containment.h"

namespace {

bool InsideProject(const ProjectFolders& folders, const QString& path) {
    return !folders.local.isEmpty() && !folders.remote.isEmpty() &&
           IsInProject(folders.local, path, kLocalSeparator);
}

// The part of path below the local project folder, with '/' between names.
QByteArray RelativeToProject(const ProjectFolders& folders, const QString& path) {
    QString rest = PathBelow(folders.local, path, kLocalSeparator);
    while (rest.endsWith(kLocalSeparator)) {
        rest.chop(1);
    }
    rest.replace(kLocalSeparator, kRemoteSeparator);
    return rest.toUtf8();
}

}  // namespace

LocalUploadPlan PlanListUpload(const ProjectFolders& folders, const QString& folder,
                               std::vector<LocalItem> items, const QByteArray& openRemoteFolder) {
    LocalUploadPlan plan;
    plan.record.path = folder;
    plan.record.items = std::move(items);
    if (InsideProject(folders, folder)) {
        plan.project = true;
        plan.remoteFolder = folders.remote.toUtf8();
        plan.relativePath = RelativeToProject(folders, folder);
    } else {
        plan.remoteFolder = openRemoteFolder;
    }
    plan.valid = !plan.record.items.empty() && !plan.remoteFolder.isEmpty() && !folder.isEmpty();
    return plan;
}

LocalUploadPlan PlanTreeUpload(const ProjectFolders& folders, const QString& folderPath,
                               const LocalFolderReader& readContents,
                               const QByteArray& openRemoteFolder) {
    const QString parent = LocalParentFolder(folderPath);
    const QString name = LocalBaseName(folderPath);
    const bool inside = InsideProject(folders, folderPath);
    if (inside && (parent.isEmpty() || !IsInProject(folders.local, parent, kLocalSeparator))) {
        // The project folder itself: its contents go to the remote project folder.
        std::vector<LocalItem> contents;
        QStringList skipped;
        if (!readContents || !readContents(folderPath, &contents, &skipped)) {
            return {};
        }
        return PlanListUpload(folders, folderPath, std::move(contents), openRemoteFolder);
    }
    if (parent.isEmpty() || name.isEmpty()) {
        return {};
    }
    return PlanListUpload(folders, parent, {LocalItem{name, true, 0}}, openRemoteFolder);
}
