#pragma once

#include "session/command_group.h"

// Control-connection commands only; complete when no unsent step remains. An
// owner, when set, is told when the group leaves the queue after success.
class PureGroup : public CommandGroup {
public:
    using CommandGroup::CommandGroup;

    GroupKind kind() const override { return GroupKind::Pure; }
    bool isComplete() const override { return !hasUnsentStep(); }

    bool notifyOwner = false;
    quintptr ownerToken = 0;
};
