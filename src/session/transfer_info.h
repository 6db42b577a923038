#pragma once

#include <QByteArray>
#include <QString>

// What a task box shows of a running transfer.
struct TransferInfo {
    int socketKind = 0;
    QByteArray remoteFolder;
    QByteArray fileName;
    QString localPath;
    qint64 total = -1;  // -1 when not known
    qint64 startOffset = 0;
};
