#pragma once

// The program's message sets, the words several places share and the help topics, each
// defined once and kept exactly as users see them, odd spellings included. Texts one rule
// alone says stay beside that rule.

// Words more than one menu, dialog or rule says.
namespace CommonTexts {
inline constexpr char kNoChange[] = "No change";       // the options sheet, the colour dialog
inline constexpr char kNoChangeStop[] = "No change.";  // the tool dialogs, the beep options
inline constexpr char kCannotDrop[] = "Can not drop to the place";
inline constexpr char kRename[] = "Rename";
inline constexpr char kDelete[] = "Delete";
inline constexpr char kCreateFolder[] = "Create sub-directory";
inline constexpr char kViewEditBy[] = "View/edit by";
inline constexpr char kHelp[] = "Help";
}  // namespace CommonTexts

// Pages of the help folder, with their anchors.
namespace HelpTopics {
inline constexpr char kContents[] = "About.htm";
inline constexpr char kGeneralOptions[] = "option.htm#General_options";
inline constexpr char kAddTools[] = "http.htm#Add_Tools";
inline constexpr char kHttpIssues[] = "http.htm#HTTP_issues";
inline constexpr char kLocalProjectPage[] = "pages.htm#Local_project_page";
inline constexpr char kCompare[] = "loop/compare.htm";
inline constexpr char kSearch[] = "loop/search.htm";
inline constexpr char kChangeCase[] = "loop/changecase.htm";
inline constexpr char kCommandCheck[] = "menu/command.htm";
inline constexpr char kFileAction[] = "dialog/updnalert.htm";
}  // namespace HelpTopics

// Beeps and shutdown after the transfers.
namespace CompletionTexts {
inline constexpr char kNotContinually[] = "Do not beep continually";
inline constexpr char kMinuteFormat[] = "%d minute";
inline constexpr char kBeepOptionsTitle[] = "Beep options";
inline constexpr char kConfirmTitle[] = "You want to shutdown ...";
inline constexpr char kCountdownTitle[] = "Shutdown";
inline constexpr char kSystemLead[] = "System will be shutdown in";
inline constexpr char kProgramLead[] = "Application will be shutdown in";
inline constexpr char kCountFormat[] = " %d ";
inline constexpr char kSeconds[] = "seconds";
inline constexpr char kSecond[] = "second";
inline constexpr char kShutdownNow[] = "Shundown Now";
inline constexpr char kCancel[] = "Cancel";
}  // namespace CompletionTexts

// The tool dialogs and the file-input dialog.
namespace ToolTexts {
inline constexpr char kRemoveForResearch[] = "Please remove undesirable tools for re-searching.";
inline constexpr char kInputName[] = "Please input name for the tool.";
inline constexpr char kInputFile[] = "Please input a file.";
inline constexpr char kFileMissing[] = "The file doesn't exist.";
inline constexpr char kSearchTitle[] = "Search for tools";
inline constexpr char kSearchNote[] = "Searching following tools on your computer.";
inline constexpr char kSearchCompleted[] = "Searching tools completed";
inline constexpr char kUserTitle[] = "Add user tools";
inline constexpr char kUserNote[] = "Add new tools from your computer.";
inline constexpr char kKindHttp[] = "HTTP";
inline constexpr char kKindLocal[] = "local";
inline constexpr char kSearchKindColumn[] = "HTTP or local tool";
inline constexpr char kUserKindColumn[] = "HTTP/local tool";
}  // namespace ToolTexts

namespace ColorTexts {
inline constexpr char kTitle[] = "Change color";
inline constexpr char kLocalPageTitle[] = "Change local project background color";
inline constexpr char kRemotePageTitle[] = "Change remote project background color";
}  // namespace ColorTexts

namespace GeneralOptionsTexts {
inline constexpr char kTitle[] = "General";
}  // namespace GeneralOptionsTexts

// The local and remote project folders.
namespace ProjectTexts {
inline constexpr char kChangeLocal[] = "Do you want to change local project Folder?";
inline constexpr char kLocalInvalid[] = "The local project Folder is invalid";
inline constexpr char kRemoveLocal[] = "Remove project Folder?";
inline constexpr char kCannotDeleteLocalParent[] =
    "Can not delete the Folder, because it is parent of project Folder.";
inline constexpr char kDeleteSubFolder[] = "It is sub-Folder of project, Do you want to delete it?";
inline constexpr char kDeleteFolder[] = "Delete the Folder?";
inline constexpr char kRenameParent[] = "It is parent Folder of project, Do you want to rename it?";
inline constexpr char kRenameFailed[] = "Can not rename the Folder.";
inline constexpr char kMoveParent[] = "It is parent Folder of project, Do you want to move it?";
inline constexpr char kUploadToProject[] = "Upload to\t(Remote project Folder)";
inline constexpr char kUploadTo[] = "Upload to\t";
// After "Upload to" / "Download to" when there is nowhere to send to.
inline constexpr char kNoRemoteProject[] = "(no remote project Folder)";
inline constexpr char kNoFolderOpen[] = "(no Folder open)";
}  // namespace ProjectTexts

