#pragma once

#include <QDialog>

#include "app/tool_dialog_rules.h"

class Prompter;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "File input": a file to test a tool with (mode test), or a program to add as a tool
// (mode add, with "This is a HTTP tool"). "OK" accepts once AcceptFileInput does.
class FileInputDialog : public QDialog {
    Q_OBJECT
public:
    FileInputDialog(FileInputMode mode, Prompter& prompter, QWidget* parent = nullptr,
                    FileExists exists = ProgramFileExists);

    void setText(const QString& text);
    void setHttp(bool http);
    QString text() const;
    bool isHttp() const;

    void tryAccept();

    QLineEdit* edit() const { return edit_; }
    QCheckBox* httpBox() const { return http_; }
    QLabel* note() const { return note_; }
    QPushButton* okButton() const { return ok_; }

private:
    FileInputMode mode_;
    Prompter& prompter_;
    FileExists exists_;
    QLineEdit* edit_;
    QLabel* note_;
    QCheckBox* http_;
    QPushButton* ok_;
};
