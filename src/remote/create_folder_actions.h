#pragma once

#include "remote/listing_action.h"

#include <QList>

// Lists the parent and creates the names it does not hold yet.
class CreateFolderAction : public ListingAction {
public:
    CreateFolderAction(ActionEngine& engine, QByteArray parent, const StepList& steps,
                       QList<QByteArray> names)
        : ListingAction(engine, ActionKind::CreateFolder, std::move(parent), steps),
          names(std::move(names)) {}

    QList<QByteArray> names;

protected:
    void process(const RemoteItemList& items) override;
};

// The parent's listing after the creation; the views select the created entry by
// the names it carries.
class RefreshFolderByCreateAction : public ListingAction {
public:
    RefreshFolderByCreateAction(ActionEngine& engine, QByteArray parent, const StepList& steps,
                                QList<QByteArray> names)
        : ListingAction(engine, ActionKind::RefreshFolderByCreateFolder, std::move(parent), steps),
          names(std::move(names)) {}

    QList<QByteArray> names;

protected:
    void process(const RemoteItemList& items) override;
};
