#pragma once

#include "remote/folder_change_listing.h"

struct RenameRequest {
    QByteArray oldName;
    QByteArray newName;
    quint8 flag = 0;  // passed on to the views

    QList<QByteArray> chosenNames() const { return {newName}; }
};

// Lists the folder and renames one entry unless the new name is taken; the
// listing after the rename lets the views select the entry under its new name.
using RenameAtomAction = FolderChangeListing<ActionKind::RenameAtom, RenameRequest>;
using RefreshFolderByRenameAction =
    FolderChangeListing<ActionKind::RefreshFolderByRename, RenameRequest>;

template <>
void RenameAtomAction::process(const RemoteItemList& items);
