#include "remote/ui/remote_explorer.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QSplitter>
#include <QUrl>
#include <QVBoxLayout>

#include <unordered_set>

#include "platform/help_viewer.h"
#include "platform/neighbour_rows.h"
#include "platform/program_texts.h"
#include "platform/prompter.h"
#include "platform/ui/column_needs.h"
#include "platform/ui/context_menu.h"
#include "platform/ui/explorer_host.h"
#include "remote/action_engine.h"
#include "remote/concerned_file_choice.h"
#include "remote/file_operation_starters.h"
#include "remote/folder_actions.h"
#include "remote/listing_action.h"
#include "remote/remote_drag_data.h"
#include "remote/remote_drop_rules.h"
#include "remote/remote_list_columns.h"
#include "remote/remote_list_summary.h"
#include "remote/remote_menu_rules.h"
#include "remote/remote_path.h"
#include "remote/remote_project_guard.h"
#include "remote/remote_rename_rule.h"
#include "remote/shown_items.h"
#include "remote/ui/explorer_item_view.h"
#include "remote/ui/new_folder_dialog.h"
#include "remote/ui/permissions_dialog.h"
#include "remote/ui/remote_list_model.h"
#include "remote/ui/remote_path_dialog.h"
#include "remote/ui/remote_transfers.h"
#include "remote/ui/remote_tree_model.h"
#include "session/ftp_session.h"

using namespace RemoteMenuId;

namespace {

constexpr char kDeleteItemQuestion[] = "Delete the selected item?";
constexpr char kDeleteItemsQuestion[] = "Delete the selected items?";

QString Text(const QByteArray& bytes) {
    return QString::fromUtf8(bytes);
}

bool HasLocalFiles(const QMimeData* mime) {
    if (!mime || !mime->hasUrls())
        return false;
    const QList<QUrl> urls = mime->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& u) { return u.isLocalFile(); });
}

QStringList LocalFiles(const QMimeData* mime) {
    QStringList paths;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}

// The list's columns share its width by weight, fractions carried; sizes and
// dates are never cut, the name gives way (elided in the middle).
class CarriedColumns : public QObject {
public:
    explicit CarriedColumns(QTreeView* view)
        : QObject(view),
          view_(view),
          needs_(new ColumnNeeds(view, int(RemoteListColumn::Name),
                                 {int(RemoteListColumn::Size), int(RemoteListColumn::Modified),
                                  int(RemoteListColumn::Number)})) {
        view->header()->setStretchLastSection(false);
        view->viewport()->installEventFilter(this);
        view->verticalScrollBar()->installEventFilter(this);
        connect(needs_, &ColumnNeeds::changed, this, &CarriedColumns::apply);
    }
    void apply() {
        const QScrollBar* bar = view_->verticalScrollBar();
        const int width = ListColumnsWidth(view_->width() - 2 * view_->frameWidth() + 2,
                                           bar->sizeHint().width(), bar->isVisible());
        const QList<int> widths =
            needs_->fit(CarriedProportionalWidths(width, RemoteListColumnWeights()));
        for (qsizetype i = 0; i < widths.size(); ++i)
            view_->header()->resizeSection(int(i), widths[i]);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto type = event->type();
        if (type == QEvent::Resize || type == QEvent::Show || type == QEvent::Hide)
            apply();
        return QObject::eventFilter(watched, event);
    }

private:
    QTreeView* view_;
    ColumnNeeds* needs_;
};

}  // namespace

