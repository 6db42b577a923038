#pragma once

#include "session/publish_plan.h"

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
    // Downloads: the server's modification time as its listing showed it, kept
    // with data that stops short so that a changed file is never continued.
    QByteArray remoteModified;
    // Downloads: the start offset continues the data kept beside the target
    // rather than the target itself.
    bool continuesKept = false;
    // Temporary name, checksum and time: how the file is put in place.
    PublishPlan publish;
};

// How a file transfer ended: where it got to, and whether the server confirmed
// it and every local step worked; when not, why, and whether the user stopped it.
struct TransferResult {
    TransferInfo info;
    qint64 position = 0;
    bool success = false;
    // Why it did not finish, when anyone could tell; empty on success.
    QString error;
    bool stopped = false;
    // Downloads: where the data that arrived is kept for a later resume; empty
    // when none is.
    QString keptPath;
    // Uploads under a temporary name: the temporary holding what was sent,
    // when it stays on the server (nothing renamed or removed it).
    QByteArray keptTemporary;
    // Downloads: where the local file it replaced went (the trash), when that
    // file had been changed after the server's copy; empty otherwise.
    QString setAside;
};
