#include "fuzz_check.h"
#include "fuzz_targets.h"

#include "session/passive_reply.h"

#include <QStringList>

// Input: one 227 line. An accepted address is four numbers of 0..255 and a
// port the data connection can use.
int fuzzPassiveReply(const uint8_t* data, size_t size) {
    const QByteArray line = fuzzBytes(data, size);
    const std::optional<PassiveAddress> address = parsePassiveReply(line);
    if (!address)
        return 0;
    FUZZ_CHECK(address->port >= 1 && address->port <= 65535);
    const QStringList parts = address->host.split(QLatin1Char('.'));
    FUZZ_CHECK(parts.size() == 4);
    for (const QString& part : parts) {
        bool ok = false;
        const int n = part.toInt(&ok);
        FUZZ_CHECK(ok && n >= 0 && n <= 255 && QString::number(n) == part);
    }
    // The numbers stand between the parentheses of the line.
    FUZZ_CHECK(line.indexOf('(') >= 0 && line.indexOf(')', line.indexOf('(')) >= 0);
    return 0;
}
