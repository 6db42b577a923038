#pragma once

#include <QList>

// Looks at the processes below a server process, so that stopping a server
// that forks per connection (vsftpd) leaves nothing behind.
class ProcessTree {
public:
    // Every living descendant of `pid`, children before grandchildren.
    static QList<qint64> descendants(qint64 pid);
    // True while `pid` exists and is not a zombie.
    static bool isAlive(qint64 pid);
    // Waits until none of `pids` is alive; false when some still are at the end.
    static bool waitUntilGone(const QList<qint64>& pids, int timeoutMs);
};
