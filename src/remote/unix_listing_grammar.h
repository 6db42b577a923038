#pragma once

#include "remote/listing_grammar.h"

// Unix "ls -l" style lines as sent for LIST, e.g.
//   drwxr-xr-x   2 user group     4096 Jan  5 10:30 My Docs
// Fields are found in a fixed order; each recognised field is overwritten with
// blanks on a private copy so that later searches over the whole line no longer
// see it.
class UnixListingGrammar : public ListingGrammar {
public:
    std::optional<RemoteItem> parseLine(QByteArray line) const override;
};
