#include "platform/trash_can.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// A trash folder with its files/ and info/ folders, made for this user only
// when missing. One that is a link or someone else's is not used.
bool prepare(const QString& trash, QString* error) {
    for (const QString& sub : {QString(), QStringLiteral("/files"), QStringLiteral("/info")}) {
        const QByteArray path = QFile::encodeName(trash + sub);
        if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
            *error = QStringLiteral("%1: %2").arg(trash + sub, systemReason(errno));
            return false;
        }
        struct stat st;
        if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) ||
            st.st_uid != ::getuid()) {
            *error = QStringLiteral("%1 is not a folder of this user's").arg(trash + sub);
            return false;
        }
    }
    return true;
}

// The top of the disk a path lives on: the last folder up with its device.
QString topOfDisk(const QString& folder, dev_t device) {
    QString top = QDir::cleanPath(folder);
    while (top != QLatin1String("/")) {
        const QString parent = QFileInfo(top).path();
        struct stat st;
        if (::stat(QFile::encodeName(parent).constData(), &st) != 0 || st.st_dev != device)
            break;
        top = parent;
    }
    return top;
}

// The trash of a disk other than home's: its shared .Trash (sticky, not a
// link) with a folder per user, else a .Trash-UID of this user's.
QString diskTrash(const QString& top) {
    const QString base = top == QLatin1String("/") ? QString() : top;
    const QString uid = QString::number(::getuid());
    struct stat st;
    const QByteArray shared = QFile::encodeName(base + QStringLiteral("/.Trash"));
    if (::lstat(shared.constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX))
        return base + QStringLiteral("/.Trash/") + uid;
    return base + QStringLiteral("/.Trash-") + uid;
}

QByteArray trashInfo(const QString& path) {
    return "[Trash Info]\nPath=" + QUrl::toPercentEncoding(path, "/") + "\nDeletionDate=" +
           QDateTime::currentDateTime().toString(Qt::ISODate).left(19).toLatin1() + '\n';
}

// A name whose record (name plus ".trashinfo") fits the file system's limit:
// a long name loses the end of its stem, its extension kept.
QString fitting(const QString& name) {
    constexpr int kMax = 255 - 10;
    if (QFile::encodeName(name).size() <= kMax)
        return name;
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot > 0 && name.size() - dot <= 16 ? name.mid(dot) : QString();
    QString stem = name.left(name.size() - extension.size());
    while (!stem.isEmpty() && QFile::encodeName(stem + extension).size() > kMax)
        stem.chop(stem.size() >= 2 && stem.at(stem.size() - 1).isLowSurrogate() ? 2 : 1);
    return stem + extension;
}

// Reserves a name in the trash by creating its record, so that two moves never
// take the same one; returns the name, empty when none could be made.
QString reserve(const QString& trash, const QString& fileName, const QByteArray& info,
                QString* error) {
    for (int n = 1; n < 10000; ++n) {
        const QString name =
            fitting(n == 1 ? fileName : QStringLiteral("%1.%2").arg(fileName).arg(n));
        const QByteArray record = QFile::encodeName(trash + QStringLiteral("/info/") + name +
                                                    QStringLiteral(".trashinfo"));
        if (QFileInfo::exists(trash + QStringLiteral("/files/") + name))
            continue;
        const int fd = ::open(record.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            *error = QStringLiteral("%1: %2").arg(QFile::decodeName(record), systemReason(errno));
            return {};
        }
        const bool written = ::write(fd, info.constData(), size_t(info.size())) == info.size();
        const int saved = errno;
        if (::close(fd) != 0 || !written) {
            ::unlink(record.constData());
            *error = QStringLiteral("%1: %2").arg(QFile::decodeName(record), systemReason(saved));
            return {};
        }
        return name;
    }
    *error = QStringLiteral("no free name for %1 in %2").arg(fileName, trash);
    return {};
}

}  // namespace

QString TrashCan::homeTrash() {
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || !QDir::isAbsolutePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(data) + QStringLiteral("/Trash");
}

QString TrashCan::put(const QString& path, QString* error) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    struct stat file;
    if (::lstat(QFile::encodeName(absolute).constData(), &file) != 0) {
        *error = systemReason(errno);
        return {};
    }
    // Home's trash when the file is on its disk; the data folder is made as
    // the desktop would, on first use.
    QString trash = homeTrash();
    QDir().mkpath(QFileInfo(trash).path());
    struct stat home;
    if (::stat(QFile::encodeName(QFileInfo(trash).path()).constData(), &home) != 0 ||
        home.st_dev != file.st_dev)
        trash = diskTrash(topOfDisk(QFileInfo(absolute).path(), file.st_dev));
    if (!prepare(trash, error))
        return {};
    const QString name = reserve(trash, QFileInfo(absolute).fileName(), trashInfo(absolute), error);
    if (name.isEmpty())
        return {};
    const QString target = trash + QStringLiteral("/files/") + name;
    if (std::rename(QFile::encodeName(absolute).constData(),
                    QFile::encodeName(target).constData()) != 0) {
        *error = systemReason(errno);
        ::unlink(QFile::encodeName(trash + QStringLiteral("/info/") + name +
                                   QStringLiteral(".trashinfo"))
                     .constData());
        return {};
    }
    return target;
}
