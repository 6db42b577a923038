#include "remote/ui/file_action_dialog.h"

#include "platform/help_viewer.h"
#include "platform/program_texts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

FileActionDialog::FileActionDialog(TransferDirection direction, const TransferAlertOptions& options,
                                   bool restAnnounced, HelpViewer& help, QWidget* parent,
                                   const TransferConflicts* conflicts)
    : QDialog(parent),
      actions_(new QButtonGroup(this)),
      ifLarger_(new QButtonGroup(this)),
      resumeGroup_(new QGroupBox),
      doNotShow_(new QCheckBox(QStringLiteral("Do not show the alert dialog again"))) {
    const FileActionDialogState state = openFileActionDialog(direction, options, restAnnounced);
    setWindowTitle(state.title);

    auto* layout = new QVBoxLayout(this);
    if (conflicts) {
        summary_ = new QLabel(ConflictSummary(*conflicts, direction == TransferDirection::Upload));
        summary_->setWordWrap(true);
        layout->addWidget(summary_);
    }
    if (conflicts && !conflicts->conflicts.empty()) {
        conflictList_ = new QTreeWidget;
        conflictList_->setAccessibleName(QStringLiteral("Items at the target"));
        conflictList_->setRootIsDecorated(false);
        conflictList_->setUniformRowHeights(true);
        conflictList_->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Server size"),
                                        QStringLiteral("Server modified"),
                                        QStringLiteral("Local size"),
                                        QStringLiteral("Local modified")});
        const auto& all = conflicts->conflicts;
        const int shown = int(qMin<size_t>(all.size(), kMaxConflictRows));
        for (int i = 0; i < shown; ++i) {
            const TransferConflict& c = all[size_t(i)];
            auto* row = new QTreeWidgetItem(
                conflictList_,
                {c.name, ConflictSizeText(c.serverSize, c.serverFolder), c.serverTime,
                 ConflictSizeText(c.localSize, c.localFolder), ConflictLocalTimeText(c.localTime)});
            row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
            row->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        }
        if (int(all.size()) > shown)
            new QTreeWidgetItem(conflictList_,
                                {QStringLiteral("... and %1 more").arg(int(all.size()) - shown)});
        for (int c = 0; c < conflictList_->columnCount(); ++c)
            conflictList_->resizeColumnToContents(c);
        conflictList_->setMinimumWidth(conflictList_->header()->length() + 24);
        conflictList_->setMaximumHeight(conflictList_->sizeHintForRow(0) * 8 +
                                        conflictList_->header()->height() + 8);
        layout->addWidget(conflictList_);
    }
    const char* actionTexts[] = {"Overwite if different sizes", "Overwite always",
                                 "Skip if file exists", "Resume - with options bellow"};
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(actionTexts[i]));
        actions_->addButton(radio, i);
        layout->addWidget(radio);
    }
    actions_->button(TransferAlertOptions::Resume)->setEnabled(state.resumeEnabled);
    actions_->button(state.actionRadio)->setChecked(true);

    resumeGroup_->setTitle(state.resumeGroupLabel);
    auto* resumeLayout = new QHBoxLayout(resumeGroup_);
    const char* largerTexts[] = {"Overwrite", "Skip"};
    for (int i = 0; i < 2; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(largerTexts[i]));
        ifLarger_->addButton(radio, i);
        resumeLayout->addWidget(radio);
    }
    resumeLayout->addStretch(1);
    ifLarger_->button(state.ifLargerRadio)->setChecked(true);
    layout->addWidget(resumeGroup_);
    layout->addWidget(doNotShow_);
    doNotShow_->setChecked(state.doNotShowAgain);

    auto* apply = new QPushButton(QStringLiteral("Apply"));
    auto* helpButton = new QPushButton(QStringLiteral("Help"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(apply);
    buttons->addWidget(helpButton);
    apply->setDefault(true);
    layout->addLayout(buttons);

    connect(apply, &QPushButton::clicked, this, &QDialog::accept);
    connect(helpButton, &QPushButton::clicked, this,
            [&help] { help.showTopic(QString::fromLatin1(HelpTopics::kFileAction)); });
    connect(actions_, &QButtonGroup::idClicked, this, &FileActionDialog::updateResumeGroup);
    updateResumeGroup();
}

QRadioButton* FileActionDialog::actionRadio(int action) const {
    return qobject_cast<QRadioButton*>(actions_->button(action));
}

TransferAlertOptions FileActionDialog::options() const {
    return applyFileActionDialog(actions_->checkedId(), ifLarger_->checkedId(),
                                 doNotShow_->isChecked());
}

void FileActionDialog::updateResumeGroup() {
    resumeGroup_->setEnabled(resumeGroupEnabledFor(actions_->checkedId()));
}
