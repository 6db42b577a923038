#pragma once

#include <QByteArray>
#include <utility>
#include <vector>

#include "remote/remote_item.h"

class ListingGrammar;

// The lines of a listing that should have named an entry but could not be
// read: their entries are missing from the list.
struct RejectedLines {
    int count = 0;
    QByteArray first;  // the first such line, as received, without its line end
};

// The items of one remote folder, sorted for display. A value type: copying the
// list copies the items.
class RemoteItemList {
public:
    using Items = std::vector<RemoteItem>;
    using const_iterator = Items::const_iterator;

    // Appends one item per recognised line of a listing (LIST lines, Unix- or
    // DOS-style, when unixGrammar is set, MLSD lines otherwise), then sorts.
    // True when the list holds at least one item afterwards. Lines that name no
    // entry (summaries, "." and "..") are skipped; lines that should have named
    // one but could not be read are counted in `rejected` when given.
    bool parse(const QByteArray& text, bool unixGrammar, RejectedLines* rejected = nullptr);
    bool parse(const QByteArray& text, const ListingGrammar& grammar,
               RejectedLines* rejected = nullptr);

    // Folders, links, block devices, character devices, files, anything else;
    // by name without regard to ASCII case within a kind. Equal keys keep their
    // order.
    void sort();
    void clear() { items_.clear(); }
    void append(RemoteItem item) { items_.push_back(std::move(item)); }

    bool equal(const RemoteItemList& other) const { return items_ == other.items_; }
    bool operator==(const RemoteItemList& other) const { return equal(other); }

    // Lookups by exact name return the first match; 0 / nullptr / -1 when absent.
    char kindOf(const QByteArray& name) const;
    const RemoteItem* itemOf(const QByteArray& name) const;
    int indexOf(const QByteArray& name, bool exact) const;

    int countFolders() const;
    int countNonFolders() const;
    bool hasFolder() const;

    // Keeps only the items whose kind and exact name match one of the keys;
    // returns the number of items removed.
    int retainOnly(const std::vector<std::pair<char, QByteArray>>& keys);

    int size() const { return int(items_.size()); }
    bool isEmpty() const { return items_.empty(); }
    const RemoteItem& at(int i) const { return items_.at(size_t(i)); }
    const_iterator begin() const { return items_.begin(); }
    const_iterator end() const { return items_.end(); }
    const Items& items() const { return items_; }

private:
    Items items_;
};
