#include "workspace/ui/local_tree_view.h"

#include <QDir>
#include <QHeaderView>
#include <QMenu>

#include "platform/local_path.h"
#include "platform/prompter.h"
#include "platform/ui/explorer_host.h"
#include "workspace/local_upload_plan.h"
#include "workspace/project_folders.h"
#include "workspace/ui/local_side.h"
#include "workspace/ui/local_tree_model.h"
#include "workspace/upload_folder_reader.h"

namespace {

// Folders and the places that stand for them are uploaded and copied alike.
bool IsFolderNode(LocalTreeNodeKind kind) {
    return kind == LocalTreeNodeKind::Folder || kind == LocalTreeNodeKind::Place;
}

}  // namespace

LocalTreeView::LocalTreeView(Kind kind, LocalSide& side, QWidget* parent)
    : LocalItemView(side, kind == Kind::Normal, parent),
      kind_(kind),
      model_(new LocalTreeModel(
          kind == Kind::Normal ? LocalTreeModel::Kind::Computer : LocalTreeModel::Kind::Project,
          this)) {
    setAccessibleName(kind == Kind::Normal ? QStringLiteral("Local folders")
                                           : QStringLiteral("Local project folders"));
    model_->setShowFlags(side_.showFlags());
    setModel(model_);
    header()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAutoExpandDelay(700);

    // Taken once the editor has closed: a refusal's message box then hands the focus back to
    // the view, not to an editor about to go.
    // By the node's path: a reading of the folder in between makes nodes anew.
    model_->renameHandler = [this](const QModelIndex& index, const QString& name) {
        QMetaObject::invokeMethod(
            this,
            [this, path = model_->pathOf(index), name] {
                const QModelIndex node = model_->closestIndex(path);
                if (node.isValid() && model_->pathOf(node) == path)
                    renameFolder(node, name);
            },
            Qt::QueuedConnection);
    };
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { onCurrentChanged(current); });
    connect(model_, &LocalTreeModel::folderLoaded, this, [this] { continueReveal(); });
    connect(&side_, &LocalSide::foldersChanged, this, [this](const QStringList& folders) {
        model_->refreshFolders(folders);
        if (kind_ == Kind::Project && !model_->projectRoot().isEmpty() &&
            !IsUsableLocalProjectRoot(model_->projectRoot())) {
            // The project folder itself went away.
            model_->setProjectRoot(QString());
            emit folderSelected(QString());
        } else if (kind_ == Kind::Project && model_->projectRoot().isEmpty()) {
            // ... and came back.
            const QString project = side_.host().localProjectFolder();
            if (!project.isEmpty() && folders.contains(QDir::cleanPath(project))) {
                setProjectRoot(project);
            }
        }
    });
    connect(&side_, &LocalSide::showFlagsChanged, this,
            [this] { model_->setShowFlags(side_.showFlags()); });
    connect(&side_, &LocalSide::showFolderRequested, this, [this](const QString& folder) {
        if (kind_ == Kind::Normal || IsInProject(model_->projectRoot(), folder, kLocalSeparator)) {
            selectFolder(folder);
        }
    });

    if (kind_ == Kind::Normal) {
        model_->setDrives(ListDrives(), ListPlaces());
        setCurrentIndex(model_->topIndex());
        expand(model_->topIndex());
    } else {
        side_.setProjectRootTaker([this](const QString& folder) { return setProjectRoot(folder); });
        connect(&side_, &LocalSide::projectFolderChanged, this, [this](const QString& folder) {
            if (folder != model_->projectRoot()) {
                if (!setProjectRoot(folder)) {
                    setProjectRoot(QString());
                }
            }
        });
        setProjectRoot(side_.host().localProjectFolder());
    }
}

LocalTreeView::~LocalTreeView() {
    if (kind_ == Kind::Project) {
        side_.setProjectRootTaker({});
    }
}

QString LocalTreeView::selectedFolder() const {
    return model_->pathOf(currentIndex());
}

void LocalTreeView::selectFolder(const QString& path) {
    revealTarget_ = path;
    continueReveal();
}

void LocalTreeView::continueReveal() {
    if (revealTarget_.isEmpty()) {
        return;
    }
    const QModelIndex closest = model_->closestIndex(revealTarget_);
    if (!closest.isValid()) {
        revealTarget_.clear();
        return;
    }
    const bool there = model_->pathOf(closest) == revealTarget_;
    if (there || model_->isLoaded(closest) ||
        model_->nodeKind(closest) == LocalTreeNodeKind::Computer) {
        // Reached, or the next folder on the way does not exist.
        revealTarget_.clear();
        setCurrentIndex(closest);
        scrollTo(closest);
        return;
    }
    expand(closest);
    if (!model_->isLoading(closest)) {
        model_->load(closest);
    }
}

bool LocalTreeView::setProjectRoot(const QString& folder) {
    if (kind_ != Kind::Project) {
        return false;
    }
    if (!folder.isEmpty() && !IsUsableLocalProjectRoot(folder)) {
        return false;
    }
    model_->setProjectRoot(folder);
    const QModelIndex top = model_->topIndex();
    if (top.isValid()) {
        setCurrentIndex(top);
        expand(top);
    }
    emit folderSelected(folder);
    return true;
}

void LocalTreeView::clearProjectFolder() {
    ExplorerHost& host = side_.host();
    const ProjectFolderChange change =
        ClearLocalProjectFolder(host.localProjectFolder(), host.prompter(),
                                [&host](const QString& f) { host.storeLocalProjectFolder(f); });
    if (change == ProjectFolderChange::Stored) {
        setProjectRoot(QString());
    }
}

void LocalTreeView::onCurrentChanged(const QModelIndex& current) {
    emit folderSelected(model_->pathOf(current));
}

