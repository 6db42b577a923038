#include "session/chat_line_filter.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

LogLine Line(LogChannel channel, const char* text, int level = 0) {
    LogLine l;
    l.channel = channel;
    l.text = QString::fromUtf8(text);
    l.level = level;
    return l;
}

LogLine Reply(const QList<QByteArray>& lines) {
    LogLine l;
    l.channel = LogChannel::Reply;
    l.lines = lines;
    l.text = formatReplyWhole(lines);
    return l;
}

LogLine On(int connection, LogLine l) {
    l.connection = connection;
    return l;
}

}  // namespace

TEST(ChatLineFilter, WhichPaneShowsWhatUnderWhichOptions) {
    const QList<QByteArray> longReply{"211-Features:", " MLST", " REST STREAM", " UTF8", "211 End"};
    struct Case {
        const char* name;
        LogLine line;
        ChatPaneKind pane;
        bool traces;
        int infoLevel;
        std::optional<QString> expected;
    };
    const auto chat = ChatPaneKind::FtpChat;
    const auto main = ChatPaneKind::Main;
    const Case cases[] = {
        {"status on chat", Line(LogChannel::Status, "Connecting"), chat, false, 0,
         QStringLiteral("Connecting")},
        {"sent on main", Line(LogChannel::Sent, "PASV"), main, false, 0, QStringLiteral("PASV")},
        {"error always", Line(LogChannel::Error, "bad"), main, false, 0, QStringLiteral("bad")},
        {"empty text never", Line(LogChannel::Status, ""), chat, true, 4, std::nullopt},
        {"trace hidden", Line(LogChannel::Trace, "group done"), chat, false, 4, std::nullopt},
        {"trace shown", Line(LogChannel::Trace, "group done"), main, true, 0,
         QStringLiteral("group done")},
        {"reply trace hidden", Line(LogChannel::ReplyTrace, "226"), main, false, 0, std::nullopt},
        {"ignored shown", Line(LogChannel::Ignored, "ign"), chat, true, 0, QStringLiteral("ign")},
        {"info never on chat page", Line(LogChannel::Info, "listing", 0), chat, true, 4,
         std::nullopt},
        {"info at level", Line(LogChannel::Info, "step", 2), main, false, 2,
         QStringLiteral("step")},
        {"info above level", Line(LogChannel::Info, "step", 3), main, false, 2, std::nullopt},
        {"info level 0 with level 0", Line(LogChannel::Info, "list", 0), main, false, 0,
         QStringLiteral("list")},
        {"long reply shortened on chat page", Reply(longReply), chat, false, 0,
         QStringLiteral("211-Features:\n       (omitting 3 lines...)\n211 End")},
        {"long reply whole on main", Reply(longReply), main, false, 0,
         QStringLiteral("211-Features:\n MLST\n REST STREAM\n UTF8\n211 End")},
        {"three-line reply whole on chat page", Reply({"230-Hi", " there", "230 ok"}), chat, false,
         0, QStringLiteral("230-Hi\n there\n230 ok")},
        {"reply without lines keeps its text", Line(LogChannel::Reply, "550 No"), chat, false, 0,
         QStringLiteral("550 No")},
        {"a transfer connection's line tagged", On(2, Line(LogChannel::Sent, "RETR index.html")),
         chat, false, 0, QStringLiteral("[2] RETR index.html")},
        {"every line of its reply tagged", On(3, Reply(longReply)), chat, false, 0,
         QStringLiteral("[3] 211-Features:\n[3]        (omitting 3 lines...)\n[3] 211 End")},
        {"the only connection untagged", On(0, Line(LogChannel::Sent, "RETR index.html")), main,
         false, 0, QStringLiteral("RETR index.html")},
        {"a hidden trace stays hidden tagged", On(2, Line(LogChannel::Trace, "done")), chat, false,
         0, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, ChatPaneText(c.line, c.pane, c.traces, c.infoLevel));
    }
}
