#pragma once

#include <QColor>

#include "platform/rgb.h"

inline QColor ToQColor(const Rgb& c) {
    return QColor(c.red, c.green, c.blue);
}
