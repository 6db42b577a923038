#include "platform/ui/message_box_prompter.h"

#include <QApplication>
#include <QMessageBox>

namespace {
QWidget* owner(QWidget* parent) {
    if (parent)
        return parent;
    return QApplication::activeWindow();
}
}  // namespace

bool MessageBoxPrompter::askYesNo(const QString& text) {
    return QMessageBox::question(owner(parent_), QString::fromLatin1(kPrompterTitle), text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

PromptAnswer MessageBoxPrompter::askYesNoCancel(const QString& text) {
    switch (QMessageBox::question(owner(parent_), QString::fromLatin1(kPrompterTitle), text,
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                  QMessageBox::Cancel)) {
        case QMessageBox::Yes:
            return PromptAnswer::Yes;
        case QMessageBox::No:
            return PromptAnswer::No;
        default:
            return PromptAnswer::Cancel;
    }
}

void MessageBoxPrompter::showMessage(const QString& text) {
    QMessageBox::information(owner(parent_), QString::fromLatin1(kPrompterTitle), text);
}
