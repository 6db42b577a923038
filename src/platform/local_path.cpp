#include "platform/local_path.h"

namespace {

QString WithoutFinalSeparators(const QString& path) {
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(kLocalSeparator))
        trimmed.chop(1);
    return trimmed;
}

}  // namespace

QString JoinPath(const QString& a, const QString& b, QChar sep) {
    if (a.isEmpty())
        return b;
    if (b.isEmpty())
        return a;
    const bool aEnds = a.endsWith(sep);
    const bool bStarts = b.startsWith(sep);
    if (aEnds && bStarts)
        return a + b.mid(1);
    if (aEnds || bStarts)
        return a + b;
    return a + sep + b;
}

QString JoinLocalPath(const QString& a, const QString& b, QChar sep) {
    if (sep != QLatin1Char('\\'))
        return JoinPath(a, b, sep);
    QString left = a;
    QString right = b;
    left.replace(QLatin1Char('/'), sep);
    right.replace(QLatin1Char('/'), sep);
    return JoinPath(left, right, sep);
}

QString LocalParentFolder(const QString& path) {
    const QString trimmed = WithoutFinalSeparators(path);
    const qsizetype cut = trimmed.lastIndexOf(kLocalSeparator);
    if (cut < 0 || trimmed == QString(kLocalSeparator))
        return {};
    return cut == 0 ? QString(kLocalSeparator) : trimmed.left(cut);
}

QString LocalBaseName(const QString& path) {
    const QString trimmed = WithoutFinalSeparators(path);
    return trimmed.mid(trimmed.lastIndexOf(kLocalSeparator) + 1);
}
