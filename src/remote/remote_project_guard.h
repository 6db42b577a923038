#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

#include "platform/path_containment.h"

// The remote views' side of the project folders: containment on server paths,
// the guards before deleting, renaming and moving, the question before a new
// remote project folder, and the transfer menus' mapping between the two
// project folders. Server paths compare without regard to case, as the stored
// folder is the user's choice of text.

// True when path equals folder or lies below it ("/" holds everything).
inline bool IsInRemoteFolder(const QString& folder, const QString& path) {
    return IsInProject(folder, path, QLatin1Char('/'));
}
// True when path is the remote project folder or one of its ancestors.
inline bool IsRemoteProjectParent(const QString& remoteProjectFolder, const QString& path) {
    return IsProjectParent(remoteProjectFolder, path, QLatin1Char('/'));
}

// The refusal for deleting or renaming the given server paths on the normal
// page, or nothing when none of them holds the remote project folder.
std::optional<QString> RemoteDeleteRefusal(const QString& remoteProjectFolder,
                                           const std::vector<QString>& paths);
std::optional<QString> RemoteRenameRefusal(const QString& remoteProjectFolder, const QString& path);

// "Set as remote project Folder": nothing to do for the same folder (any
// case), a question when another one is set, else store at once.
enum class RemoteProjectStep { Unchanged, AskFirst, Store };
RemoteProjectStep SetRemoteProjectStep(const QString& current, const QString& chosen);

// The text of "Upload to ..." / "Download ..." and the folder it sends to.
struct TransferMenuTarget {
    QString text;
    QString folder;          // empty: no target
    bool inProject = false;  // the folder came from the project mapping
};

// One side of a transfer: its project folder and separator.
struct ProjectSide {
    QString projectFolder;
    QChar separator = QLatin1Char('/');
};

// Inside the project folder of `from` (both project folders set) a folder
// sends to its twin below the project folder of `to`, and the text is
// projectText and the rest of the path; otherwise it sends to openFolder, the
// folder open on the other side, with plainText before it. Without a folder
// there the text says why: noProjectText when folder is in its side's project
// but the other side has no project folder (its words for that side), else
// that no folder is open there.
TransferMenuTarget ProjectTransferTarget(const ProjectSide& from, const ProjectSide& to,
                                         const QString& folder, const QString& openFolder,
                                         const char* projectText, const char* plainText,
                                         const char* noProjectText = "");

// Where "Download ..." sends a remote folder's entries.
TransferMenuTarget DownloadTargetFor(const QString& localProjectFolder,
                                     const QString& remoteProjectFolder,
                                     const QString& remoteFolder, const QString& openLocalFolder,
                                     QChar localSeparator = QLatin1Char('/'));
