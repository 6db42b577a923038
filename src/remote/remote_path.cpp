#include "remote/remote_path.h"

#include <QList>

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

QByteArray withoutEndSlash(QByteArray folder) {
    while (folder.size() > 1 && folder.endsWith('/'))
        folder.chop(1);
    return folder;
}

QByteArray remoteParentFolder(const QByteArray& folder) {
    const QByteArray f = withoutEndSlash(folder);
    const qsizetype slash = f.lastIndexOf('/');
    if (slash <= 0)
        return QByteArrayLiteral("/");
    return f.left(slash);
}

QByteArray projectParentFolder(const QByteArray& relativePath) {
    const qsizetype slash = relativePath.lastIndexOf('/');
    return slash < 0 ? QByteArray() : relativePath.left(slash);
}

QByteArray withoutDotSteps(const QByteArray& absolute) {
    QList<QByteArray> parts;
    for (const QByteArray& part : absolute.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(part);
    }
    return '/' + parts.join('/');
}

std::optional<QByteArray> resolveRemotePathInput(const QString& typed, const QByteArray& current) {
    const QByteArray text = typed.trimmed().toUtf8();
    if (text.isEmpty())
        return std::nullopt;
    const QByteArray start = text.startsWith('/') ? QByteArray() : current;
    return withoutDotSteps(start + '/' + text);
}
