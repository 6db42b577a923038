#pragma once

#include "remote/listing_grammar.h"

// The listing Windows servers send for LIST when they do not offer MLSD:
//   04-27-00  12:09PM       <DIR>          name
//   2002-09-02  19:06                9,730 name
// The date is month-day-year (two- or four-digit year) or year-month-day; the
// time has twelve hours with AM/PM or twenty-four. The name is the rest of the
// line, blanks inside it kept. Entries get no permissions, owner, group or
// link count; the time is stored with twenty-four hours ("12:09PM" is "12:09",
// "01:05PM" is "13:05"), two-digit years 70-99 as 19xx and 00-69 as 20xx.
class DosListingGrammar : public ListingGrammar {
public:
    ParsedLine readLine(QByteArray line) const override;

    // The line begins with a numeric date and a time: it is DOS-style whether
    // or not the rest can be read.
    static bool isDosStyle(QByteArrayView line);
};
