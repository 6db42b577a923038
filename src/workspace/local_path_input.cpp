#include "workspace/local_path_input.h"

#include <QDir>

QString ResolveLocalPathInput(const QString& typed, const QString& current, const QString& home) {
    QString text = typed.trimmed();
    if (text.isEmpty())
        return {};
    if (text == QLatin1String("~"))
        text = home;
    else if (text.startsWith(QLatin1String("~/")))
        text = home + text.mid(1);
    if (!QDir::isAbsolutePath(text))
        text = QDir(current.isEmpty() ? home : current).filePath(text);
    return QDir::cleanPath(text);
}
