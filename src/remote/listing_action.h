#pragma once

#include "remote/remote_item_list.h"
#include "session/listing_group.h"
#include "session/pure_group.h"

#include <memory>

class ActionEngine;

// One queue entry that lists a remote folder and, when the listing is complete,
// runs the processor of its kind. Everything a processor adds goes directly
// behind the action, so trees unfold depth first before later work.
class ListingAction : public ListingGroup {
public:
    ListingAction(ActionEngine& engine, ActionKind kind, QByteArray folder, const StepList& steps);

    ActionEngine& engine() const { return engine_; }

    // The level at which the raw listing is shown on the main chat pane; -1:
    // never (the loops).
    virtual int infoLevel() const;
    // The processor acts on every entry of the folder (transfers, deletes,
    // the loops), so an entry missing from the listing is work left undone.
    bool walksEntries() const;
    // Its connection broke and the same listing runs again on another: what it
    // stood for is not left undone.
    bool handedBack = false;

protected:
    void processListing(const QByteArray& text) override;
    virtual void process(const RemoteItemList& items) = 0;

    // The placement rule: the first insertion goes right behind this action,
    // each further one behind the previous.
    CommandGroup* insertNext(std::unique_ptr<CommandGroup> group);
    PureGroup* insertNextCommands(const StepList& steps);

private:
    ActionEngine& engine_;
    int nextPosition_ = -1;
};
