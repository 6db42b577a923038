#pragma once

#include <QString>

#include <vector>

#include "workspace/local_list_rows.h"
#include "workspace/project_folders.h"
#include "workspace/workspace_command_ids.h"

struct LocalMenuItem {
    int id = 0;
    QString text;
    bool enabled = true;
    bool operator==(const LocalMenuItem&) const = default;
};

// What was right-clicked in a tree.
// A place is a folder listed under "My computer" for quick reach (home,
// documents, bookmarks); the folder itself lives on in its drive's tree.
enum class LocalTreeNodeKind { Computer, Drive, Place, Folder };

struct LocalTreeMenuInput {
    LocalTreeNodeKind node = LocalTreeNodeKind::Folder;
    bool projectTree = false;
    // The top item of the project tree: it shows a full path and is renamed
    // in the Normal page's tree.
    bool projectRoot = false;
    bool pasteAvailable = false;
    // Where "Upload to ..." sends, and whether an upload can start now
    // (logged in, and a target folder known).
    TransferMenuTarget upload;
    bool canUpload = false;
};

// The items of a tree item's menu in order; empty: no menu ("My computer").
std::vector<LocalMenuItem> LocalTreeMenu(const LocalTreeMenuInput& in);

struct LocalListMenuInput {
    std::vector<LocalRowKind> selected;  // kinds of the selected rows
    bool singlePlainFile = false;        // one file that is not a device or pipe
    TransferMenuTarget upload;
    bool canUpload = false;
};

// The list's menu; empty when no row is selected.
std::vector<LocalMenuItem> LocalListMenu(const LocalListMenuInput& in);

// The tree background's menu; folderSelected: the tree has a folder (or a
// drive) selected to paste into.
std::vector<LocalMenuItem> LocalTreeBlankMenu(bool folderSelected, bool pasteAvailable);
