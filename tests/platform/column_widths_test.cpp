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

TEST(ColumnWidths, FitGivesNumbersTheirRoomAndTakesItFromSlackThenTheName) {
    struct Case {
        const char* what;
        QList<int> shares;
        QList<int> needs;
        int minimum;
        QList<int> expected;
    };
    // Column 0 is the name.
    const Case cases[] = {
        {"all fit: shares kept", {200, 100, 100}, {150, 60, 80}, 40, {200, 100, 100}},
        {"size from the date's slack", {200, 50, 150}, {150, 80, 100}, 40, {200, 80, 120}},
        {"slack shared by surplus",
         {100, 40, 100, 100},
         {100, 100, 70, 40},
         40,
         {100, 100, 80, 60}},
        {"name grows into slack", {100, 100, 100}, {180, 50, 50}, 40, {180, 60, 60}},
        {"then from the name", {200, 50, 50}, {300, 100, 90}, 40, {110, 100, 90}},
        {"name kept at its minimum", {100, 50, 50}, {300, 80, 80}, 40, {40, 80, 80}},
        {"and below it, numbers first", {60, 20, 20}, {300, 60, 30}, 40, {10, 60, 30}},
        {"nothing left", {10, 10, 10}, {300, 60, 30}, 40, {0, 60, 30}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FitColumnWidths(c.shares, c.needs, 0, c.minimum), c.expected);
    }
    // Sizes that do not match leave the shares alone.
    EXPECT_EQ(FitColumnWidths({10, 20}, {5}, 0, 4), (QList<int>{10, 20}));
}
