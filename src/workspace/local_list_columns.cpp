#include "workspace/local_list_columns.h"

QList<int> LocalListWeights() {
    QList<int> weights;
    for (const LocalListColumn& column : kLocalListColumns) {
        weights << column.weight;
    }
    return weights;
}

QList<int> CarriedColumnWidths(int width, const QList<int>& weights) {
    QList<int> out;
    qint64 sum = 0;
    for (int w : weights) {
        sum += qMax(0, w);
    }
    width = qMax(0, width);
    if (sum == 0) {
        for (qsizetype i = 0; i < weights.size(); ++i) {
            out << (i + 1 == weights.size() ? width : 0);
        }
        return out;
    }
    // Cumulative whole parts: the fraction of each column moves to the next.
    qint64 cumulative = 0;
    qint64 placed = 0;
    for (int w : weights) {
        cumulative += qint64(width) * qMax(0, w);
        const qint64 end = cumulative / sum;
        out << int(end - placed);
        placed = end;
    }
    return out;
}
