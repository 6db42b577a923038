#include "workspace/ui/local_list_view.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>

#include "platform/help_viewer.h"
#include "platform/local_path.h"
#include "platform/neighbour_rows.h"
#include "platform/program_texts.h"
#include "platform/prompter.h"
#include "platform/ui/column_needs.h"
#include "platform/ui/explorer_host.h"
#include "workspace/local_list_columns.h"
#include "workspace/local_upload_plan.h"
#include "workspace/project_folders.h"
#include "workspace/ui/local_list_model.h"
#include "workspace/ui/local_side.h"
#include "workspace/ui/local_tree_model.h"
#include "workspace/ui/local_tree_view.h"

LocalListView::LocalListView(LocalSide& side, QWidget* parent)
    : LocalItemView(side, true, parent), model_(new LocalListModel(this)) {
    setAccessibleName(QStringLiteral("Local files"));
    model_->setShowFlags(side_.showFlags());
    model_->setSizeStyle(side_.sizeStyle());
    setModel(model_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setTextElideMode(Qt::ElideMiddle);
    // Only when the columns cannot be read within its width.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    for (int c = 0; c < model_->columnCount(); ++c) {
        header()->setSectionResizeMode(c, QHeaderView::Fixed);
    }
    needs_ = new ColumnNeeds(this, kColName, {kColSize, kColModified, kColNumber});
    connect(needs_, &ColumnNeeds::changed, this, &LocalListView::applyColumnWidths);
    applyColumnWidths();
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(0, Qt::AscendingOrder);
    connect(header(), &QHeaderView::sectionClicked, this, [this](int column) {
        setListSort(model_->sort().clicked(column));
        emit listSortChanged(model_->sort());
    });

    // Taken once the editor has closed: a refusal's message box then hands the focus back to
    // the view, not to an editor about to go.
    // By the row's name: a reading of the folder in between makes rows anew.
    model_->renameHandler = [this](const QModelIndex& index, const QString& name) {
        const LocalListRow* r = model_->rowAt(index.row());
        if (!r)
            return;
        QMetaObject::invokeMethod(
            this,
            [this, was = r->name, name] {
                if (const int row = model_->rowOfName(was); row >= 0)
                    renameRow(row, name);
            },
            Qt::QueuedConnection);
    };
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { openRow(index.row()); });
    connect(&side_, &LocalSide::sizeStyleChanged, this,
            [this] { model_->setSizeStyle(side_.sizeStyle()); });
    connect(&side_, &LocalSide::showFlagsChanged, this,
            [this] { model_->setShowFlags(side_.showFlags()); });
    connect(&side_, &LocalSide::foldersChanged, this, [this](const QStringList& folders) {
        if (model_->isComputer() || model_->folder().isEmpty() ||
            !folders.contains(QDir::cleanPath(model_->folder()))) {
            return;
        }
        keepChosenRows();
        // A row renamed here stays chosen under its new name.
        if (!renaming_.first.isEmpty()) {
            if (keptCurrent_ == renaming_.first)
                keptCurrent_ = renaming_.second;
            for (QString& name : keptSelection_) {
                if (name == renaming_.first)
                    name = renaming_.second;
            }
        }
        model_->reload();
    });
    connect(&side_, &LocalSide::filesChanged, this, [this](const QStringList& paths) {
        const QString shown = QDir::cleanPath(model_->folder());
        for (const QString& path : paths) {
            const QFileInfo info(path);
            if (!model_->isComputer() && QDir::cleanPath(info.absolutePath()) == shown) {
                model_->refreshFile(info.fileName());
            }
        }
    });
    connect(model_, &LocalListModel::folderLoaded, this, [this](const QString& folder) {
        restoreKeptSelection();
        if (model_->rowCount() > 0 && !currentIndex().isValid()) {
            // The folder above starts at the one the user came up from.
            const int cameFrom = !leftFolder_.isEmpty() && LocalParentFolder(leftFolder_) == folder
                                     ? model_->rowOfName(LocalBaseName(leftFolder_))
                                     : -1;
            selectionModel()->setCurrentIndex(model_->index(qMax(0, cameFrom), 0),
                                              QItemSelectionModel::NoUpdate);
            if (cameFrom >= 0) {
                scrollTo(model_->index(cameFrom, 0));
            }
        }
        QStringList files;
        for (int row = 0; row < model_->rowCount(); ++row) {
            if (model_->rowAt(row)->kind == LocalRowKind::File) {
                files << model_->rowAt(row)->name;
            }
        }
        side_.watchShown(this, model_->isComputer() ? QString() : folder, files);
    });
}

