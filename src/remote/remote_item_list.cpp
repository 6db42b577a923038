#include "remote/remote_item_list.h"

#include <algorithm>
#include <cstring>

#include "remote/ascii_text.h"
#include "remote/mlsd_listing_grammar.h"
#include "remote/per_line_listing_grammar.h"

bool RemoteItemList::parse(const QByteArray& text, bool unixGrammar, RejectedLines* rejected) {
    if (unixGrammar)
        return parse(text, PerLineListingGrammar(), rejected);
    return parse(text, MlsdListingGrammar(), rejected);
}

bool RemoteItemList::parse(const QByteArray& text, const ListingGrammar& grammar,
                           RejectedLines* rejected) {
    // A last line without a line feed is still a line: servers that omit the
    // final line end must not lose their last entry.
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype lineFeed = text.indexOf('\n', start);
        const qsizetype end = lineFeed < 0 ? text.size() : lineFeed;
        QByteArray line = text.mid(start, end - start);
        line.replace('\r', ' ');
        ParsedLine parsed = grammar.readLine(line);
        if (parsed.outcome == LineOutcome::Entry) {
            items_.push_back(std::move(parsed.item));
        } else if (parsed.outcome == LineOutcome::NotUnderstood && rejected) {
            if (rejected->count++ == 0)
                rejected->first = line;
        }
        if (lineFeed < 0)
            break;
        start = lineFeed + 1;
    }
    sort();
    return !items_.empty();
}

void RemoteItemList::sort() {
    // The keys (kind rank, name folded to lower case) are made once per item,
    // not in every comparison; the sort then moves small records and compares
    // folded bytes directly. Ties keep the listing's order.
    struct Key {
        int rank;
        QByteArray folded;
        size_t index;
    };
    std::vector<Key> keys;
    keys.reserve(items_.size());
    for (size_t i = 0; i < items_.size(); ++i) {
        const QByteArray& name = items_[i].name;
        QByteArray folded(name.size(), Qt::Uninitialized);
        char* out = folded.data();
        for (qsizetype c = 0; c < name.size(); ++c)
            out[c] = AsciiLower(name[c]);
        keys.push_back({KindSortRank(items_[i].kind), std::move(folded), i});
    }
    std::stable_sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
        if (a.rank != b.rank)
            return a.rank < b.rank;
        // Unsigned bytes, as CompareNoCase compares them.
        const int c = std::memcmp(a.folded.constData(), b.folded.constData(),
                                  size_t(qMin(a.folded.size(), b.folded.size())));
        if (c != 0)
            return c < 0;
        return a.folded.size() < b.folded.size();
    });
    Items sorted;
    sorted.reserve(items_.size());
    for (const Key& key : keys)
        sorted.push_back(std::move(items_[key.index]));
    items_ = std::move(sorted);
}

char RemoteItemList::kindOf(const QByteArray& name) const {
    const RemoteItem* item = itemOf(name);
    return item ? item->kind : 0;
}

const RemoteItem* RemoteItemList::itemOf(const QByteArray& name) const {
    const int i = indexOf(name, true);
    return i < 0 ? nullptr : &items_[size_t(i)];
}

int RemoteItemList::indexOf(const QByteArray& name, bool exact) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        const QByteArray& candidate = items_[i].name;
        if (exact ? candidate == name : EqualsNoCase(candidate, name))
            return int(i);
    }
    return -1;
}

int RemoteItemList::countFolders() const {
    return int(std::count_if(items_.begin(), items_.end(),
                             [](const RemoteItem& item) { return item.isFolder(); }));
}

int RemoteItemList::countNonFolders() const {
    return size() - countFolders();
}

bool RemoteItemList::hasFolder() const {
    return std::any_of(items_.begin(), items_.end(),
                       [](const RemoteItem& item) { return item.isFolder(); });
}

int RemoteItemList::retainOnly(const std::vector<std::pair<char, QByteArray>>& keys) {
    std::vector<std::pair<char, QByteArray>> sorted = keys;
    std::sort(sorted.begin(), sorted.end());
    const auto removed = std::erase_if(items_, [&sorted](const RemoteItem& item) {
        return !std::binary_search(sorted.begin(), sorted.end(),
                                   std::pair<char, QByteArray>(item.kind, item.name));
    });
    return int(removed);
}
