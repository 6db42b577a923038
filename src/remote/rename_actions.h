#pragma once

#include "remote/listing_action.h"

// Lists the folder and renames one entry unless the new name is taken.
class RenameAtomAction : public ListingAction {
public:
    RenameAtomAction(ActionEngine& engine, QByteArray folder, const StepList& steps,
                     QByteArray oldName, QByteArray newName, quint8 flag)
        : ListingAction(engine, ActionKind::RenameAtom, std::move(folder), steps),
          oldName(std::move(oldName)),
          newName(std::move(newName)),
          flag(flag) {}

    QByteArray oldName;
    QByteArray newName;
    quint8 flag;  // passed on to the views

protected:
    void process(const RemoteItemList& items) override;
};

// The folder's listing after a rename; the views select the entry under its new
// name.
class RefreshFolderByRenameAction : public ListingAction {
public:
    RefreshFolderByRenameAction(ActionEngine& engine, QByteArray folder, const StepList& steps,
                                QByteArray oldName, QByteArray newName, quint8 flag)
        : ListingAction(engine, ActionKind::RefreshFolderByRename, std::move(folder), steps),
          oldName(std::move(oldName)),
          newName(std::move(newName)),
          flag(flag) {}

    QByteArray oldName;
    QByteArray newName;
    quint8 flag;

protected:
    void process(const RemoteItemList& items) override;
};
