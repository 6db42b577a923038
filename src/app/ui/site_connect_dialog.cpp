#include "app/ui/site_connect_dialog.h"

#include "app/command_ids.h"
#include "app/publish_settings.h"
#include "app/site_keyring.h"
#include "app/site_list.h"
#include "app/site_rules.h"
#include "app/site_tls.h"
#include "app/ui/site_list_model.h"
#include "app/ui/site_pages.h"
#include "platform/prompter.h"
#include "platform/ui/context_menu.h"
#include "platform/ui/keyboard_reach.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// "Name" and "Comment" share the list's width 45 : 55.
class SiteTableView : public QTableView {
public:
    using QTableView::QTableView;

protected:
    void resizeEvent(QResizeEvent* event) override {
        QTableView::resizeEvent(event);
        const int width = viewport()->width();
        setColumnWidth(0, width * 45 / 100);
        setColumnWidth(1, width - width * 45 / 100);
    }
};
}  // namespace

SiteConnectDialog::SiteConnectDialog(SiteList& sites, Prompter& prompter, HelpViewer& help,
                                     QWidget* parent)
    : QDialog(parent),
      sites_(sites),
      prompter_(prompter),
      model_(new SiteListModel(sites, this)),
      view_(new SiteTableView),
      pages_(new SitePages(prompter, help)),
      new_(new QPushButton(QStringLiteral("New site"))),
      connect_(new QPushButton(QStringLiteral("Connect"))),
      save_(new QPushButton(QStringLiteral("Save"))),
      close_(new QPushButton(QStringLiteral("Close"))),
      keyring_(new QCheckBox(QStringLiteral("Keep passwords in the desktop keyring"))) {
    setWindowTitle(QStringLiteral("Site connect"));
    askName_ = [this](SiteNameDialog::Mode mode, int editedRow, const NameTexts& shown) {
        return askNameWithDialog(mode, editedRow, shown);
    };

    view_->setModel(model_);
    view_->setAccessibleName(QStringLiteral("Sites"));
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setShowGrid(true);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the list for the fields; the arrows move between sites.
    view_->setTabKeyNavigation(false);
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);
    view_->horizontalHeader()->setHighlightSections(false);
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->setDragEnabled(true);
    view_->setAcceptDrops(true);
    view_->setDropIndicatorShown(true);
    view_->setDragDropOverwriteMode(true);  // drops land on a row, never between rows
    view_->setDragDropMode(QAbstractItemView::DragDrop);
    view_->setDefaultDropAction(Qt::MoveAction);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    KeyboardReach::attach(view_);
    view_->setMinimumWidth(260);

    auto* left = new QVBoxLayout;
    left->addWidget(view_, 1);
    left->addWidget(new QLabel(QStringLiteral("Drag and drop to re-order sites")));
    left->addWidget(keyring_);
    setSecretStoreMissing(false);
    connect(keyring_, &QCheckBox::toggled, this, [this](bool on) {
        sites_.KeyringOption = on ? SiteList::kKeyringOn : SiteList::kKeyringOff;
    });

    auto* top = new QHBoxLayout;
    top->addLayout(left, 45);
    top->addWidget(pages_, 55);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new_);
    buttons->addStretch(1);
    buttons->addWidget(connect_);
    buttons->addWidget(save_);
    buttons->addWidget(close_);
    connect_->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    resize(900, 480);

    connect(new_, &QPushButton::clicked, this, &SiteConnectDialog::newSite);
    connect(connect_, &QPushButton::clicked, this, &SiteConnectDialog::connectSite);
    connect(save_, &QPushButton::clicked, this, &SiteConnectDialog::saveSite);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (reselecting_ || !current.isValid() || current.row() == row_)
                    return;
                if (offerEdits()) {
                    showRow(current.row());
                    return;
                }
                // Not saved: the edited site stays chosen, with its edits.
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        const QScopedValueRollback<bool> quiet(reselecting_, true);
                        view_->selectionModel()->setCurrentIndex(
                            model_->index(row_, 0),
                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
                    },
                    Qt::QueuedConnection);
            });
    connect(view_, &QWidget::customContextMenuRequested, this, &SiteConnectDialog::showRowMenu);
    connect(model_, &SiteListModel::siteMoved, this, [this](int row) {
        selectRow(row);
        listChanged();
    });

    sites_.NormaliseSelectedIndex();
    selectRow(sites_.SelectedIndex);
}

SiteConnectDialog::~SiteConnectDialog() = default;

