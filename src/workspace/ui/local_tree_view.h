#pragma once

#include <QTreeView>

#include <memory>

#include "workspace/local_drop_rules.h"
#include "workspace/local_menu_rules.h"
#include "workspace/ui/local_actions.h"

class LocalRowDelegate;
class LocalSide;
class LocalTreeModel;
class QMenu;
class QMimeData;

// A local folder tree. The Normal page's tree is rooted at "My computer"
// and guards the project folder; the Local project page's tree is rooted at
// the project folder. Selecting a node tells the list beside it what to show.
class LocalTreeView : public QTreeView {
    Q_OBJECT
public:
    enum class Kind { Normal, Project };

    LocalTreeView(Kind kind, LocalSide& side, QWidget* parent = nullptr);
    ~LocalTreeView() override;

    Kind kind() const { return kind_; }
    LocalTreeModel* treeModel() const { return model_; }

    // The folder selected in the tree; empty on "My computer" or nothing.
    // The remote side downloads here.
    QString selectedFolder() const;
    // Opens the nodes down to path (reading them as needed) and selects it;
    // where a folder is missing, the deepest existing one is selected.
    void selectFolder(const QString& path);

    // The folder to reopen at the next start (the Normal page's tree).
    QString lastLocalFolder() const { return selectedFolder(); }
    void setLastLocalFolder(const QString& path) { selectFolder(path); }

    // Project tree: takes folder as its root; false (tree unchanged) when it
    // is not an existing folder. Empty clears the tree.
    bool setProjectRoot(const QString& folder);
    // Project tree: "Remove project Folder?", then empties the tree and the
    // stored folder.
    void clearProjectFolder();

    // The context menu of a node (nullptr where none is shown), with each
    // action's id in data(); the background's when index is invalid.
    std::unique_ptr<QMenu> contextMenuFor(const QModelIndex& index);
    std::vector<LocalMenuItem> menuItemsFor(const QModelIndex& index) const;
    // Runs a menu command on a node.
    void runCommand(int id, const QModelIndex& index);

    // The operations behind the menus and keys.
    void uploadFolder(const QModelIndex& index);
    void deleteFolder(const QModelIndex& index);
    void renameFolder(const QModelIndex& index, const QString& newName);
    void copyFolder(const QModelIndex& index);
    void pasteInto(const QModelIndex& index);
    void refresh();

    // Drops: where a drop at index lands, what it would do, and doing it.
    QString dropFolderAt(const QModelIndex& index) const;
    LocalDropDecision dropOn(const QModelIndex& index, const QMimeData& data);

    LocalActions& actions() { return actions_; }

signals:
    // The selected node changed: a folder path, or empty for "My computer"
    // (or an empty project tree).
    void folderSelected(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void onCurrentChanged(const QModelIndex& current);
    void continueReveal();
    bool acceptsDrag(QDropEvent* event);

    Kind kind_;
    LocalSide& side_;
    LocalTreeModel* model_;
    LocalRowDelegate* delegate_;
    LocalActions actions_;
    QString revealTarget_;
};
