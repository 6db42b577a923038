#include "remote/remote_drag_data.h"

#include <gtest/gtest.h>

namespace {

TEST(RemoteDragData, RoundTripKeepsTheServersBytesAndRefusesDamage) {
    RemoteDragData d;
    d.folder = "/www/caf\xc3\xa9";
    RemoteItem a;
    a.kind = 'd';
    a.name = "sub folder";
    RemoteItem b;
    b.kind = '-';
    b.name = QByteArray("bad\xff name", 9);
    b.size = 3'000'000'000;
    b.year = 2019;
    d.items = {a, b};
    const QByteArray bytes = EncodeRemoteDrag(d);
    const auto back = DecodeRemoteDrag(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->folder, d.folder);
    EXPECT_EQ(back->items, d.items);
    EXPECT_FALSE(DecodeRemoteDrag(bytes.left(bytes.size() - 3)));
    EXPECT_FALSE(DecodeRemoteDrag(bytes + "x"));
    EXPECT_FALSE(DecodeRemoteDrag("file:///etc/passwd"));
}

}  // namespace
