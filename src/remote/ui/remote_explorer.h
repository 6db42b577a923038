#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

#include "platform/list_sort.h"
#include "remote/kind_filter.h"
#include "remote/remote_drop_rules.h"
#include "remote/remote_item_list.h"
#include "remote/ui/remote_list_model.h"
#include "remote/ui/remote_transfers.h"

class ActionEngine;
class ExplorerHost;
class ExplorerItemView;
class FtpSession;
class ListingAction;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;
class QSplitter;
class RemoteTreeModel;
struct TransferMenuTarget;
struct RemoteMenuItem;

// The server side of a page: a tree of remote folders and a list of the
// selected folder's entries (under a path bar, over a summary line), their
// context menus, dialogs, in-place rename, drag and drop and keys. It follows
// the engine's listing signals and starts work only through the engine's
// starters, after its own questions and guards.
//
// The tree and the list sit side by side in the explorer's own splitter; a
// page that has separate slots for them may move treeView() and listView()
// into its slots (they keep working wherever they are).
class RemoteExplorer : public QWidget {
    Q_OBJECT
public:
    // Normal: rooted at the server's start folder, with the project guards.
    // Project: rooted at the remote project folder, no guards, with "Compare".
    enum class Role { Normal, Project };

    RemoteExplorer(ActionEngine& engine, FtpSession& session, ExplorerHost& host, Role role,
                   QWidget* parent = nullptr);
    ~RemoteExplorer() override;

    Role role() const { return role_; }
    ExplorerItemView* treeView() const { return tree_; }
    ExplorerItemView* listView() const { return list_; }
    // The list with the path bar above it and the summary under it, as a
    // page places it.
    QWidget* listPane() const { return listPane_; }
    QLineEdit* pathBar() const { return pathBar_; }
    QLabel* statusLine() const { return status_; }
    RemoteTreeModel* treeModel() const { return treeModel_; }
    RemoteListModel* listModel() const { return listModel_; }
    QSplitter* splitter() const { return splitter_; }

    // --- what the window sets --------------------------------------------------
    // The page's current local folder (the local views' selected folder), asked
    // each time a download needs a target or a menu shows "Download to";
    // empty means none.
    using LocalFolderSource = std::function<QString()>;
    void setLocalFolderSource(LocalFolderSource source) { localFolder_ = std::move(source); }
    // The concerned file now set (a server path), empty when none.
    using ConcernedFileSource = std::function<QString()>;
    void setConcernedFileSource(ConcernedFileSource source) { concerned_ = std::move(source); }
    void setSizeStyle(quint8 style);
    void setNumericPermissions(bool numeric);
    // The list's order (from the settings); the header shows it.
    void setListSort(ListSort sort);
    ListSort listSort() const;
    // "Delete and download" kinds (ServerKindFlags).
    void setServerKindFlags(int flags) { kindFilter_.flags = flags; }

    // The Remote project page: a new remote project folder (empty clears the
    // tree). The folder is listed when the session is logged in.
    void setProjectFolder(const QString& folder);
    // "Remove project Folder?" on the Remote project page; true when cleared.
    bool clearProjectFolder();

    // --- what the window reads -------------------------------------------------
    // The folder the list shows (empty before the first listing).
    QByteArray currentFolder() const;
    // Shows a server folder in the tree and the list, listing it when needed;
    // on the Normal page a folder above the start folder roots the tree at
    // "/". False (with a message) for one outside the remote project.
    bool goToFolder(const QByteArray& folder);
    // The name of the entry selected in the list, else of the tree node.
    QByteArray selectedName() const;
    // Whether the tree or the list shows that folder.
    bool shows(const QByteArray& folder) const;
    // Empties the tree and the list (a login was refused: nothing of another
    // site stays on screen).
    void clearViews();
    // The listings the tree holds, for the question before an upload.
    KnownListing knownListing() const;

