#pragma once

#include <QList>
#include <QRect>

// Where a window stored on another screen arrangement goes: a window that
// fits inside a screen stays where it is; one reaching past the screen it
// mostly covers is shrunk to that screen's free area and moved inside it;
// one on no screen at all goes to the first screen. Screens are their
// available areas, the first being the primary one.
QRect FitOntoScreens(const QRect& window, const QList<QRect>& screens);
