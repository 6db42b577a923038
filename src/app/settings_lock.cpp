#include "app/settings_lock.h"

#include <QDir>

SettingsLock::SettingsLock(const QString& folder, int waitMs, int staleMs) {
    if (!QDir().mkpath(folder)) {
        error_ = QStringLiteral("Could not create the settings folder %1.").arg(folder);
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
        case QLockFile::PermissionError:
            error_ = QStringLiteral(
                         "Could not lock the settings folder %1: permission denied; "
                         "nothing was saved.")
                         .arg(folder);
            break;
        default:
            error_ = QStringLiteral("Could not lock the settings folder %1; nothing was saved.")
                         .arg(folder);
            break;
    }
}

SettingsLock::~SettingsLock() {
    if (locked_)
        file_->unlock();
}
