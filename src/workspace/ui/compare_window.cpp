#include "workspace/ui/compare_window.h"

#include "platform/program_texts.h"
#include "platform/prompter.h"
#include "platform/ui/context_menu.h"
#include "platform/ui/keyboard_reach.h"
#include "platform/ui/result_list_keys.h"
#include "remote/action_engine.h"
#include "remote/file_operation_starters.h"
#include "remote/local_name_guard.h"
#include "remote/remote_path.h"
#include "remote/task_status.h"
#include "remote/transfer_starters.h"
#include "session/ftp_session.h"
#include "workspace/compare_view_choice.h"
#include "workspace/folder_compare.h"
#include "workspace/loop_row_texts.h"
#include "workspace/loop_starters.h"
#include "workspace/ui/loop_result_models.h"
#include "workspace/workspace_command_ids.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

CompareWindow::CompareWindow(const LoopContext& context, const ProjectFolders& folders,
                             const QByteArray& startFolder, quint8 storedOptions, QWidget* parent)
    : LoopWindow(context, {HelpTopics::kCompare, "Compare", LoopTexts::kCompareEnded}, parent),
      folders_(folders),
      sides_(folders, startFolder),
      tree_(new QTreeView(this)),
      model_(new CompareTreeModel(this)) {
    setWindowTitle(CompareWindowTitle(folders.remote, QString::fromUtf8(sides_.startFolder())));
    helpButton_->setText(QStringLiteral("?"));
    helpButton_->setAccessibleName(QStringLiteral("Help"));

    const char* const texts[] = {"Case sensitive", "Compare file size", "Include sub-folders",
                                 "System file", "Hidden file"};
    for (int i = 0; i < 5; ++i) {
        auto* box = new QCheckBox(QString::fromLatin1(texts[i]), this);
        box->setChecked(storedOptions & (1 << i));
        boxes_ << box;
    }
    auto* ignore = new QGroupBox(QStringLiteral("Ignore"), this);
    auto* ignoreLayout = new QVBoxLayout(ignore);
    ignoreLayout->addWidget(boxes_[3]);
    ignoreLayout->addWidget(boxes_[4]);
    dates_ = new QCheckBox(QStringLiteral("Compare file date"), this);
    dates_->setToolTip(QStringLiteral("Also list files changed later on one side"));
    auto* checks = new QVBoxLayout;
    checks->addWidget(boxes_[0]);
    checks->addWidget(boxes_[1]);
    checks->addWidget(dates_);
    checks->addWidget(boxes_[2]);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(startButton_);
    buttons->addWidget(helpButton_);
    buttons->addStretch();
    auto* controls = new QHBoxLayout;
    controls->addLayout(checks);
    controls->addWidget(ignore);
    controls->addStretch();
    controls->addLayout(buttons);

    tree_->setModel(model_);
    makeSortable(tree_);
    tree_->setUniformRowHeights(true);
    // Ctrl and Shift choose several results, for one "Upload" or "Download".
    tree_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tree_->header()->setStretchLastSection(false);
    tree_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    tree_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    legend_ = new QLabel(CompareLegendHtml(), this);
    legend_->setTextFormat(Qt::RichText);
    legend_->setAccessibleName(QStringLiteral("Legend"));
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    tree_->setAccessibleName(QStringLiteral("Comparison result"));
    KeyboardReach::attach(tree_);
    connect(tree_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        CompareNode* node = model_->node(tree_->indexAt(pos));
        // On "From" or below the rows (Ctrl+A, then the Menu key): the chosen results' menu.
        if (!node || !node->parent) {
            const std::vector<CompareNode*> chosen = chosenResults();
            node = chosen.empty() ? nullptr : chosen.front();
        }
        if (QMenu* m = itemMenu(node))
            PopupContextMenu(m, tree_->viewport()->mapToGlobal(pos));
    });

    // The Delete key does what the row's "Delete" does, for one result; Enter stays here.
    ResultListKeys::attach(tree_, [this] {
        const std::vector<CompareNode*> chosen = chosenResults();
        if (chosen.size() == 1)
            deleteItem(chosen.front());
    });

    status_->setText(QString::fromLatin1(LoopTexts::kCompareIdle));
    setProgressRange(50);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(tree_, 1);
    layout->addWidget(legend_);
    layout->addWidget(status_);
    layout->addWidget(progress_);
    resize(560, 560);

    connect(&engine_, &ActionEngine::listingReady, this,
            [this](const ListingAction* action, const RemoteItemList& items) {
                folderListed(action->folder, items);
            });
    connect(&engine_, &ActionEngine::refreshDelivered, this,
            [this](quintptr, quint8, const QByteArray& folder, const RemoteItemList& items,
                   RefreshMode) { folderListed(folder, items); });
    connect(
        &engine_, &ActionEngine::transferFinished, this,
        [this](const TransferInfo& info, qint64, bool success) { transferDone(info, success); });
    connect(&context.status, &TaskStatus::ownedTaskEnded, this, [this](quintptr owner, bool clean) {
        if (owner == token())
            transferTaskEnded(clean);
    });
    for (auto lost : {&FtpSession::disconnected, &FtpSession::connectionClosed})
        connect(&engine_.session(), lost, this, [this] { folderSends_.forget(); });
    // "Remove all tasks" takes their completed entries too.
    connect(&engine_.session(), &FtpSession::workRemoved, this, [this](bool all) {
        if (all)
            folderSends_.forget();
    });
}

