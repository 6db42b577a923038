#pragma once

#include "remote/transfer_alert_options.h"

#include <QString>
#include <QtGlobal>

// What to do with one file of a tree transfer.
struct TransferDecision {
    enum Kind { Skip, Whole, Resume };
    Kind kind = Skip;
    qint64 offset = 0;  // Resume only

    bool operator==(const TransferDecision&) const = default;
};

// A download of a remote file of size remoteSize onto a local file of size
// localSize (targetExists false when there is none).
TransferDecision decideDownload(const TransferAlertOptions& options, bool targetExists,
                                qint64 localSize, qint64 remoteSize, bool restSupported);

// An upload of a local file of size localSize onto a server file of size
// remoteSize (targetExists false when the server has none).
TransferDecision decideUpload(const TransferAlertOptions& options, bool targetExists,
                              qint64 localSize, qint64 remoteSize, bool restSupported);

// The line that says what the file action left alone in a folder, so that a
// task ending "completed" is not read as everything having gone across.
QString SkippedFilesText(int count, const QString& folder);
