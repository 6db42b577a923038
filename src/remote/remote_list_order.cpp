#include "remote/remote_list_order.h"

#include <algorithm>

#include "remote/ascii_text.h"
#include "remote/remote_list_columns.h"

namespace {

// Seconds into the day of "HH", "HH:MM" or "HH:MM:SS"; 0 for anything else.
int SecondsOf(QByteArrayView time) {
    int seconds = 0;
    int part = 0;
    for (qsizetype i = 0; i < time.size() && part < 3; ++part) {
        int value = 0;
        int digits = 0;
        while (i < time.size() && IsDigit(time[i]) && digits < 2) {
            value = value * 10 + (time[i++] - '0');
            ++digits;
        }
        if (digits == 0)
            break;
        seconds += value * (part == 0 ? 3600 : part == 1 ? 60 : 1);
        if (i < time.size() && time[i] == ':')
            ++i;
        else
            break;
    }
    return seconds;
}

QByteArrayView ExtensionOf(const RemoteItemView& item) {
    if (item.kind != '-')
        return {};
    const qsizetype dot = item.name.lastIndexOf('.');
    return dot > 0 ? item.name.sliced(dot + 1) : QByteArrayView();
}

struct Key {
    int rank;
    int index;
    qint64 number;
    QByteArrayView first;
    QByteArrayView second;
};

}  // namespace

qint64 RemoteDateKey(const RemoteItemView& item, QDate today) {
    if (item.month < 1 || item.day < 1)
        return item.time.isEmpty() ? -1 : SecondsOf(item.time);
    int year = item.year;
    if (year < 0) {
        year = today.year();
        if (item.month > today.month() || (item.month == today.month() && item.day > today.day()))
            --year;
    }
    const qint64 day = (qint64(year) * 100 + item.month) * 100 + item.day;
    return day * 100000 + SecondsOf(item.time);
}

std::vector<int> RemoteListOrder(const RemoteItemList& items, ListSort sort, QDate today) {
    const auto column = RemoteListColumn(sort.column);
    const bool listingOrder = column == RemoteListColumn::Name ||
                              column == RemoteListColumn::Number || sort.column < 0 ||
                              sort.column >= kRemoteListColumnCount;
    if (listingOrder && !sort.descending)
        return {};
    const int n = items.size();
    std::vector<Key> keys(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const RemoteItemView item = items.view(i);
        Key& k = keys[size_t(i)];
        k.rank = KindSortRank(item.kind);
        k.index = i;
        switch (column) {
            case RemoteListColumn::Size:
                k.number = item.size;
                break;
            case RemoteListColumn::Modified:
                k.number = RemoteDateKey(item, today);
                break;
            case RemoteListColumn::Type:
                k.first = ExtensionOf(item);
                break;
            case RemoteListColumn::Permission:
                k.first = item.permissions;
                break;
            case RemoteListColumn::OwnerGroup:
                k.first = item.owner;
                k.second = item.group;
                break;
            default:
                // The listing is in name order within each kind already.
                k.number = i;
                break;
        }
    }
    const bool down = sort.descending;
    std::sort(keys.begin(), keys.end(), [down](const Key& a, const Key& b) {
        if (a.rank != b.rank)
            return a.rank < b.rank;
        int c = a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
        if (c == 0)
            c = CompareNoCase(a.first, b.first);
        if (c == 0)
            c = CompareNoCase(a.second, b.second);
        if (c != 0)
            return down ? c > 0 : c < 0;
        return a.index < b.index;
    });
    std::vector<int> order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        order[size_t(i)] = keys[size_t(i)].index;
    return order;
}
