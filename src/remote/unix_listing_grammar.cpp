#include "remote/unix_listing_grammar.h"

#include "remote/ascii_text.h"
#include "remote/listing_line_text.h"
#include "remote/unix_listing_dates.h"

namespace {

using Line = ListingLineText;

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

// Where the permission token stands: [start, end), or start -1.
struct TokenSpan {
    qsizetype start = -1;
    qsizetype end = -1;
};

// Works on the line as received, so that telling the style needs no copy.
TokenSpan FindPermissions(QByteArrayView line) {
    const qsizetype size = line.size();
    const auto at = [&](qsizetype i) { return i < size ? line[i] : '\0'; };
    qsizetype pos = 0;
    while (IsBlank(at(pos)))
        ++pos;
    while (pos < size) {
        qsizetype end = pos;
        while (end < size && !IsBlank(line[end]))
            ++end;
        const qsizetype length = end - pos;
        const bool shapeFits = length == 10 || (length == 11 && IsPermissionMark(at(pos + 10)));
        if (shapeFits && end < size && IsTypeLetter(at(pos))) {
            bool allPermissions = true;
            for (qsizetype i = pos + 1; i < pos + 10; ++i)
                allPermissions = allPermissions && IsPermissionChar(at(i));
            if (allPermissions)
                return {pos, end};
        }
        pos = end;
        while (IsBlank(at(pos)))
            ++pos;
    }
    return {};
}

using Repeated = UnixListingGrammar::RepeatedFields;

void TakePermissions(Line& line, const TokenSpan& token, RemoteItem& item, Repeated& repeated) {
    item.kind = line.at(token.start);
    item.permissions = line.shared(token.start + 1, token.start + 10, repeated.permissions);
    line.blank(token.start, token.end);
}

// Two digits no greater than `max`.
bool IsTwoDigitField(const Line& line, qsizetype from, qsizetype to, int max) {
    return to - from == 2 && ParseDecimalSaturated(line.view(from, 2)) <= max;
}

// A time of day stands at the first colon when the digits before that colon
// start after a blank; a colon elsewhere (inside a name) means "no time", and
// so do digits no clock shows (25:61), which may be part of the name.
// `time` gets where the time stood, or -1.
bool TakeTime(Line& line, RemoteItem& item, TokenSpan* time, Repeated& repeated) {
    *time = {};
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
    bool seconds = false;
    if (line.at(minutesEnd) == ':') {
        end = line.skipDigits(minutesEnd + 1);
        if (end == minutesEnd + 1)
            return false;
        seconds = true;
    }
    if (!IsBlank(line.at(end)))
        return false;
    // "24:00" is midnight at the end of the day, as some servers write it.
    const int hour =
        colon - start <= 2 ? ParseDecimalSaturated(line.view(start, colon - start)) : 99;
    const bool midnight = hour == 24 && line.view(colon + 1, minutesEnd - colon - 1) == "00";
    if ((hour > 23 && !midnight) || !IsTwoDigitField(line, colon + 1, minutesEnd, 59) ||
        (seconds && !IsTwoDigitField(line, minutesEnd + 1, end, 59)))
        return true;
    item.time = line.shared(start, end, repeated.time);
    line.blank(start, end);
    *time = {start, end};
    return true;
}

// Only links have targets: a file named "a->b" keeps its whole name. The
// target is what follows the arrow and one blank, as listed; the arrow's
// position is returned (-1 when there is none).
qsizetype TakeLinkTarget(Line& line, RemoteItem& item) {
    if (item.kind != 'l')
        return -1;
    const qsizetype arrow = line.indexOf("->");
    if (arrow < 0)
        return -1;
    const qsizetype target = IsBlank(line.at(arrow + 2)) ? arrow + 3 : arrow + 2;
    item.linkTarget = line.mid(qMin(target, line.size()), line.size());
    line.blank(arrow, line.size());
    return arrow;
}

// The name begins one blank after the last field before it and runs to the
// end of the line, or to the blank before a link's arrow: leading and
// trailing blanks are part of it. A time found inside the name was part of
// it: it goes back.
LineOutcome TakeName(Line& line, qsizetype fieldsEnd, qsizetype arrow, const TokenSpan& time,
                     RemoteItem& item) {
    if (!IsBlank(line.at(fieldsEnd)))
        return LineOutcome::NotUnderstood;
    const qsizetype start = fieldsEnd + 1;
    if (time.start >= start) {
        line.restore(time.start, time.end);
        item.time.clear();
    }
    qsizetype end = line.size();
    if (arrow >= 0)
        end = (arrow > start && IsBlank(line.at(arrow - 1))) ? arrow - 1 : arrow;
    // Blanks alone name nothing a user could pick.
    if (line.skipBlanks(start) >= end)
        return LineOutcome::NotUnderstood;
    // A field found inside the name (permissions after the date, say) would
    // leave blanks in it that the server never sent: the line is not read.
    if (line.blankedWithin(start, end))
        return LineOutcome::NotUnderstood;
    item.name = line.mid(start, end);
    // "." and ".." are the folder and its parent; other names made of dots
    // are entries this grammar does not take.
    if (item.name.startsWith('.') && item.name.count('.') == item.name.size())
        return item.name.size() <= 2 ? LineOutcome::NoEntry : LineOutcome::NotUnderstood;
    return LineOutcome::Entry;
}

// Where the date and a time of day right after it end.
qsizetype DateFieldsEnd(const Line& line, const ListingDate& date, const TokenSpan& time) {
    if (time.start >= date.end && line.skipBlanks(date.end) > time.start)
        return time.end;
    return date.end;
}

ParsedLine Outcome(LineOutcome outcome) {
    return outcome == LineOutcome::NoEntry ? ParsedLine::noEntry() : ParsedLine::notUnderstood();
}

// The major number of a device, before the size, is not kept.
bool TakeSize(Line& line, const DigitRun& size, RemoteItem& item) {
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
void TakeLinksOwnerGroup(const Line& line, RemoteItem& item, Repeated& repeated) {
    qsizetype p = line.skipBlanks(0);
    const qsizetype digitsEnd = line.skipDigits(p);
    if (digitsEnd > p && (line.at(digitsEnd) == ' ' || line.at(digitsEnd) == ',')) {
        item.links = ParseDecimalSaturated(line.view(p, digitsEnd - p));
        p = digitsEnd + 1;
    }
    p = line.skipBlanks(p);
    qsizetype end = line.skipWord(p);
    item.owner = line.shared(p, end, repeated.owner);
    p = line.skipBlanks(end);
    end = line.skipWord(p);
    item.group = line.shared(p, end, repeated.group);
}

bool AllDigits(const Line& line, qsizetype from, qsizetype to) {
    return to > from && line.skipDigits(from) == to;
}

// "drwxr-xr-x 3 user group 512 name": no date at all. Taken only in the full
// shape (link count, owner, group, size, name) and only when the name cannot
// be a date this grammar failed to read: a name whose first word begins with a
// digit or a month name, or whose second word begins with a digit, is not
// understood rather than taken with the date in it.
ParsedLine ReadUndatedLine(Line& line, qsizetype arrow, RemoteItem& item, Repeated& repeated) {
    qsizetype bounds[5][2];
    qsizetype p = line.skipBlanks(0);
    for (auto& word : bounds) {
        word[0] = p;
        word[1] = line.skipWord(p);
        p = line.skipBlanks(word[1]);
    }
    const qsizetype nameStart = bounds[4][0];
    if (nameStart >= line.size() || !AllDigits(line, bounds[0][0], bounds[0][1]) ||
        !AllDigits(line, bounds[3][0], bounds[3][1]))
        return ParsedLine::notUnderstood();
    const qsizetype secondWord = line.skipBlanks(line.skipWord(nameStart));
    if (MayBeginDate(line, nameStart) || IsDigit(line.at(secondWord)))
        return ParsedLine::notUnderstood();
    const LineOutcome named = TakeName(line, bounds[3][1], arrow, {}, item);
    if (named != LineOutcome::Entry)
        return Outcome(named);
    if (!TakeSize(line, {bounds[3][0], bounds[3][1]}, item))
        return ParsedLine::notUnderstood();
    TakeLinksOwnerGroup(line, item, repeated);
    return ParsedLine::entry(std::move(item));
}

}  // namespace

bool UnixListingGrammar::isUnixStyle(QByteArrayView text) {
    return FindPermissions(text).start >= 0;
}

ParsedLine UnixListingGrammar::readLine(QByteArray text) const {
    const QByteArray kept = text;
    std::optional<ParsedLine> parsed = readUnixStyleLine(std::move(text));
    return parsed ? std::move(*parsed) : UnreadLine(kept);
}

std::optional<ParsedLine> UnixListingGrammar::readUnixStyleLine(QByteArray text) const {
    const TokenSpan permissions = FindPermissions(text);
    if (permissions.start < 0)
        return std::nullopt;
    Line line(std::move(text));
    RemoteItem item;
    TakePermissions(line, permissions, item, repeated_);
    TokenSpan time;
    if (!TakeTime(line, item, &time, repeated_))
        return ParsedLine::notUnderstood();
    const qsizetype arrow = TakeLinkTarget(line, item);
    const std::optional<ListingDate> date = FindListingDate(line, time.start);
    if (!date) {
        if (time.start >= 0)
            return ParsedLine::notUnderstood();
        return ReadUndatedLine(line, arrow, item, repeated_);
    }
    // A month without a day, or a day with neither year nor time: words that
    // may be the name's, or no date at all ("Jun -5").
    if (!date->complete)
        return ParsedLine::notUnderstood();
    item.year = date->year;
    item.month = date->month;
    item.day = date->day;
    const LineOutcome named = TakeName(line, DateFieldsEnd(line, *date, time), arrow, time, item);
    if (named != LineOutcome::Entry)
        return Outcome(named);
    if (!TakeSize(line, SizeBeforeDate(line, date->start), item))
        return ParsedLine::notUnderstood();
    TakeLinksOwnerGroup(line, item, repeated_);
    return ParsedLine::entry(std::move(item));
}
