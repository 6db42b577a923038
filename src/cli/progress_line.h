#pragma once

#include "session/transfer_info.h"

#include <QElapsedTimer>

class CliSession;
class SocketGroup;

// The progress line of the running transfer on a terminal: file, bytes,
// percent and speed, at most ten times a second.
class ProgressLine {
public:
    explicit ProgressLine(CliSession& cli);

private:
    void show(qint64 position, bool force);

    CliSession& cli_;
    const SocketGroup* group_ = nullptr;
    TransferInfo info_;
    QElapsedTimer started_;
    QElapsedTimer lastShown_;
};
