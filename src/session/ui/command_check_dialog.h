#pragma once

#include <QDialog>

class CommandIndex;
class HelpViewer;
class Prompter;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// "Check important FTP commands": whether the server supports a command, as
// far as its FEAT and HELP replies tell.
class CommandCheckDialog : public QDialog {
    Q_OBJECT
public:
    CommandCheckDialog(const CommandIndex& feat, const CommandIndex& help, Prompter& prompter,
                       HelpViewer& helpViewer, QWidget* parent = nullptr);

    QTreeWidget* list() const { return list_; }
    QLineEdit* commandEdit() const { return edit_; }
    QPushButton* checkButton() const { return check_; }
    QPushButton* helpButton() const { return help_; }
    QPushButton* closeButton() const { return close_; }

private:
    void onCheck();

    const CommandIndex& feat_;
    const CommandIndex& helpIndex_;
    Prompter& prompter_;
    HelpViewer& helpViewer_;
    QTreeWidget* list_;
    QLineEdit* edit_;
    QPushButton* check_;
    QPushButton* help_;
    QPushButton* close_;
};
