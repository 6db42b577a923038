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
// changed; with the folders flag, folders and links are entered in turn.
class ChangePermissionAction : public ListingAction {
public:
    // Links are followed: a link pointing upwards must not lead the walk round in
    // circles, so it stops this many levels below the first folder.
    static constexpr int kMaxDepth = 64;

    ChangePermissionAction(ActionEngine& engine, QByteArray folder, const StepList& steps,
                           const PermissionRequest& request, int depth = 0)
        : ListingAction(engine, ActionKind::ChangePermission, std::move(folder), steps),
          request(request),
          depth(depth) {}

    PermissionRequest request;
    // Levels below the first folder of the change (0 for that folder).
    int depth;

protected:
    void process(const RemoteItemList& items) override;
};
