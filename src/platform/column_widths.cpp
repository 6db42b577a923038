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

QList<int> FitColumnWidths(const QList<int>& shares, const QList<int>& needs, int elastic,
                           int elasticMinimum) {
    QList<int> out = shares;
    if (needs.size() != shares.size() || elastic < 0 || elastic >= shares.size())
        return out;
    qint64 deficit = 0;
    qint64 spare = 0;
    QList<qint64> surplus(out.size(), 0);
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (i == elastic)
            continue;
        if (out[i] < needs[i]) {
            deficit += needs[i] - out[i];
            out[i] = needs[i];
        }
        surplus[i] = out[i] - needs[i];
        spare += surplus[i];
    }
    const qint64 want = qMax(0, needs[elastic] - out[elastic]);
    const qint64 taken = qMin(spare, deficit + want);
    // Taken from each in proportion to its surplus, fractions carried so the
    // total is exact.
    qint64 cumulative = 0;
    qint64 placed = 0;
    for (qsizetype i = 0; i < out.size() && spare > 0; ++i) {
        cumulative += taken * surplus[i];
        const qint64 end = cumulative / spare;
        out[i] -= int(end - placed);
        placed = end;
    }
    if (taken >= deficit) {
        out[elastic] += int(taken - deficit);
        return out;
    }
    qint64 owed = deficit - taken;
    const qint64 aboveMinimum = qMax(0, out[elastic] - qMax(0, elasticMinimum));
    const qint64 fromName = qMin(owed, aboveMinimum);
    out[elastic] -= int(fromName);
    owed -= fromName;
    out[elastic] -= int(qMin<qint64>(owed, out[elastic]));
    return out;
}
