#pragma once

#include <QByteArray>
#include <QSet>

#include <vector>

// Folders a compare window sent whole, up or down. A folder's result is settled
// once its task has ended with nothing failed (every file replaced); with
// several tasks under way the folders wait for the last, so that one failure
// keeps them all; a lost connection or "Remove all tasks" forgets them (their
// tasks never end).
class CompareFolderSends {
public:
    // A task was queued carrying these folders (project paths; may be none).
    void started(const std::vector<QByteArray>& folders);
    // A task of the window ended; the folders now settled (empty while others
    // run or when something failed).
    std::vector<QByteArray> ended(bool clean);
    void forget();

    int inFlight() const { return inFlight_; }

private:
    QSet<QByteArray> folders_;
    int inFlight_ = 0;
    bool failed_ = false;
};
