#pragma once

#include <QByteArray>
#include <QString>

// A remote path given on the command line: "/a/b/" names "/a/b"; the root
// stays "/".
inline QByteArray cleanRemote(const QString& path) {
    QByteArray p = path.toUtf8();
    while (p.size() > 1 && p.endsWith('/'))
        p.chop(1);
    return p;
}
