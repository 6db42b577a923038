#include "remote/remote_item_list.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "remote/ascii_text.h"
#include "remote/mlsd_listing_grammar.h"
#include "remote/per_line_listing_grammar.h"

namespace {

struct LineEnds {
    size_t lines = 1;
    bool crLf = false;
};

// Lines end with CR LF when most line feeds have a CR before them, as the
// protocol has it; otherwise with LF alone. A name holding a line feed can
// not tip the count in a listing of any length.
LineEnds CountLineEnds(const QByteArray& text) {
    LineEnds ends;
    size_t crLf = 0;
    const char* const begin = text.constData();
    const char* const end = begin + text.size();
    const char* p = begin;
    while ((p = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)))) != nullptr) {
        ++ends.lines;
        if (p > begin && p[-1] == '\r')
            ++crLf;
        ++p;
    }
    ends.crLf = crLf > 0 && 2 * crLf >= ends.lines - 1;
    return ends;
}

}  // namespace

// ----------------------------------------------------------------- storage

namespace {

struct Text {
    quint32 offset = 0;
    quint32 length = 0;
};

}  // namespace

// One entry: 64 bytes, its texts in the list's byte buffer.
struct Entry {
    qint64 size = 0;
    Text name;
    Text linkTarget;
    Text unique;
    // Pieces: texts that repeat down a listing, each kept once.
    quint32 permissions = 0;
    quint32 time = 0;
    quint32 owner = 0;
    quint32 group = 0;
    qint32 year = -1;
    qint32 links = -1;
    // Two-digit values at most from every grammar.
    qint16 month = -1;
    qint16 day = -1;
    char kind = 0;
};

struct RemoteItemList::Data : QSharedData {
    std::vector<Entry> entries;
    QByteArray bytes;
    // Piece 0 is the empty text.
    std::vector<Text> pieces{Text()};
    // Open addressing over the pieces by their bytes: piece index + 1, 0 free.
    std::vector<quint32> pieceTable;
    // The piece each field had in the entry before, with the data pointer of
    // the text it came from: listings repeat a field line after line, and a
    // grammar hands the same bytes back for a repeat.
    quint32 lastPiece[4] = {0, 0, 0, 0};
    const char* lastData[4] = {nullptr, nullptr, nullptr, nullptr};

    QByteArrayView text(Text t) const {
        return QByteArrayView(bytes.constData() + t.offset, t.length);
    }
    QByteArrayView piece(quint32 i) const { return text(pieces[i]); }

    Text store(QByteArrayView value) {
        Text t;
        t.offset = quint32(bytes.size());
        t.length = quint32(value.size());
        bytes.append(value.data(), value.size());
        return t;
    }

    quint32 intern(int field, const QByteArray& value) {
        if (value.isEmpty())
            return 0;
        if (value.constData() == lastData[field] &&
            piece(lastPiece[field]) == QByteArrayView(value))
            return lastPiece[field];
        const quint32 found = findOrAdd(value);
        lastPiece[field] = found;
        lastData[field] = value.constData();
        return found;
    }

    quint32 findOrAdd(QByteArrayView value) {
        if (pieceTable.size() < 2 * pieces.size() + 2)
            rehash(4 * pieces.size() + 16);
        const size_t mask = pieceTable.size() - 1;
        for (size_t i = qHash(value) & mask;; i = (i + 1) & mask) {
            if (pieceTable[i] == 0) {
                pieces.push_back(store(value));
                pieceTable[i] = quint32(pieces.size());
                return quint32(pieces.size() - 1);
            }
            if (piece(pieceTable[i] - 1) == value)
                return pieceTable[i] - 1;
        }
    }

    void rehash(size_t wanted) {
        size_t capacity = 16;
        while (capacity < wanted)
            capacity *= 2;
        pieceTable.assign(capacity, 0);
        const size_t mask = capacity - 1;
        for (quint32 p = 1; p < pieces.size(); ++p) {
            size_t i = qHash(piece(p)) & mask;
            while (pieceTable[i] != 0)
                i = (i + 1) & mask;
            pieceTable[i] = p + 1;
        }
    }

    void add(const RemoteItem& item) {
        Entry e;
        e.kind = item.kind;
        e.size = item.size;
        e.year = item.year;
        e.links = item.links;
        e.month = qint16(qBound(-32768, item.month, 32767));
        e.day = qint16(qBound(-32768, item.day, 32767));
        e.name = store(item.name);
        e.linkTarget = store(item.linkTarget);
        e.unique = store(item.unique);
        e.permissions = intern(0, item.permissions);
        e.time = intern(1, item.time);
        e.owner = intern(2, item.owner);
        e.group = intern(3, item.group);
        entries.push_back(e);
    }

