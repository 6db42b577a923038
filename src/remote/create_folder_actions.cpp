#include "remote/create_folder_actions.h"

#include "remote/action_engine.h"

template <>
void CreateFolderAction::process(const RemoteItemList& items) {
    // An existing name is dropped silently; the session stands in the parent, so
    // the names go bare.
    StepList creates;
    QList<QByteArray> created;
    for (const QByteArray& name : request.names) {
        if (name.isEmpty() || items.contains(name) || created.contains(name))
            continue;
        creates.append({"MKD", name});
        created.append(name);
    }
    if (creates.isEmpty())
        return;
    insertNextCommands(creates);
    insertNext(std::make_unique<RefreshFolderByCreateAction>(
        engine(), folder, engine().shortListingSequence(), request));
}
