#pragma once

// Colours of a row of the local list: the selected row of the focused list
// and a drop-target row in blue with white text, a selected row of an
// unfocused list in pale grey with black text, other rows white with black.
struct RowRgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const RowRgb&) const = default;
};

struct LocalRowColors {
    RowRgb background;
    RowRgb text;
    bool operator==(const LocalRowColors&) const = default;
};

LocalRowColors LocalRowColorsFor(bool selected, bool listFocused, bool dropTarget);
