#include "workspace/item_kind_bits.h"

quint8 ItemKindBit(char kind) {
    switch (kind) {
        case '-':
            return ItemKindBits::File;
        case 'd':
            return ItemKindBits::Folder;
        case 'l':
            return ItemKindBits::Link;
        case 'b':
            return ItemKindBits::DeviceB;
        case 'c':
            return ItemKindBits::DeviceC;
    }
    return ItemKindBits::Others;
}
