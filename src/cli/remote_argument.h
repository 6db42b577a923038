#pragma once

#include <QByteArray>
#include <QString>

#include "remote/remote_path.h"

// A remote path given on the command line: "/a/b/" names "/a/b"; the root
// stays "/".
inline QByteArray cleanRemote(const QString& path) {
    return withoutEndSlash(path.toUtf8());
}
