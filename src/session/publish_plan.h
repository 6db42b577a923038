#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <memory>
#include <optional>
#include <vector>

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
    // Uploads: the tag of the temporary to store under (the one continued);
    // empty: a new one for this upload.
    QByteArray temporaryTag;
    // Uploads: temporaries of this file that this upload does not continue,
    // removed once it is in place.
    std::vector<QByteArray> staleTemporaries;
    // Uploads continuing their temporary after a lost connection: its size is asked first and
    // the store goes on from there, as the server may hold less than was sent.
    bool asksTemporarySize = false;
    // Downloads: the server's modification time as listed (UTC, seconds since
    // the epoch); -1 when the listing did not tell it to the second.
    qint64 remoteTime = -1;
    // Uploads stored directly: their size is checked by one listing of the
    // folder after its files rather than by a SIZE after each.
    std::shared_ptr<StoredSizeCheck> sizeCheck;
};

// ".NAME.TAG.velmora-upload" (".NAME.velmora-upload" without a tag): hidden,
// beside the file it becomes. Each upload stores under a tag of its own, so
// uploads of different versions of a file never write into one temporary; the
// tag begins with the version of the bytes sent, so a later upload of the same
// version may continue what an interrupted one left.
QByteArray uploadTemporaryName(const QByteArray& name, const QByteArray& tag = {});
bool isUploadTemporaryName(const QByteArray& name);
// The name an upload temporary stands for; empty when it is none.
QByteArray uploadTemporaryTarget(const QByteArray& name);
// A temporary's tag; empty for an untagged one or what is no temporary.
QByteArray uploadTemporaryTag(const QByteArray& name);
// A new tag for one upload of bytes of this version (8 hex digits), and
// whether a tag was made for that version.
QByteArray newUploadTag(const QByteArray& version);
bool uploadTagOfVersion(const QByteArray& tag, const QByteArray& version);
// The version of a local file (its size, times and identity) and of bytes in
// memory: 8 hex digits; empty when the file can not be read.
QByteArray localFileVersion(const QString& path);
QByteArray contentVersion(const QByteArray& bytes);

// A time as MFMT and MDTM write it: "YYYYMMDDHHMMSS", UTC.
QByteArray ftpTimeText(qint64 utcSeconds);
// "YYYYMMDDHHMMSS" with an optional fraction, as MDTM answers and MLSD's
// modify fact gives; nothing when it is not a time.
std::optional<qint64> parseFtpTime(const QByteArray& text);
