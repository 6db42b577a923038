#include "platform/list_summary.h"

#include <gtest/gtest.h>

namespace {

TEST(ListSummary, CountsFoldersFilesAndTheirSize) {
    ListCounts c;
    c.add(true, 4096);  // a folder's size is not counted
    c.add(false, 1500);
    c.add(false, 500000);
    EXPECT_EQ(c, (ListCounts{1, 2, 501500}));
    // A server's absurd size never turns the total negative.
    c.add(false, std::numeric_limits<qint64>::max());
    c.add(false, -5);
    EXPECT_EQ(c, (ListCounts{1, 4, std::numeric_limits<qint64>::max()}));
    struct Case {
        ListCounts counts;
        bool selection;
        quint8 style;
        const char* text;
    };
    const Case cases[] = {
        {{0, 0, 0}, false, 2, "0 folders, 0 files, total 0"},
        {{1, 1, 1234567}, false, 2, "1 folder, 1 file, total 1,234,567"},
        {{3, 12, 1234567}, false, 0, "3 folders, 12 files, total 1,235 k"},
        {{0, 2, 2048}, true, 1, "Selected: 0 folders, 2 files, total 2 k"},
    };
    for (const Case& x : cases)
        EXPECT_EQ(ListSummaryText(x.counts, x.selection, x.style), QString::fromLatin1(x.text));
}

}  // namespace
