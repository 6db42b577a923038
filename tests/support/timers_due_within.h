#pragma once

#include <QSignalSpy>
#include <QTimer>

// Runs the event loop until a marker timer started now fires after `ms`.
// Qt fires due timers in the order of their deadlines, however late the loop
// gets to them, so every tick of this thread due within `ms` has fired by
// then: a test proves that something did not happen without timing the
// machine. The marker is precise; coarse timers may slip by 5% of their
// interval, so give `ms` that much room.
inline bool RunTimersDueWithin(int ms) {
    QTimer marker;
    marker.setSingleShot(true);
    marker.setTimerType(Qt::PreciseTimer);
    QSignalSpy fired(&marker, &QTimer::timeout);
    marker.start(ms);
    return fired.wait(ms + 60000) || !fired.isEmpty();
}
