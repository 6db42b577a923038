#include "remote/folder_walk.h"

#include "session/log_line.h"

FolderWalk::FolderWalk(const QByteArray& start, const QByteArray& unique) {
    depth_.insert(start, 0);
    if (!unique.isEmpty())
        byUnique_.insert(unique, start);
}

QString FolderWalk::enter(const QByteArray& parent, const QByteArray& path,
                          const QByteArray& unique) {
    if (depth_.contains(path))
        return QStringLiteral("Not entered, the walk was there already: %1").arg(displayText(path));
    if (!unique.isEmpty() && byUnique_.contains(unique))
        return QStringLiteral("Not entered, the server shows the folder %1 again here: %2")
            .arg(displayText(byUnique_.value(unique)), displayText(path));
    const int depth = depthOf(parent) + 1;
    if (depth > kMaxDepth)
        return QStringLiteral("Not entered, %1 levels below the start folder: %2")
            .arg(kMaxDepth)
            .arg(displayText(path));
    depth_.insert(path, depth);
    if (!unique.isEmpty())
        byUnique_.insert(unique, path);
    return {};
}
