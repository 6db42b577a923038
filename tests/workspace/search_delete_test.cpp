#include "workspace/search_delete.h"

#include <gtest/gtest.h>

namespace {

SearchRow row(const QByteArray& folder, const QByteArray& name, char kind = '-') {
    SearchRow r;
    r.folder = folder;
    r.item.kind = kind;
    r.item.name = name;
    return r;
}

RemoteItemList listing(std::initializer_list<QByteArray> names) {
    RemoteItemList list;
    for (const QByteArray& n : names) {
        RemoteItem i;
        i.kind = '-';
        i.name = n;
        list.append(i);
    }
    list.sort();
    return list;
}

TEST(SearchDelete, RowsGoPerFolderInTheOrderFirstNamed) {
    const std::vector<SearchRow> rows = {row("/a", "x"), row("/a/b", "y", 'd'), row("/a", "z")};
    const auto batches = GroupSearchRowsByFolder(rows);
    ASSERT_EQ(batches.size(), 2u);
    EXPECT_EQ(batches[0].folder, "/a");
    ASSERT_EQ(batches[0].items.size(), 2u);
    EXPECT_EQ(batches[0].items[1].name, "z");
    EXPECT_EQ(batches[1].items.front().kind, 'd');
    EXPECT_EQ(SearchRowPaths(rows), (std::vector<QString>{"/a/x", "/a/b/y", "/a/z"}));
    EXPECT_EQ(SearchDeleteQuestion(1), "Delete the selected item?");
    EXPECT_EQ(SearchDeleteQuestion(2), "Delete the selected items?");
}

TEST(SearchDelete, AFreshListingShowsWhichRowsAreGone) {
    struct Case {
        const char* name;
        SearchRow row;
        QByteArray folder;
        bool gone;
    };
    const RemoteItemList list = listing({"keep", "sub"});
    const Case cases[] = {
        {"entry still there", row("/w", "keep"), "/w", false},
        {"entry gone", row("/w", "old"), "/w", true},
        {"listed with a slash at the end", row("/w", "old"), "/w/", true},
        {"a deeper row whose folder is still there", row("/w/sub/x", "f"), "/w", false},
        {"a deeper row whose folder went", row("/w/gone/x", "f"), "/w", true},
        {"another folder", row("/v", "old"), "/w", false},
        {"a folder that only starts alike", row("/wide", "old"), "/w", false},
        {"below the root", row("/gone", "f"), "/", true},
        {"names compare exactly", row("/w", "KEEP"), "/w", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SearchRowGone(c.row, c.folder, list), c.gone) << c.name;
}

TEST(SearchDelete, AFreshListingOfTheRowsFolderShowsWhatChanged) {
    SearchRow found = row("/w", "page.htm");
    found.item.size = 10;
    RemoteItemList list;
    RemoteItem grown = found.item;
    grown.size = 25;
    list.append(grown);
    const struct {
        const char* name;
        QByteArray folder;
        bool changed;
    } cases[] = {
        {"another folder", "/v", false},
        {"its folder, the entry grown", "/w/", true},
        {"its folder again, nothing new", "/w", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RefreshSearchRow(found, c.folder, list), c.changed) << c.name;
    EXPECT_EQ(found.item.size, 25);
    EXPECT_FALSE(RefreshSearchRow(found, "/w", listing({"other"}))) << "the entry went";
}

}  // namespace
