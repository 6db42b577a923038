#include "fuzz_check.h"
#include "fuzz_targets.h"

#include "remote/ascii_text.h"
#include "remote/local_name_guard.h"
#include "remote/per_line_listing_grammar.h"
#include "remote/remote_item_list.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// The order the list promises, written out plainly: kind rank, then the name
// with ASCII letters folded, byte by byte unsigned, a shorter name first.
bool displayOrder(const RemoteItem& a, const RemoteItem& b) {
    const int ra = KindSortRank(a.kind), rb = KindSortRank(b.kind);
    if (ra != rb)
        return ra < rb;
    const qsizetype n = qMin(a.name.size(), b.name.size());
    for (qsizetype i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(AsciiLower(a.name[i]));
        const auto cb = static_cast<unsigned char>(AsciiLower(b.name[i]));
        if (ca != cb)
            return ca < cb;
    }
    return a.name.size() < b.name.size();
}

// Hours, minutes and seconds as listed: digits, at most two colons.
bool isTimeText(const QByteArray& t) {
    if (t.isEmpty())
        return true;
    if (t.count(':') > 2 || !IsDigit(t.front()) || !IsDigit(t.back()))
        return false;
    return std::all_of(t.begin(), t.end(), [](char c) { return IsDigit(c) || c == ':'; });
}

void checkItem(const RemoteItem& item, const QByteArray& text) {
    // A name is the server's bytes, one entry of the folder.
    FUZZ_CHECK(!item.name.isEmpty());
    FUZZ_CHECK(item.name != "." && item.name != "..");
    FUZZ_CHECK(text.contains(item.name));
    FUZZ_CHECK(!item.name.contains('\n') && !item.name.contains('\r') && !item.name.contains('\0'));
    // The guard lets through only names that stay inside the chosen folder,
    // also once they are turned into a local path.
    if (isSafeLocalName(item.name)) {
        FUZZ_CHECK(!item.name.contains('/') && !item.name.contains('\0'));
        const QString local = localNameOf(item.name);
        FUZZ_CHECK(!local.isEmpty() && !local.contains(QLatin1Char('/')) &&
                   !local.contains(QChar(0)));
        FUZZ_CHECK(local != QLatin1String(".") && local != QLatin1String(".."));
    }
    FUZZ_CHECK(item.permissions.isEmpty() || item.permissions.size() == 9);
    FUZZ_CHECK(isTimeText(item.time));
    // Date fields are the numbers as listed (the views judge their range), or
    // -1 when not given.
    FUZZ_CHECK(item.year >= -1 && item.month >= -1 && item.day >= -1);
    FUZZ_CHECK(item.size >= 0);
    FUZZ_CHECK(item.linkTarget.isEmpty() || item.kind == 'l');
}

// Parses the whole text through the list, then checks it against the
// grammar line by line: same entries, nothing dropped without a count, and
// in the documented order with ties in listing order.
void checkListing(const QByteArray& text, const ListingGrammar& grammar) {
    RemoteItemList list;
    RejectedLines rejected;
    const bool any = list.parse(text, grammar, &rejected);
    FUZZ_CHECK(any == !list.isEmpty());

    std::vector<RemoteItem> expected;
    int notUnderstood = 0;
    QByteArray firstRejected;
    int lines = 0;
    // CR LF ends lines when at least half the line feeds have a CR before them.
    const qsizetype feeds = text.count('\n');
    const qsizetype crLfs = text.count("\r\n");
    const bool crLf = crLfs > 0 && 2 * crLfs >= feeds;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype lf = crLf ? text.indexOf("\r\n", start) : text.indexOf('\n', start);
        qsizetype end = lf < 0 ? text.size() : lf;
        if (lf < 0 && crLf && end > start && text[end - 1] == '\r')
            --end;
        const QByteArray line = text.mid(start, end - start);
        ++lines;
        ParsedLine parsed = grammar.read(line);
        if (parsed.outcome == LineOutcome::Entry)
            expected.push_back(std::move(parsed.item));
        else if (parsed.outcome == LineOutcome::NotUnderstood && notUnderstood++ == 0)
            firstRejected = line;
        if (lf < 0)
            break;
        start = lf + (crLf ? 2 : 1);
    }
    FUZZ_CHECK(rejected.count == notUnderstood);
    FUZZ_CHECK(rejected.first == firstRejected);
    FUZZ_CHECK(list.size() + rejected.count <= lines);

    for (const RemoteItem& item : list)
        checkItem(item, text);

    std::stable_sort(expected.begin(), expected.end(), displayOrder);
    FUZZ_CHECK(list.toVector() == expected);

    // Sorting a sorted list changes nothing.
    RemoteItemList again = list;
    again.sort();
    FUZZ_CHECK(again == list);
    // And the order holds between every pair of neighbours.
    for (int i = 1; i < list.size(); ++i)
        FUZZ_CHECK(!displayOrder(list.at(i), list.at(i - 1)));
}

}  // namespace

// Input: a LIST reply as the data connection delivers it.
int fuzzUnixListing(const uint8_t* data, size_t size) {
    checkListing(fuzzBytes(data, size), UnixListingGrammar());
    return 0;
}

// Input: an MLSD reply.
int fuzzMlsdListing(const uint8_t* data, size_t size) {
    checkListing(fuzzBytes(data, size), MlsdListingGrammar());
    return 0;
}

// Input: a LIST reply from a Windows server.
int fuzzDosListing(const uint8_t* data, size_t size) {
    checkListing(fuzzBytes(data, size), DosListingGrammar());
    return 0;
}

// Input: a listing of any style, read as LIST output is (the grammar chosen
// line by line) and as a saved listing is (MLSD facts too); both ways through
// the list's own entry.
int fuzzMixedListing(const uint8_t* data, size_t size) {
    const QByteArray text = fuzzBytes(data, size);
    checkListing(text, PerLineListingGrammar(false));
    checkListing(text, PerLineListingGrammar(true));
    RemoteItemList viaFlag;
    RemoteItemList viaGrammar;
    viaFlag.parse(text, true);
    viaGrammar.parse(text, PerLineListingGrammar());
    FUZZ_CHECK(viaFlag == viaGrammar);
    return 0;
}
