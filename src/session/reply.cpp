#include "session/reply.h"

int Reply::code() const {
    if (codeText.isEmpty())
        return -1;
    bool ok = false;
    const int c = codeText.left(9).toInt(&ok);
    return ok ? c : -1;
}

std::optional<QByteArray> QuotedPathOf(const QByteArray& line) {
    qsizetype i = line.indexOf('"');
    if (i < 0)
        return std::nullopt;
    QByteArray path;
    // The first single quote ends the path: servers may quote words in the
    // comment after it.
    for (++i; i < line.size(); ++i) {
        if (line.at(i) != '"') {
            path += line.at(i);
        } else if (i + 1 < line.size() && line.at(i + 1) == '"') {
            path += '"';
            ++i;
        } else {
            return path;
        }
    }
    return std::nullopt;
}

QList<QByteArray> Reply::strippedLines() const {
    QList<QByteArray> out;
    for (QByteArray line : lines) {
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        out.append(line);
    }
    return out;
}
