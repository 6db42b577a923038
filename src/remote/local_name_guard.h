#pragma once

#include <QByteArray>
#include <QString>

// A name a server sent is used as a local path only when it names one entry of
// the chosen folder: not empty, not "." or "..", no '/' and no NUL.
bool isSafeLocalName(const QByteArray& name);

// The local form of a remote name's bytes.
QString localNameOf(const QByteArray& name);
