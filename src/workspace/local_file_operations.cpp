#include "workspace/local_file_operations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

#include "platform/path_containment.h"
#include "platform/prompter.h"
#include "workspace/local_listing.h"

namespace {

constexpr QDir::Filters kEverything =
    QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;

// True when path is folder or lies below it, after resolving links, with the
// exact letter case of this file system.
bool IsSameOrBelowOnDisk(const QString& path, const QString& folder) {
    const QString p = QFileInfo(path).canonicalFilePath();
    const QString f = QFileInfo(folder).canonicalFilePath();
    return IsSameOrBelow(f, p);
}

}  // namespace

bool CopyLocalFile(const QString& source, const QString& target) {
    // Only regular files: reading a fifo or a device would never end.
    if (!QFileInfo(source).isFile() || target.isEmpty()) {
        return false;
    }
    if (!LocalNameTaken(target)) {
        return QFile::copy(source, target);
    }
    const QFileInfo targetInfo(target);
    if (targetInfo.isDir() && !targetInfo.isSymLink()) {
        return false;
    }
    QString temporary;
    for (int k = 1;; ++k) {
        temporary = target + QStringLiteral(".part") + QString::number(k);
        if (!LocalNameTaken(temporary)) {
            break;
        }
    }
    if (!QFile::copy(source, temporary)) {
        QFile::remove(temporary);
        return false;
    }
    // rename(2) replaces the target (a link as a link) in one step.
    if (std::rename(QFile::encodeName(temporary).constData(),
                    QFile::encodeName(target).constData()) != 0) {
        QFile::remove(temporary);
        return false;
    }
    return true;
}

namespace {

void CopyFolderTree(const QString& source, const QString& target, PasteResult& result) {
    if (!QDir().mkdir(target)) {
        result.failed << source;
        return;
    }
    const QFileInfoList infos = QDir(source).entryInfoList(kEverything, QDir::Unsorted);
    for (const QFileInfo& info : infos) {
        const QString from = JoinLocalPath(source, info.fileName());
        const QString to = JoinLocalPath(target, info.fileName());
        if (info.isDir()) {
            if (info.isSymLink()) {
                result.skipped << from;
            } else {
                CopyFolderTree(from, to, result);
            }
        } else if (info.isFile()) {
            if (!CopyLocalFile(from, to)) {
                result.failed << from;
            }
        } else {
            result.skipped << from;
        }
    }
}

bool RemoveEntry(const QString& path) {
    // Removes a link itself, never what it points to.
    return QFile::remove(path);
}

}  // namespace