QCheckBox* CompareWindow::optionBox(int bit) const {
    for (int i = 0; i < 5; ++i) {
        if ((1 << i) == bit)
            return boxes_[i];
    }
    return nullptr;
}

void CompareWindow::setDates(bool checked, qint64 listOffset) {
    dates_->setChecked(checked);
    listOffset_ = listOffset;
}

quint8 CompareWindow::options() const {
    quint8 o = 0;
    for (int i = 0; i < 5; ++i) {
        if (boxes_[i]->isChecked())
            o |= quint8(1 << i);
    }
    return o;
}

bool CompareWindow::startLoop() {
    if (engine_.session().isBusy()) {
        prompter_.showMessage(QString::fromLatin1(LoopTexts::kCompareBusy));
        return false;
    }
    const QString local = ToLocalProjectPath(folders_, QString::fromUtf8(sides_.startFolder()));
    const QString refusal = CompareStartRefusal(local);
    if (!refusal.isEmpty()) {
        prompter_.showMessage(refusal);
        return false;
    }
    runOptions_ = options();
    runDates_ = dates_->isChecked();
    emit datesStored(dates_->isChecked());
    emit optionsStored(runOptions_);
    model_->reset(sides_.startRelative());
    tree_->expand(model_->index(0, 0, {}));
    pendingTransfers_.clear();
    CompareParams params{folders_.local, sides_.remoteProject(), runOptions_,
                         sides_.startRelative()};
    params.dates = dates_->isChecked();
    params.listOffset = listOffset_;
    if (params.dates) {
        params.offsetFinder = std::make_shared<ListOffsetFinder>();
        QPointer<CompareWindow> self(this);
        params.offsetFinder->onFound = [self](qint64 seconds) {
            if (!self)
                return;
            self->listOffset_ = seconds;
            emit self->listOffsetFound(seconds);
        };
    }
    return LoopStarters(engine_).startCompare(params, {this, this});
}

bool CompareWindow::loopFinished() {
    model_->prune(runOptions_ & CompareOptions::SubFolders);
    return false;
}

QString CompareWindow::endNote() const {
    // An empty tree alone could also mean nothing was compared.
    const CompareNode* root = model_->tree().root();
    return root->visited() && root->children.empty() ? QStringLiteral("No differences.")
                                                     : QString();
}

bool CompareWindow::compareResult(const FolderCompareResult& result) {
    if (!model_->addResult(result))
        return false;
    tree_->expand(model_->indexOf(model_->tree().find(result.relativePath)));
    return true;
}

