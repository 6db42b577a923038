#pragma once

#include "remote/listing_grammar.h"

// Machine listing lines as sent for MLSD, e.g.
//   type=file;size=5;modify=20240105103000;UNIX.mode=0644; a.txt
// Only the type fact is required; every other fact, when missing, leaves its
// field not given. A fact that is present but malformed rejects the line.
class MlsdListingGrammar : public ListingGrammar {
public:
    ParsedLine readLine(QByteArray line) const override;

    // The line begins with a fact ("type=file;..."): it is an MLSD line whether
    // or not the rest can be read.
    static bool isFactStyle(QByteArrayView line);
};
