#pragma once

#include "session/publish_plan.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// A server's LIST times: its local time minus UTC, in seconds.
struct ListTimeOffset {
    QString host;
    qint32 port = 21;
    qint32 seconds = 0;

    bool operator==(const ListTimeOffset&) const = default;
};

// The publishing options of the window and the servers' LIST time offsets,
// kept in "publish.set" beside the other settings files, whose layouts stay
// as they are: bytes atomic, keep times, verify and compare dates, then int32
// count and per server the host (wide text), the port and the offset (int32).
// Little-endian, as every settings file; saved atomically.
struct PublishSettings {
    static QString fileName() { return QStringLiteral("publish.set"); }

    PublishOptions options = defaults();
    bool compareDates = false;
    std::vector<ListTimeOffset> offsets;

    static PublishOptions defaults() {
        PublishOptions o;
        o.atomic = true;
        o.keepTimes = true;
        return o;
    }

    // Offsets belong to a server (its clock), whichever site reaches it.
    std::optional<qint32> offsetFor(const QString& host, int port) const;
    void setOffset(const QString& host, int port, qint32 seconds);
    void clearOffset(const QString& host, int port);

    QByteArray serialize() const;
    // False when the bytes were cut short or malformed; what was read whole is
    // kept, the rest stays at its defaults.
    bool parse(const QByteArray& data);

    bool operator==(const PublishSettings&) const = default;
};

// A missing file gives the defaults (true); a damaged one what could be read
// (false).
bool LoadPublishSettings(PublishSettings& settings, const QString& path);
bool SavePublishSettings(const PublishSettings& settings, const QString& path,
                         QString* error = nullptr);

// Another window or velmora-cli may have saved since `base` was loaded: what
// `mine` changed since then wins, everything else is taken from the file.
PublishSettings MergePublishSettings(const PublishSettings& onDisk, const PublishSettings& base,
                                     const PublishSettings& mine);

// "+02:00", "-05:30", "0" and whole hours ("+2") as seconds; nothing when the
// text is none of these or beyond a day.
std::optional<qint32> parseTimeOffset(const QString& text);
QString timeOffsetText(qint32 seconds);
