#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

#include "remote/remote_item.h"

// What one listing line held.
enum class LineOutcome {
    Entry,          // an entry, given in the item
    NoEntry,        // nothing to list: blank, a summary such as "total 12", "." or ".."
    NotUnderstood,  // a line that should name an entry but can not be read
};

struct ParsedLine {
    LineOutcome outcome = LineOutcome::NotUnderstood;
    RemoteItem item;

    static ParsedLine entry(RemoteItem item) { return {LineOutcome::Entry, std::move(item)}; }
    static ParsedLine noEntry() { return {LineOutcome::NoEntry, {}}; }
    static ParsedLine notUnderstood() { return {LineOutcome::NotUnderstood, {}}; }
};

// The grammar of one listing line. A line comes without its line end (LF, or
// CR LF). Lines that name no entry are told apart from lines the grammar can
// not read, so that a listing can say what it left out instead of dropping
// entries without a word.
class ListingGrammar {
public:
    virtual ~ListingGrammar() = default;
    virtual ParsedLine readLine(QByteArray line) const = 0;

    // readLine(), except that a line still holding a CR, an LF or a NUL is not
    // understood: a name with one can not be told from a broken line, and a
    // name must never be given back other than the server sent it.
    ParsedLine read(QByteArray line) const;
    // The entry of a line, or nothing whatever the reason.
    std::optional<RemoteItem> parseLine(QByteArray line) const;
};

// The line holds a byte no listing field or name may hold: CR, LF or NUL.
bool HasControlBreak(QByteArrayView line);

// Blank lines and one-word summaries followed by a number ("total 12",
// "insgesamt 8", "total 1.5K"): lines that never name an entry.
bool IsSummaryLine(QByteArrayView line);

// The outcome for a line that no grammar could read.
ParsedLine UnreadLine(QByteArrayView line);
