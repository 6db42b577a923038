#include "platform/column_widths.h"

#include <gtest/gtest.h>

TEST(ColumnWidths, ShareTheWidthAndFillItExactly) {
    struct Case {
        int width;
        QList<int> weights;
        QList<int> expected;
    };
    const Case cases[] = {
        {400, {50, 100, 50}, {100, 200, 100}},
        {401, {50, 100, 50}, {100, 200, 101}},
        {760, {60, 100, 100, 100, 100, 100, 100, 100}, {60, 100, 100, 100, 100, 100, 100, 100}},
        {100, {1, 1, 1}, {33, 33, 34}},
        {0, {50, 100}, {0, 0}},
        {-5, {1, 1}, {0, 0}},
        {90, {0, 0}, {0, 90}},
        {90, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        EXPECT_EQ(c.expected, ProportionalWidths(c.width, c.weights));
    }
}
