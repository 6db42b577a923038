#pragma once

#include <QChar>
#include <QString>

// Local paths on this system use '/'.
inline constexpr QChar kLocalSeparator = QLatin1Char('/');

// Joins two path pieces with sep and never doubles it; an empty piece yields
// the other. Nothing else in either piece changes.
QString JoinPath(const QString& a, const QString& b, QChar sep);
// Joins two local path pieces. With '\' as separator '/' counts as one too and
// is turned into '\'; with '/' a backslash is an ordinary name character.
QString JoinLocalPath(const QString& a, const QString& b, QChar sep = kLocalSeparator);

// The folder that holds path, or empty at the top of the file system and for
// a bare name.
QString LocalParentFolder(const QString& path);
// The last name of path; a final separator does not count.
QString LocalBaseName(const QString& path);
