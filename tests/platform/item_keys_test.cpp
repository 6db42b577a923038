#include "platform/item_keys.h"

#include <QtCore/qnamespace.h>

#include <gtest/gtest.h>

TEST(ItemKeys, EachKeyHasOneMeaningOnBothSides) {
    const struct {
        int key;
        ItemKey meaning;
    } cases[] = {
        {Qt::Key_Return, ItemKey::Open},  {Qt::Key_Enter, ItemKey::Open},
        {Qt::Key_Backspace, ItemKey::Up}, {Qt::Key_F5, ItemKey::Refresh},
        {Qt::Key_F2, ItemKey::Rename},    {Qt::Key_Delete, ItemKey::Delete},
        {Qt::Key_Escape, ItemKey::None},  {Qt::Key_Left, ItemKey::None},
        {Qt::Key_A, ItemKey::None},       {Qt::Key_F6, ItemKey::None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ItemKeyFor(c.key), c.meaning) << c.key;
    }
}