void SiteConnectDialog::setSecretStoreMissing(bool missing) {
    const QSignalBlocker quiet(keyring_);
    keyring_->setChecked(KeyringWanted(sites_, missing));
}

void SiteConnectDialog::selectRow(int row) {
    if (row < 0 || row >= int(sites_.Records.size())) {
        showRow(-1);
        return;
    }
    showRow(row);
    const QModelIndex index = model_->index(row, 0);
    view_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view_->scrollTo(index);
}

void SiteConnectDialog::showRow(int row) {
    row_ = row;
    const SiteRecord shown = row >= 0 ? sites_.Records[size_t(row)] : SiteRecord{};
    pages_->showRecord(shown);
    pages_->showTimeOffset(publish_ && row >= 0 ? publish_->offsetFor(shown.Host, shown.Port)
                                                : std::nullopt);
    updateButtons();
}

void SiteConnectDialog::setPublishSettings(PublishSettings* publish) {
    publish_ = publish;
    showRow(row_);
}

std::optional<std::optional<qint32>> SiteConnectDialog::pagesTimeOffset() {
    const QString text = pages_->timeOffsetText();
    if (text.isEmpty())
        return std::optional<qint32>();
    const std::optional<qint32> seconds = parseTimeOffset(text);
    if (!seconds) {
        prompter_.showMessage(
            QStringLiteral("Please input the LIST time offset as +HH:MM or -HH:MM"));
        return std::nullopt;
    }
    return seconds;
}

void SiteConnectDialog::storeTimeOffset(const SiteRecord& site, std::optional<qint32> seconds) {
    if (!publish_)
        return;
    if (seconds)
        publish_->setOffset(site.Host, site.Port, *seconds);
    else
        publish_->clearOffset(site.Host, site.Port);
}

