#include "remote/local_name_guard.h"

#include <QFile>

bool isSafeLocalName(const QByteArray& name) {
    if (name.isEmpty() || name == "." || name == "..")
        return false;
    return !name.contains('/') && !name.contains('\0');
}

QString localNameOf(const QByteArray& name) {
    return QFile::decodeName(name);
}
