#pragma once

#include "session/reply.h"

#include <deque>

// Turns complete lines into replies: a numbered first line with a hyphen opens a
// multi-line reply that the same number followed by a blank closes.
class ReplyAssembler {
public:
    // A hostile server must not make us keep an endless reply.
    static constexpr int kMaxReplyLines = 10000;

    // Adds one line; a line that cannot continue the open reply starts the next.
    void feed(const QByteArray& line);
    // Moves the complete replies out, in arrival order.
    QList<Reply> takeComplete();
    // True once an open reply exceeded the line bound.
    bool overflowed() const { return overflowed_; }
    void clear();

private:
    bool acceptLine(const QByteArray& line);

    std::deque<Reply> replies_;
    bool overflowed_ = false;
};
