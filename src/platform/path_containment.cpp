#include "platform/path_containment.h"

namespace {

// Called once path is known to begin with folder.
template <typename View, typename Char>
bool EndsAtSeparator(View folder, View path, Char sep) {
    return path.size() == folder.size() || folder.endsWith(sep) || path.at(folder.size()) == sep;
}

}  // namespace

bool IsSameOrBelow(QStringView folder, QStringView path, QChar sep, Qt::CaseSensitivity cs) {
    if (folder.isEmpty() || !path.startsWith(folder, cs))
        return false;
    return EndsAtSeparator(folder, path, sep);
}

bool IsSameOrBelow(QByteArrayView folder, QByteArrayView path) {
    if (folder.isEmpty() || !path.startsWith(folder))
        return false;
    return EndsAtSeparator(folder, path, '/');
}

QString PathBelow(const QString& folder, const QString& path, QChar sep) {
    QString rest = path.mid(folder.size());
    if (rest.startsWith(sep))
        rest.remove(0, 1);
    return rest;
}
