#pragma once

#include <QByteArray>
#include <QtGlobal>

// The server's copy of a file fetched for editing, as its folder's listing
// showed it: the size and the time (empty when not known).
struct FetchedCopy {
    qint64 size = 0;
    QByteArray modified;
};
