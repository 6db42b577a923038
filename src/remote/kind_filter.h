#pragma once

#include <QtGlobal>

// Which kinds besides files and folders delete and download act on: the
// "Delete and download" options. Files and folders always pass.
struct KindFilter {
    static constexpr int Link = 0x01;
    static constexpr int DeviceB = 0x02;
    static constexpr int DeviceC = 0x04;
    static constexpr int Unknown = 0x08;

    int flags = Link;

    bool passes(char kind) const {
        switch (kind) {
            case '-':
            case 'd':
                return true;
            case 'l':
                return flags & Link;
            case 'b':
                return flags & DeviceB;
            case 'c':
                return flags & DeviceC;
            default:
                return flags & Unknown;
        }
    }
};
