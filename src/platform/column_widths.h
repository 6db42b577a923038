#pragma once

#include <QList>

// Shares a list's client width among its columns in proportion to their
// weights; the last column takes what rounding leaves, so the columns fill the
// width exactly. No column gets less than zero.
QList<int> ProportionalWidths(int width, const QList<int>& weights);

// Widths shared by weight, then mended so nothing that must be read is cut:
// every column but `elastic` is widened to what it needs (sizes, dates), and
// the elastic one (the name, shown elided) grows towards its need as well.
// The room comes first from columns wider than they need, then from the
// elastic column down to `elasticMinimum`, and only then below that. When
// everything fits, the widths are the shares unchanged.
QList<int> FitColumnWidths(const QList<int>& shares, const QList<int>& needs, int elastic,
                           int elasticMinimum);
