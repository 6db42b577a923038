#pragma once

#include "remote/listing_action.h"

#include <QByteArray>

// A file fetched for editing goes back only over the copy it was fetched
// from: the folder is listed first, and a file of another size there
// (changed on the server since, by someone else or a program writing it) is
// not replaced unless the user was told of that very change and uploads
// again. A file no longer there is stored anew.
class DirectUploadCheckAction : public ListingAction {
public:
    DirectUploadCheckAction(ActionEngine& engine, QByteArray folder, const StepList& steps,
                            QByteArray name, QByteArray content, qint64 fetchedSize)
        : ListingAction(engine, ActionKind::DirectUploadCheck, std::move(folder), steps),
          name(std::move(name)),
          content(std::move(content)),
          fetchedSize(fetchedSize) {}

    QByteArray name;
    QByteArray content;
    qint64 fetchedSize;

protected:
    void process(const RemoteItemList& items) override;
};
