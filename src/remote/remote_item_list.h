#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSharedDataPointer>
#include <iterator>
#include <memory>
#include <optional>
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

// The items of one remote folder, sorted for display. A value type: copying a
// list shares its storage until one of the copies changes, so views and
// actions may each hold the listing without a second copy of it in memory.
// Every text of a listing is kept in one byte buffer; texts that repeat from
// entry to entry (permissions, time, owner, group) are kept there once.
class RemoteItemList {
public:
    RemoteItemList();
    RemoteItemList(const RemoteItemList&);
    RemoteItemList(RemoteItemList&&) noexcept;
    RemoteItemList& operator=(const RemoteItemList&);
    RemoteItemList& operator=(RemoteItemList&&) noexcept;
    ~RemoteItemList();

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
    void clear();
    void append(const RemoteItem& item);

    bool equal(const RemoteItemList& other) const;
    bool operator==(const RemoteItemList& other) const { return equal(other); }

    // Lookups by exact name find the first match; 0 / nothing / -1 when absent.
    char kindOf(QByteArrayView name) const;
    std::optional<RemoteItem> itemOf(QByteArrayView name) const;
    bool contains(QByteArrayView name) const { return indexOf(name, true) >= 0; }
    int indexOf(QByteArrayView name, bool exact) const;

    int countFolders() const;
    int countNonFolders() const;
    bool hasFolder() const;

    // Keeps only the items whose kind and exact name match one of the keys;
    // returns the number of items removed.
    int retainOnly(const std::vector<std::pair<char, QByteArray>>& keys);

    int size() const;
    bool isEmpty() const { return size() == 0; }
    // A copy of one item.
    RemoteItem at(int i) const { return view(i).toItem(); }
    // One item in place, and its most asked fields.
    RemoteItemView view(int i) const;
    char kindAt(int i) const;
    QByteArrayView nameAt(int i) const;
    std::vector<RemoteItem> toVector() const;

    // Walks the items as copies (`for (const RemoteItem& item : list)`).
    class const_iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = RemoteItem;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = RemoteItem;

        const_iterator() = default;
        const_iterator(const RemoteItemList* list, int i) : list_(list), i_(i) {}
        RemoteItem operator*() const { return list_->at(i_); }
        const_iterator& operator++() {
            ++i_;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++i_;
            return before;
        }
        const_iterator& operator--() {
            --i_;
            return *this;
        }
        const_iterator& operator+=(difference_type n) {
            i_ += int(n);
            return *this;
        }
        const_iterator operator+(difference_type n) const { return {list_, i_ + int(n)}; }
        difference_type operator-(const const_iterator& other) const { return i_ - other.i_; }
        RemoteItem operator[](difference_type n) const { return list_->at(i_ + int(n)); }
        bool operator==(const const_iterator& other) const { return i_ == other.i_; }
        bool operator!=(const const_iterator& other) const { return i_ != other.i_; }
        bool operator<(const const_iterator& other) const { return i_ < other.i_; }

    private:
        const RemoteItemList* list_ = nullptr;
        int i_ = 0;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    // Bytes held for this list's items (for the memory figures).
    qsizetype storageBytes() const;

    struct Data;

private:
    QSharedDataPointer<Data> d_;
};

// A listing held by several owners at once (the tree node, the list, an
// action), none of which changes it.
using SharedRemoteItems = std::shared_ptr<const RemoteItemList>;
