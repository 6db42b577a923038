#include "remote/ui/new_folder_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "remote/remote_rename_rule.h"

NewFolderDialog::NewFolderDialog(const QString& parentFolder, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("New folder name"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto* parentLabel = new QLabel(parentFolder, this);
    parentLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(QStringLiteral("Parent directory :"), parentLabel);
    field_ = new QLineEdit(this);
    field_->setAccessibleName(QStringLiteral("New folder name"));
    form->addRow(QStringLiteral("New folder name"), field_);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(field_, &QLineEdit::textChanged, this,
            [this](const QString& text) { ok_->setEnabled(TypedRemoteName(text).has_value()); });
    layout->addWidget(buttons);
    resize(qMax(360, sizeHint().width()), sizeHint().height());
}

std::optional<QByteArray> NewFolderDialog::name() const {
    return TypedRemoteName(field_->text());
}
