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
