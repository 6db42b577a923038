#pragma once

#include <QByteArray>

#include <cstring>

// Little helpers to write expected file images by hand, field by field, independently of the
// serialisers under test.
namespace test_bytes {

inline QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

inline QByteArray zeros(int count) {
    return QByteArray(count, '\0');
}

inline QByteArray le32(quint32 value) {
    QByteArray bytes;
    for (int i = 0; i < 4; ++i)
        bytes.append(char((value >> (8 * i)) & 0xFF));
    return bytes;
}

// Length in bytes, then each ASCII character followed by a zero byte (UTF-16LE).
inline QByteArray wide(const char* ascii) {
    const int units = int(std::strlen(ascii));
    QByteArray bytes = le32(quint32(units * 2));
    for (int i = 0; i < units; ++i) {
        bytes.append(ascii[i]);
        bytes.append('\0');
    }
    return bytes;
}

// The default text font: height -12, face "Courier New", everything else zero.
inline QByteArray courierNewFont() {
    QByteArray bytes = hex("f4ffffff") + zeros(16) + zeros(8);
    for (char c : QByteArray("Courier New")) {
        bytes.append(c);
        bytes.append('\0');
    }
    return bytes + zeros(64 - 22);
}

}  // namespace test_bytes
