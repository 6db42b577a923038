#include "workspace/project_folders.h"

#include <QFileInfo>

#include "platform/prompter.h"

namespace {

// The part of path after folder and its separator; path must be inside folder.
QString RelativePart(const QString& folder, const QString& path, QChar sep) {
    QString rest = path.mid(folder.size());
    if (rest.startsWith(sep)) {
        rest.remove(0, 1);
    }
    return rest;
}

QString JoinWith(QString a, QString b, QChar sep) {
    if (a.isEmpty()) {
        return b;
    }
    if (b.isEmpty()) {
        return a;
    }
    const bool aEnds = a.endsWith(sep);
    const bool bStarts = b.startsWith(sep);
    if (aEnds && bStarts) {
        return a + b.mid(1);
    }
    if (aEnds || bStarts) {
        return a + b;
    }
    return a + sep + b;
}

QString MapRelative(const QString& fromFolder, QChar fromSep, const QString& toFolder, QChar toSep,
                    const QString& path) {
    if (fromFolder.isEmpty() || toFolder.isEmpty() || !IsInProject(fromFolder, path, fromSep)) {
        return {};
    }
    QString rest = RelativePart(fromFolder, path, fromSep);
    if (fromSep != toSep) {
        rest.replace(fromSep, toSep);
    }
    // JoinWith would also swallow a leading separator of a name; the relative
    // part has none left, so it is exactly "one separator between".
    return JoinWith(toFolder, rest, toSep);
}

bool BothSet(const ProjectFolders& folders) {
    return !folders.local.isEmpty() && !folders.remote.isEmpty();
}

}  // namespace

QString JoinLocalPath(const QString& a, const QString& b, QChar sep) {
    if (sep == QLatin1Char('\\')) {
        QString left = a;
        QString right = b;
        left.replace(QLatin1Char('/'), sep);
        right.replace(QLatin1Char('/'), sep);
        return JoinWith(left, right, sep);
    }
    return JoinWith(a, b, sep);
}

QString JoinRemotePath(const QString& a, const QString& b) {
    QString left = a;
    QString right = b;
    left.replace(QLatin1Char('\\'), kRemoteSeparator);
    right.replace(QLatin1Char('\\'), kRemoteSeparator);
    return JoinWith(left, right, kRemoteSeparator);
}

QString ToRemoteProjectPath(const ProjectFolders& folders, const QString& localPath,
                            QChar localSep) {
    return MapRelative(folders.local, localSep, folders.remote, kRemoteSeparator, localPath);
}

QString ToLocalProjectPath(const ProjectFolders& folders, const QString& remotePath,
                           QChar localSep) {
    return MapRelative(folders.remote, kRemoteSeparator, folders.local, localSep, remotePath);
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
    if (guarded && !projectFolder.isEmpty()) {
        if (IsProjectParent(projectFolder, path, sep)) {
            prompter.showMessage(QString::fromLatin1(ProjectTexts::kCannotDeleteLocalParent));
            return false;
        }
        if (IsInProject(projectFolder, path, sep)) {
            return prompter.askYesNo(QString::fromLatin1(ProjectTexts::kDeleteSubFolder));
        }
    }
    return prompter.askYesNo(QString::fromLatin1(ProjectTexts::kDeleteFolder));
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
    TransferMenuTarget target;
    if (BothSet(folders) && IsInProject(folders.local, localFolder, localSep)) {
        QString rest = RelativePart(folders.local, localFolder, localSep);
        rest.replace(localSep, kRemoteSeparator);
        target.text = QString::fromLatin1(ProjectTexts::kUploadToProject);
        if (!rest.isEmpty()) {
            target.text += kRemoteSeparator + rest;
        }
        target.folder = ToRemoteProjectPath(folders, localFolder, localSep);
        target.inProject = true;
        return target;
    }
    target.text = QString::fromLatin1(ProjectTexts::kUploadTo) + openRemoteFolder;
    target.folder = openRemoteFolder;
    return target;
}
