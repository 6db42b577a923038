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

// The grammar of one listing line. A line comes without its line feed and with
// carriage returns already turned into blanks. Lines that name no entry are told
// apart from lines the grammar can not read, so that a listing can say what it
// left out instead of dropping entries without a word.
class ListingGrammar {
public:
    virtual ~ListingGrammar() = default;
    virtual ParsedLine readLine(QByteArray line) const = 0;

    // The entry of a line, or nothing whatever the reason.
    std::optional<RemoteItem> parseLine(QByteArray line) const;
};

// Blank lines and one-word summaries followed by a number ("total 12",
// "insgesamt 8", "total 1.5K"): lines that never name an entry.
bool IsSummaryLine(QByteArrayView line);

// The outcome for a line that no grammar could read.
ParsedLine UnreadLine(QByteArrayView line);
