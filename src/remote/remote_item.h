#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <concepts>
#include <type_traits>

// One entry of a remote folder, as parsed from a LIST or MLSD line. Texts keep
// the server's bytes unchanged; numbers the listing did not give stay -1. The
// fields are written once for both spellings: RemoteItem owns its texts,
// RemoteItemView reads them where a list stores them.
template <class Text>
struct BasicRemoteItem {
    char kind = 0;     // 'd' folder, '-' file, 'l' link, 'c'/'b' devices
    Text permissions;  // nine characters such as "rwxr-xr-x", or empty
    Text time;         // "HH", "HH:MM" or "HH:MM:SS" as listed, or empty
    Text linkTarget;   // links only, as listed
    Text name;
    qint64 size = 0;
    int year = -1;
    int month = -1;
    int day = -1;
    int links = -1;
    Text owner;
    Text group;
    Text unique;  // MLSD "unique" fact: one value per file or folder on the server

    bool isFolder() const { return kind == 'd'; }

    bool operator==(const BasicRemoteItem&) const = default;

    // The same entry with every text passed through `convert`; the only place
    // besides the list above that names each field, in the same order.
    template <class Convert>
    auto withTexts(Convert convert) const
        -> BasicRemoteItem<std::invoke_result_t<Convert, const Text&>> {
        return {kind,
                convert(permissions),
                convert(time),
                convert(linkTarget),
                convert(name),
                size,
                year,
                month,
                day,
                links,
                convert(owner),
                convert(group),
                convert(unique)};
    }

    // A copy that owns its texts.
    BasicRemoteItem<QByteArray> toItem() const requires std::same_as<Text, QByteArrayView> {
        return withTexts([](QByteArrayView t) { return t.toByteArray(); });
    }
    // The fields of an item held on its own (valid while it lives unchanged).
    static BasicRemoteItem of(
        const BasicRemoteItem<QByteArray>& item) requires std::same_as<Text, QByteArrayView> {
        return item.withTexts([](const QByteArray& t) { return QByteArrayView(t); });
    }
};

using RemoteItem = BasicRemoteItem<QByteArray>;
// An entry read where it is stored: no copy is made, and the texts stay valid
// while what they come from is neither changed nor destroyed.
using RemoteItemView = BasicRemoteItem<QByteArrayView>;

// Display order of kinds: folders, links, block devices, character devices,
// files, then anything else.
int KindSortRank(char kind);
