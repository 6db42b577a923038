#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "platform/rgb.h"

// The channels of the conversation log. Each has a fixed colour that is part of
// the behaviour; the three trace channels are shown only when traces are on.
enum class LogChannel { Status, Sent, Reply, Error, Trace, ReplyTrace, Ignored, Info };

struct LogLine {
    LogChannel channel = LogChannel::Status;
    QString text;             // without a final line end
    bool bold = false;        // replies with a code above 399
    int level = 0;            // information lines: shown when ChatInfoLevel >= level
    QList<QByteArray> lines;  // replies: every line as received (line ends stripped)
    // Which connection said it when several are open (1 the main one); 0 when
    // it is the only one, and nothing is shown.
    int connection = 0;
};

Rgb channelColor(LogChannel channel);
const char* channelName(LogChannel channel);
bool isTraceChannel(LogChannel channel);

// Replaces the password of a "PASS " line by asterisks up to the first CR or LF.
QByteArray maskPassword(const QByteArray& sent);

// The chat page prints replies of up to three lines whole, longer ones as first
// line, an omission note and last line. Lines are given without line ends.
QString formatReplyForChatPage(const QList<QByteArray>& lines);
QString formatReplyWhole(const QList<QByteArray>& lines);

// Every line of text with the connection's tag "[n] " in front; unchanged
// for connection 0.
QString withConnectionTag(const QString& text, int connection);

// Wire bytes shown in the log: UTF-8 with replacement characters for bad bytes.
QString displayText(const QByteArray& bytes);
