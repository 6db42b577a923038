#include "remote/listing_month_names.h"

#include <iterator>

#include "remote/ascii_text.h"

namespace {

struct MonthName {
    const char* text;  // lower case, UTF-8
    int number;
};

// Grouped by month; the order within a group does not matter because the
// longest match wins.
constexpr MonthName kMonthNames[] = {
    {"jan", 1},        {"january", 1},   {"januar", 1},     {"jän", 1},        {"jänner", 1},
    {"janv", 1},       {"janvier", 1},   {"ene", 1},        {"enero", 1},      {"gen", 1},
    {"gennaio", 1},    {"januari", 1},   {"január", 1},     {"feb", 2},        {"february", 2},
    {"februar", 2},    {"févr", 2},      {"fevr", 2},       {"fév", 2},        {"février", 2},
    {"fevrier", 2},    {"febrero", 2},   {"febbraio", 2},   {"februari", 2},   {"febr", 2},
    {"február", 2},    {"mar", 3},       {"march", 3},      {"mär", 3},        {"märz", 3},
    {"mrz", 3},        {"mars", 3},      {"marzo", 3},      {"mrt", 3},        {"maart", 3},
    {"márc", 3},       {"március", 3},   {"apr", 4},        {"april", 4},      {"avr", 4},
    {"avril", 4},      {"abr", 4},       {"abril", 4},      {"aprile", 4},     {"ápr", 4},
    {"április", 4},    {"may", 5},       {"mai", 5},        {"mayo", 5},       {"mag", 5},
    {"maggio", 5},     {"mei", 5},       {"máj", 5},        {"május", 5},      {"jun", 6},
    {"june", 6},       {"juni", 6},      {"juin", 6},       {"junio", 6},      {"giu", 6},
    {"giugno", 6},     {"jún", 6},       {"június", 6},     {"jul", 7},        {"july", 7},
    {"juli", 7},       {"juil", 7},      {"juillet", 7},    {"julio", 7},      {"lug", 7},
    {"luglio", 7},     {"júl", 7},       {"július", 7},     {"aug", 8},        {"august", 8},
    {"août", 8},       {"aout", 8},      {"ago", 8},        {"agosto", 8},     {"augustus", 8},
    {"augusztus", 8},  {"sep", 9},       {"sept", 9},       {"september", 9},  {"septembre", 9},
    {"septiembre", 9}, {"set", 9},       {"setiembre", 9},  {"settembre", 9},  {"szept", 9},
    {"szeptember", 9}, {"oct", 10},      {"october", 10},   {"okt", 10},       {"oktober", 10},
    {"octobre", 10},   {"octubre", 10},  {"ott", 10},       {"ottobre", 10},   {"október", 10},
    {"nov", 11},       {"november", 11}, {"novembre", 11},  {"noviembre", 11}, {"dec", 12},
    {"december", 12},  {"dez", 12},      {"dezember", 12},  {"déc", 12},       {"décembre", 12},
    {"decembre", 12},  {"dic", 12},      {"diciembre", 12}, {"dicembre", 12},
};

constexpr int kMonthNameCount = int(std::size(kMonthNames));

// Names hold letters only and a match must not be followed by a letter, so a
// name matches only when it spans the whole run of letters at the position.
// The index keys the names by the byte the text starts with and the length of
// that run: the plain names of that letter in either case, and the names that
// start with an accented letter when the byte is that letter in UTF-8 or
// Latin-1; every accented letter is two bytes in UTF-8 and one in Latin-1.
// Table order is kept within a key, so the first of equal matches counts.
constexpr int kLongestRun = 12;
constexpr int kKeys = 256 * (kLongestRun + 1);
constexpr int kMaxIndexEntries = 3 * 2 * kMonthNameCount;

struct LeadIndex {
    unsigned short begin[kKeys + 1] = {};
    unsigned char order[kMaxIndexEntries] = {};
};

// The bytes a name can start with in the text: its letter in either case,
// or for an accented letter the UTF-8 lead byte and both Latin-1 forms. Fills
// `bytes` and gives their number.
constexpr int LeadBytes(const MonthName& month, int* bytes) {
    const auto lead = static_cast<unsigned char>(month.text[0]);
    if (lead != 0xC3) {
        bytes[0] = lead;
        bytes[1] = lead - 0x20;
        return 2;
    }
    const auto letter = static_cast<unsigned char>(month.text[1]);
    bytes[0] = 0xC3;
    bytes[1] = (letter + 0x40) & 0xFF;
    bytes[2] = (letter + 0x20) & 0xFF;
    return 3;
}

// Built by counting, so that compilers' limits on constant evaluation hold.
constexpr LeadIndex MakeLeadIndex() {
    LeadIndex index;
    int count[kKeys + 1] = {};
    const auto forEachKey = [](const MonthName& month, auto&& use) {
        int bytes = 0;
        int accents = 0;
        for (const char* c = month.text; *c; ++c) {
            ++bytes;
            accents += *c == '\xC3';
        }
        int leads[3] = {};
        const int leadCount = LeadBytes(month, leads);
        for (int l = 0; l < leadCount; ++l) {
            for (int run = bytes - accents; run <= bytes && run <= kLongestRun; ++run)
                use(leads[l] * (kLongestRun + 1) + run);
        }
    };
    for (const MonthName& month : kMonthNames)
        forEachKey(month, [&](int key) { ++count[key + 1]; });
    for (int key = 0; key < kKeys; ++key) {
        count[key + 1] += count[key];
        index.begin[key + 1] = static_cast<unsigned short>(count[key + 1]);
    }
    // Names in table order, each into its keys' next free places.
    for (int i = 0; i < kMonthNameCount; ++i)
        forEachKey(kMonthNames[i],
                   [&](int key) { index.order[count[key]++] = static_cast<unsigned char>(i); });
    return index;
}

constexpr LeadIndex kLeadIndex = MakeLeadIndex();

unsigned char ByteAt(QByteArrayView text, qsizetype i) {
    return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
}

bool IsLetterByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0x80;
}

