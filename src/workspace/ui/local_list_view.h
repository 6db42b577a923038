#pragma once

#include <memory>
#include <utility>

#include "platform/list_sort.h"
#include "workspace/local_menu_rules.h"
#include "workspace/ui/local_item_view.h"

class ColumnNeeds;
class LocalListModel;
class LocalTreeView;

// The local list: the contents of the folder selected in its tree (the
// drives under "My computer"), with the list's menu, renaming in place,
// deleting, uploading, and drag and drop.
class LocalListView : public LocalItemView {
    Q_OBJECT
public:
    LocalListView(LocalSide& side, QWidget* parent = nullptr);
    ~LocalListView() override;

    LocalListModel* listModel() const { return model_; }
    // The list's order (from the settings); the header shows it.
    void setListSort(ListSort sort);

    // Shows what the tree selects, and opens folders through it.
    void followTree(LocalTreeView* tree);
    LocalTreeView* tree() const { return tree_; }

    // The folder shown; empty for "My computer" or nothing.
    QString currentFolder() const;
    void showFolder(const QString& folder);  // empty: "My computer"

    // Selected rows, in list order.
    std::vector<int> selectedRows() const;
    // The rows' names as items of the shown folder (not drives or "..").
    std::vector<LocalItemRef> selectedItems() const;

    std::vector<LocalMenuItem> menuItems() const;
    // The menu for the current selection (nullptr when nothing is selected).
    std::unique_ptr<QMenu> contextMenu();
    void runCommand(int id);

    // Opens a folder, drive or ".." row; a file opens with the desktop's
    // application.
    void openRow(int row);
    void goUp() override;
    void refresh() override;
    void uploadSelected();
    void deleteSelected();
    void copySelected();
    void renameRow(int row, const QString& newName);

    QString dropFolderAt(const QModelIndex& index) const override;

signals:
    // The user opened a folder in the list (empty: "My computer").
    void openFolderRequested(const QString& path);
    // A header click sorted the list anew: the window keeps the order.
    void listSortChanged(ListSort sort);

protected:
    void openAt(const QModelIndex& index) override { openRow(index.row()); }
    void deleteChosen() override { deleteSelected(); }
    std::unique_ptr<QMenu> menuAt(const QModelIndex& index) override;
    LocalDragData dragData(QIcon* icon, QString* text) const override;
    QModelIndex dropHighlight(const QModelIndex& index) const override;
    bool viewportEvent(QEvent* event) override;

private:
    // Remembers the current and selected rows for the next reading of the folder.
    void keepChosenRows();
    void applyColumnWidths();
    void restoreKeptSelection();
    ColumnNeeds* needs_ = nullptr;
    QString rowPath(int row) const;

    LocalListModel* model_;
    LocalTreeView* tree_ = nullptr;
    // What was selected when the shown folder was read again; the rows beside the current one
    // that were not selected take its place when it is gone (deleted, moved away).
    QString keptCurrent_;
    QStringList keptSelection_;
    QString keptNeighbours_[2];
    // The folder shown before the one being read.
    QString leftFolder_;
    // The old and new name of a row while it is renamed.
    std::pair<QString, QString> renaming_;
};
