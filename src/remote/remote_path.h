#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Remote paths are absolute with '/' and stay bytes as the server sent them.

// Joins without doubling the separator; an empty piece yields the other.
QByteArray joinRemotePath(const QByteArray& folder, const QByteArray& name);

// Splits at the last '/': "/a/b" gives "/a" and "b", "/a" gives "/" and "a".
// False when there is no '/' or nothing but blanks follows the last one.
bool splitRemotePath(const QByteArray& path, QByteArray* parent, QByteArray* name);

// The folder above: "/a/b" gives "/a", "/a" gives "/", "/" stays "/".
QByteArray remoteParentFolder(const QByteArray& folder);

// A folder without the '/' at its end: "/a/b/" names "/a/b"; the root stays "/".
QByteArray withoutEndSlash(QByteArray folder);

// The folder part of a path below a project folder: "a/b/c" gives "a/b",
// "c" (directly in the project folder) gives an empty path.
QByteArray projectParentFolder(const QByteArray& relativePath);

// "." and ".." steps taken as a shell takes them and repeated '/' dropped, as no name on a
// server is either, nor empty: "/a/./b/../c//d" gives "/a/c/d".
QByteArray withoutDotSteps(const QByteArray& absolute);

// What the path bar goes to: an absolute path as typed, or one relative to
// the folder shown; "." and ".." are resolved and repeated '/' dropped. None
// for an empty text.
std::optional<QByteArray> resolveRemotePathInput(const QString& typed, const QByteArray& current);
