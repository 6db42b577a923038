#include "session/transfer_size.h"

#include "platform/format.h"

qint64 TransferSize::announcedIn(const QByteArray& line) {
    const qsizetype end = line.lastIndexOf(" bytes)");
    if (end < 0)
        return -1;
    qsizetype start = end;
    while (start > 0 && line[start - 1] >= '0' && line[start - 1] <= '9')
        --start;
    if (start == end || start == 0 || line[start - 1] != '(' || end - start > 18)
        return -1;
    return line.mid(start, end - start).toLongLong();
}

QString TransferSize::shortfall(qint64 position, qint64 startOffset, bool binary) const {
    qint64 expected = -1;
    if (announced >= 0) {
        // Servers name either the whole file or what is left after REST.
        const bool leftAfterRest =
            startOffset > 0 && listed >= 0 && startOffset + announced == listed;
        const qint64 end = leftAfterRest ? startOffset + announced : announced;
        const bool whole =
            binary ? position == end || (startOffset > 0 && position - startOffset == announced)
                   : position >= end;
        if (!whole)
            expected = end;
    }
    // The size given as the transfer starts is newer than the listing's.
    if (announced < 0 && listed > 0 && position < listed)
        expected = listed;
    if (expected < 0)
        return {};
    return QStringLiteral("the server sent %1 of %2 bytes")
        .arg(FormatGrouped(quint64(qMax<qint64>(position, 0))), FormatGrouped(quint64(expected)));
}
