#pragma once

#include "session/chat_line_filter.h"
#include "session/log_line.h"
#include "session/session_command_ids.h"

#include <QPlainTextEdit>
#include <QTextCharFormat>

#include <array>
#include <deque>

class QMenu;

// A read-only conversation log that only grows at its end. Lines arriving in a
// burst are written in batches, one per event-loop turn; the pane keeps the
// newest lines only, and a selection the user made survives new lines.
class ChatPane : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int kMaxLines = 50000;
    // Oldest lines go this many at a time once the bound is passed.
    static constexpr int kDropChunk = 1000;
    // Lines written per event-loop turn.
    static constexpr int kBatchLines = 1000;

    explicit ChatPane(ChatPaneKind kind, QWidget* parent = nullptr);

    ChatPaneKind kind() const { return kind_; }
    // "Show software traces on both Chat pages" and ChatInfoLevel; they apply
    // to lines that arrive from now on.
    void setOptions(bool showTraces, int infoLevel);
    bool showTraces() const { return showTraces_; }
    int infoLevel() const { return infoLevel_; }

    // Queues the line for the next batch when this pane shows it.
    void appendLogLine(const LogLine& line);
    // Writes everything still queued, at once.
    void flushPending();
    int pendingCount() const { return int(pending_.size()); }
    void clearChat();

    // The context menu as it is offered now (Copy only with a selection).
    QMenu* createChatMenu(QWidget* parent);
    // Runs a context menu command; false for an unknown id.
    bool runChatCommand(int id);

    // The format a channel's lines are written in.
    static QTextCharFormat channelFormat(LogChannel channel, bool bold);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Pending {
        QString text;
        LogChannel channel;
        bool bold;
    };

    void scheduleFlush();
    void writeBatch(int maxLines);
    int dropOldest();

    ChatPaneKind kind_;
    bool showTraces_ = false;
    int infoLevel_ = 0;
    std::deque<Pending> pending_;
    bool flushScheduled_ = false;
};
