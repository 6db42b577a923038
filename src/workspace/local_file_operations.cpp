#include "workspace/local_file_operations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/path_containment.h"
#include "platform/program_texts.h"
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

void LocalWalk::step(const QString& path) {
    ++entries_;
    if (onStep) {
        onStep(entries_, path);
    }
}

void LocalWalk::fail(const QString& path, const QString& reason) {
    failures_.push_back({path, reason});
}

namespace {

void Step(LocalWalk* walk, const QString& path) {
    if (walk) {
        walk->step(path);
    }
}

void Fail(LocalWalk* walk, const QString& path, const QString& reason) {
    if (walk) {
        walk->fail(path, reason);
    }
}

bool Stopped(const LocalWalk* walk) {
    return walk && walk->stopped();
}

void SetError(QString* error, const QString& text) {
    if (error) {
        *error = text;
    }
}

// Removes one entry: a link as a link, never what it points to.
bool RemoveEntry(const QString& path, LocalWalk* walk) {
    QFile file(path);
    if (file.remove()) {
        Step(walk, path);
        return true;
    }
    Fail(walk, path, file.errorString());
    return false;
}

bool RemoveEmptyFolder(const QString& path, LocalWalk* walk) {
    if (::rmdir(QFile::encodeName(path).constData()) == 0) {
        Step(walk, path);
        return true;
    }
    Fail(walk, path, qt_error_string(errno));
    return false;
}

}  // namespace

bool CopyLocalFile(const QString& source, const QString& target, QString* error) {
    // Only regular files: reading a fifo or a device would never end.
    if (!QFileInfo(source).isFile() || target.isEmpty()) {
        SetError(error, QStringLiteral("Not a regular file"));
        return false;
    }
    if (!LocalNameTaken(target)) {
        QFile in(source);
        if (in.copy(target)) {
            return true;
        }
        SetError(error, in.errorString());
        return false;
    }
    const QFileInfo targetInfo(target);
    if (targetInfo.isDir() && !targetInfo.isSymLink()) {
        SetError(error, qt_error_string(EISDIR));
        return false;
    }
    QString temporary;
    for (int k = 1;; ++k) {
        temporary = target + QStringLiteral(".part") + QString::number(k);
        if (!LocalNameTaken(temporary)) {
            break;
        }
    }
    QFile in(source);
    if (!in.copy(temporary)) {
        SetError(error, in.errorString());
        QFile::remove(temporary);
        return false;
    }
    // rename(2) replaces the target (a link as a link) in one step.
    if (std::rename(QFile::encodeName(temporary).constData(),
                    QFile::encodeName(target).constData()) != 0) {
        SetError(error, qt_error_string(errno));
        QFile::remove(temporary);
        return false;
    }
    return true;
}

