#include "platform/row_colours.h"

RowColours RowColoursFor(bool selected, bool focused, bool dropTarget) {
    constexpr Rgb kWhite{255, 255, 255};
    constexpr Rgb kBlack{0, 0, 0};
    if (dropTarget || (selected && focused)) {
        return {{49, 106, 197}, kWhite};
    }
    if (selected) {
        return {{231, 228, 211}, kBlack};
    }
    return {kWhite, kBlack};
}
