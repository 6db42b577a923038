#pragma once

#include "remote/listing_action.h"

// Deletes a folder tree: the listed folder's entries, then its subfolders (each
// an action of its own, queued before the removal), then the folder itself.
class DeleteFolderAction : public ListingAction {
public:
    // Folders deeper than this below the selected one are not entered: a server
    // that shows a link as a folder must not lead the walk round in circles.
    static constexpr int kMaxDepth = 64;

    DeleteFolderAction(ActionEngine& engine, QByteArray folder, const StepList& steps,
                       int depth = 0)
        : ListingAction(engine, ActionKind::DeleteFolder, std::move(folder), steps), depth(depth) {}

    // Levels below the folder the user selected (0 for that folder).
    int depth;

protected:
    void process(const RemoteItemList& items) override;
};
