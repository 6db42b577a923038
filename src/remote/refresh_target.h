#pragma once

#include <QtGlobal>

// What a refresh listing follows, for its listener.
enum class RefreshMode {
    Plain = 0,
    AfterUpload = 1,  // shows the files an upload just stored
    AfterDelete = 2,
};

// Who is told when a refresh listing arrives: a view's token, a flag byte of the
// view options and the mode.
struct RefreshTarget {
    quintptr window = 0;
    quint8 flag = 0;
    RefreshMode mode = RefreshMode::Plain;
};
