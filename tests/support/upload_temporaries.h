#pragma once

#include <QByteArray>
#include <QRegularExpression>
#include <QString>

// Each upload stores under a temporary tagged with its own upload
// (".f.bin.0123abcd4567.velmora-upload"): tests read commands with the tag
// taken out (".f.bin.velmora-upload").
inline QString untagTemporaries(const QString& text) {
    static const QRegularExpression tagged(QStringLiteral("\\.[0-9a-f]{12}(\\.velmora-upload)"));
    return QString(text).replace(tagged, QStringLiteral("\\1"));
}

inline QByteArray untagTemporaries(const QByteArray& text) {
    return untagTemporaries(QString::fromUtf8(text)).toUtf8();
}
