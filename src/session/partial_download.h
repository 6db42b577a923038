#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QFile;

// The server file a download's data came from, as its folder's listing showed
// it. Data is continued only for the same file, unchanged.
struct PartialSource {
    QByteArray remotePath;
    qint64 size = -1;     // -1: not known
    QByteArray modified;  // the listing's date and time, as listed

    bool operator==(const PartialSource&) const = default;
};

// Data kept beside a target by a download that did not finish.
struct KeptPart {
    QString path;
    qint64 length = 0;  // bytes of data
    PartialSource source;
};

// A download writes into one hidden file beside its target, ".NAME.velmora-part",
// and renames it over the target once it is whole. When it stops short the data
// stays there, sealed with a record of its source at the end, so the next
// download of the same file continues it. Data without a readable record (a run
// killed outright) is never continued.
class PartialDownload {
public:
    static constexpr char kSuffix[] = ".velmora-part";

    static QString pathFor(const QString& target);
    // A file name of that hidden data: it is the download's own, never a file to
    // show, compare or upload.
    static bool isPartName(const QString& fileName);
    // The sealed data beside a target; nullopt when there is none.
    static std::optional<KeptPart> inspect(const QString& target);
    // The record of an open file; nullopt when it has none.
    static std::optional<KeptPart> read(QFile& file);
    // Writes the record behind `length` bytes of data; false with the system's
    // reason.
    static bool seal(QFile& file, qint64 length, const PartialSource& source, QString* reason);
};
