#include "remote/remote_project_guard.h"

#include "platform/local_path.h"
#include "platform/program_texts.h"

std::optional<QString> RemoteDeleteRefusal(const QString& remoteProjectFolder,
                                           const std::vector<QString>& paths) {
    if (remoteProjectFolder.isEmpty())
        return std::nullopt;
    for (const QString& path : paths) {
        if (IsRemoteProjectParent(remoteProjectFolder, path))
            return QString::fromLatin1(RemoteProjectTexts::kCannotDelete);
    }
    return std::nullopt;
}

std::optional<QString> RemoteRenameRefusal(const QString& remoteProjectFolder,
                                           const QString& path) {
    if (!remoteProjectFolder.isEmpty() && IsRemoteProjectParent(remoteProjectFolder, path))
        return QString::fromLatin1(RemoteProjectTexts::kCannotRename);
    return std::nullopt;
}

RemoteProjectStep SetRemoteProjectStep(const QString& current, const QString& chosen) {
    if (chosen.isEmpty() || chosen.compare(current, Qt::CaseInsensitive) == 0)
        return RemoteProjectStep::Unchanged;
    return current.isEmpty() ? RemoteProjectStep::Store : RemoteProjectStep::AskFirst;
}

TransferMenuTarget ProjectTransferTarget(const ProjectSide& from, const ProjectSide& to,
                                         const QString& folder, const QString& openFolder,
                                         const char* projectText, const char* plainText,
                                         const char* noProjectText) {
    TransferMenuTarget target;
    const bool inProject =
        !from.projectFolder.isEmpty() && IsInProject(from.projectFolder, folder, from.separator);
    if (inProject && !to.projectFolder.isEmpty()) {
        QString rest = PathBelow(from.projectFolder, folder, from.separator);
        rest.replace(from.separator, to.separator);
        target.text = QString::fromLatin1(projectText);
        if (!rest.isEmpty())
            target.text += to.separator + rest;
        target.folder = JoinPath(to.projectFolder, rest, to.separator);
        target.inProject = true;
        return target;
    }
    target.text = QString::fromLatin1(plainText) + openFolder;
    target.folder = openFolder;
    // Working in the project, the missing project folder on the other side is why.
    if (openFolder.isEmpty())
        target.text += QString::fromLatin1(inProject ? noProjectText : ProjectTexts::kNoFolderOpen);
    return target;
}

TransferMenuTarget DownloadTargetFor(const QString& localProjectFolder,
                                     const QString& remoteProjectFolder,
                                     const QString& remoteFolder, const QString& openLocalFolder,
                                     QChar localSeparator) {
    return ProjectTransferTarget(
        {remoteProjectFolder, QLatin1Char('/')}, {localProjectFolder, localSeparator}, remoteFolder,
        openLocalFolder, RemoteProjectTexts::kDownloadToProject, RemoteProjectTexts::kDownloadTo,
        RemoteProjectTexts::kNoLocalProject);
}
