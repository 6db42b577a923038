#pragma once

#include "session/log_line.h"

#include <QString>

#include <optional>

// The two panes that show the conversation: the one of the "FTP chat" page and
// the one under the remote views of the "Normal" page.
enum class ChatPaneKind { FtpChat, Main };

// The text a pane shows for a log line, or nothing when the pane does not show
// it: traces only when they are switched on, information lines only on the main
// page up to the chosen level, long replies shortened on the chat page. Empty
// texts are never shown.
std::optional<QString> ChatPaneText(const LogLine& line, ChatPaneKind pane, bool showTraces,
                                    int infoLevel);
