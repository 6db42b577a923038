#pragma once

#include <QTreeView>

#include <memory>

#include "platform/list_sort.h"
#include "workspace/local_drop_rules.h"
#include "workspace/local_menu_rules.h"
#include "workspace/ui/local_actions.h"

class ColumnNeeds;
class LocalListModel;
class LocalRowDelegate;
class LocalSide;
class LocalTreeView;
class QMenu;
class QMimeData;

// The local list: the contents of the folder selected in its tree (the
// drives under "My computer"), with the list's menu, renaming in place,
// deleting, uploading, and drag and drop.
class LocalListView : public QTreeView {
    Q_OBJECT
public:
    LocalListView(LocalSide& side, QWidget* parent = nullptr);
    ~LocalListView() override;

    LocalListModel* listModel() const { return model_; }
    LocalSide& side() const { return side_; }
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
    void goUp();
    void uploadSelected();
    void deleteSelected();
    void copySelected();
    void renameRow(int row, const QString& newName);

    QString dropFolderAt(const QModelIndex& index) const;
    LocalDropDecision dropOn(const QModelIndex& index, const QMimeData& data);

    LocalActions& actions() { return *actions_; }

signals:
    // The user opened a folder in the list (empty: "My computer").
    void openFolderRequested(const QString& path);
    // A header click sorted the list anew: the window keeps the order.
    void listSortChanged(ListSort sort);

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
    bool viewportEvent(QEvent* event) override;

private:
    void applyColumnWidths();
    void restoreKeptSelection();
    ColumnNeeds* needs_ = nullptr;
    bool acceptsDrag(QDropEvent* event);
    QString rowPath(int row) const;

    LocalSide& side_;
    LocalListModel* model_;
    LocalRowDelegate* delegate_;
    std::unique_ptr<LocalActions> actions_;
    LocalTreeView* tree_ = nullptr;
    // What was selected when the shown folder was read again.
    QString keptCurrent_;
    QStringList keptSelection_;
};
