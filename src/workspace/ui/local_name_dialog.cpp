#include "workspace/ui/local_name_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "workspace/local_file_operations.h"

LocalNameDialog::LocalNameDialog(Purpose purpose, const QString& parentFolder, QWidget* parent)
    : QDialog(parent), edit_(new QLineEdit(this)) {
    const bool folder = purpose == Purpose::Folder;
    setWindowTitle(folder ? QStringLiteral("Create sub-directory") : QStringLiteral("New file"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Parent directory :"), this));
    auto* where = new QLabel(QDir::toNativeSeparators(parentFolder), this);
    where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    where->setWordWrap(true);
    where->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(where);
    auto* prompt = new QLabel(
        folder ? QStringLiteral("New folder name") : QStringLiteral("New file name"), this);
    prompt->setBuddy(edit_);
    layout->addWidget(prompt);
    edit_->setAccessibleName(prompt->text());
    layout->addWidget(edit_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setEnabled(false);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(edit_, &QLineEdit::textChanged, this,
            [this](const QString& text) { ok_->setEnabled(IsPlainLocalName(text)); });
    setMinimumWidth(380);
}

QString LocalNameDialog::name() const {
    return edit_->text();
}
