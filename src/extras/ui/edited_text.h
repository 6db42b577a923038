#pragma once

#include <QByteArray>
#include <QFont>
#include <QString>

#include <functional>
#include <optional>

#include "extras/file_text.h"
#include "remote/fetched_copy.h"

class ActionEngine;
class Prompter;
class QPlainTextEdit;
class QWidget;

// A server file's text in an editor pane, sent back as the file's own bytes:
// unedited the very bytes fetched, edited in the file's encoding. Shared by
// the concerned-file page and the FTP wizard.
class EditedText {
public:
    explicit EditedText(QPlainTextEdit* pane) : pane_(pane) {}

    // The fetched file: shown, its bytes kept for an unedited upload; its
    // time as listed (empty when not known).
    void load(const QByteArray& original, const FileText& shown,
              const QByteArray& modified = QByteArray());
    void clear();
    // Edits not yet sent (a text still going in is not edited).
    bool edited() const;

    // Sends the text as folder/name (concernedFile: as the concerned file);
    // false, with the reason told, when the text holds characters the file's
    // encoding can not keep: nothing is sent then.
    bool upload(ActionEngine& engine, Prompter& prompter, const QByteArray& folder,
                const QByteArray& name, bool concernedFile);
    // The upload ended: what the server holds now is the pane's text, unless
    // it was edited while the upload ran.
    void uploadFinished(bool success);
    // The folder was listed after an upload: a copy of the size sent is the
    // one sent, and its time is what the next upload checks.
    void serverListed(qint64 size, const QByteArray& modified);
    bool uploading() const { return !uploadingText_.isNull(); }

private:
    QPlainTextEdit* pane_;
    QByteArray original_;
    // The server's copy as last fetched or sent: an upload does not replace
    // a copy changed since unasked.
    std::optional<FetchedCopy> server_;
    FileText shown_;
    QString uploadingText_;
    QByteArray uploadingBytes_;
};

using FontChooser = std::function<std::optional<QFont>(const QFont& current)>;
using FontStore = std::function<void(const QFont& font)>;
// Asks for the pane's font (the font dialog when choose is not set), sets it
// and has it stored.
void ChoosePaneFont(QPlainTextEdit* pane, const FontChooser& choose, const FontStore& store);
