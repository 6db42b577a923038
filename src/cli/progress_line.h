#pragma once

#include "remote/transfer_rate.h"
#include "session/transfer_info.h"

#include <QElapsedTimer>
#include <QObject>

class CliSession;
class SocketGroup;

// The progress line of the running transfer on a terminal: file, bytes,
// percent and speed over the last seconds, at most ten times a second.
class ProgressLine {
public:
    explicit ProgressLine(CliSession& cli);

private:
    void show(qint64 position, bool force);

    CliSession& cli_;
    const SocketGroup* group_ = nullptr;
    TransferInfo info_;
    QElapsedTimer started_;
    TransferRate rate_;
    QElapsedTimer lastShown_;
    // The connections' receiver: they end with the line, so a transfer the
    // session ends after a command returned (closing its pool) finds nothing.
    QObject receiver_;
};
