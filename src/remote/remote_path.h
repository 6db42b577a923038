#pragma once

#include <QByteArray>

// Remote paths are absolute with '/' and stay bytes as the server sent them.

// Joins without doubling the separator; an empty piece yields the other.
QByteArray joinRemotePath(const QByteArray& folder, const QByteArray& name);

// Splits at the last '/': "/a/b" gives "/a" and "b", "/a" gives "/" and "a".
// False when there is no '/' or nothing but blanks follows the last one.
bool splitRemotePath(const QByteArray& path, QByteArray* parent, QByteArray* name);
