#include "remote/ui/permissions_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "platform/prompter.h"
#include "remote/permission_rules.h"

PermissionsDialog::PermissionsDialog(std::vector<RemoteItem> selected, bool linksAsFolders,
                                     Prompter& prompter, QWidget* parent)
    : QDialog(parent), selected_(std::move(selected)), prompter_(prompter) {
    setWindowTitle(permissionsTitle(selected_));
    auto* layout = new QVBoxLayout(this);

    auto* bitsGroup = new QGroupBox(this);
    auto* grid = new QGridLayout(bitsGroup);
    const char* columns[] = {"Read", "Write", "Exacute"};
    const char* rows[] = {"Owner", "Group", "Public"};
    for (int r = 0; r < 3; ++r) {
        grid->addWidget(new QLabel(QString::fromLatin1(rows[r]), bitsGroup), r, 0);
        for (int c = 0; c < 3; ++c) {
            auto* box = new QCheckBox(QString::fromLatin1(columns[c]), bitsGroup);
            bits_[r][c] = box;
            grid->addWidget(box, r, c + 1);
            connect(box, &QCheckBox::toggled, this, [this, r, c, box](bool on) {
                // From an unknown mode a box starts from nothing set.
                if (!updating_)
                    setNumber(withPermissionBit(number_.value_or(0), r, c, on), box);
            });
        }
    }
    note_ = new QLabel(permissionStartNote(selected_), this);
    note_->setWordWrap(true);
    note_->setVisible(!note_->text().isEmpty());
    layout->addWidget(note_);
    layout->addWidget(bitsGroup);

    auto* fields = new QGridLayout;
    // Only what a mode can hold is typed: octal digits, and r, w, x or - in
    // their places.
    numeric_ = new QLineEdit(this);
    numeric_->setMaxLength(3);
    numeric_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-7]{0,3}")), numeric_));
    expression_ = new QLineEdit(this);
    expression_->setMaxLength(9);
    expression_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("([rR-][wW-][xX-]){0,2}([rR-]([wW-][xX-]?)?)?")),
        expression_));
    fields->addWidget(new QLabel(QStringLiteral("Numeric"), this), 0, 0);
    fields->addWidget(numeric_, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Expression"), this), 1, 0);
    fields->addWidget(expression_, 1, 1);
    layout->addLayout(fields);
    connect(numeric_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (const auto n = parsePermissionNumber(text))
            setNumber(*n, numeric_);
    });
    connect(expression_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (const auto n = parsePermissionExpression(text))
            setNumber(*n, expression_);
    });

    auto* recurseRow = new QHBoxLayout;
    recurse_ = new QCheckBox(QStringLiteral("Recurse sub Folders for:"), this);
    choice_ = new QComboBox(this);
    choice_->addItems(
        {QStringLiteral("Files and Folders"), QStringLiteral("Files"), QStringLiteral("Folders")});
    recurseRow->addWidget(recurse_);
    recurseRow->addWidget(choice_, 1);
    layout->addLayout(recurseRow);
    const bool offered = recursionOffered(selected_, linksAsFolders);
    recurse_->setEnabled(offered);
    choice_->setEnabled(offered || selected_.empty());

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* applyButton =
        buttons->addButton(QStringLiteral("Apply"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    applyButton->setDefault(true);
    connect(applyButton, &QPushButton::clicked, this, &PermissionsDialog::apply);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    setNumber(initialPermissionNumber(selected_), nullptr);
}

void PermissionsDialog::setNumber(std::optional<int> number, QObject* from) {
    if (number && !isPermissionNumber(*number))
        return;
    number_ = number;
    updating_ = true;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            if (bits_[r][c] != from)
                bits_[r][c]->setChecked(number && permissionBit(*number, r, c));
        }
    }
    if (from != numeric_)
        numeric_->setText(number ? QString::asprintf("%03d", *number) : QString());
    if (from != expression_)
        expression_->setText(number ? permissionExpression(*number) : QString());
    updating_ = false;
    if (number)
        note_->hide();
}

void PermissionsDialog::apply() {
    // A field left half-typed counts as what it can be read as; otherwise the
    // last good value stands.
    if (const auto n = parsePermissionNumber(numeric_->text()))
        setNumber(*n, numeric_);
    const PermissionDialogResult result =
        applyPermissionDialog(selected_, number_, RecurseChoice(choice_->currentIndex()),
                              recurse_->isEnabled() && recurse_->isChecked());
    if (!result.accepted) {
        prompter_.showMessage(result.message);
        return;
    }
    request_ = result.request;
    accept();
}
