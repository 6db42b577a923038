#include <gtest/gtest.h>

#include "remote/remote_list_columns.h"
#include "remote/remote_list_order.h"

namespace {

RemoteItem Entry(char kind, const char* name, qint64 size, int year, int month, int day,
                 const char* time, const char* permissions, const char* owner) {
    RemoteItem i;
    i.kind = kind;
    i.name = name;
    i.size = size;
    i.year = year;
    i.month = month;
    i.day = day;
    i.time = time;
    i.permissions = permissions;
    i.owner = owner;
    i.group = "www";
    return i;
}

// Folders, a link and files with sizes, dates (some without a year, read
// against 2026-03-10), types, permissions and owners that disagree with the
// names' order.
RemoteItemList Listing() {
    RemoteItemList list;
    for (const RemoteItem& i : {Entry('d', "logs", 0, 2020, 5, 1, "", "rwxr-xr-x", "root"),
                                Entry('d', "Assets", 0, -1, 2, 1, "09:00", "rwx------", "ann"),
                                Entry('l', "current", 7, 2019, 1, 1, "", "rwxrwxrwx", "ann"),
                                Entry('-', "b.TXT", 300, -1, 12, 24, "18:00", "rw-r--r--", "joe"),
                                Entry('-', "a.png", 300, -1, 3, 9, "08:30", "rw-------", "Ann"),
                                Entry('-', "c.gz", 20, 2025, 12, 31, "", "rw-r--r--", "root"),
                                Entry('-', "D", 1000, -1, 3, 9, "08:05", "r--r--r--", "bob")})
        list.append(i);
    list.sort();
    return list;
}

std::vector<QByteArray> Rows(const RemoteItemList& list, const std::vector<int>& order) {
    std::vector<QByteArray> names;
    for (int i = 0; i < list.size(); ++i)
        names.push_back(list.nameAt(order.empty() ? i : order[size_t(i)]).toByteArray());
    return names;
}

struct OrderCase {
    RemoteListColumn column;
    bool descending;
    std::vector<QByteArray> rows;
};

class RemoteListOrderTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(RemoteListOrderTest, KindsStayInPlaceAndTiesKeepNameOrder) {
    const OrderCase& c = GetParam();
    const RemoteItemList list = Listing();
    const std::vector<int> order =
        RemoteListOrder(list, {int(c.column), c.descending}, QDate(2026, 3, 10));
    EXPECT_EQ(Rows(list, order), c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, RemoteListOrderTest,
    ::testing::Values(
        // 1-2. Names as the listing sorts them, case aside; reversed within kinds.
        OrderCase{RemoteListColumn::Name,
                  false,
                  {"Assets", "logs", "current", "a.png", "b.TXT", "c.gz", "D"}},
        OrderCase{RemoteListColumn::Name,
                  true,
                  {"logs", "Assets", "current", "D", "c.gz", "b.TXT", "a.png"}},
        // 3-4. Equal sizes keep name order in both directions.
        OrderCase{RemoteListColumn::Size,
                  false,
                  {"Assets", "logs", "current", "c.gz", "a.png", "b.TXT", "D"}},
        OrderCase{RemoteListColumn::Size,
                  true,
                  {"Assets", "logs", "current", "D", "a.png", "b.TXT", "c.gz"}},
        // 5-6. "Dec 24" without a year is last December's; "Feb 1" this year's.
        OrderCase{RemoteListColumn::Modified,
                  false,
                  {"logs", "Assets", "current", "b.TXT", "c.gz", "D", "a.png"}},
        OrderCase{RemoteListColumn::Modified,
                  true,
                  {"Assets", "logs", "current", "a.png", "D", "c.gz", "b.TXT"}},
        // 7. Extensions without regard to case; no extension first.
        OrderCase{RemoteListColumn::Type,
                  false,
                  {"Assets", "logs", "current", "D", "c.gz", "a.png", "b.TXT"}},
        // 8. Permissions as bytes.
        OrderCase{RemoteListColumn::Permission,
                  false,
                  {"Assets", "logs", "current", "D", "a.png", "b.TXT", "c.gz"}},
        // 9. Owners without regard to case.
        OrderCase{RemoteListColumn::OwnerGroup,
                  true,
                  {"logs", "Assets", "current", "c.gz", "b.TXT", "D", "a.png"}},
        // 10. Numbers count within kinds in name order.
        OrderCase{RemoteListColumn::Number,
                  true,
                  {"logs", "Assets", "current", "D", "c.gz", "b.TXT", "a.png"}}));

// The listing's own order needs no table of positions.
TEST(RemoteListOrder, NameAscendingIsTheListingItself) {
    EXPECT_TRUE(RemoteListOrder(Listing(), {}, QDate(2026, 3, 10)).empty());
}

struct StoredSortCase {
    const char* text;
    ListSort sort;
};

TEST(ListSortTest, ClicksAndStoredTexts) {
    const ListSort byName;
    EXPECT_EQ(byName.clicked(0), (ListSort{0, true}));
    EXPECT_EQ(byName.clicked(0).clicked(0), byName);
    EXPECT_EQ((ListSort{0, true}).clicked(3), (ListSort{3, false}));
    for (const StoredSortCase& c :
         {StoredSortCase{"3:d", {3, true}}, StoredSortCase{"6:a", {6, false}},
          StoredSortCase{"7:a", {}}, StoredSortCase{"-1:d", {}}, StoredSortCase{"2:x", {}},
          StoredSortCase{"two:a", {}}, StoredSortCase{"1,d", {}}, StoredSortCase{"", {}}}) {
        EXPECT_EQ(ListSort::fromText(QString::fromLatin1(c.text), kRemoteListColumnCount), c.sort)
            << c.text;
        if (c.sort != ListSort()) {
            EXPECT_EQ(c.sort.toText(), QString::fromLatin1(c.text));
        }
    }
}

}  // namespace
