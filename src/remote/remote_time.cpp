#include "remote/remote_time.h"

#include <QDateTime>
#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <vector>

std::optional<ListedTime> listedTime(const RemoteItem& item, bool mlsd, qint64 listOffset,
                                     qint64 nowUtc) {
    int year = item.year;
    if (year < 0 && !mlsd && !item.time.isEmpty() && item.month > 0 && item.day > 0) {
        // "Dec  6 15:14": within the last months, as the server's clock reads.
        const qint64 now = (nowUtc >= 0 ? nowUtc : QDateTime::currentSecsSinceEpoch()) + listOffset;
        const QDate today = QDateTime::fromSecsSinceEpoch(now, QTimeZone::utc()).date();
        year = today.year();
        if (QDate(year, item.month, item.day) > today.addDays(1))
            --year;
    }
    const QDate date(year, item.month, item.day);
    if (year < 0 || item.month < 0 || item.day < 0 || !date.isValid())
        return std::nullopt;
    int h = 0, m = 0, s = 0;
    qint64 precision = 86400;
    const QList<QByteArray> parts = item.time.split(':');
    if (!item.time.isEmpty()) {
        bool ok = true;
        h = parts.value(0).toInt(&ok);
        if (ok && parts.size() > 1)
            m = parts.value(1).toInt(&ok);
        if (ok && parts.size() > 2)
            s = parts.value(2).toInt(&ok);
        if (!ok || !QTime(h, m, s).isValid())
            return std::nullopt;
        precision = parts.size() > 2 ? 1 : parts.size() > 1 ? 60 : 3600;
    }
    ListedTime t;
    t.utc = QDateTime(date, QTime(h, m, s), QTimeZone::utc()).toSecsSinceEpoch();
    if (!mlsd)
        t.utc -= listOffset;
    t.precision = precision;
    return t;
}

std::optional<qint64> listTimeOffset(const RemoteItemList& listed, const RemoteItemList& facts) {
    std::vector<qint64> offsets;
    for (const RemoteItem& l : listed) {
        if (l.kind != '-')
            continue;
        const std::optional<RemoteItem> f = facts.itemOf(l.name);
        if (!f)
            continue;
        const std::optional<ListedTime> local = listedTime(l, false);
        const std::optional<ListedTime> utc = listedTime(*f, true);
        if (!local || !utc || local->precision != 60 || utc->precision > 60)
            continue;
        // The listed minute holds the true time: half a minute in, on average.
        const double delta = double(local->utc + 30 - utc->utc);
        offsets.push_back(qint64(std::lround(delta / 900.0)) * 900);
    }
    if (offsets.empty())
        return std::nullopt;
    std::nth_element(offsets.begin(), offsets.begin() + offsets.size() / 2, offsets.end());
    return offsets[offsets.size() / 2];
}
