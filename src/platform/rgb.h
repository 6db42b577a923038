#pragma once

// A colour as its red, green and blue parts, 0 ... 255 each.
struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;

    bool operator==(const Rgb&) const = default;
};
