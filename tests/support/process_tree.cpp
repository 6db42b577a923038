#include "support/process_tree.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QThread>

namespace {

// Field 3 (state) and 4 (parent) of /proc/<pid>/stat. The command name in
// field 2 may hold blanks and parentheses, so parsing starts after the last ')'.
bool readStat(qint64 pid, char* state, qint64* parent) {
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray text = file.readAll();
    const int close = text.lastIndexOf(')');
    if (close < 0) {
        return false;
    }
    const QList<QByteArray> fields = text.mid(close + 1).trimmed().split(' ');
    if (fields.size() < 2 || fields[0].isEmpty()) {
        return false;
    }
    *state = fields[0].at(0);
    bool ok = false;
    *parent = fields[1].toLongLong(&ok);
    return ok;
}

}  // namespace

QList<qint64> ProcessTree::descendants(qint64 pid) {
    QHash<qint64, QList<qint64>> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool isNumber = false;
        const qint64 candidate = entry.toLongLong(&isNumber);
        char state = 0;
        qint64 parent = 0;
        if (isNumber && readStat(candidate, &state, &parent) && state != 'Z') {
            children[parent].append(candidate);
        }
    }
    QList<qint64> result;
    QList<qint64> pending{pid};
    while (!pending.isEmpty()) {
        const qint64 next = pending.takeFirst();
        for (qint64 child : children.value(next)) {
            result.append(child);
            pending.append(child);
        }
    }
    return result;
}

bool ProcessTree::isAlive(qint64 pid) {
    char state = 0;
    qint64 parent = 0;
    return pid > 0 && readStat(pid, &state, &parent) && state != 'Z' && state != 'X';
}

bool ProcessTree::waitUntilGone(const QList<qint64>& pids, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (true) {
        bool anyAlive = false;
        for (qint64 pid : pids) {
            anyAlive = anyAlive || isAlive(pid);
        }
        if (!anyAlive) {
            return true;
        }
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(20);
    }
}
