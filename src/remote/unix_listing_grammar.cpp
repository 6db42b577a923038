#include "remote/unix_listing_grammar.h"

#include <cstring>

#include "remote/ascii_text.h"

namespace {

struct MonthName {
    const char* text;
    int number;
};

constexpr MonthName kMonths[] = {
    {"jan", 1}, {"feb", 2},  {"mar", 3},  {"apr", 4},  {"may", 5},
    {"jun", 6}, {"june", 6}, {"jul", 7},  {"july", 7}, {"aug", 8},
    {"sep", 9}, {"sept", 9}, {"oct", 10}, {"nov", 11}, {"dec", 12},
};

bool IsTypeLetter(char c) {
    return c == '-' || c == 'b' || c == 'c' || c == 'd' || c == 'l';
}

// Upper-case S and T are set-id / sticky bits without the execute bit.
bool IsPermissionChar(char c) {
    switch (c) {
        case '-':
        case 'r':
        case 's':
        case 'w':
        case 'x':
        case 't':
        case 'S':
        case 'T':
            return true;
        default:
            return false;
    }
}

// Access-list, extended-attribute and security-context marks that ls writes
// after the permissions.
bool IsPermissionMark(char c) {
    return c == '+' || c == '@' || c == '.';
}

bool IsDateSeparator(char c) {
    return c == ' ' || c == '-' || c == '/';
}

// The working copy of one line. Reads outside the line give 0, which belongs to
// no character class, so the steps below never need their own bounds checks.
class Line {
public:
    explicit Line(QByteArray text) : text_(std::move(text)) {}

    qsizetype size() const { return text_.size(); }
    char at(qsizetype i) const { return (i >= 0 && i < text_.size()) ? text_[i] : '\0'; }
    QByteArray mid(qsizetype from, qsizetype to) const { return text_.mid(from, to - from); }
    QByteArrayView view(qsizetype from, qsizetype length) const {
        return QByteArrayView(text_).sliced(from, length);
    }

    void blank(qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to && i < text_.size(); ++i)
            text_[i] = ' ';
    }
    qsizetype skipBlanks(qsizetype i) const {
        while (IsBlank(at(i)))
            ++i;
        return i;
    }
    qsizetype skipDigits(qsizetype i) const {
        while (IsDigit(at(i)))
            ++i;
        return i;
    }
    qsizetype skipWord(qsizetype i) const {
        while (i < size() && !IsBlank(at(i)))
            ++i;
        return i;
    }
    qsizetype indexOf(const char* needle) const { return text_.indexOf(needle); }

private:
    QByteArray text_;
};

bool TakePermissions(Line& line, RemoteItem& item) {
    qsizetype pos = line.skipBlanks(0);
    while (pos < line.size()) {
        const qsizetype end = line.skipWord(pos);
        const qsizetype length = end - pos;
        const bool shapeFits =
            length == 10 || (length == 11 && IsPermissionMark(line.at(pos + 10)));
        if (shapeFits && end < line.size() && IsTypeLetter(line.at(pos))) {
            bool allPermissions = true;
            for (qsizetype i = pos + 1; i < pos + 10; ++i)
                allPermissions = allPermissions && IsPermissionChar(line.at(i));
            if (allPermissions) {
                item.kind = line.at(pos);
                item.permissions = line.mid(pos + 1, pos + 10);
                line.blank(pos, end);
                return true;
            }
        }
        pos = line.skipBlanks(end);
    }
    return false;
}

// A time of day stands at the first colon when the digits before that colon
// start after a blank; a colon elsewhere (inside a name) means "no time".
// `timeStart` gets where the time stood, or -1.
bool TakeTime(Line& line, RemoteItem& item, qsizetype* timeStart) {
    *timeStart = -1;
    const qsizetype colon = line.indexOf(":");
    if (colon <= 0)
        return true;
    qsizetype start = colon;
    while (IsDigit(line.at(start - 1)))
        --start;
    if (!IsBlank(line.at(start - 1)))
        return true;
    if (start == colon)
        return false;
    const qsizetype minutesEnd = line.skipDigits(colon + 1);
    if (minutesEnd == colon + 1)
        return false;
    qsizetype end = minutesEnd;
    if (line.at(minutesEnd) == ':') {
        end = line.skipDigits(minutesEnd + 1);
        if (end == minutesEnd + 1)
            return false;
    }
    if (!IsBlank(line.at(end)))
        return false;
    item.time = line.mid(start, end);
    line.blank(start, end);
    *timeStart = start;
    return true;
}

