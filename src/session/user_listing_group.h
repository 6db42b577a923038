#pragma once

#include "session/socket_group.h"

// A listing the user asked for (purpose 0) or the keep-alive's (purpose 1):
// its text only goes to the main chat pane.
class UserListingGroup : public SocketGroup {
public:
    static constexpr qsizetype kMaxBytes = 16 * 1024 * 1024;

    UserListingGroup(int listingPurpose, const StepList& steps)
        : SocketGroup(steps), purpose(listingPurpose) {}

    SocketKind socketKind() const override { return SocketKind::User; }

    int purpose;

protected:
    void onDataEvent(SocketEvent event) override;

private:
    QByteArray collected_;
};