namespace {

void CopyFolderTree(const QString& source, const QString& target, PasteResult& result,
                    LocalWalk* walk) {
    if (Stopped(walk)) {
        return;
    }
    if (::mkdir(QFile::encodeName(target).constData(), 0777) != 0) {
        Fail(walk, source, qt_error_string(errno));
        result.failed << source;
        return;
    }
    Step(walk, target);
    const QFileInfoList infos = QDir(source).entryInfoList(kEverything, QDir::Unsorted);
    for (const QFileInfo& info : infos) {
        if (Stopped(walk)) {
            return;
        }
        const QString from = JoinLocalPath(source, info.fileName());
        const QString to = JoinLocalPath(target, info.fileName());
        if (info.isDir()) {
            if (info.isSymLink()) {
                result.skipped << SkippedLocalEntry(from, true);
            } else {
                CopyFolderTree(from, to, result, walk);
            }
        } else if (info.isFile()) {
            QString error;
            if (CopyLocalFile(from, to, &error)) {
                Step(walk, to);
            } else {
                Fail(walk, from, error);
                result.failed << from;
            }
        } else {
            result.skipped << SkippedLocalEntry(from, false);
        }
    }
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

PasteResult PasteItems(const CopyBuffer& buffer, const QString& destination, LocalWalk* walk) {
    PasteResult result;
    for (const LocalItemRef& item : buffer.items) {
        if (Stopped(walk)) {
            break;
        }
        const QString source = JoinLocalPath(buffer.sourceFolder, item.name);
        const QFileInfo info(source);
        if (info.isDir()) {
            if (info.isSymLink()) {
                result.skipped << SkippedLocalEntry(source, true);
                continue;
            }
            if (IsSameOrBelowOnDisk(destination, source)) {
                Fail(walk, source, QStringLiteral("A folder can not be pasted into itself"));
                result.failed << source;
                continue;
            }
        }
        const QString target = JoinLocalPath(destination, UniqueCopyName(destination, item.name));
        if (info.isDir()) {
            const qsizetype failedBefore = result.failed.size();
            CopyFolderTree(source, target, result, walk);
            if (QFileInfo(target).isDir()) {
                result.pasted << target;
            } else if (result.failed.size() == failedBefore) {
                result.failed << source;
            }
        } else if (info.isFile()) {
            QString error;
            if (CopyLocalFile(source, target, &error)) {
                Step(walk, target);
                result.pasted << target;
            } else {
                Fail(walk, source, error);
                result.failed << source;
            }
        } else if (info.exists() || info.isSymLink()) {
            result.skipped << SkippedLocalEntry(source, false);
        } else {
            Fail(walk, source, qt_error_string(ENOENT));
            result.failed << source;
        }
    }
    return result;
}

bool DeleteLocalFolder(const QString& path, int showFlags, LocalWalk* walk) {
    const QFileInfo info(path);
    if (info.isSymLink()) {
        return RemoveEntry(path, walk);
    }
    // The file-system root is never a folder to empty.
    if (path.isEmpty() || !info.isDir() || info.canonicalFilePath() == QLatin1String("/")) {
        Fail(walk, path, qt_error_string(info.exists() ? ENOTDIR : ENOENT));
        return false;
    }
    const LocalListing listing = ListLocalFolder(path, showFlags);
    for (const LocalEntry& entry : listing.entries) {
        if (Stopped(walk)) {
            return false;
        }
        if (entry.kind != QLatin1Char('d') || entry.isSymLink) {
            RemoveEntry(JoinLocalPath(path, entry.name), walk);
        }
    }
    for (const LocalEntry& entry : listing.entries) {
        if (Stopped(walk)) {
            return false;
        }
        if (entry.kind == QLatin1Char('d') && !entry.isSymLink) {
            DeleteLocalFolder(JoinLocalPath(path, entry.name), showFlags, walk);
        }
    }
    return !Stopped(walk) && RemoveEmptyFolder(path, walk);
}

QStringList DeleteLocalItems(const QString& folder, const std::vector<LocalItemRef>& items,
                             int showFlags, LocalWalk* walk) {
    QStringList failed;
    for (const LocalItemRef& item : items) {
        if (Stopped(walk)) {
            break;
        }
        if (item.name.isEmpty()) {
            continue;
        }
        const QString path = JoinLocalPath(folder, item.name);
        const QFileInfo info(path);
        // What is on disk decides: a link to a folder goes as a link.
        const bool ok = (info.isDir() && !info.isSymLink())
                            ? DeleteLocalFolder(path, showFlags, walk)
                            : RemoveEntry(path, walk);
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

bool ConfirmMoveLocalItems(const QString& source, const std::vector<LocalItemRef>& items,
                           const QString& projectFolder, Prompter& prompter) {
    for (const LocalItemRef& item : items) {
        if (item.isFolder &&
            !ConfirmMoveLocalFolder(projectFolder, JoinLocalPath(source, item.name), prompter)) {
            return false;
        }
    }
    return true;
}

MoveResult MoveLocalItems(const QString& source, const QString& destination,
                          const std::vector<LocalItemRef>& items, LocalWalk* walk) {
    MoveResult result;
    for (const LocalItemRef& item : items) {
        if (Stopped(walk)) {
            break;
        }
        const QString from = JoinLocalPath(source, item.name);
        const QString to = JoinLocalPath(destination, item.name);
        QString reason;
        if (item.name.isEmpty() || LocalNameTaken(to)) {
            reason = qt_error_string(EEXIST);
        } else if (std::rename(QFile::encodeName(from).constData(),
                               QFile::encodeName(to).constData()) != 0) {
            reason = qt_error_string(errno);
        }
        if (reason.isEmpty()) {
            Step(walk, to);
            result.moved << to;
        } else {
            Fail(walk, from, reason);
            result.failed << from;
        }
    }
    return result;
}

QString CannotMoveText(const LocalFailure& failure) {
    return QString::fromLatin1(LocalTexts::kCannotMove) + failure.path + QStringLiteral(" (") +
           failure.reason + QLatin1Char(')');
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
