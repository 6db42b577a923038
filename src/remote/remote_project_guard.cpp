#include "remote/remote_project_guard.h"

namespace {

constexpr QChar kSep = QLatin1Char('/');

QString RelativePart(const QString& folder, const QString& path) {
    QString rest = path.mid(folder.size());
    if (rest.startsWith(kSep))
        rest.remove(0, 1);
    return rest;
}

}  // namespace

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

RemoteDownloadTarget DownloadTargetFor(const QString& localProjectFolder,
                                       const QString& remoteProjectFolder,
                                       const QString& remoteFolder, const QString& openLocalFolder,
                                       QChar localSeparator) {
    RemoteDownloadTarget target;
    if (!localProjectFolder.isEmpty() && !remoteProjectFolder.isEmpty() &&
        IsInRemoteFolder(remoteProjectFolder, remoteFolder)) {
        QString rest = RelativePart(remoteProjectFolder, remoteFolder);
        rest.replace(kSep, localSeparator);
        target.text = QString::fromLatin1(RemoteProjectTexts::kDownloadToProject);
        target.localFolder = localProjectFolder;
        if (!rest.isEmpty()) {
            target.text += localSeparator + rest;
            if (!target.localFolder.endsWith(localSeparator))
                target.localFolder += localSeparator;
            target.localFolder += rest;
        }
        target.inProject = true;
        return target;
    }
    target.text = QString::fromLatin1(RemoteProjectTexts::kDownloadTo) + openLocalFolder;
    target.localFolder = openLocalFolder;
    return target;
}
