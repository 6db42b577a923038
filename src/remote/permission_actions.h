#pragma once

#include "remote/listing_action.h"

// What a permission change applies: the mode as three octal digits ("644"), to
// which kinds, and whether selected folders are entered.
struct PermissionRequest {
    QByteArray mode;
    bool applyToFiles = false;
    bool applyToFolders = false;
    bool recurse = false;
};

// Changes the permissions of the listed folder's entries. Links are always
// changed; with the folders flag, folders and links are entered in turn (a link
// pointing upwards ends the walk there: see FolderWalk).
class ChangePermissionAction : public ListingAction {
public:
    ChangePermissionAction(ActionEngine& engine, QByteArray folder, const StepList& steps,
                           const PermissionRequest& request)
        : ListingAction(engine, ActionKind::ChangePermission, std::move(folder), steps),
          request(request) {}

    PermissionRequest request;

protected:
    void process(const RemoteItemList& items) override;
};
