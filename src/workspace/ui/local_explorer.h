#pragma once

#include <QSplitter>

class LocalListView;
class LocalSide;
class LocalTreeView;
class ProjectPage;

// The local side of the Normal page: the tree under "My computer" above the
// list of the selected folder.
class LocalExplorer : public QSplitter {
    Q_OBJECT
public:
    explicit LocalExplorer(LocalSide& side, QWidget* parent = nullptr);

    LocalTreeView* tree() const { return tree_; }
    LocalListView* list() const { return list_; }

    // The folder selected in the tree, for the next start.
    QString lastLocalFolder() const;
    void setLastLocalFolder(const QString& path);

private:
    LocalTreeView* tree_;
    LocalListView* list_;
};

// The views of the Local project page, put into its tree and list panes.
struct LocalProjectViews {
    LocalTreeView* tree = nullptr;
    LocalListView* list = nullptr;
};
LocalProjectViews FillLocalProjectPage(LocalSide& side, ProjectPage& page);
