#pragma once

#include "session/content_check.h"

struct CommandStep;
class GroupHost;

// The checksum a file transfer asks for after its data, and the comparison of
// the answer with the bytes on this side: downloads and uploads alike.
class ChecksumStep {
public:
    // Picks the server's checksum command; false when it offers none, which is
    // said once a session.
    bool plan(GroupHost* host);
    const HashCommand& hash() const { return hash_; }
    // The step is the checksum command.
    bool asks(const CommandStep& step) const;
    // Takes the first success reply to the command; the verdict is awaited
    // from then on.
    void takeReply(const CommandStep& step, const Reply& reply);
    bool awaiting() const { return awaiting_; }
    // Data that stopped short is no content to judge.
    void stopAwaiting() { awaiting_ = false; }
    // The verdict once both digests are in: false while it is awaited or when
    // they match; true with `failure` set ("Checksum differs, WHAT: why")
    // when they do not.
    bool judge(const QString& what, QString* failure);

    ContentCheck check;

private:
    HashCommand hash_;
    bool awaiting_ = false;
};