RemoteExplorer::RemoteExplorer(ActionEngine& engine, FtpSession& session, ExplorerHost& host,
                               Role role, QWidget* parent)
    : QWidget(parent),
      engine_(engine),
      session_(session),
      host_(host),
      role_(role),
      splitter_(new QSplitter(Qt::Horizontal, this)),
      treeModel_(new RemoteTreeModel(this)),
      listModel_(new RemoteListModel(this)),
      tree_(new ExplorerItemView(splitter_)),
      listPane_(new QWidget(splitter_)),
      pathBar_(new QLineEdit(listPane_)),
      list_(new ExplorerItemView(listPane_)),
      status_(new QLabel(listPane_)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter_);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 3);
    // Above the list where it is, below it what it holds.
    auto* pane = new QVBoxLayout(listPane_);
    pane->setContentsMargins(0, 0, 0, 0);
    pane->setSpacing(2);
    pane->addWidget(pathBar_);
    pane->addWidget(list_, 1);
    pane->addWidget(status_);
    setTabOrder(pathBar_, list_);

    const QString side = role == Role::Normal ? QString() : QStringLiteral(" of remote project");
    tree_->setObjectName(QStringLiteral("remoteTree"));
    tree_->setAccessibleName(QStringLiteral("Remote folders") + side);
    tree_->setModel(treeModel_);
    tree_->setHeaderHidden(true);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);

    pathBar_->setObjectName(QStringLiteral("remotePathBar"));
    pathBar_->setAccessibleName(QStringLiteral("Remote path") + side);
    pathBar_->setPlaceholderText(QStringLiteral("Server folder"));
    connect(pathBar_, &QLineEdit::returnPressed, this, [this] { goToTypedFolder(); });
    status_->setObjectName(QStringLiteral("remoteStatus"));
    status_->setAccessibleName(QStringLiteral("Remote list summary") + side);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    list_->setObjectName(QStringLiteral("remoteList"));
    list_->setAccessibleName(QStringLiteral("Remote files") + side);
    list_->setModel(listModel_);
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setTextElideMode(Qt::ElideMiddle);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    // Only when the columns cannot be read within its width.
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    new CarriedColumns(list_);
    list_->header()->setSectionsClickable(true);
    list_->header()->setSortIndicatorShown(true);
    list_->header()->setSortIndicator(0, Qt::AscendingOrder);
    connect(list_->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        setListSort(listModel_->sort().clicked(column));
        emit listSortChanged(listModel_->sort());
    });

    connect(listModel_, &QAbstractItemModel::modelReset, this, &RemoteExplorer::onListRefilled);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &RemoteExplorer::updateStatus);
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                currentName_ = current.isValid() && !listModel_->isParentRow(current.row())
                                   ? listModel_->nameAt(current.row()).toByteArray()
                                   : QByteArray();
            });
    connect(&session_, &FtpSession::commandRefused, this,
            [this](const QByteArray& command, int code) {
                if (!typedFolder_.isEmpty() && command == "CWD " + typedFolder_)
                    typedFolderRefused(code);
            });
    connect(treeModel_, &RemoteTreeModel::listingWanted, this,
            [this](const QByteArray& folder) { engine_.refresh(folder); });
    // Taken once the editor has closed: a refusal's message box then hands the focus back to
    // the view, not to an editor about to go.
    connect(treeModel_, &RemoteTreeModel::renameRequested, this,
            [this](const QModelIndex& index, const QString& text) {
                QMetaObject::invokeMethod(
                    this,
                    [this, node = QPersistentModelIndex(index), text] {
                        if (node.isValid())
                            renameTreeNode(node, text);
                    },
                    Qt::QueuedConnection);
            });
    // By the row's folder and name: a listing in between makes rows anew.
    connect(listModel_, &RemoteListModel::renameRequested, this,
            [this](int row, const QString& text) {
                if (row < 0 || row >= listModel_->rowCount())
                    return;
                QMetaObject::invokeMethod(
                    this,
                    [this, folder = listModel_->folder(),
                     was = listModel_->nameAt(row).toByteArray(), text] {
                        if (const int now = listModel_->rowOf(was);
                            now >= 0 && listModel_->folder() == folder)
                            renameListRow(now, text);
                    },
                    Qt::QueuedConnection);
            });
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!holdTreeChoice_)
                    showNode(current);
            });
    connect(tree_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const QModelIndex node = tree_->indexAt(pos);
        if (!node.isValid())
            return;
        tree_->setCurrentIndex(node);
        QMenu* menu = buildTreeMenu(node, this);
        ExecContextMenu(menu, tree_->viewport()->mapToGlobal(pos));
        delete menu;
    });
    connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (!listModel_->hasFolder())
            return;
        QMenu* menu = buildListMenu(this);
        ExecContextMenu(menu, list_->viewport()->mapToGlobal(pos));
        delete menu;
    });
    connect(list_, &QAbstractItemView::doubleClicked, this, &RemoteExplorer::openListRow);

    // Keys.
    connect(tree_, &ExplorerItemView::keyOpen, this, [this] {
        const QModelIndex node = currentNode();
        if (node.isValid()) {
            showNode(node);
            tree_->expand(node);
        }
    });
    connect(tree_, &ExplorerItemView::keyParent, this, &RemoteExplorer::goToParent);
    connect(tree_, &ExplorerItemView::keyRefresh, this, [this] { relist(currentNode(), false); });
    connect(tree_, &ExplorerItemView::keyRename, this, [this] {
        if (currentNode().isValid() && !treeModel_->isTop(currentNode()))
            runTreeCommand(kTreeRename, currentNode());
    });
    connect(tree_, &ExplorerItemView::keyDelete, this, [this] {
        const QModelIndex node = currentNode();
        if (node.isValid() && !treeModel_->isTop(node) &&
            kindFilter_.passes(treeModel_->itemOf(node).kind))
            runTreeCommand(kTreeDelete, node);
    });
    connect(list_, &ExplorerItemView::keyOpen, this, &RemoteExplorer::openSelection);
    connect(list_, &ExplorerItemView::keyParent, this, &RemoteExplorer::goToParent);
    // The rows shown stay, with the chosen ones, until the new listing
    // replaces them: the next F2 or Delete acts on the same entries.
    connect(list_, &ExplorerItemView::keyRefresh, this, [this] {
        if (listModel_->hasFolder())
            engine_.refresh(listModel_->folder());
    });
    connect(list_, &ExplorerItemView::keyRename, this, [this] {
        if (selectedItems().size() == 1)
            runListCommand(kListRename);
    });
    connect(list_, &ExplorerItemView::keyDelete, this, [this] {
        if (!selectedItems().empty())
            runListCommand(kListDelete);
    });

    // Drops.
    tree_->canDrop = [this](const QMimeData* mime, const QModelIndex& index, bool self) {
        return canDropOnTree(mime, index, self);
    };
    tree_->dropped = [this](const QMimeData* mime, const QModelIndex& index, bool self) {
        dropOnTree(mime, index, self);
    };
    list_->canDrop = [this](const QMimeData* mime, const QModelIndex& index, bool) {
        return canDropOnList(mime, index);
    };
    list_->dropped = [this](const QMimeData* mime, const QModelIndex& index, bool) {
        dropOnList(mime, index);
    };

    // The engine.
    connect(&engine_, &ActionEngine::listingReady, this,
            [this](const ListingAction* action, const RemoteItemList& items) {
                if (action)
                    onListing(action->folder, ShownItems(items), action->chosenNames());
            });
    connect(&engine_, &ActionEngine::rootFound, this,
            [this](const QByteArray& folder, const RemoteItemList& items) {
                onRoot(folder, ShownItems(items));
            });
    connect(&engine_, &ActionEngine::projectFolderReached, this,
            &RemoteExplorer::onProjectFolderReached);
    connect(&session_, &FtpSession::loggedInAgain, this, &RemoteExplorer::onLoggedInAgain);
    connect(&session_, &FtpSession::loggedInChanged, this, [this] { updateStatus(); });
    connect(&session_, &FtpSession::disconnected, this, [this] { updateStatus(); });
    connect(&engine_, &ActionEngine::projectWalkStopped, this, [this](const QByteArray& target) {
        // The walk that was to list the project folder did not get there: the
        // tree asks for it itself, and the server says what is wrong.
        const QModelIndex root = treeModel_->rootIndex();
        if (role_ == Role::Project && target == projectFolder_ && root.isValid() &&
            !treeModel_->isListed(root))
            relist(root, false);
    });

    if (role_ == Role::Project)
        setProjectFolder(host_.remoteProjectFolder());
}

