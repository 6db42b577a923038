#pragma once

#include <QtGlobal>

#include <vector>

// Panes side by side share their splitter in 32768ths.
inline constexpr int kWholeShare = 32768;

// n equal shares, the last taking what rounding leaves.
std::vector<int> EqualShares(int n);

// Pixel sizes of panes that hold `shares` of `total` pixels (bars already
// taken off). A pane that would fall below `minimum` gets the minimum and the
// others share what is left, until none is below; when even that cannot be,
// every pane gets the minimum and the last ones are cut to what remains.
std::vector<int> PaneSizes(const std::vector<int>& shares, int total, int minimum);

// Shares in 32768ths of the current pixel sizes.
std::vector<int> SharesFromSizes(const std::vector<int>& sizes);
