#include "workspace/local_upload_plan.h"

namespace {

bool InsideProject(const ProjectFolders& folders, const QString& path) {
    return !folders.local.isEmpty() && !folders.remote.isEmpty() &&
           IsInProject(folders.local, path, kLocalSeparator);
}

// The part of path below the local project folder, with '/' between names.
QByteArray RelativeToProject(const ProjectFolders& folders, const QString& path) {
    QString rest = path.mid(folders.local.size());
    while (rest.startsWith(kLocalSeparator)) {
        rest.remove(0, 1);
    }
    while (rest.endsWith(kLocalSeparator)) {
        rest.chop(1);
    }
    rest.replace(kLocalSeparator, kRemoteSeparator);
    return rest.toUtf8();
}

QString ParentOf(const QString& path, QString* name) {
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(kLocalSeparator)) {
        trimmed.chop(1);
    }
    const qsizetype cut = trimmed.lastIndexOf(kLocalSeparator);
    if (cut < 0) {
        return {};
    }
    *name = trimmed.mid(cut + 1);
    return cut == 0 ? QString(kLocalSeparator) : trimmed.left(cut);
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
    QString name;
    const QString parent = ParentOf(folderPath, &name);
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
