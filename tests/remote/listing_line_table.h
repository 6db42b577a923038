#pragma once

// Table cases of listing lines read through a list, so that line splitting,
// carriage returns and the per-line choice of grammar are covered too.
#include <gtest/gtest.h>

#include <optional>

#include "remote/remote_item_list.h"
#include "remote_item_printer.h"

struct ListingLineCase {
    const char* id;
    QByteArray line;                     // as sent, without the line end
    std::optional<RemoteItem> expected;  // nothing: left out, and counted as not read
};

inline void PrintTo(const ListingLineCase& c, std::ostream* os) {
    *os << c.id;
}

// An expected item is the only thing the line gives; a line without one gives
// nothing and is reported, never dropped without a word.
inline void ExpectLineReads(const ListingLineCase& c, bool unixGrammar = true) {
    RemoteItemList list;
    RejectedLines rejected;
    list.parse(c.line + "\r\n", unixGrammar, &rejected);
    if (c.expected) {
        ASSERT_EQ(list.size(), 1) << c.line.toStdString();
        EXPECT_EQ(list.at(0), *c.expected) << c.line.toStdString();
        EXPECT_EQ(rejected.count, 0);
    } else {
        EXPECT_EQ(list.size(), 0) << c.line.toStdString();
        EXPECT_EQ(rejected.count, 1) << c.line.toStdString();
        EXPECT_EQ(rejected.first, c.line);
    }
}
