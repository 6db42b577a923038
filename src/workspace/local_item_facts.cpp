#include "workspace/local_item_facts.h"

#include <QFileInfo>

#include "platform/format.h"

namespace {

QString PermissionText(QFile::Permissions p) {
    QString s;
    s += (p & QFile::ReadOwner) ? QLatin1Char('r') : QLatin1Char('-');
    s += (p & QFile::WriteOwner) ? QLatin1Char('w') : QLatin1Char('-');
    s += (p & QFile::ExeOwner) ? QLatin1Char('x') : QLatin1Char('-');
    s += (p & QFile::ReadGroup) ? QLatin1Char('r') : QLatin1Char('-');
    s += (p & QFile::WriteGroup) ? QLatin1Char('w') : QLatin1Char('-');
    s += (p & QFile::ExeGroup) ? QLatin1Char('x') : QLatin1Char('-');
    s += (p & QFile::ReadOther) ? QLatin1Char('r') : QLatin1Char('-');
    s += (p & QFile::WriteOther) ? QLatin1Char('w') : QLatin1Char('-');
    s += (p & QFile::ExeOther) ? QLatin1Char('x') : QLatin1Char('-');
    return s;
}

}  // namespace

QList<QPair<QString, QString>> LocalItemFacts(const QString& path) {
    QList<QPair<QString, QString>> facts;
    const QFileInfo info(path);
    const bool exists = info.exists() || info.isSymLink();
    facts << qMakePair(QStringLiteral("Name"), info.fileName().isEmpty() ? path : info.fileName());
    facts << qMakePair(QStringLiteral("Location"), info.absolutePath());
    if (!exists) {
        facts << qMakePair(QStringLiteral("Kind"), QStringLiteral("Not found"));
        return facts;
    }
    QString kind;
    if (info.isSymLink()) {
        kind = info.isDir() ? QStringLiteral("Link to a folder") : QStringLiteral("Link");
    } else if (info.isDir()) {
        kind = QStringLiteral("Folder");
    } else if (info.isFile()) {
        kind = QStringLiteral("File");
    } else {
        kind = QStringLiteral("Special file");
    }
    facts << qMakePair(QStringLiteral("Kind"), kind);
    if (info.isSymLink()) {
        facts << qMakePair(QStringLiteral("Points to"), info.symLinkTarget());
    }
    if (info.isFile()) {
        facts << qMakePair(QStringLiteral("Size"),
                           FormatSizeBytes(info.size()) + QStringLiteral(" bytes"));
    }
    facts << qMakePair(QStringLiteral("Last modified"), FormatLocalTime(info.lastModified()));
    facts << qMakePair(QStringLiteral("Permissions"), PermissionText(info.permissions()));
    facts << qMakePair(QStringLiteral("Owner"), info.owner() + QLatin1Char(':') + info.group());
    return facts;
}