namespace RemoteProjectTexts {
inline constexpr char kCannotDelete[] = "Can not delete, because it is parent of project Folder.";
inline constexpr char kCannotRename[] = "Can not rename, because it is parent of project Folder";
inline constexpr char kChangeRemote[] = "Do you want to change remote project Folder?";
inline constexpr char kRemoveRemote[] =
    "Remove project Folder?\n\nThe action does not affect server files.";
inline constexpr char kRemoteProjectHelp[] =
    "Please set remote project Folder on Remote tree of Normal page.";
inline constexpr char kDownloadToProject[] = "Download to \t(Local project Folder)";
inline constexpr char kDownloadTo[] = "Download to \t";
inline constexpr char kNoLocalProject[] = "(no local project Folder)";
}  // namespace RemoteProjectTexts

// The local disk's moves, drops and deletions, and its menus.
namespace LocalTexts {
inline constexpr char kCannotMove[] = "Can not move: ";
inline constexpr char kCannotDropToChild[] = "Can not drop to child or self";
inline constexpr char kDeleteSelected[] = "Delete selected file/folder?";
}  // namespace LocalTexts

namespace LocalMenuTexts {
inline constexpr char kCopy[] = "Copy";
inline constexpr char kPaste[] = "Paste";
inline constexpr char kViewPath[] = "View local path";
inline constexpr char kSetProject[] = "Set as local project Folder";
inline constexpr char kProperties[] = "Propertiy";
inline constexpr char kNewFile[] = "New file";
}  // namespace LocalMenuTexts

// The three loops over the server: compare, search and change case.
namespace LoopTexts {
inline constexpr char kCompareBusy[] = "Server is busy, can't compare now.";
inline constexpr char kSearchBusy[] = "Server is busy,\ncan not start searching now.";
inline constexpr char kChangeBusy[] = "Server is busy,\ncan not start changing now.";
inline constexpr char kNoChangeKind[] = "Please select items to change";
inline constexpr char kPleaseWait[] = "Please wait...";
inline constexpr char kCompareIdle[] = "After seaching, right click an item to see its properties.";
inline constexpr char kSearchIdle[] = "Right click a File to delete it, or view it by FTP wizard";
inline constexpr char kChangeIdle[] = "Right click a File to view it by FTP wizard";
inline constexpr char kCompareEnded[] = "Comparing ended, time used :  ";
inline constexpr char kSearchEnded[] = "Search ended, time used :  ";
inline constexpr char kChangeEnded[] = "changing case ended, time used :  ";
inline constexpr char kStoppedPartial[] =
    "Stopped before the end: the list holds only what was reached.";
}  // namespace LoopTexts

namespace SearchTexts {
inline constexpr char kNoKind[] = "Pease select at least one item for search.";
inline constexpr char kNoSize[] = "Pease specify file size.";
inline constexpr char kSizeNeedsFile[] =
    "Error: file size is only valid to item File, please select it.";
inline constexpr char kNoName[] = "Pease specify file name for search.";
inline constexpr char kTooManyDots[] = "Error: file name contains too many dots (.)";
inline constexpr char kBadName[] = "Error: file name is incorrect.";
inline constexpr char kBadTitle[] = "Error: file title is incorrect.";
inline constexpr char kBadExtension[] = "Error: file extension is incorrect.";
inline constexpr char kAllFiles[] = "Error: searching for all files is not allowed.";
inline constexpr char kNoTitle[] = "Error: please specify file title for searching.";
}  // namespace SearchTexts

namespace ChangeCaseTexts {
inline constexpr char kNothingToRename[] = "Nothing needs renaming.";
inline constexpr char kNothingRenamed[] = "Nothing was renamed.";
inline constexpr char kStoppedBeforeRenaming[] =
    "Stopped before the end: nothing was renamed; the list is only what was planned so far.";
inline constexpr char kTakenTip[] = "The new name is taken in this folder: not renamed.";
}  // namespace ChangeCaseTexts
