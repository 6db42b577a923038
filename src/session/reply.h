#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

// One server reply as assembled from its lines.
struct Reply {
    enum ErrorKind { WellFormed = 0, NoNumber = 1, NumberMismatch = 2 };

    QList<QByteArray> lines;  // as received, line ends included
    QByteArray codeText;      // leading digits of the first line
    int errorKind = WellFormed;
    bool complete = false;

    // The code text read as an integer; -1 when empty or not a number.
    int code() const;
    QByteArray lastLine() const { return lines.isEmpty() ? QByteArray() : lines.last(); }
    // Lines without their CR/LF ends, for the log.
    QList<QByteArray> strippedLines() const;
};

// The path a 257 reply (PWD, MKD) names: the quoted text after the line's
// first double quote, where a doubled quote stands for one. None when the
// line holds no quoted part or it is never closed.
std::optional<QByteArray> QuotedPathOf(const QByteArray& line);
