#include "remote/unix_listing_dates.h"

#include <QVarLengthArray>

#include "remote/listing_month_names.h"

namespace {

constexpr bool IsDateSeparator(char c) {
    return c == ' ' || c == '-' || c == '/';
}

bool IsHighByte(char c) {
    return static_cast<unsigned char>(c) >= 0x80;
}

bool IsMonth(int month) {
    return month >= 1 && month <= 12;
}

bool IsDay(int day) {
    return day >= 1 && day <= 31;
}

// February has 29 days unless the year says otherwise.
int DaysInMonth(int month, int year) {
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && year > 0 && (year % 4 != 0 || (year % 100 == 0 && year % 400 != 0)))
        return 28;
    return kDays[month - 1];
}

// Month and day as a calendar has them; a day not given passes.
bool IsCalendarDate(const ListingDate& date) {
    if (!IsMonth(date.month))
        return false;
    return date.day == -1 || (date.day >= 1 && date.day <= DaysInMonth(date.month, date.year));
}

struct MonthHit {
    qsizetype start = -1;
    qsizetype length = 0;  // the name with a dot and a comma after it
    int number = 0;
};

// One place in the line where a date could begin.
struct DateCandidate {
    ListingDate date;
    // Has the shape servers write: a day followed by a year or by the time, or
    // a numeric date.
    bool complete = false;
    // Some word (the owner at least) stands before the size.
    bool wordBeforeSize = false;
};

// The best candidate so far; see FindListingDate for what makes one better.
// Candidates are offered in a fixed order and a later one wins only when it
// is strictly better, so the first of equals is kept.
class BestDate {
public:
    explicit BestDate(const ListingLineText& line) : line_(line) {}

    void offer(DateCandidate c) {
        if (!IsCalendarDate(c.date))
            return;
        const DigitRun size = SizeBeforeDate(line_, c.date.start);
        if (size.start < 0)
            return;
        c.wordBeforeSize = line_.skipBlanks(0) < size.start;
        if (!found_ || better(c, best_)) {
            best_ = c;
            found_ = true;
        }
    }
    const DateCandidate* best() const { return found_ ? &best_ : nullptr; }

private:
    static bool better(const DateCandidate& a, const DateCandidate& b) {
        if (a.complete != b.complete)
            return a.complete;
        if (a.wordBeforeSize != b.wordBeforeSize)
            return a.wordBeforeSize;
        return a.date.start < b.date.start;
    }

    const ListingLineText& line_;
    DateCandidate best_;
    bool found_ = false;
};

// Only blanks (the blanked time among them) stand between `end` and the time.
bool TimeFollows(const ListingLineText& line, qsizetype end, qsizetype timeStart) {
    return timeStart >= end && line.skipBlanks(end) > timeStart;
}

// Exactly four digits and a blank at `pos`: the end of that year, or -1.
qsizetype YearEndAt(const ListingLineText& line, qsizetype pos) {
    const qsizetype end = line.skipDigits(pos);
    return (end - pos == 4 && IsBlank(line.at(end))) ? end : -1;
}

// A date without a year needs the time right after it, or a year after the
// blanks. Sets the year and the end; false when neither follows.
bool TakeTimeOrYear(const ListingLineText& line, qsizetype timeStart, ListingDate& date) {
    if (TimeFollows(line, date.end, timeStart))
        return true;
    const qsizetype yearStart = line.skipBlanks(date.end);
    const qsizetype yearEnd = yearStart > date.end ? YearEndAt(line, yearStart) : -1;
    if (yearEnd < 0)
        return false;
    date.year = ParseDecimalSaturated(line.view(yearStart, 4));
    date.end = yearEnd;
    return true;
}

// The blanked time at `timeStart` held seconds: its original text has two
// colons.
bool TimeHasSeconds(const ListingLineText& line, qsizetype timeStart) {
    const QByteArrayView time = line.original(timeStart, line.skipBlanks(timeStart) - timeStart);
    return time.count(':') == 2;
}