    RemoteItemView view(const Entry& e) const {
        RemoteItemView v;
        v.kind = e.kind;
        v.permissions = piece(e.permissions);
        v.time = piece(e.time);
        v.linkTarget = text(e.linkTarget);
        v.name = text(e.name);
        v.size = e.size;
        v.year = e.year;
        v.month = e.month;
        v.day = e.day;
        v.links = e.links;
        v.owner = piece(e.owner);
        v.group = piece(e.group);
        v.unique = text(e.unique);
        return v;
    }
};

RemoteItemList::RemoteItemList() : d_(new Data) {}
RemoteItemList::RemoteItemList(const RemoteItemList&) = default;
RemoteItemList::RemoteItemList(RemoteItemList&& other) noexcept : d_(std::move(other.d_)) {
    other.d_ = new Data;
}
RemoteItemList& RemoteItemList::operator=(const RemoteItemList&) = default;
RemoteItemList& RemoteItemList::operator=(RemoteItemList&& other) noexcept {
    d_.swap(other.d_);
    return *this;
}
RemoteItemList::~RemoteItemList() = default;

// ----------------------------------------------------------------- parsing

bool RemoteItemList::parse(const QByteArray& text, bool unixGrammar, RejectedLines* rejected) {
    if (unixGrammar)
        return parse(text, PerLineListingGrammar(), rejected);
    return parse(text, MlsdListingGrammar(), rejected);
}

bool RemoteItemList::parse(const QByteArray& text, const ListingGrammar& grammar,
                           RejectedLines* rejected) {
    // A last line without a line end is still a line: servers that omit the
    // final line end must not lose their last entry. In a listing with CR LF
    // line ends a lone LF or CR is part of a line, which is then not
    // understood: a name is never cut in two or given back changed.
    const LineEnds ends = CountLineEnds(text);
    const bool crLf = ends.crLf;
    Data& d = *d_;
    const size_t before = d.entries.size();
    // Room for every line at once: no entry is moved while the list grows.
    // The texts of the entries are never longer than the lines they come from.
    d.entries.reserve(before + ends.lines);
    d.bytes.reserve(d.bytes.size() + text.size());
    // One buffer for every line: once the grammar is done with a line nothing
    // shares it any more, so the next line is copied in without allocating.
    QByteArray line;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype lineEnd = crLf ? text.indexOf("\r\n", start) : text.indexOf('\n', start);
        qsizetype end = lineEnd < 0 ? text.size() : lineEnd;
        // The last line of a CR LF listing may have lost only its LF.
        if (lineEnd < 0 && crLf && end > start && text[end - 1] == '\r')
            --end;
        line.resize(end - start);
        std::memcpy(line.data(), text.constData() + start, size_t(end - start));
        ParsedLine parsed = grammar.read(line);
        if (parsed.outcome == LineOutcome::Entry) {
            d.add(parsed.item);
        } else if (parsed.outcome == LineOutcome::NotUnderstood && rejected) {
            if (rejected->count++ == 0)
                rejected->first = line;
        }
        if (lineEnd < 0)
            break;
        start = lineEnd + (crLf ? 2 : 1);
    }
    // Give back what the reservations did not use; a shrinking reallocation
    // keeps the block where it is. The entries are only moved when most of
    // the lines gave none.
    d.bytes.squeeze();
    if (d.entries.capacity() > 2 * d.entries.size() + 64)
        d.entries.shrink_to_fit();
    sort();
    return !d.entries.empty();
}

// ----------------------------------------------------------------- order

void RemoteItemList::sort() {
    if (d_->entries.size() < 2)
        return;
    Data& d = *d_;
    // The keys (kind rank, the name's first sixteen bytes folded to lower
    // case as two numbers) are made once per item, not in every comparison;
    // only names that agree on those go to the bytes. Ties keep the listing's
    // order: the position is the last key, so an in-place sort gives the
    // stable order without a merge buffer.
    struct Key {
        quint64 head;  // first eight folded bytes, big-endian, zero-padded
        quint64 next;  // the eight after them
        quint32 index;
        quint32 rank;
    };
    const auto folded = [](QByteArrayView name, qsizetype from) {
        quint64 v = 0;
        const qsizetype end = qMin<qsizetype>(from + 8, name.size());
        for (qsizetype c = from; c < end; ++c)
            v |= quint64(static_cast<unsigned char>(AsciiLower(name[c]))) << (56 - 8 * (c - from));
        return v;
    };
    const size_t n = d.entries.size();
    std::vector<Key> keys(n);
    for (size_t i = 0; i < n; ++i) {
        const Entry& e = d.entries[i];
        const QByteArrayView name = d.text(e.name);
        keys[i] = {folded(name, 0), folded(name, 8), quint32(i), quint32(KindSortRank(e.kind))};
    }
    std::sort(keys.begin(), keys.end(), [&d](const Key& a, const Key& b) {
        if (a.rank != b.rank)
            return a.rank < b.rank;
        if (a.head != b.head)
            return a.head < b.head;
        if (a.next != b.next)
            return a.next < b.next;
        const int c =
            CompareNoCase(d.text(d.entries[a.index].name), d.text(d.entries[b.index].name));
        if (c != 0)
            return c < 0;
        return a.index < b.index;
    });
    // Puts the entries in key order in place, one cycle of the permutation
    // at a time: no second copy of the list.
    constexpr quint32 kDone = 0x80000000u;
    for (size_t i = 0; i < n; ++i) {
        if ((keys[i].index & kDone) || keys[i].index == i)
            continue;
        const Entry first = d.entries[i];
        size_t j = i;
        for (;;) {
            const size_t from = keys[j].index & ~kDone;
            keys[j].index |= kDone;
            if (from == i) {
                d.entries[j] = first;
                break;
            }
            d.entries[j] = d.entries[from];
            j = from;
        }
    }
}

