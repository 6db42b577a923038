#pragma once

#include "remote/listing_action.h"

// Deletes a folder tree: the listed folder's entries, then its subfolders (each
// an action of its own, queued before the removal), then the folder itself.
// A server that shows a folder inside itself does not lead the walk round in
// circles: see FolderWalk.
class DeleteFolderAction : public ListingAction {
public:
    DeleteFolderAction(ActionEngine& engine, QByteArray folder, const StepList& steps)
        : ListingAction(engine, ActionKind::DeleteFolder, std::move(folder), steps) {}

protected:
    void process(const RemoteItemList& items) override;
};
