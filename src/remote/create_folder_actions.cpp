#include "remote/create_folder_actions.h"

#include "remote/action_engine.h"
#include "session/log_line.h"

template <>
void CreateFolderAction::process(const RemoteItemList& items) {
    // An existing folder is there already; a file of the name keeps the
    // folder from being made, which the user is told. The session stands in
    // the parent, so the names go bare.
    StepList creates;
    QList<QByteArray> created;
    for (const QByteArray& name : request.names) {
        if (name.isEmpty() || created.contains(name))
            continue;
        if (const std::optional<RemoteItem> there = items.itemOf(name)) {
            if (there->kind != 'd' && there->kind != 'l')
                if (GroupHost* h = host())
                    h->reportFailure(
                        QStringLiteral("Not created, %1 in %2: an entry of that name that is "
                                       "not a folder is there")
                            .arg(displayText(name), displayText(folder)));
            continue;
        }
        creates.append({"MKD", name});
        created.append(name);
    }
    if (creates.isEmpty())
        return;
    insertNextCommands(creates);
    insertNext(std::make_unique<RefreshFolderByCreateAction>(
        engine(), folder, engine().shortListingSequence(), request));
}
