#include "platform/pane_shares.h"

#include <gtest/gtest.h>

namespace {

TEST(PaneShares, SizesFollowTheSharesAndTheMinimum) {
    struct Case {
        std::vector<int> shares;
        int total;
        int minimum;
        std::vector<int> sizes;
    };
    const Case cases[] = {
        {{16384, 16384}, 1000, 30, {500, 500}},
        {{23831, 8937}, 1100, 30, {800, 300}},
        // The small pane is held at the minimum, the other takes the rest.
        {{32000, 768}, 400, 30, {370, 30}},
        {{768, 32000}, 400, 30, {30, 370}},
        // Three panes: the middle one pinned, the outer two share the rest.
        {{16000, 100, 16668}, 1000, 50, {465, 50, 485}},
        // Not even the minimum fits: the last panes are cut.
        {{16384, 16384}, 40, 30, {30, 10}},
        {{16384, 16384}, 0, 30, {0, 0}},
        {{0, 0}, 100, 0, {0, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.shares) + " in " + std::to_string(c.total));
        EXPECT_EQ(PaneSizes(c.shares, c.total, c.minimum), c.sizes);
    }
}

TEST(PaneShares, EqualSharesAndBackFromSizes) {
    EXPECT_EQ(EqualShares(2), (std::vector<int>{16384, 16384}));
    EXPECT_EQ(EqualShares(3), (std::vector<int>{10923, 10923, 10922}));
    EXPECT_EQ(SharesFromSizes({800, 300}), (std::vector<int>{23831, 8937}));
    EXPECT_EQ(SharesFromSizes({0, 0}), (std::vector<int>{16384, 16384}));
}

}  // namespace
