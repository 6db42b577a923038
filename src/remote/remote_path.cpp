#include "remote/remote_path.h"

QByteArray joinRemotePath(const QByteArray& folder, const QByteArray& name) {
    if (folder.isEmpty())
        return name;
    if (name.isEmpty())
        return folder;
    if (folder.endsWith('/') || name.startsWith('/'))
        return folder + name;
    return folder + '/' + name;
}

bool splitRemotePath(const QByteArray& path, QByteArray* parent, QByteArray* name) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return false;
    const QByteArray tail = path.mid(slash + 1);
    if (tail.trimmed().isEmpty())
        return false;
    *parent = slash == 0 ? QByteArray("/") : path.left(slash);
    *name = tail;
    return true;
}
