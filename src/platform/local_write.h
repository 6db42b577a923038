#pragma once

#include <QString>

// Writes to local files that say why they failed in the system's own words
// ("No space left on device", "Permission denied", "Read-only file system"):
// QFile reports a refused write as "Unknown error".

// The system's words for an errno value.
QString SystemErrorText(int errorNumber);
// Writes all of data at offset of an open file; false with the reason.
bool WriteAllAt(int fd, const char* data, qint64 size, qint64 offset, QString* reason);
// Cuts or extends an open file to length; false with the reason.
bool ResizeFile(int fd, qint64 length, QString* reason);
