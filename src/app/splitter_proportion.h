#pragma once

#include <QtGlobal>

#include <array>

// A stored splitter proportion packs two 16-bit weights: the first pane in bits 31-16, the
// second in bits 15-0. Fresh settings hold small weights (80 : 30); once a window has been
// closed the field holds shares in 32768ths. Both read the same way.
struct SplitterProportion {
    static constexpr int kWhole = 32768;

    // Shares of the two panes in 32768ths; they always sum to kWhole.
    static std::array<int, 2> unpack(qint32 field);
    // Shares (or any weights) back into the field; each is kept within 0 ... 65535.
    static qint32 pack(int first, int second);
    // Shares in 32768ths for two pane sizes measured in any unit (pixels).
    static std::array<int, 2> sharesFromSizes(int first, int second);
    // Pane sizes for a splitter `total` units long.
    static std::array<int, 2> sizesFromShares(const std::array<int, 2>& shares, int total);
};
