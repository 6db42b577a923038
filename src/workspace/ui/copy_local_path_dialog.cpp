#include "workspace/ui/copy_local_path_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CopyLocalPathDialog::CopyLocalPathDialog(const QString& path, QWidget* parent)
    : QDialog(parent), edit_(new QLineEdit(QDir::toNativeSeparators(path), this)) {
    setWindowTitle(QStringLiteral("Copy local path"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Local path"), this);
    label->setBuddy(edit_);
    layout->addWidget(label);
    edit_->setReadOnly(true);
    edit_->setAccessibleName(label->text());
    edit_->selectAll();
    layout->addWidget(edit_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    copy_ = buttons->addButton(QStringLiteral("Copy"), QDialogButtonBox::ActionRole);
    layout->addWidget(buttons);
    connect(copy_, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(edit_->text()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    setMinimumWidth(420);
}