LocalListView::~LocalListView() = default;

void LocalListView::restoreKeptSelection() {
    if (keptCurrent_.isEmpty() && keptSelection_.isEmpty()) {
        return;
    }
    QItemSelection selection;
    for (const QString& name : std::as_const(keptSelection_)) {
        const int row = model_->rowOfName(name);
        if (row >= 0) {
            selection.select(model_->index(row, 0), model_->index(row, model_->columnCount() - 1));
        }
    }
    int current = model_->rowOfName(keptCurrent_);
    for (const QString& neighbour : keptNeighbours_) {
        if (current < 0 && !neighbour.isEmpty() && selection.isEmpty())
            current = model_->rowOfName(neighbour);
    }
    if (current >= 0) {
        // A neighbour taking a deleted row's place is chosen, for the keys to go on from there.
        const bool stand = selection.isEmpty() && model_->rowOfName(keptCurrent_) < 0;
        selectionModel()->setCurrentIndex(
            model_->index(current, 0),
            stand ? QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows
                  : QItemSelectionModel::NoUpdate);
    }
    selectionModel()->select(selection, QItemSelectionModel::Select);
    keptCurrent_.clear();
    keptSelection_.clear();
    keptNeighbours_[0].clear();
    keptNeighbours_[1].clear();
}

