#pragma once

#include "remote/folder_walk.h"
#include "remote/remote_item_list.h"
#include "session/listing_group.h"
#include "session/pure_group.h"

#include <memory>

class ActionEngine;
struct FileTransfer;

// One queue entry that lists a remote folder and, when the listing is complete,
// runs the processor of its kind. Everything a processor adds goes directly
// behind the action, so trees unfold depth first before later work.
class ListingAction : public ListingGroup {
public:
    ListingAction(ActionEngine& engine, ActionKind kind, QByteArray folder, const StepList& steps);

    ActionEngine& engine() const { return engine_; }

    // Starts this action's walk at a folder selected from its parent's
    // listing, known by the item listed there.
    void startWalk(const RemoteItem& selected);

    // The level at which the raw listing is shown on the main chat pane; -1:
    // never (the loops).
    virtual int infoLevel() const;
    // The processor acts on every entry of the folder (transfers, deletes,
    // the loops), so an entry missing from the listing is work left undone.
    bool walksEntries() const;
    // The entries a listing that shows a change puts forward, for the views to
    // choose: the created folders, the entry under its new name.
    virtual QList<QByteArray> chosenNames() const { return {}; }
    // Its connection broke and the same listing runs again on another: what it
    // stood for is not left undone.
    bool handedBack = false;
    // Goes on with the walk of the action that queued it elsewhere (on a
    // transfer connection).
    void joinWalk(FolderWalkPtr walk) { walk_ = std::move(walk); }

protected:
    void processListing(const QByteArray& text) override;
    virtual void process(const RemoteItemList& items) = 0;

    // The placement rule: the first insertion goes right behind this action,
    // each further one behind the previous.
    CommandGroup* insertNext(std::unique_ptr<CommandGroup> group);
    PureGroup* insertNextCommands(const StepList& steps);
    // A file of this folder to move: on a transfer connection when there are
    // any, else here as insertNext places it.
    void queueFileTransfer(const FileTransfer& transfer);
    // Hands the listing to the views.
    void showListing(const RemoteItemList& items);

    // Recursive walks: whether this walk may enter a folder listed here
    // (`item` names it); an error line says why not. Actions that go on with
    // the walk are queued by insertInWalk.
    bool mayEnter(const QByteArray& path, const RemoteItem& item);
    CommandGroup* insertInWalk(std::unique_ptr<ListingAction> action);
    // This walk, for an action queued elsewhere to join.
    FolderWalkPtr sharedWalk() { return walk(); }

private:
    const FolderWalkPtr& walk();

    ActionEngine& engine_;
    int nextPosition_ = -1;
    // The walk this action is part of; one starts here when it was queued on
    // its own.
    FolderWalkPtr walk_;
};
