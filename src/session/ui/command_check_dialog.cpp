#include "session/ui/command_check_dialog.h"

#include "platform/help_viewer.h"
#include "platform/program_texts.h"
#include "platform/prompter.h"
#include "platform/ui/proportional_columns.h"
#include "session/command_check.h"
#include "session/command_index.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

CommandCheckDialog::CommandCheckDialog(const CommandIndex& feat, const CommandIndex& help,
                                       Prompter& prompter, HelpViewer& helpViewer, QWidget* parent)
    : QDialog(parent),
      feat_(feat),
      helpIndex_(help),
      prompter_(prompter),
      helpViewer_(helpViewer),
      list_(new QTreeWidget(this)),
      edit_(new QLineEdit(this)),
      check_(new QPushButton(QStringLiteral("Check"), this)),
      help_(new QPushButton(QStringLiteral("Help"), this)),
      close_(new QPushButton(QStringLiteral("Close"), this)) {
    setWindowTitle(QStringLiteral("Check important FTP commands"));

    list_->setColumnCount(3);
    list_->setHeaderLabels(
        {QStringLiteral("FTP command"), QStringLiteral("Usage"), QStringLiteral("Support")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->header()->setSectionsMovable(false);
    for (const CommandCheckRow& row : CommandCheckRows(feat_, helpIndex_))
        new QTreeWidgetItem(list_, {row.command, row.usage, CommandSupportText(row.supported)});
    new ProportionalColumns(list_, list_->header(), {50, 100, 50});
    const int rowHeight = list_->sizeHintForRow(0);
    list_->setMinimumHeight(list_->header()->sizeHint().height() + 4 * qMax(rowHeight, 18));

    auto* explanation = new QPlainTextEdit(this);
    explanation->setReadOnly(true);
    explanation->setPlainText(
        CommandCheckExplanation().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    explanation->setTabStopDistance(
        QFontMetrics(explanation->font()).horizontalAdvance(QStringLiteral("Yes:  ")));
    explanation->setFixedHeight(QFontMetrics(explanation->font()).lineSpacing() * 3 + 12);
    explanation->setAccessibleName(QStringLiteral("Support column"));

    edit_->setAccessibleName(QStringLiteral("Command to check"));
    // Enter in the edit field checks.
    check_->setDefault(true);

    auto* checkRow = new QHBoxLayout;
    checkRow->addWidget(edit_, 1);
    checkRow->addWidget(check_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(help_);
    buttons->addWidget(close_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(explanation);
    layout->addLayout(checkRow);
    layout->addLayout(buttons);

    connect(check_, &QPushButton::clicked, this, &CommandCheckDialog::onCheck);
    connect(help_, &QPushButton::clicked, this,
            [this] { helpViewer_.showTopic(QString::fromLatin1(HelpTopics::kCommandCheck)); });
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);

    resize(460, sizeHint().height());
    edit_->setFocus();
}

void CommandCheckDialog::onCheck() {
    prompter_.showMessage(CommandCheckMessage(edit_->text(), feat_, helpIndex_));
    edit_->setFocus();
}
