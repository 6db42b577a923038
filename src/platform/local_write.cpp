#include "platform/local_write.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

QString SystemErrorText(int errorNumber) {
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

bool WriteAllAt(int fd, const char* data, qint64 size, qint64 offset, QString* reason) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size_t(size), off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // A write that took nothing without an error is a full disk.
            *reason = SystemErrorText(n < 0 ? errno : ENOSPC);
            return false;
        }
        data += n;
        size -= n;
        offset += n;
    }
    return true;
}

bool ResizeFile(int fd, qint64 length, QString* reason) {
    if (::ftruncate(fd, off_t(length)) == 0)
        return true;
    *reason = SystemErrorText(errno);
    return false;
}
