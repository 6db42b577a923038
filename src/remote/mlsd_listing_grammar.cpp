#include "remote/mlsd_listing_grammar.h"

#include <algorithm>
#include <vector>

#include "remote/ascii_text.h"

namespace {

struct Fact {
    QByteArrayView name;
    QByteArrayView value;
};

QByteArrayView TrimBlanks(QByteArrayView text) {
    while (!text.isEmpty() && IsBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && IsBlank(text.back()))
        text.chop(1);
    return text;
}

// Facts are "name=value;" pairs. Looking them up by whole name keeps one fact
// from being found inside another ("media-type=" is not "type=").
class FactList {
public:
    explicit FactList(QByteArrayView text) {
        while (!text.isEmpty()) {
            const qsizetype end = text.indexOf(';');
            const QByteArrayView piece = end < 0 ? text : text.first(end);
            const qsizetype equals = piece.indexOf('=');
            if (equals > 0)
                facts_.push_back({TrimBlanks(piece.first(equals)), piece.sliced(equals + 1)});
            if (end < 0)
                break;
            text = text.sliced(end + 1);
        }
    }

    std::optional<QByteArrayView> find(QByteArrayView name) const {
        for (const Fact& fact : facts_) {
            if (EqualsNoCase(fact.name, name))
                return fact.value;
        }
        return std::nullopt;
    }

private:
    std::vector<Fact> facts_;
};

bool AllDigits(QByteArrayView text) {
    for (char c : text) {
        if (!IsDigit(c))
            return false;
    }
    return true;
}

bool TakeType(QByteArrayView type, RemoteItem& item) {
    if (EqualsNoCase(type, "dir")) {
        item.kind = 'd';
        return true;
    }
    if (EqualsNoCase(type, "file")) {
        item.kind = '-';
        return true;
    }
    for (QByteArrayView link :
         {QByteArrayView("OS.unix=slink"), QByteArrayView("OS.unix=symlink")}) {
        if (!StartsWithNoCase(type, link))
            continue;
        const QByteArrayView rest = type.sliced(link.size());
        if (!rest.isEmpty() && rest.front() != ':')
            return false;
        item.kind = 'l';
        if (!rest.isEmpty())
            item.linkTarget = rest.sliced(1).toByteArray();
        return true;
    }
    if (StartsWithNoCase(type, "OS.unix=blk")) {
        item.kind = 'b';
        return true;
    }
    if (StartsWithNoCase(type, "OS.unix=chr")) {
        item.kind = 'c';
        return true;
    }
    return false;
}

// Octal mode: the last three digits are owner, group and others. Python servers
// write the mode with a "0o" prefix and without leading zeros ("0o644", "0o7").
bool TakeMode(QByteArrayView mode, RemoteItem& item) {
    if (StartsWithNoCase(mode, "0o"))
        mode = mode.sliced(2);
    if (mode.isEmpty())
        return false;
    for (char c : mode) {
        if (c < '0' || c > '7')
            return false;
    }
    QByteArray digits = mode.last(qMin<qsizetype>(3, mode.size())).toByteArray();
    while (digits.size() < 3)
        digits.prepend('0');
    for (char digit : digits) {
        const int bits = digit - '0';
        item.permissions.append((bits & 4) ? 'r' : '-');
        item.permissions.append((bits & 2) ? 'w' : '-');
        item.permissions.append((bits & 1) ? 'x' : '-');
    }
    return true;
}

// YYYYMMDDHHMMSS[.fraction]; shorter values give fewer fields. The fraction of
// a second is dropped.
bool TakeModify(QByteArrayView modify, RemoteItem& item) {
    const qsizetype dot = modify.indexOf('.');
    if (dot >= 0) {
        const QByteArrayView fraction = modify.sliced(dot + 1);
        if (fraction.isEmpty() || !AllDigits(fraction))
            return false;
        modify = modify.first(dot);
    }
    if (modify.isEmpty() || !AllDigits(modify))
        return false;
    const qsizetype n = modify.size();
    if (n >= 4)
        item.year = ParseDecimalSaturated(modify.sliced(0, 4));
    if (n >= 6)
        item.month = ParseDecimalSaturated(modify.sliced(4, 2));
    if (n >= 8)
        item.day = ParseDecimalSaturated(modify.sliced(6, 2));
    if (n >= 10)
        item.time = modify.sliced(8, 2).toByteArray();
    if (n >= 12)
        item.time += ':' + modify.sliced(10, 2).toByteArray();
    if (n >= 14)
        item.time += ':' + modify.sliced(12, 2).toByteArray();
    return true;
}

}  // namespace

bool MlsdListingGrammar::isFactStyle(QByteArrayView line) {
    // "name=value;" first, with no blank inside the fact name.
    const qsizetype equals = line.indexOf('=');
    const qsizetype semicolon = line.indexOf(';');
    if (equals <= 0 || semicolon < equals)
        return false;
    for (qsizetype i = 0; i < equals; ++i) {
        if (IsBlank(line[i]))
            return false;
    }
    return true;
}

ParsedLine MlsdListingGrammar::readLine(QByteArray line) const {
    // The facts end with ';' and one blank comes before the name; the rest of
    // the line is the name, blanks included. Splitting at the first "; "
    // keeps names that contain ';' whole; a line without it is split at its
    // last ';'.
    qsizetype factsEnd = line.indexOf("; ");
    const qsizetype nameStart = factsEnd >= 0 ? factsEnd + 2 : line.lastIndexOf(';') + 1;
    if (factsEnd < 0)
        factsEnd = nameStart - 1;
    if (factsEnd < 0)
        return UnreadLine(line);

    RemoteItem item;
    item.name = line.mid(nameStart);
    if (item.name == "." || item.name == "..")
        return ParsedLine::noEntry();
    // Blanks alone name nothing a user could pick.
    if (std::all_of(item.name.begin(), item.name.end(), IsBlank))
        return ParsedLine::notUnderstood();

    const FactList facts(QByteArrayView(line).first(factsEnd + 1));
    const std::optional<QByteArrayView> type = facts.find("type");
    // The folder itself and its parent name no entry.
    if (type && (EqualsNoCase(*type, "cdir") || EqualsNoCase(*type, "pdir")))
        return ParsedLine::noEntry();
    if (!type || !TakeType(*type, item))
        return ParsedLine::notUnderstood();

    if (const auto mode = facts.find("UNIX.mode"); mode && !TakeMode(*mode, item))
        return ParsedLine::notUnderstood();
    if (const auto modify = facts.find("modify"); modify && !TakeModify(*modify, item))
        return ParsedLine::notUnderstood();

    std::optional<QByteArrayView> size = facts.find("size");
    if (!size)
        size = facts.find("sizd");
    if (size && !ParseDecimal64(*size, &item.size))
        return ParsedLine::notUnderstood();

    std::optional<QByteArrayView> owner = facts.find("UNIX.uid");
    if (!owner)
        owner = facts.find("UNIX.owner");
    if (owner)
        item.owner = owner->toByteArray();
    std::optional<QByteArrayView> group = facts.find("UNIX.gid");
    if (!group)
        group = facts.find("UNIX.group");
    if (group)
        item.group = group->toByteArray();
    return ParsedLine::entry(item);
}
