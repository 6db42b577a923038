#include "remote/file_operation_starters.h"

#include "remote/action_engine.h"
#include "remote/create_folder_actions.h"
#include "remote/delete_actions.h"
#include "remote/folder_actions.h"
#include "remote/move_actions.h"
#include "remote/permission_rules.h"
#include "remote/remote_name_guard.h"
#include "remote/remote_path.h"
#include "remote/rename_actions.h"
#include "session/command_queue.h"
#include "session/ftp_session.h"

namespace {

using Groups = std::vector<std::unique_ptr<CommandGroup>>;

// Completion codes of the task markers.
constexpr int kCodeNone = 0;
constexpr int kCodeDelete = 3;
constexpr int kCodePermission = 4;

}  // namespace

void FileOperationStarters::refuse(const QString& text) const {
    engine_.session().log(LogChannel::Error, text);
}

std::vector<RemoteItem> FileOperationStarters::usableItems(const std::vector<RemoteItem>& items,
                                                           const char* operation) const {
    std::vector<RemoteItem> out;
    for (const RemoteItem& item : items) {
        if (isSafeRemoteName(item.name))
            out.push_back(item);
        else
            refuse(QStringLiteral("\"%1\" is left out of %2: its name is not usable")
                       .arg(displayText(item.name), QLatin1String(operation)));
    }
    return out;
}

bool FileOperationStarters::deleteItems(const QByteArray& folder,
                                        const std::vector<RemoteItem>& selected,
                                        const RefreshTarget& target) {
    const std::vector<RemoteItem> items = usableItems(selected, "deleting");
    if (items.empty())
        return false;
    Groups groups;
    StepList deletes{{"CWD", folder}};
    for (const RemoteItem& item : items)
        if (!item.isFolder())
            deletes.append({"DELE", item.name});
    if (deletes.size() > 1)
        groups.push_back(std::make_unique<PureGroup>(deletes));
    for (const RemoteItem& item : items) {
        if (!item.isFolder())
            continue;
        const QByteArray path = joinRemotePath(folder, item.name);
        auto action =
            std::make_unique<DeleteFolderAction>(engine_, path, engine_.listingSequence(path));
        action->startWalk(item);
        groups.push_back(std::move(action));
    }
    RefreshTarget refreshTarget = target;
    refreshTarget.mode = RefreshMode::AfterDelete;
    auto refresh = std::make_unique<RefreshFolderAction>(
        engine_, folder, engine_.listingSequence(folder), refreshTarget);
    for (const RemoteItem& item : items)
        if (!item.isFolder())
            refresh->deletedFiles << item.name;
    groups.push_back(std::move(refresh));
    engine_.appendTask(QStringLiteral("Start deleting files"), std::move(groups),
                       QStringLiteral("Deleting files completed"), kCodeDelete);
    return true;
}

bool FileOperationStarters::deleteItems(const QByteArray& folder, const RemoteItemList& items,
                                        const RefreshTarget& target) {
    return deleteItems(folder, items.toVector(), target);
}

bool FileOperationStarters::createFolder(const QByteArray& parent, const QByteArray& name) {
    if (name.isEmpty()) {
        refuse(QStringLiteral("No folder is created: the name is empty"));
        return false;
    }
    Groups groups;
    groups.push_back(std::make_unique<CreateFolderAction>(
        engine_, parent, engine_.listingSequence(parent), CreateFolderRequest{{name}}));
    engine_.appendTask(QStringLiteral("Start creating directory"), std::move(groups),
                       QStringLiteral("Creating directory completed"), kCodeNone);
    return true;
}

bool FileOperationStarters::rename(const QByteArray& folder, const QByteArray& oldName,
                                   const QByteArray& newName, quint8 flag) {
    if (oldName.isEmpty() || newName.isEmpty()) {
        refuse(QStringLiteral("Nothing is renamed: a name is empty"));
        return false;
    }
    Groups groups;
    groups.push_back(std::make_unique<RenameAtomAction>(
        engine_, folder, engine_.listingSequence(folder), RenameRequest{oldName, newName, flag}));
    engine_.appendTask(QStringLiteral("Start rename"), std::move(groups),
                       QStringLiteral("Rename completed"), kCodeNone);
    return true;
}

bool FileOperationStarters::move(const QByteArray& sourceFolder, const QByteArray& targetFolder,
                                 const std::vector<RemoteItem>& selected) {
    const std::vector<RemoteItem> items = usableItems(selected, "moving");
    if (items.empty())
        return false;
    MoveRequest request{sourceFolder, {}};
    for (const RemoteItem& item : items)
        request.names.append(item.name);
    Groups groups;
    groups.push_back(std::make_unique<MoveIntoAction>(
        engine_, targetFolder, engine_.listingSequence(targetFolder), std::move(request)));
    engine_.appendTask(QStringLiteral("Start moving files"), std::move(groups),
                       QStringLiteral("Moving files completed"), kCodeNone);
    return true;
}

bool FileOperationStarters::changePermissions(const QByteArray& folder,
                                              const PermissionRequest& request,
                                              const std::vector<RemoteItem>& selected,
                                              bool linksAsFolders) {
    const std::optional<int> number = parsePermissionNumber(QString::fromLatin1(request.mode));
    if (request.mode.size() != 3 || !number) {
        refuse(QStringLiteral("Permissions are not changed: \"%1\" is not three digits from 0 "
                              "to 7")
                   .arg(displayText(request.mode)));
        return false;
    }
    Groups groups;
    if (selected.empty()) {
        // The folder's contents.
        groups.push_back(std::make_unique<ChangePermissionAction>(
            engine_, folder, engine_.listingSequence(folder), request));
    } else {
        const std::vector<RemoteItem> items = usableItems(selected, "changing permissions");
        if (items.empty())
            return false;
        const auto entered = [&](const RemoteItem& item) {
            return request.recurse && (item.isFolder() || (linksAsFolders && item.kind == 'l'));
        };
        StepList changes{{"CWD", folder}};
        for (const RemoteItem& item : items) {
            // A folder entered for its files keeps its own mode: a files' mode
            // (644) would lock everyone out of it, the walk first.
            if (entered(item) && !request.applyToFolders)
                continue;
            changes.append({"SITE CHMOD", request.mode + ' ' + item.name});
        }
        if (changes.size() > 1)
            groups.push_back(std::make_unique<PureGroup>(changes));
        if (request.recurse) {
            for (const RemoteItem& item : items) {
                if (!item.isFolder() && !(linksAsFolders && item.kind == 'l'))
                    continue;
                const QByteArray path = joinRemotePath(folder, item.name);
                auto action = std::make_unique<ChangePermissionAction>(
                    engine_, path, engine_.listingSequence(path), request);
                action->startWalk(item);
                groups.push_back(std::move(action));
            }
        }
        // Full sequence: the walks above leave the session in other folders.
        groups.push_back(std::make_unique<RefreshFolderAction>(engine_, folder,
                                                               engine_.listingSequence(folder)));
    }
    engine_.appendTask(QStringLiteral("Start changing file permissions"), std::move(groups),
                       QStringLiteral("Changing permission completed"), kCodePermission);
    return true;
}