// Bytes of `name` matched at `pos`, 0 when it does not match. The accented
// letters of the table are all two-byte UTF-8 sequences starting with 0xC3; the
// text may hold them so, or as the one Latin-1 byte (second byte + 0x40).
// Upper case is 0x20 below lower case in both encodings.
qsizetype MatchOne(QByteArrayView text, qsizetype pos, const char* name) {
    qsizetype i = pos;
    for (const char* n = name; *n; ++n) {
        const unsigned char want = static_cast<unsigned char>(*n);
        const unsigned char have = ByteAt(text, i);
        if (want == 0xC3) {
            const unsigned char letter = static_cast<unsigned char>(*++n);
            const unsigned char next = ByteAt(text, i + 1);
            if (have == 0xC3 && (next == letter || next == letter - 0x20)) {
                i += 2;
            } else if (have == letter + 0x40 || have == letter + 0x20) {
                i += 1;
            } else {
                return 0;
            }
            continue;
        }
        if (static_cast<unsigned char>(AsciiLower(char(have))) != want)
            return 0;
        ++i;
    }
    return i - pos;
}

}  // namespace

MonthNameMatch MatchMonthName(QByteArrayView text, qsizetype pos) {
    MonthNameMatch best;
    qsizetype run = 0;
    while (run <= kLongestRun && IsLetterByte(ByteAt(text, pos + run)))
        ++run;
    if (run > kLongestRun)
        return best;
    const int key = ByteAt(text, pos) * (kLongestRun + 1) + int(run);
    const unsigned char* end = kLeadIndex.order + kLeadIndex.begin[key + 1];
    for (const unsigned char* i = kLeadIndex.order + kLeadIndex.begin[key]; i != end; ++i) {
        const MonthName& month = kMonthNames[*i];
        const qsizetype length = MatchOne(text, pos, month.text);
        if (length > best.length && !IsLetterByte(ByteAt(text, pos + length)))
            best = {length, month.number};
    }
    return best;
}
