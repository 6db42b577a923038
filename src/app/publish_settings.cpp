#include "app/publish_settings.h"

#include "app/settings_archive.h"
#include "app/settings_file.h"

#include <QRegularExpression>

namespace {

bool sameServer(const ListTimeOffset& o, const QString& host, int port) {
    return o.host.compare(host, Qt::CaseInsensitive) == 0 && o.port == port;
}

bool flag(SettingsArchive& a, SettingsArchive::Direction d, bool& value) {
    quint8 byte = value ? 1 : 0;
    if (!a.byteField(d, byte))
        return false;
    value = byte != 0;
    return true;
}

}  // namespace

std::optional<qint32> PublishSettings::offsetFor(const QString& host, int port) const {
    for (const ListTimeOffset& o : offsets)
        if (sameServer(o, host, port))
            return o.seconds;
    return std::nullopt;
}

void PublishSettings::setOffset(const QString& host, int port, qint32 seconds) {
    for (ListTimeOffset& o : offsets) {
        if (sameServer(o, host, port)) {
            o.seconds = seconds;
            return;
        }
    }
    offsets.push_back({host, qint32(port), seconds});
}

void PublishSettings::clearOffset(const QString& host, int port) {
    std::erase_if(offsets, [&](const ListTimeOffset& o) { return sameServer(o, host, port); });
}

QByteArray PublishSettings::serialize() const {
    SettingsArchive a;
    constexpr auto kWrite = SettingsArchive::Direction::Write;
    PublishSettings copy = *this;
    flag(a, kWrite, copy.options.atomic);
    flag(a, kWrite, copy.options.keepTimes);
    flag(a, kWrite, copy.options.verify);
    flag(a, kWrite, copy.compareDates);
    qint32 count = qint32(copy.offsets.size());
    a.int32Field(kWrite, count);
    for (ListTimeOffset& o : copy.offsets) {
        a.wideText(kWrite, o.host);
        a.int32Field(kWrite, o.port);
        a.int32Field(kWrite, o.seconds);
    }
    return a.data();
}

bool PublishSettings::parse(const QByteArray& data) {
    *this = PublishSettings();
    SettingsArchive a(data);
    constexpr auto kRead = SettingsArchive::Direction::Read;
    if (!flag(a, kRead, options.atomic) || !flag(a, kRead, options.keepTimes) ||
        !flag(a, kRead, options.verify) || !flag(a, kRead, compareDates))
        return false;
    qint32 count = 0;
    if (!a.int32Field(kRead, count) || count < 0)
        return false;
    // The count is not trusted: entries are taken only while bytes remain.
    for (qint32 i = 0; i < count; ++i) {
        ListTimeOffset o;
        if (!a.wideText(kRead, o.host) || !a.int32Field(kRead, o.port) ||
            !a.int32Field(kRead, o.seconds))
            return false;
        offsets.push_back(std::move(o));
    }
    return a.remaining() == 0;
}

bool LoadPublishSettings(PublishSettings& settings, const QString& path) {
    settings = PublishSettings();
    const std::optional<QByteArray> data = SettingsFile::read(path);
    if (!data)
        return true;
    return settings.parse(*data);
}

bool SavePublishSettings(const PublishSettings& settings, const QString& path, QString* error) {
    SettingsFile::SaveOptions options;
    options.error = error;
    return SettingsFile::save(path, settings.serialize(), options);
}

PublishSettings MergePublishSettings(const PublishSettings& onDisk, const PublishSettings& base,
                                     const PublishSettings& mine) {
    PublishSettings result = onDisk;
    const auto take = [](bool now, bool was, bool& into) {
        if (now != was)
            into = now;
    };
    take(mine.options.atomic, base.options.atomic, result.options.atomic);
    take(mine.options.keepTimes, base.options.keepTimes, result.options.keepTimes);
    take(mine.options.verify, base.options.verify, result.options.verify);
    take(mine.compareDates, base.compareDates, result.compareDates);
    const auto follow = [&](const ListTimeOffset& o) {
        const std::optional<qint32> now = mine.offsetFor(o.host, o.port);
        if (now == base.offsetFor(o.host, o.port))
            return;
        if (now)
            result.setOffset(o.host, o.port, *now);
        else
            result.clearOffset(o.host, o.port);
    };
    for (const ListTimeOffset& o : base.offsets)
        follow(o);
    for (const ListTimeOffset& o : mine.offsets)
        follow(o);
    return result;
}

std::optional<qint32> parseTimeOffset(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^([+-]?)(\\d{1,2})(?::(\\d{2}))?$"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const int hours = m.captured(2).toInt();
    const int minutes = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
    if (hours > 24 || minutes > 59 || (hours == 24 && minutes > 0))
        return std::nullopt;
    const qint32 seconds = hours * 3600 + minutes * 60;
    return m.captured(1) == QLatin1String("-") ? -seconds : seconds;
}

QString timeOffsetText(qint32 seconds) {
    const qint32 a = seconds < 0 ? -seconds : seconds;
    return QStringLiteral("%1%2:%3")
        .arg(seconds < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(a / 3600, 2, 10, QLatin1Char('0'))
        .arg((a % 3600) / 60, 2, 10, QLatin1Char('0'));
}