// "Jan  5 2011", "Jan  5" (the time already blanked) or "Mar 14, 2019"; day
// and year optional.
// A time right after the month leaves the day open: no such date.
bool ReadMonthFirstDate(const ListingLineText& line, const MonthHit& month, qsizetype timeStart,
                        DateCandidate& c) {
    c.date.start = month.start;
    c.date.end = month.start + month.length;
    if (TimeFollows(line, c.date.end, timeStart))
        return false;
    qsizetype p = line.skipBlanks(c.date.end);
    qsizetype q = line.skipDigits(p);
    const bool comma = line.at(q) == ',' && line.at(q + 1) == ' ';
    if (q == p || (line.at(q) != ' ' && !comma))
        return true;
    c.date.day = ParseDecimalSaturated(line.view(p, q - p));
    if (comma)
        ++q;
    c.date.end = q;
    // The blanked time counts as blanks, so skipping past its start means only
    // blanks stood between the day and the time.
    const bool timeFollows = TimeFollows(line, q, timeStart);
    p = line.skipBlanks(q);
    const qsizetype dayEnd = q;
    q = line.skipDigits(p);
    // After the time a year follows only in the form with seconds ("Jan  5
    // 10:30:15 2011 name"); after "10:30" the digits begin the name.
    const bool acrossTime = timeStart >= dayEnd && timeStart < p;
    if (q > p && line.at(q) == ' ' &&
        (!acrossTime || (q - p == 4 && TimeHasSeconds(line, timeStart)))) {
        c.date.year = ParseDecimalSaturated(line.view(p, q - p));
        c.date.end = q;
    }
    c.complete = c.date.year >= 0 || timeFollows;
    return true;
}

// "Jan-05-2012", "05-Jan-2012", "2012/Jan/05": at most two numbers around the
// month name, joined by one separator.
bool ReadNumericWordDate(const ListingLineText& line, const MonthHit& month, char separator,
                         DateCandidate& c) {
    qsizetype runStart = month.start;
    while (IsDigit(line.at(runStart - 1)) || line.at(runStart - 1) == separator)
        --runStart;
    qsizetype start = month.start;
    if (runStart < month.start && (runStart == 0 || line.at(runStart - 1) == ' '))
        start = runStart;

    int numbers[2] = {-1, -1};
    int count = 0;
    int monthIndex = -1;
    qsizetype end = start;
    qsizetype p = start;
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
            end = p;
            break;
        }
        const qsizetype q = line.skipDigits(p);
        if (q == p || count == 2)
            return false;
        numbers[count++] = ParseDecimalSaturated(line.view(p, q - p));
        if (line.at(q) == ' ') {
            end = q;
            break;
        }
        if (line.at(q) != separator)
            return false;
        p = q + 1;
    }

    if (monthIndex == 0) {
        c.date.day = numbers[0];
        c.date.year = numbers[1];
    } else if (monthIndex == 1 && count == 2) {
        if (numbers[0] <= 31 && numbers[1] > 31) {
            c.date.day = numbers[0];
            c.date.year = numbers[1];
        } else {
            c.date.year = numbers[0];
            c.date.day = numbers[1];
        }
    } else {
        return false;
    }
    c.date.start = start;
    c.date.end = end;
    c.complete = true;
    return true;
}

// "14 Mar 10:02", "14 mar 2019", "14. Mär., 10:02", "4.  Mär.  2019": the day
// before the month, then the time or a four-digit year.
bool ReadDayFirstDate(const ListingLineText& line, const MonthHit& month, qsizetype timeStart,
                      DateCandidate& c) {
    qsizetype dayEnd = month.start;
    while (IsBlank(line.at(dayEnd - 1)))
        --dayEnd;
    if (dayEnd == month.start)
        return false;
    if (line.at(dayEnd - 1) == '.')
        --dayEnd;
    qsizetype dayStart = dayEnd;
    while (IsDigit(line.at(dayStart - 1)))
        --dayStart;
    if (dayEnd - dayStart < 1 || dayEnd - dayStart > 2 || !IsBlank(line.at(dayStart - 1)))
        return false;
    c.date.day = ParseDecimalSaturated(line.view(dayStart, dayEnd - dayStart));
    if (!IsDay(c.date.day))
        return false;
    c.date.start = dayStart;
    c.date.end = month.start + month.length;
    if (!TakeTimeOrYear(line, timeStart, c.date))
        return false;
    c.complete = true;
    return true;
}

// Where dates may begin, found in one pass over the bytes, since this runs
// over every byte of every line of a listing: for month names, word starts
// after a separator that are neither blanks nor digits (no name begins with
// either); for numbers, digits after a blank.
struct DateStarts {
    QVarLengthArray<qsizetype, 32> names;
    QVarLengthArray<qsizetype, 32> numbers;
};

// Byte classes for the pass below: one table lookup per byte.
enum : unsigned char { kBlank = 1, kDigit = 2, kSeparator = 4 };

struct ByteClasses {
    unsigned char of[256] = {};
};

