#include "workspace/ui/search_window.h"

#include "platform/program_texts.h"
#include "platform/prompter.h"
#include "platform/ui/context_menu.h"
#include "platform/ui/keyboard_reach.h"
#include "platform/ui/proportional_columns.h"
#include "platform/ui/result_list_keys.h"
#include "remote/action_engine.h"
#include "remote/file_operation_starters.h"
#include "remote/listing_action.h"
#include "remote/remote_path.h"
#include "remote/remote_project_guard.h"
#include "remote/transfer_starters.h"
#include "session/ftp_session.h"
#include "workspace/loop_starters.h"
#include "workspace/search_delete.h"
#include "workspace/search_download.h"
#include "workspace/ui/loop_result_models.h"
#include "workspace/workspace_command_ids.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// "Delete" of a result row's menu.

// Selected rows: deep blue in a focused list, pale when it is not focused.
void setRowColours(QWidget* list) {
    QPalette p = list->palette();
    p.setColor(QPalette::Active, QPalette::Highlight, QColor(49, 106, 197));
    p.setColor(QPalette::Active, QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Inactive, QPalette::Highlight, QColor(231, 228, 211));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::AlternateBase, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    list->setPalette(p);
}

}  // namespace

SearchWindow::SearchWindow(const LoopContext& context, const ProjectFolders& folders,
                           const QByteArray& folder, const SearchCriteria& stored,
                           const LoopDisplayOptions& display, QWidget* parent)
    : LoopWindow(context, {HelpTopics::kSearch, "Search", LoopTexts::kSearchEnded}, parent),
      folders_(folders),
      folder_(folder),
      name_(new QLineEdit(this)),
      relation_(new QComboBox(this)),
      size_(new QLineEdit(this)),
      unit_(new QComboBox(this)),
      caseSensitive_(new QCheckBox(QStringLiteral("Case sensitive"), this)),
      list_(new QTreeView(this)),
      model_(new SearchResultModel(display, this)) {
    setWindowTitle(SearchWindowTitle(QString::fromUtf8(folder)));
    helpButton_->setText(QStringLiteral("Help"));
    auto* closeButton = new QPushButton(QStringLiteral("x"), this);
    closeButton->setAccessibleName(QStringLiteral("Close"));
    closeButton->setAutoDefault(false);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    auto* nameBox = new QGroupBox(QStringLiteral("Name for search"), this);
    auto* nameLayout = new QVBoxLayout(nameBox);
    nameLayout->addWidget(name_);

    auto* itemBox = new QGroupBox(QStringLiteral("Item"), this);
    auto* itemLayout = new QGridLayout(itemBox);
    const char* const kindTexts[] = {"File", "Folder", "Link", "Device B", "Device C", "Others"};
    for (int i = 0; i < 6; ++i) {
        auto* box = new QCheckBox(QString::fromLatin1(kindTexts[i]), itemBox);
        kinds_ << box;
        itemLayout->addWidget(box, i / 3, i % 3);
    }

    auto* sizeBox = new QGroupBox(QStringLiteral("File size"), this);
    auto* sizeLayout = new QHBoxLayout(sizeBox);
    relation_->addItems(
        {QStringLiteral("Not use"), QStringLiteral("At lease"), QStringLiteral("At most")});
    unit_->addItems({QStringLiteral("bytes"), QStringLiteral("kb"), QStringLiteral("mb")});
    size_->setValidator(new QIntValidator(0, 2147483647, size_));
    size_->setAccessibleName(QStringLiteral("File size value"));
    sizeLayout->addWidget(relation_);
    sizeLayout->addWidget(size_);
    sizeLayout->addWidget(unit_);
    connect(relation_, &QComboBox::currentIndexChanged, this, [this](int index) {
        size_->setEnabled(index != 0);
        unit_->setEnabled(index != 0);
    });

    auto* controls = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(nameBox);
    left->addWidget(sizeBox);
    controls->addLayout(left, 3);
    auto* middle = new QVBoxLayout;
    middle->addWidget(itemBox);
    middle->addWidget(caseSensitive_);
    controls->addLayout(middle, 3);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(startButton_);
    buttons->addWidget(helpButton_);
    buttons->addWidget(closeButton);
    buttons->addStretch();
    controls->addLayout(buttons, 1);

    list_->setModel(model_);
    makeSortable(list_);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    list_->setAccessibleName(QStringLiteral("Search results"));
    KeyboardReach::attach(list_);
    setRowColours(list_);
    // Sizes and dates are read whole; names and paths give way.
    new ProportionalColumns(list_, SearchResultModel::columnWeights(), 0, {1, 3});
    connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const QModelIndex index = list_->indexAt(pos);
        if (!index.isValid())
            return;
        if (!list_->selectionModel()->isRowSelected(index.row(), QModelIndex()))
            list_->setCurrentIndex(index);
        if (QMenu* m = rowMenu(index.row()))
            PopupContextMenu(m, list_->viewport()->mapToGlobal(pos));
    });

    // The Delete key does what the rows' "Delete" does; Enter stays here.
    ResultListKeys::attach(list_, [this] { deleteSelected(); });

    setProgressRange(200);
    status_->setText(QString::fromLatin1(LoopTexts::kSearchIdle));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(list_, 1);
    layout->addWidget(status_);
    layout->addWidget(progress_);
    showCriteria(stored);
    resize(820, 520);

    // Tab goes through the criteria as they read, then the buttons, then the results.
    QList<QWidget*> order{name_};
    for (QCheckBox* box : kinds_)
        order << box;
    order << relation_ << size_ << unit_ << caseSensitive_ << startButton_ << helpButton_
          << closeButton << list_;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    name_->setFocus();

    // The rows follow every fresh listing of their folders, this window's own
    // and the explorers'.
    connect(&engine_, &ActionEngine::refreshDelivered, this,
            [this](quintptr window, quint8, const QByteArray& folder, const RemoteItemList& items,
                   RefreshMode) {
                if (window == token())
                    model_->followListing(folder, items);
            });
    connect(&engine_, &ActionEngine::listingReady, this,
            [this](const ListingAction* action, const RemoteItemList& items) {
                if (action)
                    model_->followListing(action->folder, items);
            });
}

