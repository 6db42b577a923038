#pragma once

#include <QByteArrayView>
#include <QChar>
#include <QString>
#include <QStringView>

// Whether one path holds another: the one test for local paths and server
// paths alike.

// True when path equals folder or lies below it. "Below" needs the separator
// right after the folder, so /a/b holds /a/b/c but not /a/bc; a folder that
// ends in its separator ("/", "C:\") holds everything that begins with it.
// The test is on the text: ".." is not resolved, and an empty folder holds
// nothing.
bool IsSameOrBelow(QStringView folder, QStringView path, QChar sep = QLatin1Char('/'),
                   Qt::CaseSensitivity cs = Qt::CaseSensitive);
// The same for server paths kept as the bytes the server sent, with '/'.
bool IsSameOrBelow(QByteArrayView folder, QByteArrayView path);

// The project folders are the user's text, so their letters compare without
// regard to case: /web contains /WEB/img but not /website.
inline bool IsInProject(const QString& folder, const QString& path, QChar sep) {
    return IsSameOrBelow(folder, path, sep, Qt::CaseInsensitive);
}
// True when path equals the project folder or is one of its ancestors.
inline bool IsProjectParent(const QString& projectFolder, const QString& path, QChar sep) {
    return IsInProject(path, projectFolder, sep);
}

// The part of path after folder and the separator that follows it; path must
// be folder or lie below it.
QString PathBelow(const QString& folder, const QString& path, QChar sep);