constexpr ByteClasses MakeByteClasses() {
    ByteClasses classes;
    for (int c = 0; c < 256; ++c) {
        const char ch = char(c);
        classes.of[c] =
            static_cast<unsigned char>((IsBlank(ch) ? kBlank : 0) | (IsDigit(ch) ? kDigit : 0) |
                                       (IsDateSeparator(ch) ? kSeparator : 0));
    }
    return classes;
}

constexpr ByteClasses kByteClasses = MakeByteClasses();

DateStarts FindDateStarts(QByteArrayView text) {
    DateStarts starts;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    unsigned char before = kSeparator;  // the start of the line counts as one
    for (qsizetype p = 0; p < text.size(); ++p) {
        const unsigned char here = kByteClasses.of[bytes[p]];
        if ((before & kSeparator) && !(here & (kBlank | kDigit)))
            starts.names.push_back(p);
        else if ((before & kBlank) && (here & kDigit))
            starts.numbers.push_back(p);
        before = here;
    }
    return starts;
}

// Candidates that begin at a month name.
void CollectMonthNameDates(const ListingLineText& line, const DateStarts& starts,
                           qsizetype timeStart, BestDate& out) {
    for (const qsizetype p : starts.names) {
        const MonthNameMatch name = MatchMonthName(line.text(), p);
        if (name.length == 0)
            continue;
        MonthHit month{p, name.length, name.number};
        if (line.at(p + month.length) == '.')
            ++month.length;
        if (line.at(p + month.length) == ',')
            ++month.length;
        const qsizetype after = p + month.length;
        if (after >= line.size() || !IsDateSeparator(line.at(after)))
            continue;

        const char before = line.at(p - 1);
        const char next = line.at(after);
        DateCandidate c;
        c.date.month = month.number;
        if (before == '-' || next == '-' || before == '/' || next == '/') {
            const char separator = (before == '-' || next == '-') ? '-' : '/';
            if (ReadNumericWordDate(line, month, separator, c))
                out.offer(c);
            continue;
        }
        if (ReadMonthFirstDate(line, month, timeStart, c))
            out.offer(c);
        DateCandidate dayFirst;
        dayFirst.date.month = month.number;
        if (ReadDayFirstDate(line, month, timeStart, dayFirst))
            out.offer(dayFirst);
    }
}

// Up to three numbers joined by one of '-', '/' or '.', ending at a blank.
struct NumberGroup {
    int values[3] = {-1, -1, -1};
    qsizetype lengths[3] = {0, 0, 0};
    int count = 0;
    char separator = 0;
    qsizetype end = 0;
};

bool ReadNumberGroup(const ListingLineText& line, qsizetype p, NumberGroup& g) {
    for (;;) {
        const qsizetype q = line.skipDigits(p);
        if (q == p || g.count == 3)
            return false;
        g.values[g.count] = ParseDecimalSaturated(line.view(p, q - p));
        g.lengths[g.count] = q - p;
        ++g.count;
        const char c = line.at(q);
        if (IsBlank(c)) {
            g.end = q;
            return true;
        }
        if (c != '-' && c != '/' && c != '.')
            return false;
        if (g.separator && c != g.separator)
            return false;
        g.separator = c;
        p = q + 1;
    }
}

// The last check of a date read from numbers: a real month and day make it
// complete.
bool CompleteIfValid(DateCandidate& c) {
    if (!IsMonth(c.date.month) || !IsDay(c.date.day))
        return false;
    c.complete = true;
    return true;
}

// Month and day written as numbers: "2019-03-14", "2019/03/14", "2019.03.14",
// "14-03-2019", "03-14 2019", "03-14 10:02" and "3 14 10:02".
bool ReadNumberDate(const ListingLineText& line, qsizetype p, qsizetype timeStart,
                    DateCandidate& c) {
    NumberGroup g;
    if (!ReadNumberGroup(line, p, g))
        return false;
    ListingDate& d = c.date;
    d.start = p;
    d.end = g.end;
    if (g.count == 3) {
        if (g.lengths[0] == 4) {
            d.year = g.values[0];
            d.month = g.values[1];
            d.day = g.values[2];
        } else if (g.lengths[2] == 4) {
            // Day first unless the middle number can only be a day.
            const bool monthFirst = g.values[1] > 12 && g.values[0] <= 12;
            d.day = g.values[monthFirst ? 1 : 0];
            d.month = g.values[monthFirst ? 0 : 1];
            d.year = g.values[2];
        } else {
            return false;  // two-digit years leave the order open
        }
    } else if (g.count == 2) {
        if (g.separator == '.' || g.lengths[0] > 2 || g.lengths[1] > 2)
            return false;
        d.month = g.values[0];
        d.day = g.values[1];
        if (!TakeTimeOrYear(line, timeStart, d))
            return false;
    } else {
        // "3 14": two separate numbers, month then day.
        const qsizetype dayStart = line.skipBlanks(g.end);
        const qsizetype dayEnd = line.skipDigits(dayStart);
        if ((timeStart >= g.end && timeStart < dayStart) || g.lengths[0] > 2 ||
            dayEnd == dayStart || dayEnd - dayStart > 2 || !IsBlank(line.at(dayEnd)))
            return false;
        d.month = g.values[0];
        d.day = ParseDecimalSaturated(line.view(dayStart, dayEnd - dayStart));
        d.end = dayEnd;
        if (!TakeTimeOrYear(line, timeStart, d))
            return false;
    }
    return CompleteIfValid(c);
}

