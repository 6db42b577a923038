#include "remote/listing_grammar.h"

#include "remote/ascii_text.h"

#include <algorithm>
#include <cstring>

bool HasControlBreak(QByteArrayView line) {
    const size_t n = size_t(line.size());
    return std::memchr(line.data(), '\r', n) || std::memchr(line.data(), '\n', n) ||
           std::memchr(line.data(), '\0', n);
}

ParsedLine ListingGrammar::read(QByteArray line) const {
    if (HasControlBreak(line)) {
        // Stray line ends between lines name nothing.
        const bool empty = std::all_of(line.begin(), line.end(), [](char c) {
            return IsBlank(c) || c == '\r' || c == '\n' || c == '\0';
        });
        return empty ? ParsedLine::noEntry() : ParsedLine::notUnderstood();
    }
    return readLine(std::move(line));
}

std::optional<RemoteItem> ListingGrammar::parseLine(QByteArray line) const {
    ParsedLine parsed = read(std::move(line));
    if (parsed.outcome != LineOutcome::Entry)
        return std::nullopt;
    return std::move(parsed.item);
}

bool IsSummaryLine(QByteArrayView line) {
    qsizetype p = 0;
    const auto skipBlanks = [&] {
        while (p < line.size() && IsBlank(line[p]))
            ++p;
    };
    skipBlanks();
    if (p == line.size())
        return true;
    const qsizetype wordStart = p;
    while (p < line.size() && !IsBlank(line[p]))
        ++p;
    if (IsDigit(line[wordStart]))
        return false;
    skipBlanks();
    const qsizetype numberStart = p;
    while (p < line.size() && (IsDigit(line[p]) || line[p] == '.' || line[p] == ','))
        ++p;
    if (p == numberStart || !IsDigit(line[numberStart]))
        return false;
    // A unit letter such as "K" may follow the number.
    if (p < line.size() &&
        ((line[p] >= 'A' && line[p] <= 'Z') || (line[p] >= 'a' && line[p] <= 'z')))
        ++p;
    skipBlanks();
    return p == line.size();
}

ParsedLine UnreadLine(QByteArrayView line) {
    return IsSummaryLine(line) ? ParsedLine::noEntry() : ParsedLine::notUnderstood();
}
