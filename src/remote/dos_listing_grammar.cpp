#include "remote/dos_listing_grammar.h"

#include "remote/ascii_text.h"
#include "remote/listing_line_text.h"

namespace {

// Blanks and the size (or "<DIR>") between the time and the blank before the
// name, as Windows servers align them.
constexpr qsizetype kSizeColumnWidth = 21;

struct DosDate {
    int year = -1;
    int month = -1;
    int day = -1;
    qsizetype end = 0;
};

struct DosTime {
    QByteArray text;  // "HH:MM", twenty-four hours
    qsizetype end = 0;
};

// Digits at `p`: their value and end, or end == p when there are none.
qsizetype ReadNumber(const ListingLineText& line, qsizetype p, int* value) {
    const qsizetype end = line.skipDigits(p);
    if (end > p)
        *value = ParseDecimalSaturated(line.view(p, end - p));
    return end;
}

int DaysInMonth(const DosDate& date) {
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int y = date.year;
    if (date.month == 2 && (y % 4 != 0 || (y % 100 == 0 && y % 400 != 0)))
        return 28;
    return kDays[date.month - 1];
}

// "04-27-00", "04-27-2000", "2002-09-02" (also with '/'); followed by a blank.
std::optional<DosDate> ReadDate(const ListingLineText& line, qsizetype p) {
    int n[3] = {-1, -1, -1};
    qsizetype lengths[3];
    char separator = 0;
    for (int i = 0; i < 3; ++i) {
        const qsizetype end = ReadNumber(line, p, &n[i]);
        lengths[i] = end - p;
        if (lengths[i] == 0)
            return std::nullopt;
        p = end;
        if (i == 2)
            break;
        const char c = line.at(p);
        if ((c != '-' && c != '/') || (separator && c != separator))
            return std::nullopt;
        separator = c;
        ++p;
    }
    if (!IsBlank(line.at(p)))
        return std::nullopt;
    DosDate date;
    date.end = p;
    if (lengths[0] == 4 && lengths[1] <= 2 && lengths[2] <= 2) {
        date = {n[0], n[1], n[2], p};
    } else if (lengths[0] <= 2 && lengths[1] <= 2 && (lengths[2] == 2 || lengths[2] == 4)) {
        int year = n[2];
        if (lengths[2] == 2)
            year += year >= 70 ? 1900 : 2000;
        date = {year, n[0], n[1], p};
    } else {
        return std::nullopt;
    }
    if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > DaysInMonth(date))
        return std::nullopt;
    return date;
}

// "12:09PM", "12:09 PM", "19:06"; followed by a blank.
std::optional<DosTime> ReadTime(const ListingLineText& line, qsizetype p) {
    int hour = -1, minute = -1;
    qsizetype end = ReadNumber(line, p, &hour);
    if (end == p || end - p > 2 || line.at(end) != ':')
        return std::nullopt;
    const qsizetype minuteStart = end + 1;
    end = ReadNumber(line, minuteStart, &minute);
    if (end - minuteStart != 2 || minute > 59)
        return std::nullopt;
    qsizetype suffix = end;
    if (IsBlank(line.at(suffix)) && !IsBlank(line.at(line.skipBlanks(suffix))))
        suffix = line.skipBlanks(suffix);
    const char half = AsciiLower(line.at(suffix));
    if ((half == 'a' || half == 'p') && AsciiLower(line.at(suffix + 1)) == 'm' &&
        IsBlank(line.at(suffix + 2))) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        hour = hour % 12 + (half == 'p' ? 12 : 0);
        end = suffix + 2;
    } else if (hour > 23) {
        return std::nullopt;
    }
    if (!IsBlank(line.at(end)))
        return std::nullopt;
    DosTime time;
    time.text = QByteArray::number(hour).rightJustified(2, '0') + ':' +
                QByteArray::number(minute).rightJustified(2, '0');
    time.end = end;
    return time;
}

// "9,730", "9.730" or "9730": digits in groups of three after the first.
bool ReadSize(const ListingLineText& line, qsizetype p, qsizetype end, qint64* size) {
    QByteArray digits;
    qsizetype group = -1;  // digits since the last separator; -1 before any
    for (qsizetype i = p; i < end; ++i) {
        const char c = line.at(i);
        if (IsDigit(c)) {
            digits += c;
            if (group >= 0)
                ++group;
        } else if ((c == ',' || c == '.') && i > p && (group < 0 || group == 3)) {
            group = 0;
        } else {
            return false;
        }
    }
    if (group >= 0 && group != 3)
        return false;
    return ParseDecimal64(digits, size);
}

}  // namespace

bool DosListingGrammar::isDosStyle(QByteArrayView text) {
    const ListingLineText line(text.toByteArray());
    const std::optional<DosDate> date = ReadDate(line, line.skipBlanks(0));
    if (!date)
        return false;
    const qsizetype timeStart = line.skipBlanks(date->end);
    return IsDigit(line.at(timeStart)) && line.at(line.skipDigits(timeStart)) == ':';
}

ParsedLine DosListingGrammar::readLine(QByteArray text) const {
    const ListingLineText line(std::move(text));
    if (!isDosStyle(line.text()))
        return UnreadLine(line.text());
    const std::optional<DosDate> date = ReadDate(line, line.skipBlanks(0));
    const std::optional<DosTime> time = ReadTime(line, line.skipBlanks(date->end));
    if (!time)
        return ParsedLine::notUnderstood();
    RemoteItem item;
    item.year = date->year;
    item.month = date->month;
    item.day = date->day;
    item.time = time->text;

    const qsizetype sizeStart = line.skipBlanks(time->end);
    const qsizetype sizeEnd = line.skipWord(sizeStart);
    if (line.mid(sizeStart, sizeEnd) == "<DIR>") {
        item.kind = 'd';
    } else if (ReadSize(line, sizeStart, sizeEnd, &item.size)) {
        item.kind = '-';
    } else {
        return ParsedLine::notUnderstood();  // <JUNCTION>, <SYMLINK> and the like
    }
    if (sizeEnd == sizeStart || !IsBlank(line.at(sizeEnd)))
        return ParsedLine::notUnderstood();
    // One blank after the size, then the name to the end of the line, its
    // own blanks included. "<DIR>" stands in a column as wide as the sizes':
    // where the blanks after it reach that column, the name begins there.
    qsizetype nameStart = sizeEnd + 1;
    const qsizetype column = time->end + kSizeColumnWidth + 1;
    if (item.kind == 'd' && column > sizeEnd && column <= line.size() &&
        line.skipBlanks(sizeEnd) >= column)
        nameStart = column;
    if (line.skipBlanks(nameStart) >= line.size())
        return ParsedLine::notUnderstood();
    item.name = line.mid(nameStart, line.size());
    if (item.name == "." || item.name == "..")
        return ParsedLine::noEntry();
    return ParsedLine::entry(item);
}
