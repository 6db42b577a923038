#pragma once

#include "remote/folder_change_listing.h"

#include <QList>

struct CreateFolderRequest {
    QList<QByteArray> names;

    QList<QByteArray> chosenNames() const { return names; }
};

// Lists the parent and creates the names it does not hold yet; the listing
// after the creation lets the views select the created entry by its name.
using CreateFolderAction = FolderChangeListing<ActionKind::CreateFolder, CreateFolderRequest>;
using RefreshFolderByCreateAction =
    FolderChangeListing<ActionKind::RefreshFolderByCreateFolder, CreateFolderRequest>;

template <>
void CreateFolderAction::process(const RemoteItemList& items);
