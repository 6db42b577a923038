#pragma once

#include "remote/listing_grammar.h"

// Unix "ls -l" style lines as sent for LIST, e.g.
//   drwxr-xr-x   2 user group     4096 Jan  5 10:30 My Docs
// with the dates servers write in other locales and styles too (numeric, day
// first, month names of several languages, CJK marks), and lines without a
// date. Fields are found in a fixed order; each recognised field is
// overwritten with blanks on a private copy so that later searches over the
// whole line no longer see it. A line that could be read in more than one way
// is not understood rather than given a name the server did not send.
class UnixListingGrammar : public ListingGrammar {
public:
    ParsedLine readLine(QByteArray line) const override;

    // The line holds a permission token such as "drwxr-xr-x": it is Unix-style
    // whether or not the rest can be read.
    static bool isUnixStyle(QByteArrayView line);
    // readLine() for a Unix-style line; nothing for any other, so that a
    // caller choosing the grammar looks for the permissions only once.
    std::optional<ParsedLine> readUnixStyleLine(QByteArray line) const;

    // Fields that repeat from line to line, kept so that a repeat shares the
    // bytes instead of allocating them again. Only a cache: a grammar object
    // reads the lines of one listing on one thread.
    struct RepeatedFields {
        QByteArray permissions;
        QByteArray time;
        QByteArray owner;
        QByteArray group;
    };

private:
    mutable RepeatedFields repeated_;
};