SearchWindow::~SearchWindow() = default;

QCheckBox* SearchWindow::kindBox(int bit) const {
    for (int i = 0; i < 6; ++i) {
        if ((1 << i) == bit)
            return kinds_[i];
    }
    return nullptr;
}

void SearchWindow::showCriteria(const SearchCriteria& c) {
    name_->setText(c.patternText());
    for (int i = 0; i < 6; ++i)
        kinds_[i]->setChecked(c.kinds & (1 << i));
    relation_->setCurrentIndex(c.sizeRelation <= 2 ? c.sizeRelation : 0);
    size_->setText(c.sizeValue ? QString::number(c.sizeValue) : QString());
    unit_->setCurrentIndex(c.sizeUnit <= 2 ? c.sizeUnit : 0);
    caseSensitive_->setChecked(c.caseSensitive);
    size_->setEnabled(relation_->currentIndex() != 0);
    unit_->setEnabled(relation_->currentIndex() != 0);
}

SearchRequest SearchWindow::request() const {
    SearchRequest r;
    for (int i = 0; i < 6; ++i) {
        if (kinds_[i]->isChecked())
            r.kinds |= quint8(1 << i);
    }
    r.sizeRelation = quint8(relation_->currentIndex());
    r.sizeValue = size_->text().toInt();
    r.sizeUnit = quint8(unit_->currentIndex());
    r.caseSensitive = caseSensitive_->isChecked();
    r.name = name_->text();
    return r;
}

