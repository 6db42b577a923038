#include "extras/ui/edited_text.h"

#include <QFontDialog>
#include <QPlainTextEdit>

#include "extras/ui/text_loader.h"
#include "platform/prompter.h"
#include "remote/transfer_starters.h"

void EditedText::load(const QByteArray& original, const FileText& shown,
                      const QByteArray& modified) {
    original_ = original;
    server_ = FetchedCopy{original.size(), modified};
    shown_ = shown;
    LoadPlainText(pane_, shown_.text);
}

void EditedText::clear() {
    original_.clear();
    server_.reset();
    shown_ = FileText();
}

bool EditedText::edited() const {
    return !IsLoadingText(pane_) && pane_->document()->isModified();
}

bool EditedText::upload(ActionEngine& engine, Prompter& prompter, const QByteArray& folder,
                        const QByteArray& name, bool concernedFile) {
    QByteArray bytes = original_;
    if (edited()) {
        bool ok = true;
        bytes = shown_.encode(pane_->toPlainText(), &ok);
        if (!ok) {
            prompter.showMessage(QStringLiteral(
                "The text holds characters the file's encoding can not keep; nothing is sent."));
            return false;
        }
    }
    uploadingText_ = pane_->toPlainText();
    uploadingBytes_ = bytes;
    TransferStarters(engine).uploadDirect(folder, name, bytes, concernedFile, server_);
    return true;
}

void EditedText::uploadFinished(bool success) {
    if (!uploading())
        return;
    // The stored copy's time comes with the listing after it.
    if (success)
        server_ = FetchedCopy{uploadingBytes_.size(), QByteArray()};
    if (success && pane_->toPlainText() == uploadingText_) {
        original_ = uploadingBytes_;
        pane_->document()->setModified(false);
    }
    uploadingText_ = QString();
}

void EditedText::serverListed(qint64 size, const QByteArray& modified) {
    if (!uploading() && server_ && server_->size == size && server_->modified.isEmpty())
        server_->modified = modified;
}

void ChoosePaneFont(QPlainTextEdit* pane, const FontChooser& choose, const FontStore& store) {
    std::optional<QFont> chosen;
    if (choose) {
        chosen = choose(pane->font());
    } else {
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, pane->font(), pane->window());
        if (ok)
            chosen = f;
    }
    if (!chosen)
        return;
    pane->setFont(*chosen);
    if (store)
        store(*chosen);
}
