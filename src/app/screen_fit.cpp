#include "app/screen_fit.h"

QRect FitOntoScreens(const QRect& window, const QList<QRect>& screens) {
    if (screens.isEmpty() || !window.isValid())
        return window;
    const QRect* best = nullptr;
    qint64 bestArea = 0;
    for (const QRect& s : screens) {
        const QRect common = s.intersected(window);
        const qint64 area = common.isValid() ? qint64(common.width()) * common.height() : 0;
        if (area > bestArea) {
            bestArea = area;
            best = &s;
        }
    }
    const QRect screen = best ? *best : screens.front();
    if (screen.contains(window))
        return window;
    QRect fitted(window.topLeft(), window.size().boundedTo(screen.size()));
    if (!best)
        fitted.moveCenter(screen.center());
    if (fitted.right() > screen.right())
        fitted.moveRight(screen.right());
    if (fitted.bottom() > screen.bottom())
        fitted.moveBottom(screen.bottom());
    if (fitted.left() < screen.left())
        fitted.moveLeft(screen.left());
    if (fitted.top() < screen.top())
        fitted.moveTop(screen.top());
    return fitted;
}
