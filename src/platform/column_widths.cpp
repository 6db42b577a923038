#include "platform/column_widths.h"

QList<int> ProportionalWidths(int width, const QList<int>& weights) {
    QList<int> out;
    qint64 sum = 0;
    for (int w : weights)
        sum += qMax(0, w);
    if (weights.isEmpty())
        return out;
    width = qMax(0, width);
    int used = 0;
    for (qsizetype i = 0; i < weights.size(); ++i) {
        int w = 0;
        if (i + 1 == weights.size())
            w = width - used;
        else if (sum > 0)
            w = int(qint64(width) * qMax(0, weights[i]) / sum);
        out << w;
        used += w;
    }
    return out;
}

namespace {

// Moves `amount` pixels out of (negative: into) the columns in proportion to
// `by`, fractions carried so the total is exact.
void Share(QList<int>& out, const QList<qint64>& by, qint64 amount) {
    qint64 total = 0;
    for (qint64 b : by)
        total += b;
    if (total <= 0 || amount == 0)
        return;
    qint64 cumulative = 0;
    qint64 placed = 0;
    for (qsizetype i = 0; i < out.size(); ++i) {
        cumulative += amount * by[i];
        const qint64 end = cumulative / total;
        out[i] -= int(end - placed);
        placed = end;
    }
}

}  // namespace

QList<int> FitColumnWidths(const QList<int>& shares, const QList<int>& needs,
                           const QList<int>& floors) {
    QList<int> out = shares;
    const qsizetype n = out.size();
    if (needs.size() != n || floors.size() != n)
        return out;
    const auto fixed = [&](qsizetype i) { return floors[i] >= needs[i]; };
    qint64 owed = 0;  // what the fixed columns were given beyond their shares
    QList<qint64> wants(n, 0);
    for (qsizetype i = 0; i < n; ++i) {
        if (out[i] >= needs[i])
            continue;
        if (fixed(i)) {
            owed += needs[i] - out[i];
            out[i] = needs[i];
        } else {
            // Up to its floor a text is owed like a fixed column.
            if (out[i] < floors[i]) {
                owed += floors[i] - out[i];
                out[i] = floors[i];
            }
            wants[i] = needs[i] - out[i];
        }
    }
    // First what columns have beyond their needs: the fixed ones' debt, then
    // the others' wants.
    QList<qint64> spare(n, 0);
    qint64 spareTotal = 0;
    qint64 wantTotal = 0;
    for (qsizetype i = 0; i < n; ++i) {
        spare[i] = qMax(0, out[i] - needs[i]);
        spareTotal += spare[i];
        wantTotal += wants[i];
    }
    const qint64 taken = qMin(spareTotal, owed + wantTotal);
    Share(out, spare, taken);
    const qint64 paid = qMin(taken, owed);
    Share(out, wants, -(taken - paid));
    owed -= paid;
    // Then the other columns down to their floors.
    QList<qint64> room(n, 0);
    qint64 roomTotal = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (!fixed(i))
            room[i] = qMax(0, out[i] - floors[i]);
        roomTotal += room[i];
    }
    const qint64 given = qMin(owed, roomTotal);
    Share(out, room, given);
    // Never below them: wider than the list, it scrolls sideways instead.
    if (owed > given) {
        for (qsizetype i = 0; i < n; ++i)
            out[i] = qMax(out[i], qMax(0, floors[i]));
    }
    return out;
}