QMenu* CompareWindow::itemMenu(CompareNode* node) {
    if (!node || !node->parent)
        return nullptr;
    // The transfers act on every chosen result, found again by its path below the
    // project folder when picked: results may go while the menu is open.
    QList<QByteArray> chosen;
    std::vector<const CompareNode*> nodes;
    for (CompareNode* one : chosenWith(node)) {
        chosen << sides_.projectPath(one);
        nodes.push_back(one);
    }
    const CompareItemCommands c = CompareCommandsFor(node);
    const CompareItemCommands transfers = CompareCommandsFor(nodes);
    const bool single = nodes.size() == 1;
    delete menu_;
    menu_ = new QMenu(this);
    auto add = [this](const QString& text, int id, bool enabled, auto slot) {
        QAction* a = menu_->addAction(text, this, slot);
        a->setData(id);
        a->setEnabled(enabled);
        return a;
    };
    add(QStringLiteral("Upload"), kCompareUpload, transfers.upload,
        [this, chosen] { upload(chosen); });
    add(QStringLiteral("Download"), kCompareDownload, transfers.download,
        [this, chosen] { download(chosen); });
    add(QStringLiteral("Delete"), kCompareDelete, single && (c.deleteLocal || c.deleteRemote),
        [this, node] { deleteItem(node); });
    QMenu* view = menu_->addMenu(QString::fromLatin1(CommonTexts::kViewEditBy));
    view->setEnabled(single && c.view);
    for (const auto& [text, id] :
         {std::pair{"FTP wizard", kCompareFtpWizard}, std::pair{"Help", kCompareHelp}}) {
        QAction* a = view->addAction(QString::fromLatin1(text), this,
                                     [this, id = id, node] { viewItem(id, node); });
        a->setData(id);
    }
    if (toolMenuFiller_ && single && c.view) {
        const bool localFile = node->item.isLocal() && !node->item.isLocalFolder();
        toolMenuFiller_(view, !localFile, [this, node] { return viewTarget(node); });
    }
    menu_->addSeparator();
    add(QStringLiteral("Properties"), kCompareProperties, single && c.properties,
        [this, node] { showProperties(node); });
    return menu_;
}

void CompareWindow::viewItem(int commandId, CompareNode* node) {
    const CompareViewSide side = ChooseCompareViewSide(node->item, prompter_);
    if (side == CompareViewSide::None)
        return;
    if (side == CompareViewSide::Local) {
        emit viewRequested(commandId, {}, {}, sides_.localPathOf(node));
        return;
    }
    const auto [folder, name] = remoteFileOf(node);
    emit viewRequested(commandId, folder, name, {});
}

std::optional<CompareWindow::ViewTarget> CompareWindow::viewTarget(CompareNode* node) {
    switch (ChooseCompareViewSide(node->item, prompter_)) {
        case CompareViewSide::None:
            return std::nullopt;
        case CompareViewSide::Local:
            return ViewTarget{false, sides_.localPathOf(node)};
        case CompareViewSide::Server: {
            const auto [folder, name] = remoteFileOf(node);
            return ViewTarget{true, QString::fromUtf8(joinRemotePath(folder, name))};
        }
    }
    return std::nullopt;
}

std::pair<QByteArray, QByteArray> CompareWindow::remoteFileOf(const CompareNode* node) const {
    return {sides_.remoteFolderOf(node), node->item.remoteName};
}

std::vector<CompareNode*> CompareWindow::chosenResults() const {
    std::vector<CompareNode*> chosen;
    for (const QModelIndex& row : tree_->selectionModel()->selectedRows())
        if (CompareNode* one = model_->node(row); one && one->parent)
            chosen.push_back(one);
    return chosen;
}

std::vector<CompareNode*> CompareWindow::chosenWith(CompareNode* node) const {
    std::vector<CompareNode*> chosen;
    if (tree_->selectionModel()->isSelected(model_->indexOf(node)))
        chosen = chosenResults();
    if (chosen.empty())
        chosen.push_back(node);
    return chosen;
}

std::vector<const CompareNode*> CompareWindow::stillShown(const QList<QByteArray>& paths) {
    std::vector<const CompareNode*> nodes;
    for (const QByteArray& path : paths)
        if (const CompareNode* node = model_->tree().find(path))
            nodes.push_back(node);
    return nodes;
}

namespace {

// A result chosen for a transfer differs by what the run saw (sizes, kinds or
// dates): the file action must not skip it for sizes that happen to match.
TransferAlertOptions ReplaceWhatDiffers() {
    TransferAlertOptions options;
    options.fileAction = TransferAlertOptions::OverwriteAlways;
    return options;
}

}  // namespace

// The chosen results go as one task, however many folders they are in.
void CompareWindow::upload(const QList<QByteArray>& paths) {
    const std::vector<const CompareNode*> nodes =
        sides_.confirmOlderOverNewer(stillShown(paths), true, prompter_);
    const std::vector<ProjectUploadPart> parts = sides_.uploadParts(nodes);
    for (const ProjectUploadPart& part : parts)
        for (const LocalItem& item : part.local.items)
            if (!item.isFolder)
                pendingTransfers_.insert(joinRemotePath(
                    joinRemotePath(sides_.remoteProject(), part.relativePath), item.name.toUtf8()));
    if (!parts.empty() && TransferStarters(engine_, ReplaceWhatDiffers())
                              .uploadProject(sides_.remoteProject(), parts, token()))
        transferStarted(nodes, [](const CompareItem& i) { return i.isLocalFolder(); });
}

