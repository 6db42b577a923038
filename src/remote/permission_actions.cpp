#include "remote/permission_actions.h"

#include "remote/action_engine.h"
#include "remote/folder_actions.h"
#include "remote/remote_name_guard.h"
#include "remote/remote_path.h"
#include "session/log_line.h"

void ChangePermissionAction::process(const RemoteItemList& items) {
    GroupHost* h = host();
    auto usable = [&](const RemoteItem& item) {
        if (isSafeRemoteName(item.name))
            return true;
        if (h)
            h->log(LogChannel::Error,
                   QStringLiteral("Entry \"%1\" in %2 is not changed: its name is not usable")
                       .arg(displayText(item.name), displayText(folder)));
        return false;
    };

    StepList changes;
    for (const RemoteItem& item : items) {
        const bool wanted = item.kind == 'l' || (item.isFolder() && request.applyToFolders) ||
                            (!item.isFolder() && request.applyToFiles);
        if (wanted && usable(item))
            changes.append({"SITE CHMOD", request.mode + ' ' + item.name});
    }
    if (!changes.isEmpty()) {
        insertNextCommands(changes);
        // Straight after the changes the session still stands in this folder.
        insertNext(std::make_unique<RefreshFolderAction>(engine(), folder,
                                                         engine().shortListingSequence()));
    }

    // Entered for the files in them too: "recurse for files" means at every depth.
    if (!request.recurse && !request.applyToFolders)
        return;
    for (const RemoteItem& item : items) {
        if (item.kind != 'd' && item.kind != 'l')
            continue;
        if (!isSafeRemoteName(item.name))
            continue;  // already reported above
        const QByteArray path = joinRemotePath(folder, item.name);
        if (mayEnter(path, item))
            insertInWalk(std::make_unique<ChangePermissionAction>(
                engine(), path, engine().listingSequence(path), request));
    }
}
