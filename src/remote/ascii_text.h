#pragma once

#include <QByteArrayView>
#include <climits>

// Byte-text helpers for wire names. Only ASCII letters are folded: remote names
// are bytes of unknown encoding and must compare the same on every machine.
inline char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}
int CompareNoCase(QByteArrayView a, QByteArrayView b);
bool EqualsNoCase(QByteArrayView a, QByteArrayView b);
bool StartsWithNoCase(QByteArrayView text, QByteArrayView prefix);

// space or tab
constexpr bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
constexpr bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads an unsigned decimal run into 64 bits; false when it does not fit in
// qint64 (or the run is empty or holds anything but digits).
bool ParseDecimal64(QByteArrayView digits, qint64* value);
// Reads an unsigned decimal run, saturating at INT_MAX instead of overflowing.
inline int ParseDecimalSaturated(QByteArrayView digits) {
    qint64 v = 0;
    for (char c : digits) {
        if (!IsDigit(c))
            break;
        v = v * 10 + (c - '0');
        if (v >= INT_MAX)
            return INT_MAX;
    }
    return int(v);
}
