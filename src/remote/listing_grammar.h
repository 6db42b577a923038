#pragma once

#include <QByteArray>
#include <optional>

#include "remote/remote_item.h"

// The grammar of one listing line. A line comes without its line feed and with
// carriage returns already turned into blanks; a line the grammar does not
// recognise (summary lines, the folder itself, garbage) gives nothing.
class ListingGrammar {
public:
    virtual ~ListingGrammar() = default;
    virtual std::optional<RemoteItem> parseLine(QByteArray line) const = 0;
};
