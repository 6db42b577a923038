#include "app/ui/file_input_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

FileInputDialog::FileInputDialog(FileInputMode mode, Prompter& prompter, QWidget* parent,
                                 FileExists exists)
    : QDialog(parent),
      mode_(mode),
      prompter_(prompter),
      exists_(std::move(exists)),
      edit_(new QLineEdit),
      note_(new QLabel(FileInputNote(mode))),
      http_(new QCheckBox(QStringLiteral("This is a HTTP tool"))),
      ok_(new QPushButton(QStringLiteral("OK"))) {
    setWindowTitle(QStringLiteral("File input"));
    note_->setTextFormat(Qt::PlainText);
    note_->setWordWrap(false);
    edit_->setMinimumWidth(420);
    http_->setVisible(mode == FileInputMode::Add);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(http_);
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    ok_->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edit_);
    layout->addWidget(note_);
    layout->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, &FileInputDialog::tryAccept);
}

void FileInputDialog::setText(const QString& text) {
    edit_->setText(text);
}

void FileInputDialog::setHttp(bool http) {
    http_->setChecked(http);
}

QString FileInputDialog::text() const {
    return edit_->text();
}

bool FileInputDialog::isHttp() const {
    return mode_ == FileInputMode::Add && http_->isChecked();
}

void FileInputDialog::tryAccept() {
    if (AcceptFileInput(text(), mode_, prompter_, exists_))
        accept();
}