    // --- the menus, for tests and the window -------------------------------------
    std::vector<RemoteMenuItem> treeMenuItems(const QModelIndex& node) const;
    std::vector<RemoteMenuItem> listMenuItems() const;
    QMenu* buildTreeMenu(const QModelIndex& node, QWidget* parent);
    QMenu* buildListMenu(QWidget* parent);
    // Carries out a menu command on a tree node or the list's selection.
    void runTreeCommand(int id, const QModelIndex& node);
    void runListCommand(int id);

    // Drops, as the views hand them over.
    bool canDropOnTree(const QMimeData* mime, const QModelIndex& target, bool fromTree) const;
    void dropOnTree(const QMimeData* mime, const QModelIndex& target, bool fromTree);
    QByteArray treeDropFolder(RemoteDropSource source, const QModelIndex& target) const;
    // The server's own entries dropped onto a folder: moved there, after the
    // checks a drop on the tree makes.
    void moveDropped(const QMimeData* mime, const QByteArray& folder, bool fromTree);
    QByteArray listDropFolder(const QMimeData* mime, const QModelIndex& row) const;
    bool canDropOnList(const QMimeData* mime, const QModelIndex& row) const;
    void dropOnList(const QMimeData* mime, const QModelIndex& row);

    // In-place rename results (also what the editors end in).
    void renameTreeNode(const QModelIndex& node, const QString& text);
    void renameListRow(int row, const QString& text);

signals:
    // "Set as remote project Folder" stored a new folder: the Remote project
    // page takes it as its root.
    void remoteProjectFolderChanged(const QString& folder);
    void remoteProjectFolderCleared();
    // "View/edit by" > "FTP wizard" on a remote file.
    void ftpWizardRequested(const QByteArray& folder, const QByteArray& name);
    // A header click sorted the list anew: the window keeps the order.
    void listSortChanged(ListSort sort);

private:
    // chosen: the entries a change put forward (a rename's new name, created folders).
    void onListing(const QByteArray& folder, const RemoteItemList& items,
                   const QList<QByteArray>& chosen = {});
    void onRoot(const QByteArray& folder, const RemoteItemList& items);
    void onProjectFolderReached(const QByteArray& folder);
    void onLoggedInAgain();
    void showNode(const QModelIndex& node);
    void relist(const QModelIndex& node, bool reset);
    void openListRow(const QModelIndex& row);
    void openSelection();
    void goToParent();
    void goToTypedFolder();
    void typedFolderRefused(int code);
    bool parentRowFor(const QByteArray& folder) const;
    void showInList(const QByteArray& folder, SharedRemoteItems items);
    void onListRefilled();
    void updateStatus();
    void selectFolder(const QByteArray& folder);
    std::vector<RemoteItem> selectedItems() const;
    QModelIndex currentNode() const;
    TransferMenuTarget downloadTarget(const QByteArray& remoteFolder) const;
    QString downloadTargetFolder(const QByteArray& remoteFolder, QString* text) const;
    QMenu* buildMenu(const std::vector<RemoteMenuItem>& items, QWidget* parent,
                     const std::function<void(int)>& run, const QString& viewEditPath,
                     bool singlePlainFile);
    bool guarded() const { return role_ == Role::Normal; }

    ActionEngine& engine_;
    FtpSession& session_;
    ExplorerHost& host_;
    Role role_;
    QSplitter* splitter_;
    RemoteTreeModel* treeModel_;
    RemoteListModel* listModel_;
    ExplorerItemView* tree_;
    QWidget* listPane_;
    QLineEdit* pathBar_;
    ExplorerItemView* list_;
    QLabel* status_;
    quint8 sizeStyle_ = 0;
    // The folder shown last, and the name of its current row.
    QByteArray shownFolder_;
    QByteArray currentName_;
    // While a listing replaces a folder's nodes the tree's current node may go;
    // the node it falls on is not opened.
    bool holdTreeChoice_ = false;
    // A folder typed into the path bar whose listing has not come yet.
    QByteArray typedFolder_;
    LocalFolderSource localFolder_;
    ConcernedFileSource concerned_;
    KindFilter kindFilter_;
    QByteArray projectFolder_;
};
