#include "workspace/local_row_colors.h"

LocalRowColors LocalRowColorsFor(bool selected, bool listFocused, bool dropTarget) {
    constexpr RowRgb kWhite{255, 255, 255};
    constexpr RowRgb kBlack{0, 0, 0};
    if (dropTarget || (selected && listFocused)) {
        return {{49, 106, 197}, kWhite};
    }
    if (selected) {
        return {{231, 228, 211}, kBlack};
    }
    return {kWhite, kBlack};
}
