#include "remote/delete_actions.h"

#include "remote/action_engine.h"
#include "remote/remote_name_guard.h"
#include "remote/remote_path.h"
#include "session/log_line.h"

void DeleteFolderAction::process(const RemoteItemList& items) {
    GroupHost* h = host();
    auto skipUnsafe = [&](const RemoteItem& item) {
        if (isSafeRemoteName(item.name))
            return false;
        if (h)
            h->log(LogChannel::Error,
                   QStringLiteral("Entry \"%1\" in %2 is not deleted: its name is not usable")
                       .arg(displayText(item.name), displayText(folder)));
        return true;
    };

    // Bare names: the session stands in this folder after the listing.
    StepList deletes;
    for (const RemoteItem& item : items) {
        if (item.isFolder() || !engine().kindFilter.passes(item.kind) || skipUnsafe(item))
            continue;
        deletes.append({"DELE", item.name});
    }
    if (!deletes.isEmpty())
        insertNextCommands(deletes);

    for (const RemoteItem& item : items) {
        if (!item.isFolder() || skipUnsafe(item))
            continue;
        const QByteArray path = joinRemotePath(folder, item.name);
        if (mayEnter(path, item))
            insertInWalk(std::make_unique<DeleteFolderAction>(engine(), path,
                                                              engine().listingSequence(path)));
    }

    QByteArray parent;
    QByteArray name;
    if (splitRemotePath(folder, &parent, &name))
        insertNextCommands({{"CWD", parent}, {"RMD", name}});
}
