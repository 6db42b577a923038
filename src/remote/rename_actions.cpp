#include "remote/rename_actions.h"

#include "remote/action_engine.h"
#include "session/log_line.h"

template <>
void RenameAtomAction::process(const RemoteItemList& items) {
    // Renaming onto an existing entry would replace it on many servers.
    if (items.contains(request.newName)) {
        if (GroupHost* h = host())
            h->reportFailure(QStringLiteral("Not renamed, %1 exists already in %2: %3")
                                 .arg(displayText(request.newName), displayText(folder),
                                      displayText(request.oldName)));
        return;
    }
    insertNextCommands({{"RNFR", request.oldName}, {"RNTO", request.newName}});
    insertNext(std::make_unique<RefreshFolderByRenameAction>(
        engine(), folder, engine().shortListingSequence(), request));
}
