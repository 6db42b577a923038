#pragma once

#include "session/content_check.h"
#include "session/pure_group.h"

#include <functional>
#include <optional>

// Asks the server for one file's checksum. The answer goes to onDigest:
// nothing when the command was refused or its reply cannot be read, which is
// no failure of the work around it.
class ChecksumGroup : public PureGroup {
public:
    ChecksumGroup(HashCommand command, const QByteArray& path)
        : PureGroup(StepList{{command.command, path}}), command_(std::move(command)) {}

    void replyArrived(const Reply& reply) override {
        const int code = reply.code();
        if (code >= 200 && code < 300)
            digest_ = parseHashReply(reply, command_);
    }
    bool takeRefusal(const CommandStep&, int) override { return true; }
    void onFinished(bool) override {
        if (onDigest)
            onDigest(digest_);
    }

    std::function<void(const std::optional<ServerDigest>&)> onDigest;

private:
    HashCommand command_;
    std::optional<ServerDigest> digest_;
};
