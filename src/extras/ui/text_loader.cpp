#include "extras/ui/text_loader.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <memory>

namespace {

constexpr qsizetype kPiece = 512 * 1024;

struct Loading {
    QPointer<QPlainTextEdit> editor;
    QString text;
    qsizetype position = 0;
    bool readOnly = false;
    int generation = 0;
};

void finish(QPlainTextEdit* editor, bool readOnly) {
    editor->setProperty("velmoraLoading", false);
    editor->setReadOnly(readOnly);
    editor->document()->clearUndoRedoStacks();
    editor->document()->setModified(false);
    editor->setUndoRedoEnabled(true);
    editor->moveCursor(QTextCursor::Start);
}

void step(const std::shared_ptr<Loading>& load) {
    QPlainTextEdit* editor = load->editor;
    if (!editor || editor->property("velmoraLoad").toInt() != load->generation)
        return;  // gone, or a newer text replaced this one
    QTextCursor cursor(editor->document());
    cursor.movePosition(QTextCursor::End);
    // Cut after a line end where one is near, so lines stay whole pieces.
    qsizetype end = qMin(load->text.size(), load->position + kPiece);
    if (end < load->text.size()) {
        const qsizetype lf = load->text.lastIndexOf(QLatin1Char('\n'), end);
        if (lf > load->position)
            end = lf + 1;
    }
    cursor.insertText(load->text.mid(load->position, end - load->position));
    load->position = end;
    if (load->position >= load->text.size()) {
        finish(editor, load->readOnly);
        return;
    }
    QTimer::singleShot(0, editor, [load] { step(load); });
}

}  // namespace

void LoadPlainText(QPlainTextEdit* editor, const QString& text) {
    const int generation = editor->property("velmoraLoad").toInt() + 1;
    editor->setProperty("velmoraLoad", generation);
    const bool readOnly = editor->isReadOnly();
    editor->setUndoRedoEnabled(false);
    if (text.size() <= kPiece) {
        editor->setPlainText(text);
        finish(editor, readOnly);
        return;
    }
    editor->clear();
    editor->setReadOnly(true);
    editor->setProperty("velmoraLoading", true);
    auto load = std::make_shared<Loading>();
    load->editor = editor;
    load->text = text;
    load->readOnly = readOnly;
    load->generation = generation;
    step(load);
}

bool IsLoadingText(const QPlainTextEdit* editor) {
    return editor->property("velmoraLoading").toBool();
}
