#include "workspace/ui/local_explorer.h"

#include <QLayout>
#include <QVBoxLayout>

#include "platform/ui/project_page.h"
#include "workspace/ui/local_list_pane.h"
#include "workspace/ui/local_list_view.h"
#include "workspace/ui/local_tree_view.h"

LocalExplorer::LocalExplorer(LocalSide& side, QWidget* parent)
    : QSplitter(Qt::Vertical, parent),
      tree_(new LocalTreeView(LocalTreeView::Kind::Normal, side, this)),
      list_(new LocalListView(side, this)) {
    setAccessibleName(QStringLiteral("Local side"));
    setChildrenCollapsible(false);
    addWidget(tree_);
    list_->followTree(tree_);
    addWidget(new LocalListPane(list_, this));
    setStretchFactor(0, 2);
    setStretchFactor(1, 3);
}

QString LocalExplorer::lastLocalFolder() const {
    return tree_->lastLocalFolder();
}

void LocalExplorer::setLastLocalFolder(const QString& path) {
    tree_->setLastLocalFolder(path);
}

namespace {
void Put(QWidget* slot, QWidget* view) {
    if (!slot->layout()) {
        auto* layout = new QVBoxLayout(slot);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    slot->layout()->addWidget(view);
}
}  // namespace

LocalProjectViews FillLocalProjectPage(LocalSide& side, ProjectPage& page) {
    LocalProjectViews views;
    views.tree = new LocalTreeView(LocalTreeView::Kind::Project, side, page.treeSlot());
    views.list = new LocalListView(side, page.listSlot());
    Put(page.treeSlot(), views.tree);
    views.list->followTree(views.tree);
    Put(page.listSlot(), new LocalListPane(views.list, page.listSlot()));
    return views;
}
