#include "remote/remote_time.h"

#include <QDateTime>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

qint64 at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), QTimeZone::utc()).toSecsSinceEpoch();
}

RemoteItem item(const QByteArray& name, int year, int month, int day, const QByteArray& time) {
    RemoteItem i;
    i.kind = '-';
    i.name = name;
    i.year = year;
    i.month = month;
    i.day = day;
    i.time = time;
    return i;
}

}  // namespace

TEST(RemoteTime, WhatAListingTellsOfATime) {
    const qint64 now = at(2025, 1, 3, 12);
    struct Case {
        const char* what;
        RemoteItem item;
        bool mlsd;
        qint64 offset;
        std::optional<ListedTime> expected;
    };
    const Case cases[] = {
        {"MLSD to the second", item("a", 2024, 5, 6, "07:08:09"), true, 3600,
         ListedTime{at(2024, 5, 6, 7, 8, 9), 1}},
        {"LIST to the minute, local time", item("a", 2024, 5, 6, "07:08"), false, 3600,
         ListedTime{at(2024, 5, 6, 6, 8), 60}},
        {"LIST to the day", item("a", 2019, 5, 6, ""), false, 0, ListedTime{at(2019, 5, 6), 86400}},
        {"recent LIST without a year: this year", item("a", -1, 1, 2, "10:00"), false, 0,
         ListedTime{at(2025, 1, 2, 10), 60}},
        {"... or last year when it would lie ahead", item("a", -1, 12, 30, "10:00"), false, 0,
         ListedTime{at(2024, 12, 30, 10), 60}},
        {"no date", item("a", -1, -1, -1, ""), true, 0, std::nullopt},
        {"no such day", item("a", 2023, 2, 29, "10:00:00"), true, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(listedTime(c.item, c.mlsd, c.offset, now), c.expected);
    }
}

TEST(RemoteTime, OffsetFromTheSameFolderListedBothWays) {
    RemoteItemList list, facts;
    // Two hours ahead of UTC, the minutes cut off.
    list.append(item("a", 2024, 5, 6, "09:08"));
    facts.append(item("a", 2024, 5, 6, "07:08:59"));
    list.append(item("b", 2024, 5, 6, "11:30"));
    facts.append(item("b", 2024, 5, 6, "09:30:00"));
    // Older files show no time: they tell nothing.
    list.append(item("c", 2019, 1, 1, ""));
    facts.append(item("c", 2019, 1, 1, "03:00:00"));
    EXPECT_EQ(listTimeOffset(list, facts), 7200);

    RemoteItemList older;
    older.append(item("c", 2019, 1, 1, ""));
    EXPECT_FALSE(listTimeOffset(older, facts));
}
