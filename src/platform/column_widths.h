#pragma once

#include <QList>

// Shares a list's client width among its columns in proportion to their
// weights; the last column takes what rounding leaves, so the columns fill the
// width exactly. No column gets less than zero.
QList<int> ProportionalWidths(int width, const QList<int>& weights);

// Widths shared by weight, then mended so nothing that must be read is cut. A
// column whose floor is at least its need (sizes, dates, numbers) always gets
// its need; the others (names, texts, shown elided) get at least their
// floors, grow towards their needs only from what columns have beyond their
// needs, and give up room for the others down to their floors, never below: then the widths add up
// to more than the list's (it scrolls sideways). When everything fits, the widths are the shares
// unchanged.
QList<int> FitColumnWidths(const QList<int>& shares, const QList<int>& needs,
                           const QList<int>& floors);
