#pragma once

#include "platform/prompter.h"

#include <QPointer>
#include <QWidget>

// The program's questions and notices: message boxes titled "Message".
class MessageBoxPrompter : public Prompter {
public:
    explicit MessageBoxPrompter(QWidget* parent = nullptr) : parent_(parent) {}

    bool askYesNo(const QString& text) override;
    PromptAnswer askYesNoCancel(const QString& text) override;
    void showMessage(const QString& text) override;

private:
    QPointer<QWidget> parent_;
};
