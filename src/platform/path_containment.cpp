#include "platform/path_containment.h"

#include <QStringView>

bool IsInProject(const QString& folder, const QString& path, QChar sep) {
    const qsizetype n = folder.size();
    if (n == 0 || path.size() < n) {
        return false;
    }
    if (QStringView(path).left(n).compare(folder, Qt::CaseInsensitive) != 0) {
        return false;
    }
    if (path.size() == n) {
        return true;
    }
    // A folder written with its final separator ("/", "C:\") holds everything
    // that begins with it.
    if (folder.endsWith(sep)) {
        return true;
    }
    return path.at(n) == sep;
}

bool IsProjectParent(const QString& projectFolder, const QString& path, QChar sep) {
    return IsInProject(path, projectFolder, sep);
}
