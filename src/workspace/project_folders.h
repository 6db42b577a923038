#pragma once

#include <QChar>
#include <QString>

#include <functional>
#include <vector>

#include "platform/local_path.h"
#include "platform/path_containment.h"
#include "remote/remote_project_guard.h"
#include "workspace/copy_buffer.h"

class Prompter;

// The pair of project folders stored with a site; empty means "not set".
struct ProjectFolders {
    QString local;   // a local folder path
    QString remote;  // a server path with '/'
};

// Stores a new folder text: the app binds it to the site list's setter, which
// writes the connected site and its stored entry.
using StoreProjectFolder = std::function<void(const QString&)>;
// Offers a folder to the Local project page's tree as its root; false refuses it.
using TakeProjectRoot = std::function<bool(const QString&)>;

inline constexpr QChar kRemoteSeparator = QLatin1Char('/');

// --- path rules -----------------------------------------------------------

// The remote twin of a local path below the local project folder; empty when
// the path is not inside it or a folder is not set.
QString ToRemoteProjectPath(const ProjectFolders& folders, const QString& localPath,
                            QChar localSep = kLocalSeparator);
// The local twin of a remote path below the remote project folder; empty when
// the path is not inside it or a folder is not set.
QString ToLocalProjectPath(const ProjectFolders& folders, const QString& remotePath,
                           QChar localSep = kLocalSeparator);

// --- setting and clearing ---------------------------------------------------

enum class ProjectFolderChange {
    Unchanged,  // the same folder (or nothing to do): no question, nothing stored
    Declined,   // the user answered No
    Refused,    // the tree would not take the folder as its root
    Stored,     // the new text was handed to store
};

// The check the Local project page's tree applies by default: an existing folder.
bool IsUsableLocalProjectRoot(const QString& path);

ProjectFolderChange SetLocalProjectFolder(
    const QString& current, const QString& chosen, Prompter& prompter,
    const StoreProjectFolder& store, const TakeProjectRoot& takeRoot = IsUsableLocalProjectRoot);
// Asks before storing the empty text; nothing is asked when no folder is set.
ProjectFolderChange ClearLocalProjectFolder(const QString& current, Prompter& prompter,
                                            const StoreProjectFolder& store);

// --- guards -----------------------------------------------------------------
// Each returns true when the operation may go ahead. guarded is false in the
// project page's own tree, which skips the project checks but keeps the
// ordinary question; its root, the project folder, is never deleted.

bool ConfirmDeleteLocalFolder(const QString& projectFolder, const QString& path, bool guarded,
                              Prompter& prompter, QChar sep = kLocalSeparator);
// Rows of a list: refused when a chosen folder is the project folder or holds
// it (as a tree refuses it), else "Delete selected file/folder?".
bool ConfirmDeleteLocalItems(const QString& projectFolder, const QString& folder,
                             const std::vector<LocalItemRef>& items, bool guarded,
                             Prompter& prompter, QChar sep = kLocalSeparator);
bool ConfirmRenameLocalFolder(const QString& projectFolder, const QString& oldPath, bool guarded,
                              Prompter& prompter, QChar sep = kLocalSeparator);
// A dragged local folder that is a project parent may move after a Yes.
bool ConfirmMoveLocalFolder(const QString& projectFolder, const QString& path, Prompter& prompter,
                            QChar sep = kLocalSeparator);

// --- menu texts ---------------------------------------------------------------

// For a local folder: inside the local project folder (both folders set) the
// command uploads to its remote twin, otherwise to the folder open remotely.
TransferMenuTarget UploadMenuTarget(const ProjectFolders& folders, const QString& localFolder,
                                    const QString& openRemoteFolder,
                                    QChar localSep = kLocalSeparator);