// Numbers each marked by a character that is not ASCII, as CJK locales write
// them: "2019年3月14日", "3月 14日 10:02", "3月 14  2019". The marks are not read:
// three marked numbers are year, month and day; two are month and day; one
// marked number followed by a plain one is month and day.
bool ReadMarkedDate(const ListingLineText& line, qsizetype p, qsizetype timeStart,
                    DateCandidate& c) {
    int values[3] = {-1, -1, -1};
    bool marked[3] = {false, false, false};
    int count = 0;
    qsizetype end = p;
    qsizetype q = p;
    while (count < 3) {
        const qsizetype digitsEnd = line.skipDigits(q);
        if (digitsEnd == q)
            break;
        qsizetype markEnd = digitsEnd;
        while (IsHighByte(line.at(markEnd)))
            ++markEnd;
        if (markEnd - digitsEnd > 8)
            return false;
        const bool isMarked = markEnd > digitsEnd;
        // A plain number is only the day after a marked month.
        if (!isMarked && (count != 1 || !IsBlank(line.at(digitsEnd))))
            break;
        values[count] = ParseDecimalSaturated(line.view(q, digitsEnd - q));
        marked[count] = isMarked;
        ++count;
        end = markEnd;
        if (!isMarked)
            break;
        const qsizetype next = line.skipBlanks(markEnd);
        if (timeStart >= markEnd && timeStart < next)
            break;  // the time of day ends the date
        q = next;
    }
    if (count < 2 || !marked[0] || !IsBlank(line.at(end)))
        return false;
    ListingDate& d = c.date;
    d.start = p;
    d.end = end;
    if (count == 3) {
        d.year = values[0];
        d.month = values[1];
        d.day = values[2];
    } else {
        d.month = values[0];
        d.day = values[1];
        if (!TakeTimeOrYear(line, timeStart, d))
            return false;
    }
    return CompleteIfValid(c);
}

// Candidates that begin with a number at the start of a word.
void CollectNumberDates(const ListingLineText& line, const DateStarts& starts, qsizetype timeStart,
                        BestDate& out) {
    for (const qsizetype p : starts.numbers) {
        DateCandidate c;
        if (ReadNumberDate(line, p, timeStart, c))
            out.offer(c);
        DateCandidate marked;
        if (ReadMarkedDate(line, p, timeStart, marked))
            out.offer(marked);
    }
}

}  // namespace

DigitRun SizeBeforeDate(const ListingLineText& line, qsizetype dateStart) {
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

// Month names and numbers may also stand in the owner, the group or the name
// ("may", "May report.pdf", "jan-report.txt", "2019 Reports"), so every place
// where a date could begin is tried, and one is kept only when its date parses
// and a size stands before it. Of those the best is kept, judged in this order:
//  1. one with a complete date (a day followed by a year or by the time, or a
//     date that spells out day, month and year), since servers always write
//     one; an owner "may" followed by the group, or a group "jan" followed by
//     the size and the real month, never looks like that;
//  2. one whose size has a word before it, since ls always writes the owner
//     there; an owner "may" followed by a numeric group and the size reads as
//     the complete date "may 10 2000", its "size" being the link count;
//  3. the leftmost, since the real date stands right after the size and a date
//     in the file name stands after it.
std::optional<ListingDate> FindListingDate(const ListingLineText& line, qsizetype timeStart) {
    BestDate best(line);
    const DateStarts starts = FindDateStarts(line.text());
    CollectMonthNameDates(line, starts, timeStart, best);
    CollectNumberDates(line, starts, timeStart, best);
    if (!best.best())
        return std::nullopt;
    ListingDate date = best.best()->date;
    date.complete = best.best()->complete;
    return date;
}

bool MayBeginDate(const ListingLineText& line, qsizetype pos) {
    if (IsDigit(line.at(pos)))
        return true;
    return MatchMonthName(line.text(), pos).length > 0;
}
