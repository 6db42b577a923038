#include "app/settings_lock.h"

#include <QDir>
#include <QFile>

#include <unistd.h>
#include <cerrno>

namespace {

// The system's words for why nothing can be written in the folder; empty when
// it can be.
QString WriteProblem(const QString& folder) {
    if (::access(QFile::encodeName(folder).constData(), W_OK) == 0)
        return {};
    return qt_error_string(errno);
}

}  // namespace

SettingsLock::SettingsLock(const QString& folder, int waitMs, int staleMs) {
    if (!QDir().mkpath(folder)) {
        const QString reason = qt_error_string(errno);
        error_ = QStringLiteral("Could not create the settings folder %1: %2.").arg(folder, reason);
        return;
    }
    file_ = std::make_unique<QLockFile>(QDir(folder).filePath(fileName()));
    file_->setStaleLockTime(staleMs);
    locked_ = file_->tryLock(waitMs);
    if (locked_)
        return;
    switch (file_->error()) {
        case QLockFile::LockFailedError: {
            qint64 pid = 0;
            QString host;
            QString program;
            if (file_->getLockInfo(&pid, &host, &program))
                error_ = QStringLiteral(
                             "The settings folder %1 is locked by %2 (process %3 on %4); "
                             "nothing was saved.")
                             .arg(folder,
                                  program.isEmpty() ? QStringLiteral("another program") : program)
                             .arg(pid)
                             .arg(host);
            else
                error_ = QStringLiteral(
                             "The settings folder %1 is locked by another program; "
                             "nothing was saved.")
                             .arg(folder);
            break;
        }
        default: {
            // A read-only disk says so instead of "permission denied".
            QString reason = WriteProblem(folder);
            if (reason.isEmpty())
                reason = file_->error() == QLockFile::PermissionError
                             ? QStringLiteral("permission denied")
                             : QStringLiteral("the lock file could not be written");
            error_ = QStringLiteral("Could not lock the settings folder %1: %2; nothing was saved.")
                         .arg(folder, reason);
            break;
        }
    }
}

SettingsLock::~SettingsLock() {
    if (locked_)
        file_->unlock();
}
