#include <gtest/gtest.h>

#include "support/qt_printers.h"

#include "app/splitter_proportion.h"

namespace {

struct UnpackCase {
    qint32 field;
    int first;
    int second;
};

TEST(SplitterProportionTest, UnpacksWithRounding) {
    for (const UnpackCase& c : {
             UnpackCase{0x0050001E, 23831, 8937},   // 80 : 30
             UnpackCase{0x40004000, 16384, 16384},  // shares that already sum to 32768
             UnpackCase{0x002D003C, 14043, 18725},  // 45 : 60
             UnpackCase{0x00010002, 10923, 21845},  // (1 + 32768) / 3 rounds up
             UnpackCase{0x00000005, 0, 32768},
             UnpackCase{0x00050000, 32768, 0},
             UnpackCase{0x00000000, 16384, 16384},          // no weights: equal panes
             UnpackCase{qint32(0xFFFFFFFF), 16384, 16384},  // large weights do not overflow
             UnpackCase{qint32(0xFFFF0001), 32768, 0},
         }) {
        const auto shares = SplitterProportion::unpack(c.field);
        EXPECT_EQ(shares[0], c.first) << std::hex << c.field;
        EXPECT_EQ(shares[1], c.second) << std::hex << c.field;
    }
}

TEST(SplitterProportionTest, PackedSharesReadBackUnchanged) {
    const auto shares = SplitterProportion::unpack(0x0050001E);
    const qint32 packed = SplitterProportion::pack(shares[0], shares[1]);
    EXPECT_EQ(packed, (23831 << 16) | 8937);
    EXPECT_EQ(SplitterProportion::unpack(packed), shares);
    EXPECT_EQ(SplitterProportion::pack(-3, 70000), 0x0000FFFF);
}

TEST(SplitterProportionTest, SizesAndShares) {
    EXPECT_EQ(SplitterProportion::sharesFromSizes(300, 100), (std::array<int, 2>{24576, 8192}));
    EXPECT_EQ(SplitterProportion::sharesFromSizes(0, 0), (std::array<int, 2>{16384, 16384}));
    EXPECT_EQ(SplitterProportion::sizesFromShares({23831, 8937}, 1100),
              (std::array<int, 2>{800, 300}));
    EXPECT_EQ(SplitterProportion::sizesFromShares({16384, 16384}, 0), (std::array<int, 2>{0, 0}));
}

}  // namespace
