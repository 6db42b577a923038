#pragma once

// Command ids of the remote views and the task panel; each action carries its
// id in data(), so menu rules and tests find actions by id.

// The remote views' context menus.
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

// The task panel's context menu.
enum TaskMenuCommand : int {
    kRemoveFirstTask = 33958,
    kRemoveSelectedTask = 33959,
    kRemoveAllTasks = 33960,
};