void CompareWindow::download(const QList<QByteArray>& paths) {
    const std::vector<const CompareNode*> nodes =
        sides_.confirmOlderOverNewer(stillShown(paths), false, prompter_);
    const std::vector<DownloadPart> parts = sides_.downloadParts(nodes);
    for (const DownloadPart& part : parts)
        for (const RemoteItem& item : part.selection)
            if (item.kind != 'd')
                pendingTransfers_.insert(joinRemotePath(part.remoteFolder, item.name));
    if (parts.empty())
        return;
    TransferStarters(engine_, ReplaceWhatDiffers()).download(parts, token());
    transferStarted(nodes, [](const CompareItem& i) { return i.remoteKind == 'd'; });
}

void CompareWindow::transferStarted(const std::vector<const CompareNode*>& nodes,
                                    bool (*sentFolder)(const CompareItem&)) {
    std::vector<QByteArray> folders;
    for (const CompareNode* node : nodes)
        if (node->item.isLocal() != node->item.isRemote() && sentFolder(node->item))
            folders.push_back(sides_.projectPath(node));
    folderSends_.started(folders);
}

void CompareWindow::transferTaskEnded(bool clean) {
    const std::vector<QByteArray> settled = folderSends_.ended(clean);
    if (settled.empty())
        return;
    for (const QByteArray& path : settled)
        if (CompareNode* node = model_->tree().find(path))
            model_->removeNode(node);
    model_->prune(runOptions_ & CompareOptions::SubFolders);
}

void CompareWindow::deleteItem(CompareNode* node) {
    const CompareItemCommands c = CompareCommandsFor(node);
    if (c.deleteLocal) {
        if (!prompter_.askYesNo(QStringLiteral("Delete the local file?")))
            return;
        const QString failure = sides_.deleteLocalFile(node);
        if (!failure.isEmpty()) {
            prompter_.showMessage(failure);
            return;
        }
        model_->removeNode(node);
        model_->prune(runOptions_ & CompareOptions::SubFolders);
        emit localTreesChanged();
        return;
    }
    if (!c.deleteRemote || !prompter_.askYesNo(QStringLiteral("Delete the server file?")))
        return;
    RemoteItem item;
    item.kind = '-';
    item.name = node->item.remoteName;
    RefreshTarget target;
    target.window = token();
    target.mode = RefreshMode::AfterDelete;
    FileOperationStarters(engine_).deleteItems(sides_.remoteFolderOf(node),
                                               std::vector<RemoteItem>{item}, target);
}

void CompareWindow::showProperties(CompareNode* node) {
    prompter_.showMessage(CompareItemProperties(node->item,
                                                QString::fromUtf8(CompareTree::pathOf(node)),
                                                QString::fromUtf8(sides_.projectPath(node))));
}

bool CompareWindow::showsFolder(const QByteArray& folder) const {
    return !running() && sides_.walked(model_->tree(), folder);
}

void CompareWindow::folderListed(const QByteArray& folder, const RemoteItemList& items) {
    if (running() || !model_->rowCount())
        return;
    DateJudge dates;
    dates.enabled = runDates_;
    dates.listOffset = listOffset_;
    const StepList listing = engine_.listingSequence(folder);
    dates.mlsd = std::any_of(listing.begin(), listing.end(),
                             [](const auto& step) { return step.first == "MLSD"; });
    const std::vector<CompareNode*> stale =
        sides_.staleAfterListing(model_->tree(), folder, items, runOptions_, dates);
    for (CompareNode* gone : stale)
        model_->removeNode(gone);
    // The rows that stay were compared again: their texts change with them.
    model_->itemsRewritten(sides_.listedFolder(model_->tree(), folder));
    model_->prune(runOptions_ & CompareOptions::SubFolders);
}

void CompareWindow::transferDone(const TransferInfo& info, bool success) {
    const QByteArray path = joinRemotePath(info.remoteFolder, info.fileName);
    if (!pendingTransfers_.remove(path) || !success)
        return;
    if (CompareNode* node = sides_.settledByTransfer(model_->tree(), path)) {
        model_->removeNode(node);
        model_->prune(runOptions_ & CompareOptions::SubFolders);
    }
}

void CompareWindow::sortRows(ListSort sort) {
    model_->setSort(sort);
}
