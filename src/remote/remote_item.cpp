#include "remote/remote_item.h"

int KindSortRank(char kind) {
    switch (kind) {
        case 'd':
            return 0;
        case 'l':
            return 1;
        case 'b':
            return 2;
        case 'c':
            return 3;
        case '-':
            return 4;
        default:
            return 5;
    }
}
