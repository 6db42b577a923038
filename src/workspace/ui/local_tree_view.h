#pragma once

#include <memory>

#include "workspace/local_menu_rules.h"
#include "workspace/ui/local_item_view.h"

class LocalTreeModel;

// A local folder tree. The Normal page's tree is rooted at "My computer"
// and guards the project folder; the Local project page's tree is rooted at
// the project folder. Selecting a node tells the list beside it what to show.
class LocalTreeView : public LocalItemView {
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
    void refresh() override;
    // Backspace: to the parent node.
    void goUp() override;

    QString dropFolderAt(const QModelIndex& index) const override;

signals:
    // The selected node changed: a folder path, or empty for "My computer"
    // (or an empty project tree).
    void folderSelected(const QString& path);

protected:
    void openAt(const QModelIndex& index) override { expand(index); }
    void deleteChosen() override { deleteFolder(currentIndex()); }
    std::unique_ptr<QMenu> menuAt(const QModelIndex& index) override;
    LocalDragData dragData(QIcon* icon, QString* text) const override;

private:
    void onCurrentChanged(const QModelIndex& current);
    void continueReveal();

    Kind kind_;
    LocalTreeModel* model_;
    QString revealTarget_;
};
