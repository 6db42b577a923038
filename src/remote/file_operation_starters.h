#pragma once

#include "remote/permission_actions.h"
#include "remote/refresh_target.h"
#include "remote/remote_item_list.h"

#include <QByteArray>

#include <vector>

class ActionEngine;

// The user's remote file operations other than transfers. Each appends its start
// entry, its commands and actions and its completed entry at the end of the
// queue and sends when the session is idle; each returns whether it queued
// anything. Confirmations and project-folder guards are the views'.
class FileOperationStarters {
public:
    explicit FileOperationStarters(ActionEngine& engine) : engine_(engine) {}

    // Deletes the selected entries of a folder (folders with everything in
    // them) and refreshes the folder; the target, when it has a window, is told
    // with mode 2. Nothing selected: nothing queued.
    bool deleteItems(const QByteArray& folder, const std::vector<RemoteItem>& items,
                     const RefreshTarget& target = RefreshTarget());
    bool deleteItems(const QByteArray& folder, const RemoteItemList& items,
                     const RefreshTarget& target = RefreshTarget());

    // Creates one folder unless its parent holds that name already.
    bool createFolder(const QByteArray& parent, const QByteArray& name);

    // Renames one entry unless the folder holds the new name already (then the
    // task fails, saying so); the flag goes to the views with the refresh.
    bool rename(const QByteArray& folder, const QByteArray& oldName, const QByteArray& newName,
                quint8 flag = 0);

    // Moves entries to another folder and refreshes both; an entry whose name
    // the target holds already stays (the target is listed first). Nothing
    // selected: nothing queued.
    bool move(const QByteArray& sourceFolder, const QByteArray& targetFolder,
              const std::vector<RemoteItem>& items);

    // Changes the permissions of the selected entries, or, with nothing
    // selected, of the folder's contents.
    bool changePermissions(const QByteArray& folder, const PermissionRequest& request,
                           const std::vector<RemoteItem>& items, bool linksAsFolders);

private:
    // The selected items whose names can go into a path; the others are
    // reported.
    std::vector<RemoteItem> usableItems(const std::vector<RemoteItem>& items,
                                        const char* operation) const;
    void refuse(const QString& text) const;

    ActionEngine& engine_;
};
