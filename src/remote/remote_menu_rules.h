#pragma once

#include <QString>

#include <optional>
#include <vector>

#include "remote/kind_filter.h"

// Command ids of the remote views' context menus.
namespace RemoteMenuId {
// Tree ("MU03_POP_TREE_SERVER").
inline constexpr int kTreeDownload = 32780;
inline constexpr int kTreeRename = 32782;
inline constexpr int kTreeDelete = 32784;
inline constexpr int kTreePermissions = 32783;
inline constexpr int kTreeLinkInfo = 34194;
inline constexpr int kTreeChangeCase = 34221;
inline constexpr int kTreeSearch = 34207;
inline constexpr int kTreeCompare = 34212;
inline constexpr int kTreeViewPath = 32785;
inline constexpr int kTreeSetProject = 33941;
inline constexpr int kTreeRefresh = 32788;
inline constexpr int kTreeReset = 32779;
inline constexpr int kTreeCreateFolder = 32781;
// List ("MU04_POP_LIST_SERVER").
inline constexpr int kListFtpWizard = 34179;
inline constexpr int kListToolHelp = 34178;
inline constexpr int kListDownload = 32789;
inline constexpr int kListRename = 32790;
inline constexpr int kListDelete = 32792;
inline constexpr int kListPermissions = 32791;
inline constexpr int kListViewPath = 32793;
inline constexpr int kListConcernedFile = 34176;
}  // namespace RemoteMenuId

// One item of a context menu as it is shown. A separator has id 0 and no
// text; items of a submenu name it in `submenu`.
struct RemoteMenuItem {
    int id = 0;
    QString text;
    bool enabled = true;
    QString submenu;
    bool operator==(const RemoteMenuItem&) const = default;
};

// Which loops the window can open now.
struct LoopAvailability {
    bool compare = false;
    bool search = false;
    bool changeCase = false;
};

struct RemoteTreeMenuContext {
    bool isRoot = false;
    char kind = 'd';        // the node's entry: folder or link
    KindFilter kindFilter;  // "Delete and download"
    QString downloadText;   // the rewritten "Download ..." text
    bool hasDownloadTarget = false;
    bool projectPage = false;  // the Remote project page's tree keeps "Compare"
    LoopAvailability loops;
};

struct RemoteListMenuContext {
    int selected = 0;
    bool singlePlainFile = false;  // exactly one regular file selected
    bool singleNotFolder = false;  // exactly one entry selected and it is not a folder
    QString downloadText;
    bool hasDownloadTarget = false;
};

std::vector<RemoteMenuItem> RemoteTreeMenu(const RemoteTreeMenuContext& context);
std::vector<RemoteMenuItem> RemoteListMenu(const RemoteListMenuContext& context);

// The submenus' captions.
inline constexpr char kLoopSubmenu[] = "Loop";
inline constexpr char kViewEditSubmenu[] = "View/edit by";

// Search and change case refuse to start while the server is busy and in a
// folder or link known to be empty. Nothing: the loop may start.
enum class RemoteLoop { Search, ChangeCase };
std::optional<QString> LoopStartRefusal(RemoteLoop loop, bool sessionBusy, bool listed,
                                        bool emptyListing, bool isLink);

// "The link pointers to\n\n" + target + "\n\n".
QString LinkInfoText(const QString& target);
