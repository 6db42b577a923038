#include "workspace/ui/local_list_pane.h"

#include "platform/list_summary.h"
#include "platform/prompter.h"
#include "platform/ui/explorer_host.h"
#include "workspace/local_list_rows.h"
#include "workspace/local_path_input.h"
#include "workspace/project_folders.h"
#include "workspace/ui/local_list_model.h"
#include "workspace/ui/local_list_view.h"
#include "workspace/ui/local_side.h"
#include "workspace/ui/local_tree_view.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

LocalListPane::LocalListPane(LocalListView* list, QWidget* parent)
    : QWidget(parent), list_(list), pathBar_(new QLineEdit(this)), status_(new QLabel(this)) {
    const bool project = list_->tree() && list_->tree()->kind() == LocalTreeView::Kind::Project;
    const QString side = project ? QStringLiteral(" of local project") : QString();
    pathBar_->setAccessibleName(QStringLiteral("Local path") + side);
    pathBar_->setPlaceholderText(QStringLiteral("Local folder"));
    status_->setAccessibleName(QStringLiteral("Local list summary") + side);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(pathBar_);
    layout->addWidget(list_, 1);
    layout->addWidget(status_);
    // Read as it shows: where the list is, then the list.
    setTabOrder(pathBar_, list_);

    LocalListModel* model = list_->listModel();
    connect(pathBar_, &QLineEdit::returnPressed, this, [this] {
        if (goToTyped())
            list_->setFocus();
    });
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        updatePath();
        updateStatus();
    });
    connect(model, &QAbstractItemModel::rowsInserted, this, &LocalListPane::updateStatus);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &LocalListPane::updateStatus);
    // A shown file that grew changes the total.
    connect(model, &QAbstractItemModel::dataChanged, this, &LocalListPane::updateStatus);
    connect(model, &LocalListModel::folderLoaded, this, [this] {
        updatePath();
        updateStatus();
    });
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LocalListPane::updateStatus);
    connect(&list_->side(), &LocalSide::sizeStyleChanged, this, &LocalListPane::updateStatus);
    updatePath();
    updateStatus();
}

bool LocalListPane::goToTyped() {
    LocalTreeView* tree = list_->tree();
    const QString path =
        ResolveLocalPathInput(pathBar_->text(), list_->currentFolder(), QDir::homePath());
    Prompter& prompter = list_->side().host().prompter();
    if (path.isEmpty() || !tree) {
        updatePath();
        return false;
    }
    if (!QFileInfo(path).isDir()) {
        prompter.showMessage(QStringLiteral("There is no folder ") + path);
        return false;
    }
    if (tree->kind() == LocalTreeView::Kind::Project) {
        const QString root = list_->side().host().localProjectFolder();
        if (root.isEmpty() || !IsInProject(root, path, kLocalSeparator)) {
            prompter.showMessage(path + QStringLiteral(" is outside the local project folder."));
            return false;
        }
    }
    tree->selectFolder(path);
    return true;
}

void LocalListPane::updatePath() {
    // Text being typed stays until the list goes somewhere else.
    const QString folder = list_->currentFolder();
    if (folder != shownFolder_ || !pathBar_->isModified())
        pathBar_->setText(folder);
    shownFolder_ = folder;
}

void LocalListPane::updateStatus() {
    const LocalListModel* model = list_->listModel();
    if (model->isLoading()) {
        status_->setText(QStringLiteral("Reading the folder..."));
        return;
    }
    if (!model->isComputer() && !model->readOk()) {
        status_->setText(QStringLiteral("This folder can not be read"));
        return;
    }
    ListCounts counts;
    const std::vector<int> rows = list_->selectedRows();
    bool selection = false;
    for (int row : rows) {
        const LocalListRow* r = model->rowAt(row);
        if (r && r->kind != LocalRowKind::Parent) {
            selection = true;
            CountLocalRow(counts, *r);
        }
    }
    if (!selection)
        for (int row = 0; row < model->rowCount(); ++row)
            CountLocalRow(counts, *model->rowAt(row));
    status_->setText(ListSummaryText(counts, selection, list_->side().sizeStyle()));
}
