#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

#include "remote/local_folder_record.h"
#include "remote/remote_drag_data.h"
#include "remote/remote_item.h"

// What a drop onto a remote view does. Decided from the drag and the target
// alone, so the views only carry it out.
struct RemoteDropDecision {
    enum Action { Nothing, Refuse, Move };
    Action action = Nothing;
    QString message;  // Refuse: what to tell the user
    bool operator==(const RemoteDropDecision&) const = default;
};

// Entries dragged from a remote list (fromTree false) or one remote tree node
// (fromTree true; the drag's folder is the node's parent and its one item the
// node) dropped on the remote tree folder `target`. A folder may not go into
// itself or below itself; on the normal page (guarded) an entry holding the
// remote project folder stays where it is; a drop onto the folder the entries
// are in does nothing.
RemoteDropDecision DecideRemoteTreeDrop(const RemoteDragData& drag, bool fromTree,
                                        const QByteArray& target, bool guarded,
                                        const QString& remoteProjectFolder);

// What a drag over a remote view carries; a remote drag wins over the
// file names it also holds for the desktop.
enum class RemoteDropSource { RemoteItems, LocalFiles, Other };
RemoteDropSource RemoteDropSourceOf(bool hasRemoteDrag, bool hasLocalFiles);

// The folder a drop onto the remote tree lands in: the node under it (node
// empty: the blank below the nodes, where only desktop files go, into the
// root). Empty: nothing happens there.
QByteArray RemoteTreeDropFolder(RemoteDropSource source, const QByteArray& node,
                                const QByteArray& root);

// The folder a drop onto the remote list lands in: desktop files into a
// folder row itself (".." the folder above), elsewhere into the folder shown;
// the server's own entries only onto a folder row (a move, judged as a drop
// on the tree is). Empty: the drop is refused.
QByteArray RemoteListDropFolder(RemoteDropSource source, const QByteArray& shown,
                                const RemoteItem* row);

// Files and folders dropped from the desktop, grouped by the local folder they
// are in, one upload record per folder, in the order first met. Paths that do
// not exist are left out and named in `missing`.
std::vector<LocalFolderRecord> UploadRecordsFromPaths(const QStringList& localPaths,
                                                      QStringList* missing = nullptr);

// A desktop drop onto a remote folder inside the remote project folder goes
// as a pair upload: the target's path below the project folder, else empty
// with inProject false for a normal upload.
struct RemoteUploadRoute {
    bool inProject = false;
    QByteArray relativePath;
};
RemoteUploadRoute UploadRouteFor(const QByteArray& remoteProjectFolder, const QByteArray& target);
