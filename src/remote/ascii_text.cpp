#include "remote/ascii_text.h"

#include <climits>
#include <limits>

int CompareNoCase(QByteArrayView a, QByteArrayView b) {
    const qsizetype n = qMin(a.size(), b.size());
    const char* pa = a.data();
    const char* pb = b.data();
    for (qsizetype i = 0; i < n; ++i) {
        // Equal bytes are equal in any case; only a difference needs folding.
        if (pa[i] == pb[i])
            continue;
        const auto ca = static_cast<unsigned char>(AsciiLower(pa[i]));
        const auto cb = static_cast<unsigned char>(AsciiLower(pb[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool EqualsNoCase(QByteArrayView a, QByteArrayView b) {
    return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

bool StartsWithNoCase(QByteArrayView text, QByteArrayView prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.first(prefix.size()), prefix);
}

bool ParseDecimal64(QByteArrayView digits, qint64* value) {
    if (digits.isEmpty())
        return false;
    constexpr quint64 kMax = std::numeric_limits<qint64>::max();
    quint64 v = 0;
    for (char c : digits) {
        if (!IsDigit(c))
            return false;
        const quint64 d = quint64(c - '0');
        if (v > (kMax - d) / 10)
            return false;
        v = v * 10 + d;
    }
    *value = qint64(v);
    return true;
}
