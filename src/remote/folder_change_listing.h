#pragma once

#include "remote/listing_action.h"

// A change asked of one folder (a rename, new folders) and carried by two
// listings of it: the first makes the change unless its listing forbids it,
// and queues the second behind the change's commands; the second shows the
// result to the views. Both hold the same request.
template <ActionKind Kind, class Request>
class FolderChangeListing : public ListingAction {
public:
    FolderChangeListing(ActionEngine& engine, QByteArray folder, const StepList& steps,
                        Request request)
        : ListingAction(engine, Kind, std::move(folder), steps), request(std::move(request)) {}

    Request request;

    QList<QByteArray> chosenNames() const override {
        if constexpr (Kind == ActionKind::RefreshFolderByRename ||
                      Kind == ActionKind::RefreshFolderByCreateFolder)
            return request.chosenNames();
        else
            return {};
    }

protected:
    // The second listing's; the first one's is written for its kind.
    void process(const RemoteItemList& items) override { showListing(items); }
};
