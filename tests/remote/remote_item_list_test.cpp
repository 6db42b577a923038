#include <gtest/gtest.h>

#include <random>

#include "remote/remote_item_list.h"
#include "remote_item_printer.h"

// The tables rely on defaults of members left out (GCC 12 warns).
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

RemoteItem Item(char kind, const char* name) {
    RemoteItem item;
    item.kind = kind;
    item.name = name;
    return item;
}

std::vector<QByteArray> Names(const RemoteItemList& list) {
    std::vector<QByteArray> names;
    for (const RemoteItem& item : list)
        names.push_back(item.name);
    return names;
}

// The reference order: exchange neighbours only while strictly out of order.
std::vector<RemoteItem> ExchangeSorted(std::vector<RemoteItem> items) {
    auto rank = [](char kind) {
        switch (kind) {
            case 'd':
                return 0;
            case 'l':
                return 1;
            case 'b':
                return 2;
            case 'c':
                return 3;
            case '-':
                return 4;
            default:
                return 5;
        }
    };
    auto lower = [](QByteArray name) {
        for (char& c : name)
            c = (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
        return name;
    };
    auto after = [&](const RemoteItem& a, const RemoteItem& b) {
        if (rank(a.kind) != rank(b.kind))
            return rank(a.kind) > rank(b.kind);
        const QByteArray la = lower(a.name), lb = lower(b.name);
        return std::lexicographical_compare(lb.begin(), lb.end(), la.begin(), la.end(),
                                            [](char x, char y) { return uchar(x) < uchar(y); });
    };
    for (size_t end = items.size(); end > 1; --end) {
        for (size_t i = 0; i + 1 < end; ++i) {
            if (after(items[i], items[i + 1]))
                std::swap(items[i], items[i + 1]);
        }
    }
    return items;
}

TEST(RemoteItemListTest, ParsesEveryLineAndSkipsTheRest) {
    RemoteItemList list;
    EXPECT_TRUE(
        list.parse("total 12\n"
                   "-rw-r--r-- 1 u g 5 Jan 5 2011 b.txt\n"
                   "drwxr-xr-x 2 u g 4096 Jan 5 2011 .\n"
                   "drwxr-xr-x 2 u g 4096 Jan 5 2011 sub\n"
                   "\n"
                   "garbage\n",
                   true));
    EXPECT_EQ(Names(list), (std::vector<QByteArray>{"sub", "b.txt"}));
}

// A copy shares the listing's storage: views and actions holding one listing
// cost nothing more. Changing a copy leaves the others as they were.
TEST(RemoteItemListTest, CopiesShareTheStorageUntilOneChanges) {
    RemoteItemList a;
    a.parse("-rw-r--r-- 1 u g 5 Jan 5 2011 b\r\n-rw-r--r-- 1 u g 5 Jan 5 2011 a\r\n", true);
    const RemoteItemList b = a;
    EXPECT_EQ(b.nameAt(0).data(), a.nameAt(0).data());
    RemoteItemList c = a;
    c.append(Item('d', "new"));
    c.sort();
    EXPECT_NE(c.nameAt(0).data(), a.nameAt(0).data());
    EXPECT_EQ(Names(a), (std::vector<QByteArray>{"a", "b"}));
    EXPECT_EQ(Names(c), (std::vector<QByteArray>{"new", "a", "b"}));
    EXPECT_TRUE(a == b);
}

// Permissions, time, owner and group repeat down a listing; each distinct
// text is held once whatever the order of the lines.
TEST(RemoteItemListTest, RepeatedFieldsAreHeldOnce) {
    RemoteItemList list;
    list.parse(
        "-rw-r--r-- 1 joe www 5 Jan 5 10:30 a\r\n"
        "drwxr-xr-x 1 ann www 5 Jan 5 11:00 b\r\n"
        "-rw-r--r-- 1 joe staff 5 Jan 5 10:30 c\r\n",
        true);
    ASSERT_EQ(list.size(), 3);
    const RemoteItemView b = list.view(0), a = list.view(1), c = list.view(2);
    EXPECT_EQ(a.name, "a");
    EXPECT_EQ(a.owner.data(), c.owner.data());
    EXPECT_EQ(a.group.data(), b.group.data());
    EXPECT_EQ(a.permissions.data(), c.permissions.data());
    EXPECT_EQ(a.time.data(), c.time.data());
    EXPECT_NE(a.owner.data(), b.owner.data());
    EXPECT_EQ(list.at(2), (RemoteItem{.kind = '-',
                                      .permissions = "rw-r--r--",
                                      .time = "10:30",
                                      .name = "c",
                                      .size = 5,
                                      .month = 1,
                                      .day = 5,
                                      .links = 1,
                                      .owner = "joe",
                                      .group = "staff"}));
}

TEST(RemoteItemListTest, LastLineWithoutLineFeedIsParsed) {
    RemoteItemList list;
    list.parse("-rw-r--r-- 1 u g 5 Jan 5 2011 a\r\n-rw-r--r-- 1 u g 5 Jan 5 2011 last", true);
    EXPECT_EQ(Names(list), (std::vector<QByteArray>{"a", "last"}));

    RemoteItemList facts;
    facts.parse("type=file;size=1; a\r\ntype=file;size=2; last\r", false);
    EXPECT_EQ(Names(facts), (std::vector<QByteArray>{"a", "last"}));
}

TEST(RemoteItemListTest, ParseAppendsAndReportsWhetherAnythingIsHeld) {
    RemoteItemList list;
    EXPECT_FALSE(list.parse("", true));
    EXPECT_FALSE(list.parse("total 0\r\n", true));
    EXPECT_TRUE(list.parse("type=file;size=1; b\r\n", false));
    EXPECT_TRUE(list.parse("type=dir; a\r\n", false));
    EXPECT_EQ(Names(list), (std::vector<QByteArray>{"a", "b"}));
    // Nothing new, but the list still holds items.
    EXPECT_TRUE(list.parse("garbage\r\n", false));
    EXPECT_EQ(list.size(), 2);
}

TEST(RemoteItemListTest, GrammarFollowsTheFlag) {
    const QByteArray unixLine = "-rw-r--r-- 1 u g 5 Jan 5 2011 a\r\n";
    const QByteArray factLine = "type=file;size=1; a\r\n";
    RemoteItemList list;
    EXPECT_FALSE(list.parse(unixLine, false));
    EXPECT_FALSE(list.parse(factLine, true));
    EXPECT_TRUE(list.parse(unixLine, true));
}

TEST(RemoteItemListTest, SortsByKindThenNameIgnoringCase) {
    RemoteItemList list;
    for (const RemoteItem& item :
         {Item('-', "C.txt"), Item('?', "odd"), Item('-', "b.txt"), Item('c', "tty"),
          Item('b', "sda"), Item('l', "link"), Item('d', "Zeta"), Item('d', "alpha")})
        list.append(item);
    list.sort();
    EXPECT_EQ(Names(list), (std::vector<QByteArray>{"alpha", "Zeta", "link", "sda", "tty", "b.txt",
                                                    "C.txt", "odd"}));
}

TEST(RemoteItemListTest, SortFoldsOnlyAsciiLettersAndComparesBytesUnsigned) {
    RemoteItemList list;
    // '_' (0x5F) lies between 'Z' and 'a': folding to lower case puts it first;
    // bytes above 0x7F come after every ASCII letter.
    for (const char* name : {"\xc3\xa9", "_x", "Zz", "a", "B"})
        list.append(Item('-', name));
    list.sort();
    EXPECT_EQ(Names(list), (std::vector<QByteArray>{"_x", "a", "B", "Zz", "\xc3\xa9"}));
}

TEST(RemoteItemListTest, SortMatchesNeighbourExchangeOnRandomLists) {
    std::mt19937 random(12345);
    const char kinds[] = {'d', 'l', 'b', 'c', '-', 'p'};
    const char letters[] = {'a', 'A', 'b', 'B', '_', '1'};
    for (int round = 0; round < 50; ++round) {
        std::vector<RemoteItem> items;
        const int count = int(random() % 60);
        for (int i = 0; i < count; ++i) {
            RemoteItem item;
            item.kind = kinds[random() % 6];
            for (int length = int(random() % 3) + 1; length > 0; --length)
                item.name.append(letters[random() % 6]);
            item.size = i;  // tells equal names apart
            items.push_back(item);
        }
        RemoteItemList list;
        for (const RemoteItem& item : items)
            list.append(item);
        list.sort();
        ASSERT_EQ(list.toVector(), ExchangeSorted(items)) << "round " << round;
    }
}

class RemoteItemListLookupTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const RemoteItem& item : {Item('d', "Docs"), Item('d', "docs"), Item('l', "link"),
                                       Item('-', "Readme"), Item('-', "a b")})
            list.append(item);
    }
    RemoteItemList list;
};