void RemoteItemList::clear() {
    d_ = new Data;
}

void RemoteItemList::append(const RemoteItem& item) {
    d_->add(item);
}

bool RemoteItemList::equal(const RemoteItemList& other) const {
    if (d_ == other.d_)
        return true;
    if (size() != other.size())
        return false;
    for (int i = 0; i < size(); ++i) {
        if (view(i) != other.view(i))
            return false;
    }
    return true;
}

// ----------------------------------------------------------------- lookups

int RemoteItemList::size() const {
    return int(d_->entries.size());
}

RemoteItemView RemoteItemList::view(int i) const {
    return d_->view(d_->entries.at(size_t(i)));
}

char RemoteItemList::kindAt(int i) const {
    return d_->entries.at(size_t(i)).kind;
}

QByteArrayView RemoteItemList::nameAt(int i) const {
    return d_->text(d_->entries.at(size_t(i)).name);
}

std::vector<RemoteItem> RemoteItemList::toVector() const {
    std::vector<RemoteItem> items;
    items.reserve(size_t(size()));
    for (int i = 0; i < size(); ++i)
        items.push_back(at(i));
    return items;
}

qsizetype RemoteItemList::storageBytes() const {
    return qsizetype(d_->entries.capacity() * sizeof(Entry)) + d_->bytes.capacity() +
           qsizetype(d_->pieces.capacity() * sizeof(Text) +
                     d_->pieceTable.capacity() * sizeof(quint32));
}

char RemoteItemList::kindOf(QByteArrayView name) const {
    const int i = indexOf(name, true);
    return i < 0 ? 0 : kindAt(i);
}

std::optional<RemoteItem> RemoteItemList::itemOf(QByteArrayView name) const {
    const int i = indexOf(name, true);
    if (i < 0)
        return std::nullopt;
    return at(i);
}

int RemoteItemList::indexOf(QByteArrayView name, bool exact) const {
    const Data& d = *d_;
    for (size_t i = 0; i < d.entries.size(); ++i) {
        const QByteArrayView candidate = d.text(d.entries[i].name);
        if (exact ? candidate == name : EqualsNoCase(candidate, name))
            return int(i);
    }
    return -1;
}

int RemoteItemList::countFolders() const {
    return int(std::count_if(d_->entries.begin(), d_->entries.end(),
                             [](const Entry& e) { return e.kind == 'd'; }));
}

int RemoteItemList::countNonFolders() const {
    return size() - countFolders();
}

bool RemoteItemList::hasFolder() const {
    return std::any_of(d_->entries.begin(), d_->entries.end(),
                       [](const Entry& e) { return e.kind == 'd'; });
}

namespace {

// Plain byte order, unsigned.
bool ByteLess(QByteArrayView a, QByteArrayView b) {
    const int c = std::memcmp(a.data(), b.data(), size_t(qMin(a.size(), b.size())));
    return c != 0 ? c < 0 : a.size() < b.size();
}

}  // namespace

int RemoteItemList::retainOnly(const std::vector<std::pair<char, QByteArray>>& keys) {
    using Key = std::pair<char, QByteArrayView>;
    std::vector<Key> sorted;
    sorted.reserve(keys.size());
    for (const auto& [kind, name] : keys)
        sorted.emplace_back(kind, QByteArrayView(name));
    const auto less = [](const Key& a, const Key& b) {
        return a.first != b.first ? a.first < b.first : ByteLess(a.second, b.second);
    };
    std::sort(sorted.begin(), sorted.end(), less);
    Data& d = *d_;
    const auto removed = std::erase_if(d.entries, [&](const Entry& e) {
        return !std::binary_search(sorted.begin(), sorted.end(), Key(e.kind, d.text(e.name)), less);
    });
    return int(removed);
}
