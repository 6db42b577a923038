#pragma once

#include "platform/rgb.h"

// Colours of a row in the explorers' trees and lists, either side: the selected row of the
// focused view and a drop-target row white on blue, a selected row of an unfocused view black
// on beige, other rows black on white.
struct RowColours {
    Rgb background;
    Rgb text;

    bool operator==(const RowColours&) const = default;
};

RowColours RowColoursFor(bool selected, bool focused, bool dropTarget);
