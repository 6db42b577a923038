#pragma once

#include "remote/remote_item_list.h"

#include <optional>

// When a listed entry was last changed, as far as its listing tells: the
// first second it may have been (UTC) and how many seconds the listing leaves
// open after it.
struct ListedTime {
    qint64 utc = 0;
    qint64 precision = 1;

    bool operator==(const ListedTime&) const = default;
};

// MLSD's modify fact is UTC to the second. LIST shows the server's local time,
// to the minute for recent files and to the day for older ones; `listOffset`
// (the server's local time minus UTC, in seconds) turns it into UTC. A recent
// date without a year is the latest one not after now (`nowUtc`, -1: the
// clock's). Nothing when the entry has no whole date.
std::optional<ListedTime> listedTime(const RemoteItem& item, bool mlsd, qint64 listOffset = 0,
                                     qint64 nowUtc = -1);

// The server's local time minus UTC, found from the same folder listed by LIST
// and by MLSD: files listed to the minute by both, rounded to the quarter hour
// time zones come in. Nothing when no such file is there.
std::optional<qint64> listTimeOffset(const RemoteItemList& listed, const RemoteItemList& facts);
