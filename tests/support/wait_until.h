#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <functional>

// Turns the event loop until `done` holds or `timeoutMs` has passed; false on
// the timeout. For test programs that do not link QtTest.
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    QTimer tick;
    tick.start(20);  // wakes the loop to look at the clock
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}
