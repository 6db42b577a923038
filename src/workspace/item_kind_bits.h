#pragma once

#include <QtGlobal>

// The kinds a loop (search, change case) acts on, one bit each, as stored in
// the settings file.
struct ItemKindBits {
    static constexpr quint8 File = 0x01;
    static constexpr quint8 Folder = 0x02;
    static constexpr quint8 Link = 0x04;
    static constexpr quint8 DeviceB = 0x08;
    static constexpr quint8 DeviceC = 0x10;
    static constexpr quint8 Others = 0x20;
    static constexpr quint8 AllKinds = 0x3f;

    bool operator==(const ItemKindBits&) const = default;
};

// The kind bit an entry needs: '-' File, 'd' Folder ... any other Others.
quint8 ItemKindBit(char kind);