std::vector<LocalMenuItem> LocalTreeView::menuItemsFor(const QModelIndex& index) const {
    if (!index.isValid()) {
        return LocalTreeBlankMenu(!selectedFolder().isEmpty(), !side_.copyBuffer().isEmpty());
    }
    LocalTreeMenuInput in;
    in.node = model_->nodeKind(index);
    in.projectTree = kind_ == Kind::Project;
    in.projectRoot = kind_ == Kind::Project && !index.parent().isValid();
    in.pasteAvailable = !side_.copyBuffer().isEmpty();
    const QByteArray remote = side_.openRemoteFolder();
    in.upload =
        UploadMenuTarget(side_.projectFolders(), model_->pathOf(index), QString::fromUtf8(remote));
    in.canUpload = side_.canTransfer() && !in.upload.folder.isEmpty();
    return LocalTreeMenu(in);
}

std::unique_ptr<QMenu> LocalTreeView::contextMenuFor(const QModelIndex& index) {
    const std::vector<LocalMenuItem> items = menuItemsFor(index);
    if (items.empty()) {
        return nullptr;
    }
    auto menu = std::make_unique<QMenu>(this);
    for (const LocalMenuItem& item : items) {
        QAction* action = menu->addAction(item.text);
        action->setData(item.id);
        action->setEnabled(item.enabled);
    }
    const QPersistentModelIndex target(index);
    connect(menu.get(), &QMenu::triggered, this,
            [this, target](QAction* action) { runCommand(action->data().toInt(), target); });
    return menu;
}

std::unique_ptr<QMenu> LocalTreeView::menuAt(const QModelIndex& index) {
    return contextMenuFor(index);
}

void LocalTreeView::runCommand(int id, const QModelIndex& index) {
    const QString path = model_->pathOf(index);
    switch (id) {
        case kLocalTreeUpload:
            uploadFolder(index);
            break;
        case kLocalTreeRename:
            setCurrentIndex(index);
            edit(index);
            break;
        case kLocalTreeDelete:
            deleteFolder(index);
            break;
        case kLocalTreeCopy:
            copyFolder(index);
            break;
        case kLocalTreePaste:
            pasteInto(index);
            break;
        case kLocalTreeViewPath:
            actions().showPath(path);
            break;
        case kLocalSetProjectFolder:
            actions().setProjectFolder(path);
            break;
        case kLocalTreeCreateFolder:
            if (actions().askAndCreateFolder(path)) {
                expand(index);
            }
            break;
        case kLocalTreeProperties:
            actions().showProperties(path);
            break;
        case kLocalBlankPaste:
            pasteInto(currentIndex());
            break;
        case kLocalBlankNewFile:
            actions().askAndCreateFile(selectedFolder());
            break;
        default:
            break;
    }
}

void LocalTreeView::uploadFolder(const QModelIndex& index) {
    if (!IsFolderNode(model_->nodeKind(index))) {
        return;
    }
    side_.startUpload(
        PlanTreeUpload(side_.projectFolders(), model_->pathOf(index),
                       MakeUploadFolderReader(side_.showFlags()), side_.openRemoteFolder()),
        this);
}

void LocalTreeView::deleteFolder(const QModelIndex& index) {
    if (model_->nodeKind(index) != LocalTreeNodeKind::Folder) {
        return;
    }
    actions().deleteTreeFolder(model_->pathOf(index));
}

void LocalTreeView::renameFolder(const QModelIndex& index, const QString& newName) {
    if (model_->nodeKind(index) != LocalTreeNodeKind::Folder || !index.parent().isValid()) {
        return;
    }
    const QString path = model_->pathOf(index);
    const QString folder = LocalParentFolder(path);
    const QString wasSelected = selectedFolder();
    if (actions().rename(folder, LocalBaseName(path), newName, true) == RenameOutcome::Renamed &&
        wasSelected == path) {
        selectFolder(JoinLocalPath(folder, newName));
    }
}

void LocalTreeView::copyFolder(const QModelIndex& index) {
    if (!IsFolderNode(model_->nodeKind(index))) {
        return;
    }
    const QString path = model_->pathOf(index);
    actions().copy(LocalParentFolder(path), {LocalItemRef{LocalBaseName(path), true}});
}

void LocalTreeView::pasteInto(const QModelIndex& index) {
    const QString path = model_->pathOf(index);
    if (!path.isEmpty()) {
        actions().paste(path);
        expand(index);
    }
}

void LocalTreeView::refresh() {
    const QModelIndex current = currentIndex();
    if (kind_ == Kind::Normal && model_->nodeKind(current) == LocalTreeNodeKind::Computer) {
        model_->setDrives(ListDrives(), ListPlaces());
        setCurrentIndex(model_->topIndex());
        expand(model_->topIndex());
        return;
    }
    side_.announceChanged({model_->pathOf(current)});
}

QString LocalTreeView::dropFolderAt(const QModelIndex& index) const {
    return model_->pathOf(index);
}

void LocalTreeView::goUp() {
    const QModelIndex current = currentIndex();
    if (current.parent().isValid()) {
        setCurrentIndex(current.parent());
    }
}

LocalDragData LocalTreeView::dragData(QIcon* icon, QString* text) const {
    const QModelIndex index = currentIndex();
    if (!(model_->flags(index) & Qt::ItemIsDragEnabled)) {
        return {};
    }
    const QString path = model_->pathOf(index);
    LocalDragData data;
    data.folder = LocalParentFolder(path);
    data.items.push_back({LocalBaseName(path), true});
    data.fromTree = true;
    *icon = model_->data(index, Qt::DecorationRole).value<QIcon>();
    *text = LocalBaseName(path);
    return data;
}
