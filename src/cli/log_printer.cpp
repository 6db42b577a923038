#include "cli/log_printer.h"

#include <unistd.h>

LogPrinter::LogPrinter(FILE* out, bool printLog, bool traces, int infoLevel)
    : out_(out),
      printLog_(printLog),
      traces_(traces),
      infoLevel_(infoLevel),
      colour_(isatty(fileno(out)) != 0) {}

void LogPrinter::print(const LogLine& line) {
    if (!printLog_)
        return;
    if (isTraceChannel(line.channel) && !traces_)
        return;
    if (line.channel == LogChannel::Info && line.level > infoLevel_)
        return;
    if (line.channel == LogChannel::Reply && !line.lines.isEmpty()) {
        for (const QByteArray& l : line.lines)
            writeLine(line.channel, line.bold, withConnectionTag(displayText(l), line.connection));
        return;
    }
    for (const QString& l : line.text.split(QLatin1Char('\n'))) {
        if (line.channel == LogChannel::Info && l.trimmed().isEmpty())
            continue;
        writeLine(line.channel, line.bold, withConnectionTag(l, line.connection));
    }
}

void LogPrinter::writeLine(LogChannel channel, bool bold, const QString& text) {
    endProgress();
    const QByteArray body = text.toUtf8();
    if (colour_) {
        const Rgb c = channelColor(channel);
        std::fprintf(out_, "\x1b[%s38;2;%d;%d;%dm%s: %s\x1b[0m\n", bold ? "1;" : "", c.red, c.green,
                     c.blue, channelName(channel), body.constData());
    } else {
        std::fprintf(out_, "%s: %s\n", channelName(channel), body.constData());
    }
    std::fflush(out_);
}

void LogPrinter::progress(const QString& text) {
    if (!colour_)
        return;
    std::fprintf(out_, "\r\x1b[2K%s", text.toUtf8().constData());
    std::fflush(out_);
    progressShown_ = true;
}

void LogPrinter::endProgress() {
    if (!progressShown_)
        return;
    std::fprintf(out_, "\r\x1b[2K");
    progressShown_ = false;
}
