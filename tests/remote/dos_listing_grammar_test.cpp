// The listing Windows servers send for LIST without MLSD, read line by line
// beside Unix-style lines.
#include "remote/dos_listing_grammar.h"
#include "listing_line_table.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

class DosLineTest : public ::testing::TestWithParam<ListingLineCase> {};

TEST_P(DosLineTest, ReadsOrReports) {
    ExpectLineReads(GetParam());
}

RemoteItem Dos(char kind, qint64 size, int year, int month, int day, const char* time,
               const char* name) {
    return {.kind = kind,
            .time = time,
            .name = name,
            .size = size,
            .year = year,
            .month = month,
            .day = day};
}

const ListingLineCase kDosLines[] = {
    {"S01_FolderTwelveHourClock", "04-27-00  12:09PM       <DIR>          name",
     Dos('d', 0, 2000, 4, 27, "12:09", "name")},
    {"S02_FileYearFirstWithThousands", "2002-09-02  19:06                9,730 name",
     Dos('-', 9730, 2002, 9, 2, "19:06", "name")},
    {"S03_NameWithBlanksKeptWhole", "10-05-21  01:05PM                 1234 My File  v2.txt",
     Dos('-', 1234, 2021, 10, 5, "13:05", "My File  v2.txt")},
    {"S04_MidnightAndLastCentury", "12-31-99  12:30AM       <DIR>          old",
     Dos('d', 0, 1999, 12, 31, "00:30", "old")},
    {"S05_FourDigitYear", "04-27-2000  11:59PM  5 a", Dos('-', 5, 2000, 4, 27, "23:59", "a")},
    {"S06_BlankBeforePm", "04-27-00  12:09 PM       <DIR>          spaced pm",
     Dos('d', 0, 2000, 4, 27, "12:09", "spaced pm")},
    {"S07_DottedThousands", "2002-09-02  19:06          1.234.567 big",
     Dos('-', 1234567, 2002, 9, 2, "19:06", "big")},
    {"S08_SizeBeyond32Bits", "2002-09-02  19:06      3,000,000,000 disk.img",
     Dos('-', 3000000000LL, 2002, 9, 2, "19:06", "disk.img")},
    {"S09_NameThatLooksLikeADate", "2002-09-02  19:06  7 04-27-00  12:09PM x",
     Dos('-', 7, 2002, 9, 2, "19:06", "04-27-00  12:09PM x")},
    {"S10_NameWithPermissionLikeWord", "2002-09-02  19:06  7 a drwxr-xr-x b",
     std::nullopt},  // a permission token makes the line Unix-style
    {"S11_Junction", "04-27-00  12:09PM    <JUNCTION>     link [C:\\target]", std::nullopt},
    {"S12_HourBeyondTwelveWithPm", "04-27-00  13:09PM       <DIR>          x", std::nullopt},
    {"S13_BadThousandsGroup", "04-27-00  12:09PM  9,73 x", std::nullopt},
    {"S14_NoName", "04-27-00  12:09PM       <DIR>     ", std::nullopt},
    {"S15_MonthOutOfRange", "13-27-00  12:09PM       <DIR>          x", std::nullopt},
    {"S16_SizeOverflows", "2002-09-02  19:06  9223372036854775808 x", std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Lines, DosLineTest, ::testing::ValuesIn(kDosLines),
                         [](const auto& info) { return std::string(info.param.id); });

TEST(DosListingGrammarTest, FolderAndParentNameNoEntry) {
    RemoteItemList list;
    RejectedLines rejected;
    list.parse(
        "04-27-00  12:09PM       <DIR>          .\r\n"
        "04-27-00  12:09PM       <DIR>          ..\r\n",
        true, &rejected);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(rejected.count, 0);
}

// Unix-style and DOS-style lines in one listing are each read by their own
// grammar, and sorted together.
TEST(DosListingGrammarTest, MixedListingReadsEveryLine) {
    RemoteItemList list;
    RejectedLines rejected;
    list.parse(
        "-rw-r--r-- 1 u g 5 Jan 5 2011 unix.txt\r\n"
        "2002-09-02  19:06                9,730 dos.txt\r\n"
        "04-27-00  12:09PM       <DIR>          Dos Folder\r\n",
        true, &rejected);
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list.at(0).name, "Dos Folder");
    EXPECT_EQ(list.at(1).name, "dos.txt");
    EXPECT_EQ(list.at(2).name, "unix.txt");
    EXPECT_EQ(rejected.count, 0);
}

// The DOS grammar on its own, as `parse --dos` uses it.
TEST(DosListingGrammarTest, OwnGrammarLeavesUnixLinesUnread) {
    const DosListingGrammar dos;
    EXPECT_EQ(dos.readLine("-rw-r--r-- 1 u g 5 Jan 5 2011 a").outcome, LineOutcome::NotUnderstood);
    EXPECT_EQ(dos.readLine("total 3").outcome, LineOutcome::NoEntry);
    EXPECT_EQ(dos.parseLine("2002-09-02  19:06  7 a")->name, "a");
}

}  // namespace
