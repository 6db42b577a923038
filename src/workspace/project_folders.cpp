#include "workspace/project_folders.h"

#include <QFileInfo>

#include "platform/program_texts.h"
#include "platform/prompter.h"

namespace {

// The twin of a path on the other side: the mapping of the transfer menus.
QString MapRelative(const ProjectSide& from, const ProjectSide& to, const QString& path) {
    const TransferMenuTarget t = ProjectTransferTarget(from, to, path, QString(), "", "");
    return t.inProject ? t.folder : QString();
}

}  // namespace

QString ToRemoteProjectPath(const ProjectFolders& folders, const QString& localPath,
                            QChar localSep) {
    return MapRelative({folders.local, localSep}, {folders.remote, kRemoteSeparator}, localPath);
}

QString ToLocalProjectPath(const ProjectFolders& folders, const QString& remotePath,
                           QChar localSep) {
    return MapRelative({folders.remote, kRemoteSeparator}, {folders.local, localSep}, remotePath);
}

bool IsUsableLocalProjectRoot(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

ProjectFolderChange SetLocalProjectFolder(const QString& current, const QString& chosen,
                                          Prompter& prompter, const StoreProjectFolder& store,
                                          const TakeProjectRoot& takeRoot) {
    if (chosen.isEmpty() || chosen.compare(current, Qt::CaseInsensitive) == 0) {
        return ProjectFolderChange::Unchanged;
    }
    if (!current.isEmpty() && !prompter.askYesNo(QString::fromLatin1(ProjectTexts::kChangeLocal))) {
        return ProjectFolderChange::Declined;
    }
    if (takeRoot && !takeRoot(chosen)) {
        prompter.showMessage(QString::fromLatin1(ProjectTexts::kLocalInvalid));
        return ProjectFolderChange::Refused;
    }
    if (store) {
        store(chosen);
    }
    return ProjectFolderChange::Stored;
}

ProjectFolderChange ClearLocalProjectFolder(const QString& current, Prompter& prompter,
                                            const StoreProjectFolder& store) {
    if (current.isEmpty()) {
        return ProjectFolderChange::Unchanged;
    }
    if (!prompter.askYesNo(QString::fromLatin1(ProjectTexts::kRemoveLocal))) {
        return ProjectFolderChange::Declined;
    }
    if (store) {
        store(QString());
    }
    return ProjectFolderChange::Stored;
}

bool ConfirmDeleteLocalFolder(const QString& projectFolder, const QString& path, bool guarded,
                              Prompter& prompter, QChar sep) {
    // The project folder itself is refused in its own page's tree too, where
    // it is the root: one Yes there deleted the whole local site for good.
    if (!projectFolder.isEmpty() && IsProjectParent(projectFolder, path, sep)) {
        prompter.showMessage(QString::fromLatin1(ProjectTexts::kCannotDeleteLocalParent));
        return false;
    }
    if (guarded && !projectFolder.isEmpty() && IsInProject(projectFolder, path, sep))
        return prompter.askYesNo(QString::fromLatin1(ProjectTexts::kDeleteSubFolder));
    return prompter.askYesNo(QString::fromLatin1(ProjectTexts::kDeleteFolder));
}

bool ConfirmDeleteLocalItems(const QString& projectFolder, const QString& folder,
                             const std::vector<LocalItemRef>& items, bool guarded,
                             Prompter& prompter, QChar sep) {
    if (guarded && !projectFolder.isEmpty()) {
        for (const LocalItemRef& item : items) {
            if (item.isFolder &&
                IsProjectParent(projectFolder, JoinLocalPath(folder, item.name, sep), sep)) {
                prompter.showMessage(QString::fromLatin1(ProjectTexts::kCannotDeleteLocalParent));
                return false;
            }
        }
    }
    return prompter.askYesNo(QString::fromLatin1(LocalTexts::kDeleteSelected));
}

bool ConfirmRenameLocalFolder(const QString& projectFolder, const QString& oldPath, bool guarded,
                              Prompter& prompter, QChar sep) {
    if (guarded && !projectFolder.isEmpty() && IsProjectParent(projectFolder, oldPath, sep)) {
        return prompter.askYesNo(QString::fromLatin1(ProjectTexts::kRenameParent));
    }
    return true;
}

bool ConfirmMoveLocalFolder(const QString& projectFolder, const QString& path, Prompter& prompter,
                            QChar sep) {
    if (!projectFolder.isEmpty() && IsProjectParent(projectFolder, path, sep)) {
        return prompter.askYesNo(QString::fromLatin1(ProjectTexts::kMoveParent));
    }
    return true;
}

TransferMenuTarget UploadMenuTarget(const ProjectFolders& folders, const QString& localFolder,
                                    const QString& openRemoteFolder, QChar localSep) {
    return ProjectTransferTarget({folders.local, localSep}, {folders.remote, kRemoteSeparator},
                                 localFolder, openRemoteFolder, ProjectTexts::kUploadToProject,
                                 ProjectTexts::kUploadTo, ProjectTexts::kNoRemoteProject);
}