TEST_F(RemoteItemListLookupTest, KindAndItemByExactName) {
    EXPECT_EQ(list.kindOf("link"), 'l');
    EXPECT_EQ(list.kindOf("a b"), '-');
    EXPECT_EQ(list.kindOf("LINK"), 0);
    EXPECT_EQ(list.kindOf("missing"), 0);
    ASSERT_TRUE(list.itemOf("docs"));
    EXPECT_EQ(*list.itemOf("docs"), list.at(1));
    EXPECT_FALSE(list.itemOf("readme"));
    EXPECT_TRUE(list.contains("a b"));
    EXPECT_FALSE(list.contains("A B"));
}

TEST_F(RemoteItemListLookupTest, IndexExactOrIgnoringCase) {
    EXPECT_EQ(list.indexOf("docs", true), 1);
    EXPECT_EQ(list.indexOf("docs", false), 0);
    EXPECT_EQ(list.indexOf("README", false), 3);
    EXPECT_EQ(list.indexOf("README", true), -1);
    EXPECT_EQ(list.indexOf("Read", false), -1);
    EXPECT_EQ(list.indexOf("", false), -1);
}

TEST_F(RemoteItemListLookupTest, Counts) {
    EXPECT_EQ(list.countFolders(), 2);
    EXPECT_EQ(list.countNonFolders(), 3);
    EXPECT_TRUE(list.hasFolder());
    RemoteItemList files;
    files.append(Item('-', "a"));
    files.append(Item('l', "b"));
    EXPECT_FALSE(files.hasFolder());
    EXPECT_EQ(files.countFolders(), 0);
    EXPECT_EQ(files.countNonFolders(), 2);
    EXPECT_FALSE(RemoteItemList().hasFolder());
}

