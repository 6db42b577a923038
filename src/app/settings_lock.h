#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// Held around every read-modify-write of a file in the settings folder, so that the window and
// any number of velmora-cli runs never save over each other's changes. The lock is a file in
// that folder; one left by a process that died, or held far longer than any save takes, is
// broken within the wait.
class SettingsLock {
public:
    // A save takes milliseconds, but a loaded machine may stall its holder for seconds: only a
    // lock much older than any save is taken as left behind (a dead holder's is broken at once).
    static constexpr int kStaleMs = 15000;
    // Twenty writers queued on a loaded machine must all get their turn; longer than kStaleMs,
    // so a stale lock is broken before the wait ends.
    static constexpr int kWaitMs = 30000;

    explicit SettingsLock(const QString& folder, int waitMs = kWaitMs, int staleMs = kStaleMs);
    ~SettingsLock();
    SettingsLock(const SettingsLock&) = delete;
    SettingsLock& operator=(const SettingsLock&) = delete;

    bool isLocked() const { return locked_; }
    // Why the lock could not be had, in a sentence naming the folder.
    const QString& error() const { return error_; }

    static QString fileName() { return QStringLiteral(".velmora-settings.lock"); }

private:
    std::unique_ptr<QLockFile> file_;
    bool locked_ = false;
    QString error_;
};
