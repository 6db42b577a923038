#include "platform/row_colours.h"

#include <gtest/gtest.h>

TEST(RowColours, SelectionFocusAndDropTarget) {
    struct Case {
        bool selected, focused, drop;
        RowColours expected;
    };
    const RowColours blue{{49, 106, 197}, {255, 255, 255}};
    const RowColours beige{{231, 228, 211}, {0, 0, 0}};
    const RowColours plain{{255, 255, 255}, {0, 0, 0}};
    const Case cases[] = {
        {true, true, false, blue},    {true, false, false, beige}, {false, true, false, plain},
        {false, false, false, plain}, {false, false, true, blue},  {true, false, true, blue},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RowColoursFor(c.selected, c.focused, c.drop), c.expected)
            << c.selected << c.focused << c.drop;
    }
}
