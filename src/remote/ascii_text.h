#pragma once

#include <QByteArrayView>

// Byte-text helpers for wire names. Only ASCII letters are folded: remote names
// are bytes of unknown encoding and must compare the same on every machine.
char AsciiLower(char c);
int CompareNoCase(QByteArrayView a, QByteArrayView b);
bool EqualsNoCase(QByteArrayView a, QByteArrayView b);
bool StartsWithNoCase(QByteArrayView text, QByteArrayView prefix);

bool IsBlank(char c);  // space or tab
bool IsDigit(char c);

// Reads an unsigned decimal run into 64 bits; false when it does not fit in
// qint64 (or the run is empty or holds anything but digits).
bool ParseDecimal64(QByteArrayView digits, qint64* value);
// Reads an unsigned decimal run, saturating at INT_MAX instead of overflowing.
int ParseDecimalSaturated(QByteArrayView digits);
