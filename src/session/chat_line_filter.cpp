#include "session/chat_line_filter.h"

std::optional<QString> ChatPaneText(const LogLine& line, ChatPaneKind pane, bool showTraces,
                                    int infoLevel) {
    if (isTraceChannel(line.channel) && !showTraces)
        return std::nullopt;
    if (line.channel == LogChannel::Info && (pane != ChatPaneKind::Main || infoLevel < line.level))
        return std::nullopt;

    QString text = line.text;
    // A reply carries its lines; a line built by hand may carry only its text.
    if (line.channel == LogChannel::Reply && !line.lines.isEmpty())
        text = pane == ChatPaneKind::FtpChat ? formatReplyForChatPage(line.lines)
                                             : formatReplyWhole(line.lines);
    if (text.isEmpty())
        return std::nullopt;
    return withConnectionTag(text, line.connection);
}