bool LocalNameTaken(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString UniqueCopyName(const QString& folder, const QString& name) {
    if (!LocalNameTaken(JoinLocalPath(folder, name))) {
        return name;
    }
    const QString first = QStringLiteral("Copy of ") + name;
    if (!LocalNameTaken(JoinLocalPath(folder, first))) {
        return first;
    }
    for (int k = 2;; ++k) {
        const QString candidate = QStringLiteral("Copy (%1) of ").arg(k) + name;
        if (!LocalNameTaken(JoinLocalPath(folder, candidate))) {
            return candidate;
        }
    }
}

PasteResult PasteItems(const CopyBuffer& buffer, const QString& destination) {
    PasteResult result;
    for (const LocalItemRef& item : buffer.items) {
        const QString source = JoinLocalPath(buffer.sourceFolder, item.name);
        const QFileInfo info(source);
        if (info.isDir()) {
            if (info.isSymLink()) {
                result.skipped << source;
                continue;
            }
            if (IsSameOrBelowOnDisk(destination, source)) {
                result.failed << source;
                continue;
            }
        }
        const QString target = JoinLocalPath(destination, UniqueCopyName(destination, item.name));
        if (info.isDir()) {
            const qsizetype failedBefore = result.failed.size();
            CopyFolderTree(source, target, result);
            if (QFileInfo(target).isDir()) {
                result.pasted << target;
            } else if (result.failed.size() == failedBefore) {
                result.failed << source;
            }
        } else if (info.isFile()) {
            if (CopyLocalFile(source, target)) {
                result.pasted << target;
            } else {
                result.failed << source;
            }
        } else if (info.exists() || info.isSymLink()) {
            result.skipped << source;
        } else {
            result.failed << source;
        }
    }
    return result;
}

bool DeleteLocalFolder(const QString& path, int showFlags) {
    const QFileInfo info(path);
    if (info.isSymLink()) {
        return RemoveEntry(path);
    }
    // The file-system root is never a folder to empty.
    if (path.isEmpty() || !info.isDir() || info.canonicalFilePath() == QLatin1String("/")) {
        return false;
    }
    const LocalListing listing = ListLocalFolder(path, showFlags);
    for (const LocalEntry& entry : listing.entries) {
        if (entry.kind != QLatin1Char('d') || entry.isSymLink) {
            RemoveEntry(JoinLocalPath(path, entry.name));
        }
    }
    for (const LocalEntry& entry : listing.entries) {
        if (entry.kind == QLatin1Char('d') && !entry.isSymLink) {
            DeleteLocalFolder(JoinLocalPath(path, entry.name), showFlags);
        }
    }
    return QDir().rmdir(path);
}

QStringList DeleteLocalItems(const QString& folder, const std::vector<LocalItemRef>& items,
                             int showFlags) {
    QStringList failed;
    for (const LocalItemRef& item : items) {
        if (item.name.isEmpty()) {
            continue;
        }
        const QString path = JoinLocalPath(folder, item.name);
        const QFileInfo info(path);
        // What is on disk decides: a link to a folder goes as a link.
        const bool ok = (info.isDir() && !info.isSymLink()) ? DeleteLocalFolder(path, showFlags)
                                                            : RemoveEntry(path);
        if (!ok) {
            failed << path;
        }
    }
    return failed;
}

bool CanDropLocal(const QString& destination, const QString& source,
                  const std::vector<LocalItemRef>& items, QChar sep) {
    if (destination == source) {
        return false;
    }
    if (destination.size() >= source.size()) {
        for (const LocalItemRef& item : items) {
            if (IsInProject(JoinLocalPath(source, item.name, sep), destination, sep)) {
                return false;
            }
        }
    }
    return true;
}

MoveResult MoveLocalItems(const QString& source, const QString& destination,
                          const std::vector<LocalItemRef>& items, const QString& projectFolder,
                          Prompter& prompter) {
    MoveResult result;
    for (const LocalItemRef& item : items) {
        if (item.isFolder &&
            !ConfirmMoveLocalFolder(projectFolder, JoinLocalPath(source, item.name), prompter)) {
            result.cancelled = true;
            return result;
        }
    }
    for (const LocalItemRef& item : items) {
        const QString from = JoinLocalPath(source, item.name);
        const QString to = JoinLocalPath(destination, item.name);
        const bool ok = !item.name.isEmpty() && !LocalNameTaken(to) && QDir().rename(from, to);
        if (ok) {
            result.moved << to;
        } else {
            result.failed << from;
            prompter.showMessage(QString::fromLatin1(LocalTexts::kCannotMove) + from);
        }
    }
    return result;
}

bool IsPlainLocalName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

bool CreateLocalFolder(const QString& parent, const QString& name) {
    if (!IsPlainLocalName(name) || !QFileInfo(parent).isDir()) {
        return false;
    }
    return QDir().mkdir(JoinLocalPath(parent, name));
}

RenameOutcome RenameLocalItem(const QString& folder, const QString& oldName,
                              const QString& newName) {
    if (newName == oldName) {
        return RenameOutcome::Unchanged;
    }
    if (!IsPlainLocalName(newName) || !IsPlainLocalName(oldName)) {
        return RenameOutcome::Failed;
    }
    const QString from = JoinLocalPath(folder, oldName);
    const QString to = JoinLocalPath(folder, newName);
    // A change of letter case alone names the same entry on case-blind disks.
    const bool caseOnly = newName.compare(oldName, Qt::CaseInsensitive) == 0;
    if (!caseOnly && LocalNameTaken(to)) {
        return RenameOutcome::Failed;
    }
    if (caseOnly && LocalNameTaken(to) &&
        QFileInfo(to).canonicalFilePath() != QFileInfo(from).canonicalFilePath()) {
        return RenameOutcome::Failed;
    }
    return QDir().rename(from, to) ? RenameOutcome::Renamed : RenameOutcome::Failed;
}
