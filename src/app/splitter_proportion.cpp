#include "app/splitter_proportion.h"

std::array<int, 2> SplitterProportion::unpack(qint32 field) {
    const qint64 first = (quint32(field) >> 16) & 0xFFFF;
    const qint64 second = quint32(field) & 0xFFFF;
    const qint64 sum = first + second;
    // Both weights zero would divide by zero: equal panes instead.
    if (sum == 0)
        return {kWhole / 2, kWhole / 2};
    const int firstShare = int((sum / 2 + first * kWhole) / sum);
    return {firstShare, kWhole - firstShare};
}

qint32 SplitterProportion::pack(int first, int second) {
    const quint32 high = quint32(qBound(0, first, 0xFFFF));
    const quint32 low = quint32(qBound(0, second, 0xFFFF));
    return qint32((high << 16) | low);
}

std::array<int, 2> SplitterProportion::sharesFromSizes(int first, int second) {
    const qint64 a = qMax(0, first);
    const qint64 b = qMax(0, second);
    if (a + b == 0)
        return {kWhole / 2, kWhole / 2};
    const int firstShare = int((a * kWhole + (a + b) / 2) / (a + b));
    return {firstShare, kWhole - firstShare};
}

std::array<int, 2> SplitterProportion::sizesFromShares(const std::array<int, 2>& shares,
                                                       int total) {
    const qint64 whole = qMax(0, total);
    const qint64 share = qBound(0, shares[0], int(kWhole));
    const int first = int((share * whole + kWhole / 2) / kWhole);
    return {first, int(whole) - first};
}