RemoteExplorer::~RemoteExplorer() = default;

void RemoteExplorer::setSizeStyle(quint8 style) {
    listModel_->setSizeStyle(style);
    sizeStyle_ = style;
    updateStatus();
}

void RemoteExplorer::setListSort(ListSort sort) {
    listModel_->setSort(sort);
    list_->header()->setSortIndicator(sort.column,
                                      sort.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    if (list_->currentIndex().isValid())
        list_->scrollTo(list_->currentIndex());
}

ListSort RemoteExplorer::listSort() const {
    return listModel_->sort();
}

void RemoteExplorer::setNumericPermissions(bool numeric) {
    listModel_->setNumericPermissions(numeric);
}

void RemoteExplorer::setProjectFolder(const QString& folder) {
    projectFolder_ = folder.toUtf8();
    listModel_->clear();
    treeModel_->setRoot(projectFolder_);
    // Listed once logged in: a refresh queued before would wait for a
    // connection that may never come.
    if (projectFolder_.isEmpty() || !session_.loggedIn())
        return;
    tree_->setCurrentIndex(treeModel_->rootIndex());
}

bool RemoteExplorer::clearProjectFolder() {
    const QString current = host_.remoteProjectFolder();
    if (current.isEmpty() ||
        !host_.prompter().askYesNo(QString::fromLatin1(RemoteProjectTexts::kRemoveRemote)))
        return false;
    host_.storeRemoteProjectFolder(QString());
    engine_.setRemoteProjectFolder(QByteArray());
    setProjectFolder(QString());
    emit remoteProjectFolderCleared();
    return true;
}

QByteArray RemoteExplorer::currentFolder() const {
    return listModel_->folder();
}

QByteArray RemoteExplorer::selectedName() const {
    const std::vector<RemoteItem> items = selectedItems();
    if (!items.empty())
        return items.front().name;
    const QModelIndex node = currentNode();
    return node.isValid() && !treeModel_->isTop(node) ? treeModel_->itemOf(node).name
                                                      : QByteArray();
}

bool RemoteExplorer::shows(const QByteArray& folder) const {
    return listModel_->folder() == folder || treeModel_->indexOf(folder).isValid();
}

void RemoteExplorer::clearViews() {
    listModel_->clear();
    treeModel_->clear();
}

// --- listings ------------------------------------------------------------------

void RemoteExplorer::onListing(const QByteArray& folder, const RemoteItemList& items,
                               const QList<QByteArray>& chosen) {
    const bool inTree = treeModel_->indexOf(folder).isValid();
    const bool shown = listModel_->folder() == folder;
    if (!inTree && !shown)
        return;
    auto shared = std::make_shared<const RemoteItemList>(items);
    const QByteArray currentPath = treeModel_->pathOf(currentNode());
    holdTreeChoice_ = !chosen.isEmpty();
    treeModel_->applyListing(folder, shared);
    holdTreeChoice_ = false;
    if (!chosen.isEmpty() && !currentPath.isEmpty() &&
        !treeModel_->indexOf(currentPath).isValid()) {
        // The folder shown was renamed: it stays chosen under its new name.
        const QModelIndex renamed = treeModel_->indexOf(joinRemotePath(folder, chosen.first()));
        tree_->setCurrentIndex(renamed.isValid() ? renamed : treeModel_->indexOf(folder));
        return;
    }
    if (!shown)
        return;
    // Keep what was selected (by name) across the refill, or choose what the
    // change put forward.
    std::unordered_set<QByteArray> selectedNames;
    const QModelIndexList rows = list_->selectionModel()->selectedRows();
    if (!chosen.isEmpty()) {
        selectedNames.insert(chosen.begin(), chosen.end());
    } else if (rows.size() <= 1000) {
        for (const QModelIndex& row : rows)
            selectedNames.insert(listModel_->nameAt(row.row()).toByteArray());
    }
    // The current row, then the nearest below and above it that were not selected: one of
    // them takes its place when it is gone (deleted, renamed away).
    std::vector<QByteArray> currentOrNeighbours;
    if (const int current = list_->currentIndex().row(); current >= 0 && chosen.isEmpty()) {
        const auto nameOf = [this](int row) { return listModel_->nameAt(row).toByteArray(); };
        currentOrNeighbours.push_back(nameOf(current));
        const auto [below, above] = NeighbourRows(current, listModel_->rowCount(), [&](int row) {
            return selectedNames.count(nameOf(row)) > 0;
        });
        for (const int row : {below, above})
            if (row >= 0)
                currentOrNeighbours.push_back(nameOf(row));
    }
    showInList(folder, shared);
    for (size_t i = 0; i < currentOrNeighbours.size(); ++i) {
        const int row = listModel_->rowOf(currentOrNeighbours[i]);
        if (row < 0)
            continue;
        // A neighbour in a gone row's place is chosen, for the keys to go on from there.
        list_->selectionModel()->setCurrentIndex(
            listModel_->index(row, 0),
            i == 0 ? QItemSelectionModel::NoUpdate
                   : QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        break;
    }
    if (!chosen.isEmpty()) {
        list_->selectionModel()->clearSelection();
        const int row = listModel_->rowOf(chosen.first());
        if (row >= 0) {
            list_->selectionModel()->setCurrentIndex(listModel_->index(row, 0),
                                                     QItemSelectionModel::NoUpdate);
            list_->scrollTo(listModel_->index(row, 0));
        }
    }
    if (selectedNames.empty())
        return;
    QItemSelection selection;
    for (int row = 0; row < listModel_->rowCount(); ++row) {
        const QByteArrayView name = listModel_->nameAt(row);
        if (selectedNames.count(QByteArray::fromRawData(name.data(), name.size())))
            selection.select(listModel_->index(row, 0),
                             listModel_->index(row, kRemoteListColumnCount - 1));
    }
    list_->selectionModel()->select(selection, QItemSelectionModel::Select);
}

void RemoteExplorer::onRoot(const QByteArray& folder, const RemoteItemList& items) {
    if (role_ == Role::Project) {
        // Logged in anew. One listing per folder: the start folder's own when
        // it is the project folder, the walk's when the walk goes there, and
        // one of the project tree's own otherwise.
        if (projectFolder_.isEmpty())
            return;
        if (folder == projectFolder_) {
            listModel_->clear();
            treeModel_->setRoot(folder, std::make_shared<const RemoteItemList>(items));
        } else if (engine_.remoteProjectFolder() == projectFolder_ &&
                   ProjectWalkReaches(folder, projectFolder_)) {
            listModel_->clear();
            treeModel_->setRoot(projectFolder_);
            treeModel_->markRequested(treeModel_->rootIndex());
        } else {
            setProjectFolder(Text(projectFolder_));
            return;
        }
        tree_->expand(treeModel_->rootIndex());
        tree_->setCurrentIndex(treeModel_->rootIndex());
        return;
    }
    listModel_->clear();
    treeModel_->setRoot(folder, std::make_shared<const RemoteItemList>(items));
    const QModelIndex root = treeModel_->rootIndex();
    tree_->expand(root);
    tree_->setCurrentIndex(root);
}

void RemoteExplorer::onLoggedInAgain() {
    // Nothing lists the server's folder by itself on this login: the folder
    // the tree shows is listed again, as it is now.
    const QModelIndex node = currentNode();
    if (node.isValid())
        relist(node, false);
    else if (role_ == Role::Project && !projectFolder_.isEmpty())
        setProjectFolder(Text(projectFolder_));
}

void RemoteExplorer::onProjectFolderReached(const QByteArray& folder) {
    if (role_ == Role::Normal)
        selectFolder(folder);
}

void RemoteExplorer::selectFolder(const QByteArray& folder) {
    const QModelIndex node = treeModel_->indexOf(folder);
    if (!node.isValid())
        return;
    for (QModelIndex up = node.parent(); up.isValid(); up = up.parent())
        tree_->expand(up);
    tree_->setCurrentIndex(node);
    tree_->scrollTo(node);
}

void RemoteExplorer::showNode(const QModelIndex& node) {
    if (!node.isValid())
        return;
    const QByteArray path = treeModel_->pathOf(node);
    if (treeModel_->isListed(node)) {
        if (listModel_->folder() != path || listModel_->rowCount() == 0)
            showInList(path, treeModel_->itemsOf(node));
        return;
    }
    showInList(path, nullptr);
    if (treeModel_->canFetchMore(node))
        treeModel_->fetchMore(node);
}

void RemoteExplorer::relist(const QModelIndex& node, bool reset) {
    if (!node.isValid())
        return;
    const QByteArray path = treeModel_->pathOf(node);
    if (tree_->currentIndex() != node)
        tree_->setCurrentIndex(node);
    // Closed: the listing shown stays until one can replace it.
    if (session_.isConnected() && session_.loggedIn()) {
        if (reset)
            treeModel_->resetNode(node);
        showInList(path, nullptr);
    }
    engine_.refresh(path);
    updateStatus();
}

void RemoteExplorer::openSelection() {
    // Several files selected: Enter fetches them all, as one download.
    const std::vector<RemoteItem> items = selectedItems();
    const bool allFiles = std::all_of(items.begin(), items.end(), [](const RemoteItem& i) {
        return i.kind != 'd' && i.kind != 'l';
    });
    if (items.size() < 2 || !allFiles) {
        openListRow(list_->currentIndex());
        return;
    }
    const QByteArray folder = listModel_->folder();
    const QString local = downloadTargetFolder(folder, nullptr);
    if (local.isEmpty())
        host_.prompter().showMessage(
            QStringLiteral("Open a local folder first: the files are downloaded into it."));
    else
        LaunchDownload(engine_, host_.help(), this, folder, items, local);
}

void RemoteExplorer::openListRow(const QModelIndex& row) {
    if (!row.isValid())
        return;
    if (listModel_->isParentRow(row.row())) {
        goToParent();
        return;
    }
    const RemoteItem item = listModel_->itemAt(row.row());
    if (item.kind != 'd' && item.kind != 'l') {
        // A file opened is fetched into the page's local folder.
        const QByteArray folder = listModel_->folder();
        const QString local = downloadTargetFolder(folder, nullptr);
        if (local.isEmpty())
            host_.prompter().showMessage(
                QStringLiteral("Open a local folder first: the file is downloaded into it."));
        else
            LaunchDownload(engine_, host_.help(), this, folder, {item}, local);
        return;
    }
    const QModelIndex node = treeModel_->indexOf(joinRemotePath(listModel_->folder(), item.name));
    if (!node.isValid())
        return;
    tree_->expand(node.parent());
    tree_->setCurrentIndex(node);
    tree_->scrollTo(node);
}

void RemoteExplorer::goToParent() {
    const QByteArray folder = listModel_->folder();
    const QModelIndex node = treeModel_->indexOf(folder);
    if (node.isValid() && node.parent().isValid())
        tree_->setCurrentIndex(node.parent());
    else if (parentRowFor(folder))
        goToFolder(remoteParentFolder(folder));
}

bool RemoteExplorer::parentRowFor(const QByteArray& folder) const {
    if (folder.isEmpty())
        return false;
    if (role_ == Role::Project)
        return folder != treeModel_->pathOf(treeModel_->rootIndex());
    return folder != "/";
}

void RemoteExplorer::showInList(const QByteArray& folder, SharedRemoteItems items) {
    listModel_->setFolder(folder, std::move(items), parentRowFor(folder));
}

bool RemoteExplorer::goToFolder(const QByteArray& folder) {
    QModelIndex node = treeModel_->ensurePath(folder);
    if (!node.isValid()) {
        if (role_ == Role::Project || !treeModel_->hasRoot()) {
            host_.prompter().showMessage(
                QStringLiteral("%1 is outside the remote project folder.").arg(Text(folder)));
            return false;
        }
        // Above the start folder: the tree grows from the server's root.
        treeModel_->setRoot(QByteArrayLiteral("/"));
        node = treeModel_->ensurePath(folder);
    }
    for (QModelIndex up = node.parent(); up.isValid(); up = up.parent())
        tree_->expand(up);
    if (tree_->currentIndex() == node)
        showNode(node);
    else
        tree_->setCurrentIndex(node);
    tree_->scrollTo(node);
    return true;
}

void RemoteExplorer::goToTypedFolder() {
    const std::optional<QByteArray> folder =
        resolveRemotePathInput(pathBar_->text(), listModel_->folder());
    if (!folder || !session_.loggedIn()) {
        pathBar_->setText(Text(listModel_->folder()));
        return;
    }
    const QModelIndex existing = treeModel_->indexOf(*folder);
    typedFolder_ = existing.isValid() && treeModel_->isListed(existing) ? QByteArray() : *folder;
    if (goToFolder(*folder))
        list_->setFocus();
    else
        typedFolder_.clear();
}

void RemoteExplorer::typedFolderRefused(int code) {
    const QByteArray folder = std::exchange(typedFolder_, QByteArray());
    host_.prompter().showMessage(
        QStringLiteral("Can not open %1: the server answered %2.").arg(Text(folder)).arg(code));
    const QModelIndex node = treeModel_->indexOf(folder);
    const QModelIndex parent = node.parent();
    if (treeModel_->removeUnlisted(node) && parent.isValid())
        tree_->setCurrentIndex(parent);
}

void RemoteExplorer::onListRefilled() {
    const QByteArray folder = listModel_->folder();
    if (folder != shownFolder_ || !pathBar_->isModified())
        pathBar_->setText(Text(folder));
    if (!folder.isEmpty() && folder == typedFolder_ &&
        treeModel_->isListed(treeModel_->indexOf(folder)))
        typedFolder_.clear();
    // A folder opened starts at its first row, so the keyboard can go on; the
    // same folder listed again keeps the row the user was on, and the folder
    // above starts at the one the user came up from.
    int row = 0;
    QByteArray above;
    QByteArray cameFrom;
    if (folder == shownFolder_ && !currentName_.isEmpty())
        row = qMax(0, listModel_->rowOf(currentName_));
    else if (splitRemotePath(shownFolder_, &above, &cameFrom) && above == folder)
        row = qMax(0, listModel_->rowOf(cameFrom));
    shownFolder_ = folder;
    if (listModel_->rowCount() > 0 && !list_->currentIndex().isValid())
        list_->selectionModel()->setCurrentIndex(listModel_->index(row, 0),
                                                 QItemSelectionModel::NoUpdate);
    updateStatus();
}

void RemoteExplorer::updateStatus() {
    if (!listModel_->hasFolder()) {
        status_->clear();
        return;
    }
    // A folder not listed yet is not an empty one.
    if (!treeModel_->isListed(treeModel_->indexOf(listModel_->folder()))) {
        status_->setText(session_.isConnected() && session_.loggedIn()
                             ? QStringLiteral("Reading the folder...")
                             : QStringLiteral("Not connected: connect again to read the folder"));
        return;
    }
    const QModelIndexList rows = list_->selectionModel()->selectedRows();
    ListCounts counts;
    bool selection = false;
    for (const QModelIndex& row : rows) {
        if (listModel_->isParentRow(row.row()))
            continue;
        selection = true;
        countRemoteItem(counts, listModel_->viewAt(row.row()));
    }
    // The whole listing is read in place: no copy per entry.
    const RemoteItemList& items = listModel_->items();
    if (!selection)
        for (int i = 0; i < items.size(); ++i)
            countRemoteItem(counts, items.view(i));
    QString text = ListSummaryText(counts, selection, sizeStyle_);
    // What was listed stays shown while closed, and says so.
    if (!session_.isConnected())
        text += QStringLiteral(" (not connected)");
    status_->setText(text);
}

QModelIndex RemoteExplorer::currentNode() const {
    return tree_->currentIndex();
}

std::vector<RemoteItem> RemoteExplorer::selectedItems() const {
    std::vector<RemoteItem> items;
    QModelIndexList rows = list_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    items.reserve(size_t(rows.size()));
    for (const QModelIndex& row : rows)
        if (!listModel_->isParentRow(row.row()))
            items.push_back(listModel_->itemAt(row.row()));
    return items;
}

TransferMenuTarget RemoteExplorer::downloadTarget(const QByteArray& remoteFolder) const {
    return DownloadTargetFor(host_.localProjectFolder(), host_.remoteProjectFolder(),
                             Text(remoteFolder), localFolder_ ? localFolder_() : QString());
}

QString RemoteExplorer::downloadTargetFolder(const QByteArray& remoteFolder, QString* text) const {
    const TransferMenuTarget target = downloadTarget(remoteFolder);
    if (text)
        *text = target.text;
    return target.folder;
}

// --- menus ---------------------------------------------------------------------

std::vector<RemoteMenuItem> RemoteExplorer::treeMenuItems(const QModelIndex& node) const {
    RemoteTreeMenuContext c;
    c.isRoot = treeModel_->isTop(node);
    c.kind = treeModel_->itemOf(node).kind;
    c.kindFilter = kindFilter_;
    c.hasDownloadTarget =
        !downloadTargetFolder(treeModel_->pathOf(node), &c.downloadText).isEmpty();
    c.projectPage = role_ == Role::Project;
    c.loops.compare = host_.loopAvailable(ExplorerHost::Loop::Compare);
    c.loops.search = host_.loopAvailable(ExplorerHost::Loop::Search);
    c.loops.changeCase = host_.loopAvailable(ExplorerHost::Loop::ChangeCase);
    return RemoteTreeMenu(c);
}

std::vector<RemoteMenuItem> RemoteExplorer::listMenuItems() const {
    const std::vector<RemoteItem> items = selectedItems();
    RemoteListMenuContext c;
    c.selected = int(items.size());
    c.singlePlainFile = items.size() == 1 && items.front().kind == '-';
    c.singleNotFolder = items.size() == 1 && !items.front().isFolder();
    c.hasDownloadTarget = !downloadTargetFolder(listModel_->folder(), &c.downloadText).isEmpty();
    return RemoteListMenu(c);
}

QMenu* RemoteExplorer::buildMenu(const std::vector<RemoteMenuItem>& items, QWidget* parent,
                                 const std::function<void(int)>& run, const QString& viewEditPath,
                                 bool singlePlainFile) {
    auto* menu = new QMenu(parent);
    QHash<QString, QMenu*> submenus;
    for (const RemoteMenuItem& item : items) {
        QMenu* target = menu;
        if (!item.submenu.isEmpty()) {
            target = submenus.value(item.submenu);
            if (!target) {
                target = menu->addMenu(item.submenu);
                submenus.insert(item.submenu, target);
            }
        }
        if (item.id == 0) {
            target->addSeparator();
            continue;
        }
        QAction* action = target->addAction(item.text);
        action->setData(item.id);
        action->setEnabled(item.enabled);
        const int id = item.id;
        connect(action, &QAction::triggered, this, [run, id] { run(id); });
        if (item.id == kListFtpWizard)
            target->addSeparator();
        // The viewing tools go between the separator and "Help".
        if (item.id == kListToolHelp)
            host_.fillViewEditMenu(target, true, singlePlainFile, viewEditPath);
    }
    return menu;
}

QMenu* RemoteExplorer::buildTreeMenu(const QModelIndex& node, QWidget* parent) {
    const QPersistentModelIndex keep(node);
    return buildMenu(
        treeMenuItems(node), parent,
        [this, keep](int id) {
            if (keep.isValid())
                runTreeCommand(id, keep);
        },
        QString(), false);
}

QMenu* RemoteExplorer::buildListMenu(QWidget* parent) {
    const std::vector<RemoteItem> items = selectedItems();
    const bool single = items.size() == 1 && items.front().kind == '-';
    const QString path =
        single ? Text(joinRemotePath(listModel_->folder(), items.front().name)) : QString();
    return buildMenu(
        listMenuItems(), parent, [this](int id) { runListCommand(id); }, path, single);
}

void RemoteExplorer::runTreeCommand(int id, const QModelIndex& node) {
    if (!node.isValid())
        return;
    Prompter& prompter = host_.prompter();
    const QByteArray path = treeModel_->pathOf(node);
    const RemoteItem item = treeModel_->itemOf(node);
    const bool top = treeModel_->isTop(node);
    const QByteArray parentPath = top ? QByteArray() : treeModel_->pathOf(node.parent());
    FileOperationStarters starters(engine_);
    switch (id) {
        case kTreeDownload: {
            const TransferMenuTarget target = downloadTarget(path);
            // In the project the folder's twin is the target: its entries go
            // there, so the folder lands at the same relative place.
            if (top || target.inProject)
                LaunchDownload(engine_, host_.help(), this, path, {}, target.folder,
                               treeModel_->itemsOf(node).get());
            else
                LaunchDownload(engine_, host_.help(), this, parentPath, {item}, target.folder);
            return;
        }
        case kTreeRename:
            if (!top)
                tree_->edit(node);
            return;
        case kTreeDelete: {
            if (top)
                return;
            if (guarded()) {
                if (const auto refusal =
                        RemoteDeleteRefusal(host_.remoteProjectFolder(), {Text(path)})) {
                    prompter.showMessage(*refusal);
                    return;
                }
            }
            if (!prompter.askYesNo(QString::fromLatin1(kDeleteItemQuestion)))
                return;
            starters.deleteItems(parentPath, std::vector<RemoteItem>{item});
            return;
        }
        case kTreePermissions: {
            std::vector<RemoteItem> selected;
            if (!top)
                selected.push_back(item);
            PermissionsDialog dialog(selected, true, prompter, this);
            if (dialog.exec() != QDialog::Accepted)
                return;
            starters.changePermissions(top ? path : parentPath, dialog.request(), selected, true);
            return;
        }
        case kTreeLinkInfo:
            prompter.showMessage(LinkInfoText(Text(item.linkTarget)));
            return;
        case kTreeSearch:
        case kTreeChangeCase: {
            const bool search = id == kTreeSearch;
            const auto items = treeModel_->itemsOf(node);
            if (const auto refusal = LoopStartRefusal(
                    search ? RemoteLoop::Search : RemoteLoop::ChangeCase, session_.isBusy(),
                    bool(items), !items || items->isEmpty(), item.kind == 'l')) {
                prompter.showMessage(*refusal);
                return;
            }
            host_.startLoop(search ? ExplorerHost::Loop::Search : ExplorerHost::Loop::ChangeCase,
                            path);
            return;
        }
        case kTreeCompare:
            host_.startLoop(ExplorerHost::Loop::Compare, path);
            return;
        case kTreeViewPath: {
            RemotePathDialog dialog(Text(path), host_.httpAddress(Text(path)), this);
            dialog.exec();
            return;
        }
        case kTreeSetProject: {
            if (top)
                return;
            const QString current = host_.remoteProjectFolder();
            const QString chosen = Text(path);
            switch (SetRemoteProjectStep(current, chosen)) {
                case RemoteProjectStep::Unchanged:
                    return;
                case RemoteProjectStep::AskFirst:
                    if (!prompter.askYesNo(QString::fromLatin1(RemoteProjectTexts::kChangeRemote)))
                        return;
                    break;
                case RemoteProjectStep::Store:
                    break;
            }
            host_.storeRemoteProjectFolder(chosen);
            engine_.setRemoteProjectFolder(path);
            emit remoteProjectFolderChanged(chosen);
            return;
        }
        case kTreeRefresh:
            relist(node, false);
            return;
        case kTreeReset:
            relist(node, true);
            return;
        case kTreeCreateFolder: {
            NewFolderDialog dialog(Text(path), this);
            if (dialog.exec() != QDialog::Accepted)
                return;
            if (const auto name = dialog.name())
                starters.createFolder(path, *name);
            return;
        }
        default:
            return;
    }
}

void RemoteExplorer::runListCommand(int id) {
    const QByteArray folder = listModel_->folder();
    if (folder.isEmpty())
        return;
    Prompter& prompter = host_.prompter();
    const std::vector<RemoteItem> items = selectedItems();
    FileOperationStarters starters(engine_);
    switch (id) {
        case kListFtpWizard:
            if (items.size() == 1)
                emit ftpWizardRequested(folder, items.front().name);
            return;
        case kListToolHelp:
            host_.help().showTopic(QString::fromLatin1(HelpTopics::kAddTools));
            return;
        case kListDownload:
            if (!items.empty())
                LaunchDownload(engine_, host_.help(), this, folder, items,
                               downloadTargetFolder(folder, nullptr));
            return;
        case kListRename:
            if (items.size() == 1) {
                const int row = listModel_->rowOf(items.front().name);
                if (row >= 0)
                    list_->edit(listModel_->index(row, 0));
            }
            return;
        case kListDelete: {
            if (items.empty())
                return;
            if (guarded()) {
                std::vector<QString> paths;
                for (const RemoteItem& item : items)
                    paths.push_back(Text(joinRemotePath(folder, item.name)));
                if (const auto refusal = RemoteDeleteRefusal(host_.remoteProjectFolder(), paths)) {
                    prompter.showMessage(*refusal);
                    return;
                }
            }
            if (!prompter.askYesNo(QString::fromLatin1(kDeleteItemsQuestion)))
                return;
            starters.deleteItems(folder, items);
            return;
        }
        case kListPermissions: {
            PermissionsDialog dialog(items, false, prompter, this);
            if (dialog.exec() != QDialog::Accepted)
                return;
            starters.changePermissions(folder, dialog.request(), items, false);
            return;
        }
        case kListViewPath: {
            const QString path =
                Text(items.size() == 1 ? joinRemotePath(folder, items.front().name) : folder);
            RemotePathDialog dialog(path, host_.httpAddress(path), this);
            dialog.exec();
            return;
        }
        case kListConcernedFile: {
            const ConcernedFileChoice choice =
                ChooseConcernedFile(folder, items, concerned_ ? concerned_() : QString());
            if (choice.path.isEmpty() ||
                (!choice.question.isEmpty() && !prompter.askYesNo(choice.question)))
                return;
            host_.storeConcernedFile(choice.path);
            return;
        }
        default:
            return;
    }
}

// --- rename --------------------------------------------------------------------

void RemoteExplorer::renameTreeNode(const QModelIndex& node, const QString& text) {
    if (!node.isValid() || treeModel_->isTop(node))
        return;
    const RemoteItem item = treeModel_->itemOf(node);
    const auto name = RenameTarget(item.name, text);
    if (!name)
        return;
    const QByteArray path = treeModel_->pathOf(node);
    if (guarded()) {
        if (const auto refusal = RemoteRenameRefusal(host_.remoteProjectFolder(), Text(path))) {
            host_.prompter().showMessage(*refusal);
            return;
        }
    }
    FileOperationStarters(engine_).rename(treeModel_->pathOf(node.parent()), item.name, *name);
}

void RemoteExplorer::renameListRow(int row, const QString& text) {
    if (row < 0 || row >= listModel_->rowCount())
        return;
    const QByteArray folder = listModel_->folder();
    const RemoteItem item = listModel_->itemAt(row);
    const auto name = RenameTarget(item.name, text);
    if (!name)
        return;
    if (guarded()) {
        if (const auto refusal = RemoteRenameRefusal(host_.remoteProjectFolder(),
                                                     Text(joinRemotePath(folder, item.name)))) {
            host_.prompter().showMessage(*refusal);
            return;
        }
    }
    FileOperationStarters(engine_).rename(folder, item.name, *name);
}

// --- drops ---------------------------------------------------------------------

namespace {

RemoteDropSource SourceOf(const QMimeData* mime) {
    return RemoteDropSourceOf(HasRemoteDrag(mime), HasLocalFiles(mime));
}

}  // namespace

bool RemoteExplorer::canDropOnTree(const QMimeData* mime, const QModelIndex& target,
                                   bool fromTree) const {
    Q_UNUSED(fromTree);
    // Remote entries are taken anywhere, so that the tree opens nodes under them.
    const RemoteDropSource source = SourceOf(mime);
    return source == RemoteDropSource::RemoteItems || !treeDropFolder(source, target).isEmpty();
}

QByteArray RemoteExplorer::treeDropFolder(RemoteDropSource source,
                                          const QModelIndex& target) const {
    return RemoteTreeDropFolder(
        source, target.isValid() ? treeModel_->pathOf(target) : QByteArray(),
        treeModel_->hasRoot() ? treeModel_->pathOf(treeModel_->rootIndex()) : QByteArray());
}

void RemoteExplorer::dropOnTree(const QMimeData* mime, const QModelIndex& target, bool fromTree) {
    const RemoteDropSource source = SourceOf(mime);
    const QByteArray folder = treeDropFolder(source, target);
    if (folder.isEmpty())
        return;
    if (source == RemoteDropSource::RemoteItems) {
        moveDropped(mime, folder, fromTree);
        return;
    }
    LaunchUpload(engine_, host_.help(), this, folder, UploadRecordsFromPaths(LocalFiles(mime)),
                 knownListing());
}

void RemoteExplorer::moveDropped(const QMimeData* mime, const QByteArray& folder, bool fromTree) {
    const auto drag = RemoteDragOf(mime);
    if (!drag)
        return;
    const RemoteDropDecision decision =
        DecideRemoteTreeDrop(*drag, fromTree, folder, guarded(), host_.remoteProjectFolder());
    if (decision.action == RemoteDropDecision::Refuse)
        host_.prompter().showMessage(decision.message);
    else if (decision.action == RemoteDropDecision::Move)
        FileOperationStarters(engine_).move(drag->folder, folder, drag->items);
}

QByteArray RemoteExplorer::listDropFolder(const QMimeData* mime, const QModelIndex& row) const {
    RemoteItem item;
    const bool onRow = row.isValid() && row.row() < listModel_->rowCount();
    if (onRow)
        item = listModel_->itemAt(row.row());
    return RemoteListDropFolder(SourceOf(mime), listModel_->folder(), onRow ? &item : nullptr);
}

bool RemoteExplorer::canDropOnList(const QMimeData* mime, const QModelIndex& row) const {
    return !listDropFolder(mime, row).isEmpty();
}

void RemoteExplorer::dropOnList(const QMimeData* mime, const QModelIndex& row) {
    const QByteArray folder = listDropFolder(mime, row);
    if (folder.isEmpty())
        return;
    if (SourceOf(mime) == RemoteDropSource::RemoteItems) {
        moveDropped(mime, folder, false);
        return;
    }
    LaunchUpload(engine_, host_.help(), this, folder, UploadRecordsFromPaths(LocalFiles(mime)),
                 knownListing());
}

KnownListing RemoteExplorer::knownListing() const {
    return [this](const QByteArray& folder) {
        return treeModel_->itemsOf(treeModel_->indexOf(folder));
    };
}
