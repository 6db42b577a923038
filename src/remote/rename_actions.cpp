#include "remote/rename_actions.h"

#include "remote/action_engine.h"

void RenameAtomAction::process(const RemoteItemList& items) {
    // Renaming onto an existing entry would replace it on many servers.
    if (items.contains(newName))
        return;
    insertNextCommands({{"RNFR", oldName}, {"RNTO", newName}});
    insertNext(std::make_unique<RefreshFolderByRenameAction>(
        engine(), folder, engine().shortListingSequence(), oldName, newName, flag));
}

void RefreshFolderByRenameAction::process(const RemoteItemList& items) {
    engine().announceListing(*this, items);
}
