#include "app/ui/tool_list_dialog.h"

#include "app/command_ids.h"
#include "app/tool_menu.h"
#include "app/tool_search_job.h"
#include "app/ui/file_input_dialog.h"
#include "platform/help_viewer.h"
#include "platform/program_texts.h"
#include "platform/ui/context_menu.h"
#include "platform/ui/keyboard_reach.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
enum Column { kName, kPath, kFile, kKind };

QTableWidgetItem* fixedItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}
}  // namespace

ToolListDialog::ToolListDialog(std::vector<ToolRecord>& stored, Mode mode, Launcher& launcher,
                               Prompter& prompter, HelpViewer& help, QWidget* parent)
    : QDialog(parent),
      stored_(stored),
      mode_(mode),
      launcher_(launcher),
      prompter_(prompter),
      rows_(stored),
      roots_(DefaultToolSearchRoots()),
      job_(new ToolSearchJob(this)),
      note_(new QLabel),
      table_(new QTableWidget(0, 4)),
      status_(new QLabel) {
    const bool searchMode = mode == Mode::Search;
    setWindowTitle(
        QString::fromLatin1(searchMode ? ToolTexts::kSearchTitle : ToolTexts::kUserTitle));
    note_->setText(QString::fromLatin1(searchMode ? ToolTexts::kSearchNote : ToolTexts::kUserNote));
    askFile_ = [this](FileInputMode m, const FileInput& shown) {
        return askFileWithDialog(m, shown);
    };

    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Name"), QStringLiteral("Path"), QStringLiteral("File"),
         QString::fromLatin1(searchMode ? ToolTexts::kSearchKindColumn
                                        : ToolTexts::kUserKindColumn)});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);  // only "Rename" edits
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);
    table_->horizontalHeader()->setSectionResizeMode(kPath, QHeaderView::Stretch);
    table_->setColumnWidth(kName, 170);
    table_->setColumnWidth(kFile, 120);
    table_->setColumnWidth(kKind, 120);
    table_->setContextMenuPolicy(Qt::CustomContextMenu);
    KeyboardReach::attach(table_);
    table_->setAccessibleName(QStringLiteral("Tools"));
    status_->setTextFormat(Qt::PlainText);
    status_->setMinimumWidth(100);
    status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);  // long paths elide

    auto* buttons = new QHBoxLayout;
    if (searchMode) {
        search_ = new QPushButton(QStringLiteral("Search"));
        stop_ = new QPushButton(QStringLiteral("Stop"));
        stop_->setEnabled(false);
        buttons->addWidget(search_);
        buttons->addWidget(stop_);
        connect(search_, &QPushButton::clicked, this, &ToolListDialog::search);
        connect(stop_, &QPushButton::clicked, this, &ToolListDialog::stopSearch);
    } else {
        auto* add = new QPushButton(QStringLiteral("Add tool"));
        buttons->addWidget(add);
        connect(add, &QPushButton::clicked, this, &ToolListDialog::addTool);
    }
    buttons->addStretch(1);
    auto* saveButton = new QPushButton(QStringLiteral("Save"));
    auto* helpButton = new QPushButton(QStringLiteral("Help"));
    auto* closeButton = new QPushButton(QStringLiteral("Close"));
    buttons->addWidget(saveButton);
    buttons->addWidget(helpButton);
    buttons->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note_);
    layout->addWidget(table_, 1);
    layout->addWidget(status_);
    layout->addLayout(buttons);
    status_->setVisible(searchMode);
    resize(760, 400);

    connect(saveButton, &QPushButton::clicked, this, &ToolListDialog::save);
    connect(helpButton, &QPushButton::clicked, this,
            [&help] { help.showTopic(QString::fromLatin1(HelpTopics::kAddTools)); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(table_, &QTableWidget::itemChanged, this, &ToolListDialog::nameEdited);
    connect(table_, &QWidget::customContextMenuRequested, this, &ToolListDialog::showRowMenu);
    connect(job_, &ToolSearchJob::folderEntered, status_, &QLabel::setText);
    connect(job_, &ToolSearchJob::rowFound, this, [this](int row, const QString& folder) {
        if (row < 0 || row >= int(rows_.size()))
            return;
        rows_[size_t(row)].Path = folder;
        showRow(row);
    });
    connect(job_, &ToolSearchJob::finished, this,
            [this](bool stopped, int) { searchFinished(stopped); });
    fillTable();
}

ToolListDialog::~ToolListDialog() = default;

std::optional<ToolListDialog::FileInput> ToolListDialog::askFileWithDialog(FileInputMode mode,
                                                                           const FileInput& shown) {
    FileInputDialog dialog(mode, prompter_, this);
    dialog.setText(shown.text);
    dialog.setHttp(shown.http);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return FileInput{dialog.text(), dialog.isHttp()};
}

void ToolListDialog::fillTable() {
    filling_ = true;
    table_->setRowCount(int(rows_.size()));
    for (int row = 0; row < int(rows_.size()); ++row)
        showRow(row);
    filling_ = false;
}

void ToolListDialog::showRow(int row) {
    const bool wasFilling = filling_;
    filling_ = true;
    const ToolRecord& tool = rows_[size_t(row)];
    auto* name = new QTableWidgetItem(tool.Name);
    name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
    table_->setItem(row, kName, name);
    table_->setItem(row, kPath, fixedItem(tool.Path));
    table_->setItem(row, kFile, fixedItem(tool.File));
    QTableWidgetItem* kind = fixedItem(ToolKindText(tool.isHttpTool()));
    kind->setTextAlignment(Qt::AlignCenter);
    table_->setItem(row, kKind, kind);
    filling_ = wasFilling;
}

void ToolListDialog::nameEdited(QTableWidgetItem* item) {
    if (filling_ || !item || item->column() != kName)
        return;
    const int row = item->row();
    if (row < 0 || row >= int(rows_.size()))
        return;
    const QString name = item->text();
    if (name == rows_[size_t(row)].Name)
        return;
    if (AcceptToolName(name, prompter_))
        rows_[size_t(row)].Name = name;
    else
        showRow(row);  // the old name comes back
}

void ToolListDialog::search() {
    if (searching())
        return;
    if (!CheckSearchRequest(rows_, prompter_))
        return;
    if (!job_->start(rows_, roots_))
        return;
    search_->setEnabled(false);
    stop_->setEnabled(true);
    note_->setText(QString::fromLatin1(ToolTexts::kSearchNote));
}

void ToolListDialog::stopSearch() {
    job_->stop();
}

bool ToolListDialog::searching() const {
    return job_->isRunning();
}

void ToolListDialog::searchFinished(bool stopped) {
    if (search_)
        search_->setEnabled(true);
    if (stop_)
        stop_->setEnabled(false);
    status_->clear();
    if (!stopped)
        note_->setText(QString::fromLatin1(ToolTexts::kSearchCompleted));
}

void ToolListDialog::save() {
    if (SaveToolRows(rows_, stored_, prompter_) == ToolSaveOutcome::Replaced)
        accept();
}

void ToolListDialog::addTool() {
    const auto input = askFile_(FileInputMode::Add, {});
    if (!input)
        return;
    rows_.push_back(NewUserTool(input->text, input->http));
    table_->setRowCount(int(rows_.size()));
    showRow(int(rows_.size()) - 1);
}

void ToolListDialog::deleteRow(int row) {
    if (row < 0 || row >= int(rows_.size()))
        return;
    if (mode_ == Mode::Search) {
        if (!ToolRowHasProgram(rows_[size_t(row)]))
            return;
        // The row stays so that it can be searched for again.
        rows_[size_t(row)].Path.clear();
        showRow(row);
        return;
    }
    rows_.erase(rows_.begin() + row);
    table_->removeRow(row);
}

void ToolListDialog::renameRow(int row) {
    if (row < 0 || row >= int(rows_.size()))
        return;
    table_->editItem(table_->item(row, kName));
}

void ToolListDialog::launchOnly(int row) {
    if (row < 0 || row >= int(rows_.size()) || !ToolRowHasProgram(rows_[size_t(row)]))
        return;
    LaunchTool(rows_[size_t(row)], {}, launcher_);
}

void ToolListDialog::executeFile(int row) {
    if (row < 0 || row >= int(rows_.size()) || !ToolRowHasProgram(rows_[size_t(row)]))
        return;
    const auto input = askFile_(FileInputMode::Test, {});
    if (!input)
        return;
    LaunchTool(rows_[size_t(row)], input->text, launcher_);
}

void ToolListDialog::editRow(int row) {
    if (mode_ != Mode::User || row < 0 || row >= int(rows_.size()))
        return;
    ToolRecord& tool = rows_[size_t(row)];
    const auto input = askFile_(FileInputMode::Add, {ToolEditText(tool), tool.isHttpTool()});
    if (!input)
        return;
    EditUserTool(tool, input->text, input->http);
    showRow(row);
}

void ToolListDialog::showRowMenu(const QPoint& pos) {
    const QModelIndex index = table_->indexAt(pos);
    if (!index.isValid())
        return;
    const int row = index.row();
    const bool hasProgram = ToolRowHasProgram(rows_[size_t(row)]);
    QMenu menu(this);
    const auto add = [&](const char* text, int id, bool enabled) {
        QAction* action = menu.addAction(QString::fromLatin1(text));
        action->setData(id);
        action->setEnabled(enabled);
    };
    // A hand-added row without a program can still be removed.
    add("Delete", kCmdToolDelete, hasProgram || mode_ == Mode::User);
    add("Rename", kCmdToolRename, true);
    if (mode_ == Mode::User)
        add("Edit", kCmdToolEdit, true);
    add("Launch only", kCmdToolLaunch, hasProgram);
    add("Execute file", kCmdToolExecute, hasProgram);
    QAction* chosen = ExecContextMenu(&menu, table_->viewport()->mapToGlobal(pos));
    if (!chosen)
        return;
    switch (chosen->data().toInt()) {
        case kCmdToolDelete:
            deleteRow(row);
            break;
        case kCmdToolRename:
            renameRow(row);
            break;
        case kCmdToolEdit:
            editRow(row);
            break;
        case kCmdToolLaunch:
            launchOnly(row);
            break;
        case kCmdToolExecute:
            executeFile(row);
            break;
    }
}

void ToolListDialog::done(int result) {
    job_->stop();  // the walk ends at its next folder; the job waits for it when destroyed
    QDialog::done(result);
}
