#pragma once

#include "remote/listing_action.h"

#include <QByteArray>
#include <QList>

// Entries of one folder moved into another.
struct MoveRequest {
    QByteArray sourceFolder;
    QList<QByteArray> names;
};

// Lists the target folder, then moves the entries whose names it does not hold
// yet: a rename onto an existing entry replaces it on many servers, so such an
// entry stays where it is and the task says so. Behind the renames the source
// and the target are listed again for the views.
class MoveIntoAction : public ListingAction {
public:
    MoveIntoAction(ActionEngine& engine, QByteArray targetFolder, const StepList& steps,
                   MoveRequest request)
        : ListingAction(engine, ActionKind::MoveInto, std::move(targetFolder), steps),
          request(std::move(request)) {}

    MoveRequest request;

protected:
    void process(const RemoteItemList& items) override;
};