void SiteConnectDialog::listChanged() {
    std::optional<std::pair<QString, QString>> shown;
    if (row_ >= 0)
        shown.emplace(sites_.Records[size_t(row_)].Name, sites_.Records[size_t(row_)].Comment);
    emit sitesChanged();
    // Storing merges in what another window stored meanwhile, which may move rows: the shown
    // site is found again by name, and the pages keep what they hold.
    model_->reload();
    int row = -1;
    for (size_t i = 0; shown && i < sites_.Records.size(); ++i) {
        if (sites_.Records[i].Name == shown->first && sites_.Records[i].Comment == shown->second)
            row = int(i);
    }
    if (row < 0) {
        if (shown)
            showRow(-1);
        return;
    }
    row_ = row;
    const QScopedValueRollback<bool> quiet(reselecting_, true);
    view_->selectionModel()->setCurrentIndex(
        model_->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    updateButtons();
}

void SiteConnectDialog::updateButtons() {
    connect_->setEnabled(row_ >= 0);
    save_->setEnabled(row_ >= 0);
}

std::optional<SiteConnectDialog::NameTexts> SiteConnectDialog::askNameWithDialog(
    SiteNameDialog::Mode mode, int editedRow, const NameTexts& shown) {
    SiteNameDialog dialog(sites_, mode, editedRow, prompter_, this);
    dialog.setTexts(shown.name, shown.comment);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return NameTexts{dialog.name(), dialog.comment()};
}

bool SiteConnectDialog::offerEdits() {
    if (row_ < 0)
        return true;
    const SiteRecord& shown = sites_.Records[size_t(row_)];
    if (!PagesHoldEdits(pages_->collect(shown), shown) ||
        !prompter_.askYesNo(
            QStringLiteral("Save the changes made to the site \"%1\" first?").arg(shown.Name)))
        return true;
    saveSite();
    // Not saved: the reason was shown, the edits stay.
    const SiteRecord& now = sites_.Records[size_t(row_)];
    return !PagesHoldEdits(pages_->collect(now), now);
}

void SiteConnectDialog::reject() {
    if (offerEdits())
        QDialog::reject();
}

void SiteConnectDialog::newSite() {
    // What was typed is not thrown away: into the new site when no site is
    // selected, else into the selected one if the user says so.
    const SiteRecord shown = row_ >= 0 ? sites_.Records[size_t(row_)] : NewSiteRecord();
    const SiteRecord typed = pages_->collect(shown);
    if (!offerEdits())
        return;
    const auto texts = askName_(SiteNameDialog::Mode::New, -1, {});
    if (!texts)
        return;
    const int row = row_ < 0 ? AddSiteFrom(sites_, typed, texts->name, texts->comment)
                             : AddSite(sites_, texts->name, texts->comment);
    model_->reload();
    selectRow(row);
    listChanged();
}

std::optional<SiteConnectDialog::Collected> SiteConnectDialog::collectSelected() {
    if (row_ < 0)
        return std::nullopt;
    Collected c{pages_->collect(sites_.Records[size_t(row_)]), std::nullopt};
    const auto offset = pagesTimeOffset();
    if (!offset)
        return std::nullopt;
    c.offset = *offset;
    const QString invalid = ValidateProjectFields(c.site, sites_.Records[size_t(row_)]);
    if (!invalid.isEmpty()) {
        prompter_.showMessage(invalid);
        return std::nullopt;
    }
    return c;
}

void SiteConnectDialog::connectSite() {
    const auto c = collectSelected();
    if (!c)
        return;
    const SiteRecord& collected = c->site;
    QString message;
    if (!ConnectSite(sites_, row_, collected, &message)) {
        if (!message.isEmpty())
            prompter_.showMessage(message);
        return;
    }
    storeTimeOffset(collected, c->offset);
    accept();
}

void SiteConnectDialog::saveSite() {
    const auto c = collectSelected();
    if (!c)
        return;
    const SiteRecord& collected = c->site;
    const SiteSaveDecision decision = DecideSiteSave(collected, sites_.Current);
    switch (decision.outcome) {
        case SiteSaveOutcome::Invalid:
        case SiteSaveOutcome::Refuse:
            prompter_.showMessage(decision.message);
            return;
        case SiteSaveOutcome::StoreInList:
            StoreSite(sites_, collected, false);
            break;
        case SiteSaveOutcome::AskThenStoreInBoth:
            if (!prompter_.askYesNo(decision.message))
                return;
            StoreSite(sites_, collected, true);
            break;
    }
    storeTimeOffset(collected, c->offset);
    emit model_->dataChanged(model_->index(row_, 0), model_->index(row_, 1));
    listChanged();
}

void SiteConnectDialog::renameRow(int row) {
    if (row < 0 || row >= int(sites_.Records.size()))
        return;
    const SiteRecord& record = sites_.Records[size_t(row)];
    const auto texts =
        askName_(SiteNameDialog::Mode::Edit, row, NameTexts{record.Name, record.Comment});
    if (!texts)
        return;
    RenameSite(sites_, row, texts->name, texts->comment);
    emit model_->dataChanged(model_->index(row, 0), model_->index(row, 1));
    listChanged();
}

void SiteConnectDialog::deleteRow(int row) {
    if (row < 0 || row >= int(sites_.Records.size()))
        return;
    if (!prompter_.askYesNo(SiteMessages::kDeleteQuestion) || (row != row_ && !offerEdits()))
        return;
    const SiteDeleteResult result = DeleteSite(sites_, row);
    if (!result.deleted) {
        prompter_.showMessage(result.message);
        return;
    }
    model_->reload();
    if (result.selectedRow >= 0) {
        selectRow(result.selectedRow);
    } else {
        row_ = -1;
        pages_->showRecord(result.shown);
        updateButtons();
    }
    listChanged();
}

void SiteConnectDialog::duplicateRow(int row) {
    if (row < 0 || row >= int(sites_.Records.size()) || !offerEdits())
        return;
    const auto texts = askName_(SiteNameDialog::Mode::New, -1, {});
    if (!texts)
        return;
    const int copy = DuplicateSite(sites_, row, texts->name, texts->comment);
    model_->reload();
    selectRow(copy);
    listChanged();
}

void SiteConnectDialog::showRowMenu(const QPoint& pos) {
    const QModelIndex index = view_->indexAt(pos);
    if (!index.isValid())
        return;
    const int row = index.row();
    QMenu menu(this);
    QAction* rename = menu.addAction(QStringLiteral("Rename"));
    rename->setData(kCmdRename);
    QAction* remove = menu.addAction(QStringLiteral("Delete"));
    remove->setData(kCmdDeleteSite);
    QAction* duplicate = menu.addAction(QStringLiteral("Duplicate the site"));
    duplicate->setData(kCmdDuplicateSite);
    QAction* chosen = ExecContextMenu(&menu, view_->viewport()->mapToGlobal(pos));
    if (!chosen)
        return;
    switch (chosen->data().toInt()) {
        case kCmdRename:
            renameRow(row);
            break;
        case kCmdDeleteSite:
            deleteRow(row);
            break;
        case kCmdDuplicateSite:
            duplicateRow(row);
            break;
    }
}