void LocalListView::setListSort(ListSort sort) {
    model_->setSort(sort);
    header()->setSortIndicator(sort.column,
                               sort.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    if (currentIndex().isValid())
        scrollTo(currentIndex());
}

void LocalListView::followTree(LocalTreeView* tree) {
    tree_ = tree;
    replaceActions(tree->kind() == LocalTreeView::Kind::Normal);
    connect(tree, &LocalTreeView::folderSelected, this, &LocalListView::showFolder);
    connect(this, &LocalListView::openFolderRequested, tree, [tree](const QString& path) {
        if (path.isEmpty()) {
            tree->setCurrentIndex(tree->treeModel()->topIndex());
        } else {
            tree->selectFolder(path);
        }
    });
    showFolder(tree->selectedFolder());
}

QString LocalListView::currentFolder() const {
    return model_->folder();
}

void LocalListView::showFolder(const QString& folder) {
    if (folder.isEmpty()) {
        if (tree_ && tree_->kind() == LocalTreeView::Kind::Project) {
            // A project folder that went away stays shown, as one that can not
            // be read, and watched: it comes back with the folder.
            const QString project = side_.host().localProjectFolder();
            if (project.isEmpty()) {
                model_->clear();
                side_.watchShown(this, QString());
            } else {
                model_->showFolder(project);
            }
        } else {
            model_->showComputer(ListDrives(), ListPlaces());
        }
        return;
    }
    if (folder == model_->folder() && !model_->isComputer()) {
        keepChosenRows();
        model_->reload();
        return;
    }
    leftFolder_ = model_->isComputer() ? QString() : model_->folder();
    model_->showFolder(folder);
}

std::vector<int> LocalListView::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::vector<LocalItemRef> LocalListView::selectedItems() const {
    std::vector<LocalItemRef> items;
    for (int row : selectedRows()) {
        const LocalListRow* r = model_->rowAt(row);
        if (r && (r->kind == LocalRowKind::Folder || r->kind == LocalRowKind::File)) {
            items.push_back({r->name, r->kind == LocalRowKind::Folder});
        }
    }
    return items;
}

QString LocalListView::rowPath(int row) const {
    const LocalListRow* r = model_->rowAt(row);
    if (!r) {
        return {};
    }
    switch (r->kind) {
        case LocalRowKind::Drive:
        case LocalRowKind::Place:
            return r->name;
        case LocalRowKind::Parent:
            return LocalParentFolder(model_->folder());
        case LocalRowKind::Folder:
        case LocalRowKind::File:
            return JoinLocalPath(model_->folder(), r->name);
    }
    return {};
}

std::vector<LocalMenuItem> LocalListView::menuItems() const {
    LocalListMenuInput in;
    for (int row : selectedRows()) {
        in.selected.push_back(model_->rowAt(row)->kind);
    }
    if (in.selected.size() == 1) {
        const LocalListRow* r = model_->rowAt(selectedRows().front());
        in.singlePlainFile = r->kind == LocalRowKind::File && !r->isSpecial;
    }
    in.upload = UploadMenuTarget(side_.projectFolders(), model_->folder(),
                                 QString::fromUtf8(side_.openRemoteFolder()));
    in.canUpload = side_.canTransfer() && !in.upload.folder.isEmpty() && !model_->isComputer();
    return LocalListMenu(in);
}

std::unique_ptr<QMenu> LocalListView::contextMenu() {
    const std::vector<LocalMenuItem> items = menuItems();
    if (items.empty()) {
        return nullptr;
    }
    auto menu = std::make_unique<QMenu>(this);
    for (const LocalMenuItem& item : items) {
        if (item.id == kLocalListViewEdit) {
            QMenu* sub = menu->addMenu(item.text);
            sub->menuAction()->setData(item.id);
            QAction* help = sub->addAction(QString::fromLatin1(CommonTexts::kHelp));
            help->setData(int(kLocalListToolHelp));
            const std::vector<int> rows = selectedRows();
            const QString path = rows.size() == 1 ? rowPath(rows.front()) : QString();
            side_.host().fillViewEditMenu(sub, false, item.enabled, path);
            sub->menuAction()->setEnabled(item.enabled);
            continue;
        }
        QAction* action = menu->addAction(item.text);
        action->setData(item.id);
        action->setEnabled(item.enabled);
    }
    connect(menu.get(), &QMenu::triggered, this,
            [this](QAction* action) { runCommand(action->data().toInt()); });
    return menu;
}

std::unique_ptr<QMenu> LocalListView::menuAt(const QModelIndex&) {
    return contextMenu();
}

void LocalListView::runCommand(int id) {
    const std::vector<int> rows = selectedRows();
    const QString path = rows.size() == 1 ? rowPath(rows.front()) : QString();
    switch (id) {
        case kLocalListToolHelp:
            side_.host().help().showTopic(QString::fromLatin1(HelpTopics::kAddTools));
            break;
        case kLocalListUpload:
            uploadSelected();
            break;
        case kLocalListRename:
            if (rows.size() == 1) {
                edit(model_->index(rows.front(), kColName));
            }
            break;
        case kLocalListDelete:
            deleteSelected();
            break;
        case kLocalListCopy:
            copySelected();
            break;
        case kLocalListViewPath:
            if (!path.isEmpty()) {
                actions().showPath(path);
            }
            break;
        case kLocalListProperties:
            if (!path.isEmpty()) {
                actions().showProperties(path);
            }
            break;
        default:
            break;  // the viewing tools are the host's
    }
}

void LocalListView::openRow(int row) {
    const LocalListRow* r = model_->rowAt(row);
    if (!r) {
        return;
    }
    if (r->kind == LocalRowKind::File) {
        // A file opens with the desktop's application for its type.
        const QString path = rowPath(row);
        if (!side_.host().openWithDesktop(path)) {
            side_.host().prompter().showMessage(QStringLiteral("Can not open ") + path);
        }
        return;
    }
    if (r->kind == LocalRowKind::Parent) {
        goUp();
        return;
    }
    emit openFolderRequested(rowPath(row));
}

void LocalListView::goUp() {
    if (model_->isComputer()) {
        return;
    }
    if (tree_) {
        // Up follows the tree: from a drive to "My computer", never above a
        // project tree's root.
        const QModelIndex current = tree_->treeModel()->closestIndex(model_->folder());
        if (current.isValid() && tree_->treeModel()->pathOf(current) == model_->folder()) {
            if (current.parent().isValid()) {
                tree_->setCurrentIndex(current.parent());
            }
            return;
        }
    }
    const QString parent = LocalParentFolder(model_->folder());
    if (!parent.isEmpty()) {
        emit openFolderRequested(parent);
    }
}

void LocalListView::uploadSelected() {
    std::vector<LocalItem> items;
    for (int row : selectedRows()) {
        const LocalListRow* r = model_->rowAt(row);
        if (r->kind == LocalRowKind::Folder || r->kind == LocalRowKind::File) {
            items.push_back({r->name, r->kind == LocalRowKind::Folder, r->size});
        }
    }
    side_.startUpload(PlanListUpload(side_.projectFolders(), model_->folder(), std::move(items),
                                     side_.openRemoteFolder()),
                      this);
}

void LocalListView::deleteSelected() {
    const std::vector<LocalItemRef> items = selectedItems();
    if (!items.empty()) {
        actions().deleteItems(model_->folder(), items);
    }
}

void LocalListView::copySelected() {
    actions().copy(model_->folder(), selectedItems());
}

void LocalListView::keepChosenRows() {
    // The same folder read again: what was selected stays selected. A second reading before
    // the first arrived finds the rows gone: what the first kept stands.
    if (!currentIndex().isValid() && !(keptCurrent_.isEmpty() && keptSelection_.isEmpty()))
        return;
    keptCurrent_.clear();
    keptSelection_.clear();
    keptNeighbours_[0].clear();
    keptNeighbours_[1].clear();
    const int current = currentIndex().row();
    if (const LocalListRow* r = model_->rowAt(current))
        keptCurrent_ = r->name;
    const std::vector<int> selected = selectedRows();
    for (int row : selected)
        keptSelection_ << model_->rowAt(row)->name;
    if (current < 0)
        return;
    // The nearest rows below, then above, that the change leaves.
    const auto chosen = [&](int row) {
        return std::binary_search(selected.begin(), selected.end(), row) || row == current;
    };
    const auto [below, above] = NeighbourRows(current, model_->rowCount(), chosen);
    if (const LocalListRow* r = model_->rowAt(below))
        keptNeighbours_[0] = r->name;
    if (const LocalListRow* r = model_->rowAt(above))
        keptNeighbours_[1] = r->name;
}

void LocalListView::refresh() {
    // F5 keeps the rows chosen, as any reading of the same folder does: the
    // next F2 or Delete must not fall on another row.
    if (!model_->isComputer())
        keepChosenRows();
    model_->reload();
    if (model_->isComputer()) {
        model_->showComputer(ListDrives(), ListPlaces());
    }
}

void LocalListView::renameRow(int row, const QString& newName) {
    const LocalListRow* r = model_->rowAt(row);
    if (!r || (r->kind != LocalRowKind::Folder && r->kind != LocalRowKind::File)) {
        return;
    }
    const LocalListRow copy = *r;
    renaming_ = {copy.name, newName};
    actions().rename(model_->folder(), copy.name, newName, copy.kind == LocalRowKind::Folder);
    renaming_ = {};
}

QString LocalListView::dropFolderAt(const QModelIndex& index) const {
    const LocalListRow* r = model_->rowAt(index.row());
    if (index.isValid() && r && r->isFolderLike()) {
        return rowPath(index.row());
    }
    return model_->folder();
}

LocalDragData LocalListView::dragData(QIcon* icon, QString* text) const {
    LocalDragData data;
    data.folder = model_->folder();
    data.items = selectedItems();
    if (!data.items.empty()) {
        const int first = model_->rowOfName(data.items.front().name);
        *icon = model_->data(model_->index(first, kColName), Qt::DecorationRole).value<QIcon>();
        *text = data.items.size() == 1 ? data.items.front().name
                                       : QStringLiteral("%1 items").arg(data.items.size());
    }
    return data;
}

QModelIndex LocalListView::dropHighlight(const QModelIndex& index) const {
    // Only a folder row is a target of its own; elsewhere the shown folder is.
    const LocalListRow* r = model_->rowAt(index.row());
    return index.isValid() && r && r->isFolderLike() ? index : QModelIndex();
}

bool LocalListView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Resize) {
        applyColumnWidths();
    }
    return QTreeView::viewportEvent(event);
}

void LocalListView::applyColumnWidths() {
    // Sizes and dates are never cut; the name gives way, elided in the middle.
    const QList<int> widths =
        needs_->fit(CarriedColumnWidths(viewport()->width(), LocalListWeights()));
    for (int c = 0; c < widths.size(); ++c) {
        header()->resizeSection(c, widths[c]);
    }
}
