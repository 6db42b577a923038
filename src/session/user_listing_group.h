#pragma once

#include "session/socket_group.h"

// Who asked for a listing that only goes to the main chat pane.
enum class ListingPurpose {
    User,       // always shown
    KeepAlive,  // shown only when the options ask for the active server's files
};

// A listing whose text only goes to the main chat pane.
class UserListingGroup : public SocketGroup {
public:
    static constexpr qsizetype kMaxBytes = 16 * 1024 * 1024;

    UserListingGroup(ListingPurpose listingPurpose, const StepList& steps)
        : SocketGroup(steps), purpose(listingPurpose) {}

    SocketKind socketKind() const override { return SocketKind::User; }

    ListingPurpose purpose;

protected:
    void onDataEvent(SocketEvent event) override;

private:
    QByteArray collected_;
};