void TakeLinkTarget(Line& line, RemoteItem& item) {
    const qsizetype arrow = line.indexOf("->");
    if (arrow < 0)
        return;
    const qsizetype target = line.skipBlanks(arrow + 2);
    // The line's CR became a blank; trailing blanks are not part of the target.
    QByteArray text = line.mid(target, line.size());
    while (text.endsWith(' ') || text.endsWith('\t'))
        text.chop(1);
    item.linkTarget = text;
    line.blank(arrow, line.size());
}

struct MonthHit {
    qsizetype start = -1;
    qsizetype length = 0;
    int number = 0;
};

struct DateSpan {
    qsizetype start = 0;
    qsizetype end = 0;
};

struct DigitRun {
    qsizetype start = -1;
    qsizetype end = -1;
};

// The size stands directly before the date: a run of digits, blanks allowed in
// between, with a blank before the run. For devices that is the minor number.
DigitRun FindSizeBefore(const Line& line, qsizetype dateStart) {
    qsizetype end = dateStart;
    while (IsBlank(line.at(end - 1)))
        --end;
    qsizetype start = end;
    while (IsDigit(line.at(start - 1)))
        --start;
    if (start == end || !IsBlank(line.at(start - 1)))
        return {};
    return {start, end};
}

// One place in the line where a date could begin.
struct DateCandidate {
    MonthHit month;
    DateSpan span;
    int day = -1;
    int year = -1;
    // Has the shape ls writes: "Jan  5  2011", "Jan  5 10:30" or a numeric date.
    bool complete = false;
    // Some word (the owner at least) stands before the size.
    bool wordBeforeSize = false;
};

// "Jan  5 2011" or "Jan  5" (the time already blanked); day and year optional.
void ReadSpaceDate(const Line& line, qsizetype timeStart, DateCandidate& date) {
    date.span = {date.month.start, date.month.start + date.month.length};
    qsizetype p = line.skipBlanks(date.span.end);
    qsizetype q = line.skipDigits(p);
    if (q == p || line.at(q) != ' ')
        return;
    date.day = ParseDecimalSaturated(line.view(p, q - p));
    date.span.end = q;
    // The blanked time counts as blanks, so skipping past its start means only
    // blanks stood between the day and the time.
    const bool timeFollows = timeStart >= q && line.skipBlanks(q) > timeStart;
    p = line.skipBlanks(q);
    q = line.skipDigits(p);
    if (q > p && line.at(q) == ' ') {
        date.year = ParseDecimalSaturated(line.view(p, q - p));
        date.span.end = q;
    }
    date.complete = date.year >= 0 || timeFollows;
}

// "Jan-05-2012", "05-Jan-2012", "2012/Jan/05": at most two numbers around the
// month name, joined by one separator.
bool ReadNumericDate(const Line& line, char separator, DateCandidate& date) {
    const MonthHit& month = date.month;
    qsizetype runStart = month.start;
    while (IsDigit(line.at(runStart - 1)) || line.at(runStart - 1) == separator)
        --runStart;
    DateSpan span{month.start, month.start};
    if (runStart < month.start && (runStart == 0 || line.at(runStart - 1) == ' '))
        span.start = runStart;

    int numbers[2] = {-1, -1};
    int count = 0;
    int monthIndex = -1;
    qsizetype p = span.start;
    for (;;) {
        if (p == month.start) {
            monthIndex = count;
            p += month.length;
            if (line.at(p) == separator) {
                ++p;
                continue;
            }
            if (line.at(p) != ' ')
                return false;
            span.end = p;
            break;
        }
        const qsizetype q = line.skipDigits(p);
        if (q == p || count == 2)
            return false;
        numbers[count++] = ParseDecimalSaturated(line.view(p, q - p));
        if (line.at(q) == ' ') {
            span.end = q;
            break;
        }
        if (line.at(q) != separator)
            return false;
        p = q + 1;
    }

    if (monthIndex == 0) {
        date.day = numbers[0];
        date.year = numbers[1];
    } else if (monthIndex == 1 && count == 2) {
        if (numbers[0] <= 31 && numbers[1] > 31) {
            date.day = numbers[0];
            date.year = numbers[1];
        } else {
            date.year = numbers[0];
            date.day = numbers[1];
        }
    } else {
        return false;
    }
    date.span = span;
    date.complete = true;
    return true;
}

// Reads the date that the month name at `month` would begin; nothing when that
// date does not parse or no size stands before it.
std::optional<DateCandidate> ReadDateAt(const Line& line, const MonthHit& month,
                                        qsizetype timeStart) {
    DateCandidate date;
    date.month = month;
    const char before = line.at(month.start - 1);
    const char after = line.at(month.start + month.length);
    if (before == '-' || after == '-') {
        if (!ReadNumericDate(line, '-', date))
            return std::nullopt;
    } else if (before == '/' || after == '/') {
        if (!ReadNumericDate(line, '/', date))
            return std::nullopt;
    } else {
        ReadSpaceDate(line, timeStart, date);
    }
    const DigitRun size = FindSizeBefore(line, date.span.start);
    if (size.start < 0)
        return std::nullopt;
    date.wordBeforeSize = line.skipBlanks(0) < size.start;
    return date;
}

