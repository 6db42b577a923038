#include "session/log_line.h"

Rgb channelColor(LogChannel channel) {
    switch (channel) {
        case LogChannel::Status:
            return {0, 128, 0};
        case LogChannel::Sent:
            return {0, 0, 196};
        case LogChannel::Reply:
            return {0, 0, 0};
        case LogChannel::Error:
            return {255, 0, 0};
        case LogChannel::Trace:
            return {192, 0, 192};
        case LogChannel::ReplyTrace:
            return {0, 192, 255};
        case LogChannel::Ignored:
            return {255, 128, 0};
        case LogChannel::Info:
            return {0, 0, 0};
    }
    return {0, 0, 0};
}

const char* channelName(LogChannel channel) {
    switch (channel) {
        case LogChannel::Status:
            return "status";
        case LogChannel::Sent:
            return "sent";
        case LogChannel::Reply:
            return "reply";
        case LogChannel::Error:
            return "error";
        case LogChannel::Trace:
            return "trace";
        case LogChannel::ReplyTrace:
            return "reply-trace";
        case LogChannel::Ignored:
            return "ignored";
        case LogChannel::Info:
            return "info";
    }
    return "unknown";
}

bool isTraceChannel(LogChannel channel) {
    return channel == LogChannel::Trace || channel == LogChannel::ReplyTrace ||
           channel == LogChannel::Ignored;
}

QByteArray maskPassword(const QByteArray& sent) {
    if (sent.size() <= 5 || qstrnicmp(sent.constData(), "PASS ", 5) != 0)
        return sent;
    QByteArray masked = sent;
    for (qsizetype i = 5; i < masked.size(); ++i) {
        if (masked[i] == '\r' || masked[i] == '\n')
            break;
        masked[i] = '*';
    }
    return masked;
}

QString withConnectionTag(const QString& text, int connection) {
    if (connection <= 0)
        return text;
    const QString tag = QStringLiteral("[%1] ").arg(connection);
    QString out = tag + text;
    out.replace(QLatin1Char('\n'), QLatin1Char('\n') + tag);
    return out;
}

QString displayText(const QByteArray& bytes) {
    return QString::fromUtf8(bytes);
}

QString formatReplyWhole(const QList<QByteArray>& lines) {
    QStringList out;
    for (const QByteArray& line : lines)
        out << displayText(line);
    return out.join(QLatin1Char('\n'));
}

QString formatReplyForChatPage(const QList<QByteArray>& lines) {
    if (lines.size() <= 3)
        return formatReplyWhole(lines);
    return displayText(lines.first()) + QLatin1Char('\n') +
           QStringLiteral("       (omitting %1 lines...)").arg(lines.size() - 2) +
           QLatin1Char('\n') + displayText(lines.last());
}
