#include "remote/rename_actions.h"

#include "remote/action_engine.h"

template <>
void RenameAtomAction::process(const RemoteItemList& items) {
    // Renaming onto an existing entry would replace it on many servers.
    if (items.contains(request.newName))
        return;
    insertNextCommands({{"RNFR", request.oldName}, {"RNTO", request.newName}});
    insertNext(std::make_unique<RefreshFolderByRenameAction>(
        engine(), folder, engine().shortListingSequence(), request));
}
