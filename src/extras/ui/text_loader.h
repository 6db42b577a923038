#pragma once

#include <QString>

class QPlainTextEdit;

// Puts a text into an editor with an empty undo history and unmodified. Long
// texts go in pieces across turns of the event loop, so a file of many
// megabytes does not freeze the window; the editor stays read-only while it
// fills and gets its read-only state back after.
void LoadPlainText(QPlainTextEdit* editor, const QString& text);
// True while a long text is still going in: the editor holds only part of it.
bool IsLoadingText(const QPlainTextEdit* editor);
