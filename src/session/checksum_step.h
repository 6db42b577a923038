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
    // Takes the first success reply to the command: true when this reply was
    // it, and the verdict is awaited from then on.
    bool takeReply(const CommandStep& step, const Reply& reply);
    // How a verdict that is no match is told ("Checksum differs").
    static QString verdictText(ContentCheck::Verdict verdict);

    ContentCheck check;

private:
    HashCommand hash_;
};
