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

TEST(ColumnWidths, FitGivesNumbersTheirRoomFromSpareThenTextsThenTheName) {
    struct Case {
        const char* what;
        QList<int> shares;
        QList<int> needs;
        QList<int> expected;
    };
    // Name (floor 40), size and date (fixed: floor = need), owner (floor 10).
    const auto floors = [](const QList<int>& needs) {
        return QList<int>{qMin(needs[0] - 1, 40), needs[1], needs[2], qMin(needs[3] - 1, 10)};
    };
    const Case cases[] = {
        {"all fit: shares kept", {200, 100, 100, 100}, {150, 60, 80, 50}, {200, 100, 100, 100}},
        {"size from spare, by spare",
         {200, 50, 150, 100},
         {150, 80, 100, 100},
         {185, 80, 135, 100}},
        {"name grows into spare only",
         {100, 100, 100, 100},
         {180, 50, 50, 100},
         {180, 60, 60, 100}},
        {"texts give way above their floors",
         {100, 50, 50, 100},
         {300, 80, 90, 120},
         {72, 80, 90, 58}},
        {"down to the floors exactly", {60, 50, 50, 40}, {300, 80, 70, 120}, {40, 80, 70, 10}},
        {"never below them: wider than the list",
         {60, 50, 50, 40},
         {300, 80, 90, 120},
         {40, 80, 90, 10}},
        {"a name below its floor takes it from the others' room",
         {30, 80, 90, 120},
         {300, 80, 90, 120},
         {40, 80, 90, 110}},
        {"too narrow for anything", {10, 10, 10, 10}, {300, 80, 90, 120}, {40, 80, 90, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FitColumnWidths(c.shares, c.needs, floors(c.needs)), c.expected);
    }
    // Lists that do not match leave the shares alone.
    EXPECT_EQ(FitColumnWidths({10, 20}, {5}, {5}), (QList<int>{10, 20}));
}
