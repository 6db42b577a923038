#include "session/reply.h"

int Reply::code() const {
    if (codeText.isEmpty())
        return -1;
    bool ok = false;
    const int c = codeText.left(9).toInt(&ok);
    return ok ? c : -1;
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
