#include "session/passive_reply.h"

std::optional<PassiveAddress> parsePassiveReply(const QByteArray& line) {
    if (line.isEmpty())
        return std::nullopt;
    const qsizetype open = line.indexOf('(');
    if (open < 0)
        return std::nullopt;
    const qsizetype close = line.indexOf(')', open + 1);
    if (close < 0)
        return std::nullopt;
    long long numbers[6];
    int count = 0;
    qsizetype i = open + 1;
    while (i <= close) {
        while (i < close && line[i] == ' ')
            ++i;
        long long value = 0;
        while (i < close && line[i] >= '0' && line[i] <= '9') {
            // Bounded: eight digits are plenty and keep the sum in range.
            if (value < 100000000)
                value = value * 10 + (line[i] - '0');
            ++i;
        }
        if (i != close && line[i] != ',')
            return std::nullopt;
        if (count == 6)
            return std::nullopt;
        numbers[count++] = value;
        if (i == close)
            break;
        ++i;
    }
    if (count != 6)
        return std::nullopt;
    for (long long n : numbers)
        if (n > 255)
            return std::nullopt;  // not an address and port
    PassiveAddress a;
    a.host = QStringLiteral("%1.%2.%3.%4")
                 .arg(numbers[0])
                 .arg(numbers[1])
                 .arg(numbers[2])
                 .arg(numbers[3]);
    a.port = static_cast<int>(numbers[4] * 256 + numbers[5]);
    // No data connection can be made to port 0: the address cannot be used.
    if (a.port == 0)
        return std::nullopt;
    return a;
}