bool SearchWindow::startLoop() {
    SearchCriteria criteria;
    const QString invalid = ValidateSearch(request(), &criteria);
    if (!invalid.isEmpty()) {
        prompter_.showMessage(invalid);
        return false;
    }
    if (engine_.session().isBusy()) {
        prompter_.showMessage(QString::fromLatin1(LoopTexts::kSearchBusy));
        return false;
    }
    emit criteriaStored(criteria);
    model_->clear();
    return LoopStarters(engine_).startSearch(folder_, criteria, {this, this});
}

bool SearchWindow::showsFolder(const QByteArray& folder) const {
    return model_->showsFolder(folder);
}

bool SearchWindow::searchResult(const SearchRow& row) {
    model_->append(row);
    return true;
}

QMenu* SearchWindow::rowMenu(int row) {
    model_->flush();
    if (row < 0 || row >= model_->rowCount())
        return nullptr;
    const SearchRow& r = model_->row(row);
    delete menu_;
    menu_ = new QMenu(this);
    QMenu* view = menu_->addMenu(QString::fromLatin1(CommonTexts::kViewEditBy));
    const bool file = r.item.kind == '-';
    const QByteArray folder = r.folder;
    const QByteArray name = r.item.name;
    for (const auto& [text, id] :
         {std::pair{"FTP wizard", kSearchFtpWizard}, std::pair{"Help", kSearchHelp}}) {
        QAction* a = view->addAction(
            QString::fromLatin1(text), this,
            [this, id = id, folder, name] { emit viewRequested(id, folder, name); });
        a->setData(id);
    }
    if (viewMenuFiller_)
        viewMenuFiller_(view, QString::fromUtf8(joinRemotePath(folder, name)));
    view->setEnabled(file);
    const TransferMenuTarget target =
        DownloadTargetFor(folders_.local, folders_.remote, QString::fromUtf8(folder),
                          openLocalFolder_ ? openLocalFolder_() : QString());
    // The entry itself: rows move while results still arrive in sorted order.
    QAction* download = menu_->addAction(target.text, this, [this, r] { downloadChosen(r); });
    download->setData(kSearchDownload);
    download->setEnabled(!target.folder.isEmpty());
    QAction* remove =
        menu_->addAction(QStringLiteral("Delete"), this, [this] { deleteSelected(); });
    remove->setData(kSearchDelete);
    remove->setEnabled(!running());
    return menu_;
}

std::vector<SearchRow> SearchWindow::selectedRows() const {
    QModelIndexList indexes = list_->selectionModel()->selectedRows();
    std::sort(indexes.begin(), indexes.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<SearchRow> rows;
    for (const QModelIndex& i : indexes)
        rows.push_back(model_->row(i.row()));
    return rows;
}

void SearchWindow::deleteSelected() {
    const std::vector<SearchRow> rows = selectedRows();
    if (rows.empty() || running())
        return;
    if (const auto refusal = RemoteDeleteRefusal(folders_.remote, SearchRowPaths(rows))) {
        prompter_.showMessage(*refusal);
        return;
    }
    if (!prompter_.askYesNo(SearchDeleteQuestion(int(rows.size()))))
        return;
    RefreshTarget target;
    target.window = token();
    target.mode = RefreshMode::AfterDelete;
    FileOperationStarters starters(engine_);
    for (const SearchDeleteBatch& batch : GroupSearchRowsByFolder(rows))
        starters.deleteItems(batch.folder, batch.items, target);
}

void SearchWindow::downloadChosen(const SearchRow& clicked) {
    // The selection when the clicked row is in it, else the clicked row alone.
    std::vector<SearchRow> rows = selectedRows();
    const bool inSelection = std::any_of(rows.begin(), rows.end(), [&](const SearchRow& r) {
        return r.folder == clicked.folder && r.item.name == clicked.item.name;
    });
    if (!inSelection)
        rows = {clicked};
    TransferStarters(engine_).download(SearchDownloadParts(
        rows, folders_.local, folders_.remote, openLocalFolder_ ? openLocalFolder_() : QString()));
}

void SearchWindow::sortRows(ListSort sort) {
    model_->setSort(sort);
}
