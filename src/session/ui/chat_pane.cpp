#include "session/ui/chat_pane.h"

#include "platform/ui/context_menu.h"
#include "platform/ui/keyboard_reach.h"
#include "platform/ui/rgb_colour.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

ChatPane::ChatPane(ChatPaneKind kind, QWidget* parent) : QPlainTextEdit(parent), kind_(kind) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Selectable with keyboard and mouse, so the user can copy from it.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setAccessibleName(kind == ChatPaneKind::FtpChat ? QStringLiteral("FTP chat")
                                                    : QStringLiteral("Chat"));
    KeyboardReach::attach(this);
}

void ChatPane::setOptions(bool showTraces, int infoLevel) {
    showTraces_ = showTraces;
    infoLevel_ = infoLevel;
}

QTextCharFormat ChatPane::channelFormat(LogChannel channel, bool bold) {
    const Rgb c = channelColor(channel);
    QTextCharFormat format;
    format.setForeground(ToQColor(c));
    // Only a reply may be bold: the error replies.
    format.setFontWeight(bold && channel == LogChannel::Reply ? QFont::Bold : QFont::Normal);
    format.setFontItalic(false);
    format.setFontUnderline(false);
    return format;
}

void ChatPane::appendLogLine(const LogLine& line) {
    std::optional<QString> text = ChatPaneText(line, kind_, showTraces_, infoLevel_);
    if (!text)
        return;
    pending_.push_back({*std::move(text), line.channel, line.bold});
    // Lines that would be dropped as soon as they were written need not wait.
    while (pending_.size() > size_t(kMaxLines))
        pending_.pop_front();
    scheduleFlush();
}

void ChatPane::scheduleFlush() {
    if (flushScheduled_)
        return;
    flushScheduled_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            flushScheduled_ = false;
            writeBatch(kBatchLines);
            if (!pending_.empty())
                scheduleFlush();
        },
        Qt::QueuedConnection);
}

void ChatPane::flushPending() {
    writeBatch(int(pending_.size()));
}

void ChatPane::writeBatch(int maxLines) {
    if (pending_.empty() || maxLines <= 0)
        return;
    // The user's selection, as positions: the cursor would otherwise grow over
    // text written behind a selection that reaches the end.
    const QTextCursor user = textCursor();
    int anchor = user.anchor();
    int position = user.position();

    QTextDocument* doc = document();
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    bool first = doc->isEmpty();
    for (int n = 0; n < maxLines && !pending_.empty(); ++n) {
        const Pending& p = pending_.front();
        const QTextCharFormat format = channelFormat(p.channel, p.bold);
        if (!first)
            cursor.insertBlock(QTextBlockFormat(), format);
        first = false;
        cursor.insertText(p.text, format);
        pending_.pop_front();
    }
    cursor.endEditBlock();

    const int dropped = dropOldest();
    anchor = qMax(0, anchor - dropped);
    position = qMax(0, position - dropped);
    const QTextCursor now = textCursor();
    if (now.anchor() != anchor || now.position() != position) {
        QTextCursor restored(doc);
        restored.setPosition(anchor);
        restored.setPosition(position, QTextCursor::KeepAnchor);
        setTextCursor(restored);
    }

    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->maximum());
}

int ChatPane::dropOldest() {
    QTextDocument* doc = document();
    if (doc->blockCount() <= kMaxLines)
        return 0;
    // Down to a chunk below the bound, so the next lines do not each cost a
    // removal at the top.
    const int excess = doc->blockCount() - kMaxLines + kDropChunk;
    const QTextBlock keep = doc->findBlockByNumber(qMin(excess, doc->blockCount() - 1));
    const int removed = keep.position();
    QTextCursor cursor(doc);
    cursor.setPosition(0);
    cursor.setPosition(removed, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    return removed;
}

void ChatPane::clearChat() {
    pending_.clear();
    clear();
}

QMenu* ChatPane::createChatMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    auto add = [menu](int id, const char* text, bool enabled) {
        QAction* a = menu->addAction(QString::fromLatin1(text));
        a->setData(id);
        a->setEnabled(enabled);
    };
    add(kChatCopy, "Copy", textCursor().hasSelection());
    add(kChatSelectAll, "Select all", true);
    add(kChatClear, "Clear chat", true);
    return menu;
}

bool ChatPane::runChatCommand(int id) {
    switch (id) {
        case kChatCopy:
            copy();
            return true;
        case kChatSelectAll:
            selectAll();
            return true;
        case kChatClear:
            clearChat();
            return true;
    }
    return false;
}

void ChatPane::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createChatMenu(this);
    if (QAction* chosen = ExecContextMenu(menu, event->globalPos()))
        runChatCommand(chosen->data().toInt());
    delete menu;
}
