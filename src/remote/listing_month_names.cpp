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

// The table's indices grouped by first byte, table order kept within a group,
// so that a position is compared only with the names that can start there.
struct LeadIndex {
    bool canLead[256] = {};  // the text's first byte, ASCII folded, may start a name
    unsigned char begin[257] = {};
    unsigned char order[kMonthNameCount] = {};
};

constexpr LeadIndex MakeLeadIndex() {
    LeadIndex index;
    int n = 0;
    for (int lead = 0; lead < 256; ++lead) {
        index.begin[lead] = static_cast<unsigned char>(n);
        for (int i = 0; i < kMonthNameCount; ++i) {
            if (static_cast<unsigned char>(kMonthNames[i].text[0]) == lead)
                index.order[n++] = static_cast<unsigned char>(i);
        }
    }
    index.begin[256] = static_cast<unsigned char>(n);
    for (const MonthName& month : kMonthNames) {
        const auto lead = static_cast<unsigned char>(month.text[0]);
        index.canLead[lead] = true;
        if (lead == 0xC3) {
            // The Latin-1 forms of the accented letter, either case.
            const auto letter = static_cast<unsigned char>(month.text[1]);
            index.canLead[(letter + 0x40) & 0xFF] = true;
            index.canLead[(letter + 0x20) & 0xFF] = true;
        }
    }
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
    // Most positions of a line start no month name: compare the first byte
    // before trying a name. Names starting with an accented letter (0xC3)
    // are always tried; their first byte varies with the encoding.
    const unsigned char first = static_cast<unsigned char>(AsciiLower(char(ByteAt(text, pos))));
    if (!kLeadIndex.canLead[first])
        return best;
    // The names led by the first byte and those led by an accented letter,
    // merged in table order: of equally long matches the first one counts.
    const unsigned char* a = kLeadIndex.order + kLeadIndex.begin[first];
    const unsigned char* aEnd = kLeadIndex.order + kLeadIndex.begin[first + 1];
    const unsigned char* b = kLeadIndex.order + kLeadIndex.begin[0xC3];
    const unsigned char* bEnd = first == 0xC3 ? b : kLeadIndex.order + kLeadIndex.begin[0xC3 + 1];
    // A plain second letter must match as it stands; only an accented one
    // has more than one form.
    const auto second = static_cast<unsigned char>(AsciiLower(char(ByteAt(text, pos + 1))));
    while (a != aEnd || b != bEnd) {
        const unsigned char i = (b == bEnd || (a != aEnd && *a < *b)) ? *a++ : *b++;
        const MonthName& month = kMonthNames[i];
        const auto wantSecond = static_cast<unsigned char>(month.text[1]);
        if (month.text[0] != '\xC3' && wantSecond != second && wantSecond != 0xC3)
            continue;
        const qsizetype length = MatchOne(text, pos, month.text);
        if (length > best.length && !IsLetterByte(ByteAt(text, pos + length)))
            best = {length, month.number};
    }
    return best;
}