TEST_F(RemoteItemListLookupTest, RetainOnlyMatchesKindAndExactName) {
    const int removed = list.retainOnly({{'d', "docs"}, {'-', "link"}, {'-', "a b"}, {'d', "x"}});
    EXPECT_EQ(removed, 3);
    EXPECT_EQ(Names(list), (std::vector<QByteArray>{"docs", "a b"}));
    EXPECT_EQ(list.retainOnly({}), 2);
    EXPECT_TRUE(list.isEmpty());
}

TEST(RemoteItemListTest, EqualComparesEveryFieldInOrder) {
    RemoteItemList a;
    a.parse("lrwxrwxrwx 1 u g 7 Jan 5 2011 l -> t\r\n-rw-r--r-- 1 u g 5 Jan 5 2011 f\r\n", true);
    RemoteItemList b = a;
    EXPECT_TRUE(a.equal(b));

    auto differsIn = [&a](auto change) {
        std::vector<RemoteItem> items = a.toVector();
        change(items.back());
        RemoteItemList other;
        for (const RemoteItem& item : items)
            other.append(item);
        return !a.equal(other) && !(a == other);
    };
    EXPECT_TRUE(differsIn([](RemoteItem& i) { i.kind = 'd'; }));
    EXPECT_TRUE(differsIn([](RemoteItem& i) { i.permissions = "rw-r--r-x"; }));
    EXPECT_TRUE(differsIn([](RemoteItem& i) { i.time = "1"; }));
    EXPECT_TRUE(differsIn([](RemoteItem& i) { i.linkTarget = "x"; }));
    EXPECT_TRUE(differsIn([](RemoteItem& i) { i.name = "F"; }));
    EXPECT_TRUE(differsIn([](RemoteItem& i) { i.name.append('\0'); }));
    EXPECT_TRUE(differsIn([](RemoteItem& i) { i.size = 6; }));
    EXPECT_TRUE(differsIn([](RemoteItem& i) { i.year = 2012; }));
    EXPECT_TRUE(differsIn([](RemoteItem& i) { i.month = 2; }));
    EXPECT_TRUE(differsIn([](RemoteItem& i) { i.day = 6; }));
    EXPECT_TRUE(differsIn([](RemoteItem& i) { i.links = 2; }));
    EXPECT_TRUE(differsIn([](RemoteItem& i) { i.owner = "v"; }));
    EXPECT_TRUE(differsIn([](RemoteItem& i) { i.group = "h"; }));

    RemoteItemList reversed;
    reversed.append(a.at(1));
    reversed.append(a.at(0));
    EXPECT_FALSE(a.equal(reversed));
    b.clear();
    EXPECT_FALSE(a.equal(b));
    EXPECT_TRUE(b.equal(RemoteItemList()));
}

// Whatever the bytes, parsing ends and every item it yields is well formed.
TEST(RemoteItemListTest, SurvivesRandomBytes) {
    std::mt19937 random(7);
    const QByteArray pieces[] = {"-rw-r--r--", "drwxr-xr-x+", " ",
                                 "  ",         "1",           "99999999999999999999",
                                 "Jan",        "-",           "/",
                                 ":",          "12:30",       "->",
                                 ";",          "type=",       "file",
                                 "size=",      "modify=",     "UNIX.mode=",
                                 "0o",         "7",           ".",
                                 "\r",         "\n",          QByteArray(1, '\0'),
                                 "\t",         "\xff",        "OS.unix=slink",
                                 "dir"};
    for (int round = 0; round < 400; ++round) {
        QByteArray text;
        const int count = int(random() % 80);
        for (int i = 0; i < count; ++i)
            text += pieces[random() % std::size(pieces)];
        for (bool unixGrammar : {true, false}) {
            RemoteItemList list;
            list.parse(text, unixGrammar);
            for (const RemoteItem& item : list) {
                EXPECT_FALSE(item.name.isEmpty());
                EXPECT_NE(item.name, ".");
                EXPECT_NE(item.name, "..");
                EXPECT_GE(item.size, 0);
                EXPECT_TRUE(item.permissions.isEmpty() || item.permissions.size() == 9);
                EXPECT_FALSE(item.name.contains('\n'));
                EXPECT_FALSE(item.name.contains('\r'));
            }
        }
    }
}

}  // namespace
