#pragma once

#include "session/action_kind.h"
#include "session/socket_group.h"

// A socket group that lists one remote folder and hands the collected text to
// the processor of its action kind when the data connection closes.
class ListingGroup : public SocketGroup {
public:
    // A listing larger than this is not a listing: stop collecting.
    static constexpr qsizetype kMaxListingBytes = 256 * 1024 * 1024;

    ListingGroup(ActionKind kind, QByteArray folderPath, const StepList& steps)
        : SocketGroup(steps), folder(std::move(folderPath)), actionKind_(kind) {
        data().text = folder;
    }

    SocketKind socketKind() const override { return SocketKind::List; }
    QByteArray actionName() const override { return actionKindName(int(actionKind_)); }
    ActionKind actionKind() const { return actionKind_; }

    // The token of the loop's owner; zero when none.
    virtual quintptr ownerToken() const { return 0; }
    virtual void clearOwner() {}

    // The Unix grammar applies when the sequence holds a LIST command.
    bool usesListCommand() const;
    // The listing command step (MLSD or LIST) of the sequence, -1 when none.
    int listingStepIndex() const;

    QByteArray folder;
    bool finished = false;

protected:
    void onDataEvent(SocketEvent event) override;
    // Runs once, when the listing is complete.
    virtual void processListing(const QByteArray& text) = 0;

private:
    void collect();

    ActionKind actionKind_;
    QByteArray collected_;
    bool overflow_ = false;
};
