#pragma once

#include <QList>

// Shares a list's client width among its columns in proportion to their
// weights; the last column takes what rounding leaves, so the columns fill the
// width exactly. No column gets less than zero.
QList<int> ProportionalWidths(int width, const QList<int>& weights);