// Month names may also stand in the owner, the group or the name ("may",
// "May report.pdf", "jan-report.txt"), so every whole-word occurrence of every
// month name is tried, and one is kept only when the date it begins parses and
// a size stands before it. Of those the best is kept, judged in this order:
//  1. one with a complete date (a day followed by a year or by the time, or a
//     numeric date), since ls always writes one; an owner "may" followed by
//     the group, or a group "jan" followed by the size and the real month,
//     never looks like that;
//  2. one whose size has a word before it, since ls always writes the owner
//     there; an owner "may" followed by a numeric group and the size reads as
//     the complete date "may 10 2000", its "size" being the link count;
//  3. the leftmost, since the real date stands right after the size and a month
//     name in the file name stands after it.
// A month name counts only as a whole word between date separators (a name at
// the line start needs no separator before it).
std::optional<DateCandidate> FindDate(const Line& line, qsizetype timeStart) {
    std::optional<DateCandidate> best;
    const auto better = [](const DateCandidate& a, const DateCandidate& b) {
        if (a.complete != b.complete)
            return a.complete;
        if (a.wordBeforeSize != b.wordBeforeSize)
            return a.wordBeforeSize;
        return a.month.start < b.month.start;
    };
    for (const MonthName& month : kMonths) {
        const qsizetype length = qsizetype(std::strlen(month.text));
        for (qsizetype p = 0; p + length < line.size(); ++p) {
            if (p > 0 && !IsDateSeparator(line.at(p - 1)))
                continue;
            if (!IsDateSeparator(line.at(p + length)) ||
                !EqualsNoCase(line.view(p, length), month.text))
                continue;
            const std::optional<DateCandidate> date =
                ReadDateAt(line, {p, length, month.number}, timeStart);
            if (date && (!best || better(*date, *best)))
                best = date;
        }
    }
    return best;
}

std::optional<DateSpan> TakeDate(const Line& line, qsizetype timeStart, RemoteItem& item) {
    const std::optional<DateCandidate> date = FindDate(line, timeStart);
    if (!date)
        return std::nullopt;
    item.month = date->month.number;
    item.day = date->day;
    item.year = date->year;
    return date->span;
}

bool TakeName(const Line& line, qsizetype dateEnd, RemoteItem& item) {
    const qsizetype start = line.skipBlanks(dateEnd);
    qsizetype end = line.size();
    while (end > start && IsBlank(line.at(end - 1)))
        --end;
    if (end <= start)
        return false;
    item.name = line.mid(start, end);
    if (item.name.count('.') == item.name.size())
        return false;
    return true;
}

// The major number of a device, before the size, is not kept.
bool TakeSize(Line& line, qsizetype dateStart, RemoteItem& item) {
    const DigitRun size = FindSizeBefore(line, dateStart);
    if (size.start < 0)
        return false;
    // A size that does not fit in 64 bits is not a real listing line.
    if (!ParseDecimal64(line.view(size.start, size.end - size.start), &item.size))
        return false;
    line.blank(size.start, line.size());
    return true;
}

// What is left before the size: link count, owner and group. Owner and group
// are whole words, so numeric ids and names such as "www-data" stay whole.
void TakeLinksOwnerGroup(const Line& line, RemoteItem& item) {
    qsizetype p = line.skipBlanks(0);
    const qsizetype digitsEnd = line.skipDigits(p);
    if (digitsEnd > p && (line.at(digitsEnd) == ' ' || line.at(digitsEnd) == ',')) {
        item.links = ParseDecimalSaturated(line.view(p, digitsEnd - p));
        p = digitsEnd + 1;
    }
    p = line.skipBlanks(p);
    qsizetype end = line.skipWord(p);
    item.owner = line.mid(p, end);
    p = line.skipBlanks(end);
    end = line.skipWord(p);
    item.group = line.mid(p, end);
}

}  // namespace

std::optional<RemoteItem> UnixListingGrammar::parseLine(QByteArray text) const {
    Line line(std::move(text));
    RemoteItem item;
    if (!TakePermissions(line, item))
        return std::nullopt;
    qsizetype timeStart = -1;
    if (!TakeTime(line, item, &timeStart))
        return std::nullopt;
    TakeLinkTarget(line, item);
    const std::optional<DateSpan> date = TakeDate(line, timeStart, item);
    if (!date)
        return std::nullopt;
    if (!TakeName(line, date->end, item))
        return std::nullopt;
    if (!TakeSize(line, date->start, item))
        return std::nullopt;
    TakeLinksOwnerGroup(line, item);
    return item;
}
