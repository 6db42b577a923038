#pragma once

#include <QDialog>

#include "platform/prompter.h"

class QLabel;
class QPushButton;

// "You want to shutdown ...": the confirmation before a shutdown is switched on. "Apply"
// accepts, "Cancel" rejects.
class ShutdownConfirmDialog : public QDialog {
    Q_OBJECT
public:
    explicit ShutdownConfirmDialog(const QString& text, QWidget* parent = nullptr);

    QLabel* textLabel() const { return text_; }
    QPushButton* applyButton() const { return apply_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    QLabel* text_;
    QPushButton* apply_;
    QPushButton* cancel_;
};

// Puts CompletionActions::toggleShutdown's question in the confirmation dialog instead of a
// Yes/No box: askYesNo is true on "Apply". Notices go to `messages`.
class ShutdownConfirmPrompter : public Prompter {
public:
    ShutdownConfirmPrompter(Prompter& messages, QWidget* parent)
        : messages_(messages), parent_(parent) {}

    bool askYesNo(const QString& text) override;
    PromptAnswer askYesNoCancel(const QString& text) override {
        return messages_.askYesNoCancel(text);
    }
    void showMessage(const QString& text) override { messages_.showMessage(text); }

private:
    Prompter& messages_;
    QWidget* parent_;
};
