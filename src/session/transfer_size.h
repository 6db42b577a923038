#pragma once

#include <QByteArray>
#include <QString>

// What the server said a download would bring, and whether the bytes that came
// match it. The listing's size may be stale (a file that grew since is fine);
// the size in a 150 reply is the file's as the transfer starts.
struct TransferSize {
    qint64 listed = -1;     // from the folder's listing; -1: not known
    qint64 announced = -1;  // "(N bytes)" in the 150 reply; -1: not given

    // The N of "(N bytes)" in a reply line, -1 when there is none.
    static qint64 announcedIn(const QByteArray& line);

    // Empty when `position` (bytes of the file held, a resume's offset
    // included) completes the file; otherwise "the server sent 500 of 1,000
    // bytes". Only a binary transfer must match a 150's size exactly: an ASCII
    // one brings line ends of its own.
    QString shortfall(qint64 position, qint64 startOffset, bool binary) const;
};
