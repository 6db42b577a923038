#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <memory>
#include <optional>

class StoredSizeCheck;

// What the user chose for putting files in place on a live site.
struct PublishOptions {
    // Uploads go to a hidden temporary name in the target folder and are
    // renamed over the old file once complete, so visitors never read half a
    // file.
    bool atomic = false;
    // Modification times follow the files both ways.
    bool keepTimes = false;
    // Each transferred file is compared with the checksum the server tells.
    bool verify = false;

    bool operator==(const PublishOptions&) const = default;
};

// How one transfer is published: the options, and what the planner found.
struct PublishPlan {
    PublishOptions options;
    // Uploads: the start offset continues the temporary an interrupted upload
    // of this file left behind.
    bool continuesTemporary = false;
    // Uploads: such a temporary exists and this upload does not continue it.
    bool leftoverTemporary = false;
    // Downloads: the server's modification time as listed (UTC, seconds since
    // the epoch); -1 when the listing did not tell it to the second.
    qint64 remoteTime = -1;
    // Uploads stored directly: their size is checked by one listing of the
    // folder after its files rather than by a SIZE after each.
    std::shared_ptr<StoredSizeCheck> sizeCheck;
};

// ".NAME.velmora-upload": hidden, beside the file it becomes.
QByteArray uploadTemporaryName(const QByteArray& name);
bool isUploadTemporaryName(const QByteArray& name);
// The name an upload temporary stands for; empty when it is none.
QByteArray uploadTemporaryTarget(const QByteArray& name);

// A time as MFMT and MDTM write it: "YYYYMMDDHHMMSS", UTC.
QByteArray ftpTimeText(qint64 utcSeconds);
// "YYYYMMDDHHMMSS" with an optional fraction, as MDTM answers and MLSD's
// modify fact gives; nothing when it is not a time.
std::optional<qint64> parseFtpTime(const QByteArray& text);
