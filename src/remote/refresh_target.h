#pragma once

#include <QtGlobal>

// Who is told when a refresh listing arrives: a view's token, a flag byte of the
// view options and the mode (1 after an upload, 2 after a delete).
struct RefreshTarget {
    quintptr window = 0;
    quint8 flag = 0;
    int mode = 0;
};
