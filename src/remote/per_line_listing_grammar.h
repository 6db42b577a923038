#pragma once

#include "remote/dos_listing_grammar.h"
#include "remote/mlsd_listing_grammar.h"
#include "remote/unix_listing_grammar.h"

// Picks the grammar for each line by its look: a line with a permission token
// is Unix-style, one that begins with a numeric date and a time is DOS-style.
// This is how LIST output is read, since a server may send either. With facts
// set, lines that begin with an MLSD fact are read as MLSD (for saved listings,
// where the command that produced them is not known).
class PerLineListingGrammar : public ListingGrammar {
public:
    explicit PerLineListingGrammar(bool facts = false) : facts_(facts) {}
    ParsedLine readLine(QByteArray line) const override;

private:
    bool facts_;
    UnixListingGrammar unix_;
    DosListingGrammar dos_;
    MlsdListingGrammar mlsd_;
};
