#include "session/ui/chat_pane.h"
#include "support/qt_printers.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <memory>

namespace {

LogLine Line(LogChannel channel, const QString& text, bool bold = false) {
    LogLine l;
    l.channel = channel;
    l.text = text;
    l.bold = bold;
    return l;
}

void Feed(ChatPane& pane, int from, int count) {
    for (int i = from; i < from + count; ++i)
        pane.appendLogLine(Line(LogChannel::Status, QStringLiteral("line %1").arg(i)));
}

// Turns the event loop until the pane has written everything, bounded.
bool Drain(ChatPane& pane, int* turns = nullptr) {
    QElapsedTimer t;
    t.start();
    int n = 0;
    while (pane.pendingCount() > 0 && t.elapsed() < 20000) {
        QCoreApplication::processEvents();
        ++n;
    }
    if (turns)
        *turns = n;
    return pane.pendingCount() == 0;
}

QString BlockText(const ChatPane& pane, int block) {
    return pane.document()->findBlockByNumber(block).text();
}

}  // namespace

TEST(ChatPane, LinesInChannelColoursBoldOnlyForErrorReplies) {
    ChatPane pane(ChatPaneKind::FtpChat);
    pane.setOptions(false, 4);
    pane.appendLogLine(Line(LogChannel::Status, QStringLiteral("Connected")));
    pane.appendLogLine(Line(LogChannel::Sent, QStringLiteral("USER bob")));
    pane.appendLogLine(Line(LogChannel::Reply, QStringLiteral("550 No such file"), true));
    pane.appendLogLine(Line(LogChannel::Reply, QStringLiteral("226 Done")));
    pane.appendLogLine(Line(LogChannel::Error, QStringLiteral("Unexpected"), true));
    pane.appendLogLine(Line(LogChannel::Trace, QStringLiteral("hidden trace")));
    pane.appendLogLine(Line(LogChannel::Info, QStringLiteral("main page only")));
    pane.appendLogLine(Line(LogChannel::Status, QString()));
    pane.setOptions(true, 4);
    pane.appendLogLine(Line(LogChannel::Ignored, QStringLiteral("shown trace")));
    pane.flushPending();

    struct Expected {
        const char* text;
        QColor color;
        bool bold;
    };
    const Expected expected[] = {
        {"Connected", QColor(0, 128, 0), false},     {"USER bob", QColor(0, 0, 196), false},
        {"550 No such file", QColor(0, 0, 0), true}, {"226 Done", QColor(0, 0, 0), false},
        {"Unexpected", QColor(255, 0, 0), false},    {"shown trace", QColor(255, 128, 0), false},
    };
    ASSERT_EQ(int(std::size(expected)), pane.document()->blockCount())
        << pane.toPlainText().toStdString();
    for (int i = 0; i < int(std::size(expected)); ++i) {
        SCOPED_TRACE(expected[i].text);
        const QTextBlock block = pane.document()->findBlockByNumber(i);
        EXPECT_EQ(QString::fromLatin1(expected[i].text), block.text());
        const QTextCharFormat f = block.begin().fragment().charFormat();
        EXPECT_EQ(expected[i].color, f.foreground().color());
        EXPECT_EQ(expected[i].bold, f.fontWeight() == QFont::Bold);
        EXPECT_FALSE(f.fontItalic());
        EXPECT_FALSE(f.fontUnderline());
    }
}

TEST(ChatPane, KeepsTheUserSelectionAndOnlyTheNewestLines) {
    ChatPane pane(ChatPaneKind::Main);
    pane.resize(400, 300);
    Feed(pane, 0, 49990);
    pane.flushPending();
    ASSERT_EQ(49990, pane.document()->blockCount());

    // The user selects the end of the pane, as someone about to copy the latest
    // reply would.
    QTextCursor select(pane.document());
    select.setPosition(pane.document()->findBlockByNumber(49980).position());
    select.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    pane.setTextCursor(select);
    const QString selected = pane.textCursor().selectedText();
    ASSERT_TRUE(selected.startsWith(QStringLiteral("line 49980")));

    Feed(pane, 49990, 2000);
    pane.flushPending();
    EXPECT_LE(pane.document()->blockCount(), ChatPane::kMaxLines);
    EXPECT_GE(pane.document()->blockCount(), ChatPane::kMaxLines - ChatPane::kDropChunk);
    const int blocks = pane.document()->blockCount();
    EXPECT_EQ(QStringLiteral("line 51989"), BlockText(pane, blocks - 1));
    EXPECT_EQ(QStringLiteral("line %1").arg(51990 - blocks), BlockText(pane, 0));
    EXPECT_EQ(selected, pane.textCursor().selectedText());
    EXPECT_EQ(pane.verticalScrollBar()->maximum(), pane.verticalScrollBar()->value());

    // Copy follows the selection; clearing empties the pane.
    std::unique_ptr<QMenu> menu(pane.createChatMenu(nullptr));
    QStringList items;
    for (QAction* a : menu->actions())
        items << QStringLiteral("%1 %2 %3")
                     .arg(a->data().toInt())
                     .arg(a->text())
                     .arg(a->isEnabled() ? QStringLiteral("on") : QStringLiteral("off"));
    EXPECT_EQ((QStringList{"32776 Copy on", "32777 Select all on", "32778 Clear chat on"}), items);
    EXPECT_TRUE(pane.runChatCommand(kChatClear));
    EXPECT_TRUE(pane.toPlainText().isEmpty());
    menu.reset(pane.createChatMenu(nullptr));
    EXPECT_FALSE(menu->actions().at(0)->isEnabled());
    Feed(pane, 0, 2);
    pane.flushPending();
    EXPECT_EQ(QStringLiteral("line 0\nline 1"), pane.toPlainText());
    EXPECT_TRUE(pane.runChatCommand(kChatSelectAll));
    EXPECT_EQ(QStringLiteral("line 0\u2029line 1"), pane.textCursor().selectedText());
}

TEST(ChatPane, ABurstIsWrittenInBatchesAcrossEventLoopTurns) {
    ChatPane pane(ChatPaneKind::FtpChat);
    Feed(pane, 0, 10000);
    // Nothing is written inside the appends themselves.
    EXPECT_TRUE(pane.toPlainText().isEmpty());
    EXPECT_EQ(10000, pane.pendingCount());

    QCoreApplication::processEvents();
    const int afterOneTurn = pane.document()->blockCount();
    EXPECT_GT(afterOneTurn, 1);
    EXPECT_LT(afterOneTurn, 10000);

    int turns = 0;
    ASSERT_TRUE(Drain(pane, &turns));
    EXPECT_GE(turns, 10000 / ChatPane::kBatchLines - 1);
    ASSERT_EQ(10000, pane.document()->blockCount());
    EXPECT_EQ(QStringLiteral("line 0"), BlockText(pane, 0));
    EXPECT_EQ(QStringLiteral("line 5000"), BlockText(pane, 5000));
    EXPECT_EQ(QStringLiteral("line 9999"), BlockText(pane, 9999));

    // A second burst behind the first keeps the order.
    Feed(pane, 10000, 3);
    pane.flushPending();
    EXPECT_EQ(QStringLiteral("line 10002"), BlockText(pane, 10002));
    EXPECT_TRUE(Drain(pane));
    EXPECT_EQ(10003, pane.document()->blockCount());
}
