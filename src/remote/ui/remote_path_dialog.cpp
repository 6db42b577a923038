#include "remote/ui/remote_path_dialog.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

RemotePathDialog::RemotePathDialog(const QString& ftpPath, const QString& url, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Copy remote path"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    auto addRow = [&](int row, const QString& label, const QString& text) {
        auto* field = new QLineEdit(text, this);
        field->setReadOnly(true);
        field->setAccessibleName(label);
        field->setCursorPosition(0);
        auto* copy = new QPushButton(QStringLiteral("Copy"), this);
        copy->setAccessibleName(QStringLiteral("Copy ") + label);
        connect(copy, &QPushButton::clicked, this,
                [field] { QGuiApplication::clipboard()->setText(field->text()); });
        grid->addWidget(new QLabel(label, this), row, 0);
        grid->addWidget(field, row, 1);
        grid->addWidget(copy, row, 2);
        return field;
    };
    path_ = addRow(0, QStringLiteral("FTP path"), ftpPath);
    url_ = addRow(1, QStringLiteral("Possible URL"), url);
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(520, sizeHint().height());
}
