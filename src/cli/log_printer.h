#pragma once

#include "session/log_line.h"

#include <cstdio>

// Writes the session log on stderr, one line per log line prefixed by its
// channel name, in the channel's colour when stderr is a terminal.
class LogPrinter {
public:
    // Log lines are written only with printLog; progress lines always, on a
    // terminal.
    LogPrinter(FILE* out, bool printLog, bool traces, int infoLevel);

    void print(const LogLine& line);
    // The highest information level printed, -1 when none is.
    int shownInfoLevel() const { return printLog_ ? infoLevel_ : -1; }
    // A progress line that the next line overwrites (terminals only).
    void progress(const QString& text);
    void endProgress();

private:
    void writeLine(LogChannel channel, bool bold, const QString& text);

    FILE* out_;
    bool printLog_;
    bool traces_;
    int infoLevel_;
    bool colour_;
    bool progressShown_ = false;
};
