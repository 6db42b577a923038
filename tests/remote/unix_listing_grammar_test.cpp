#include <gtest/gtest.h>

#include <optional>

#include "remote/remote_item_list.h"
#include "remote/unix_listing_grammar.h"
#include "remote_item_printer.h"

// GCC 12 warns about members left out of designated initializers even though
// they take their defaults (fixed in GCC 13); the tables rely on those defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

struct LineCase {
    const char* id;
    QByteArray line;                     // as sent, without the line feed
    std::optional<RemoteItem> expected;  // nothing: the line is skipped
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.id;
}

// Through the list, so that line splitting and carriage returns are covered too.
std::optional<RemoteItem> ParseUnixLine(const QByteArray& line) {
    RemoteItemList list;
    list.parse(line + "\r\n", true);
    EXPECT_LE(list.size(), 1);
    if (list.isEmpty())
        return std::nullopt;
    return list.at(0);
}

class UnixLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(UnixLineTest, ParsesFields) {
    const LineCase& c = GetParam();
    EXPECT_EQ(ParseUnixLine(c.line), c.expected) << c.line.toStdString();
}

// A file line of size 5 owned by u:g with one link, varying only the date.
RemoteItem DatedFile(int year, int month, int day, const char* time = "") {
    return {.kind = '-',
            .permissions = "rw-r--r--",
            .time = time,
            .name = "a.txt",
            .size = 5,
            .year = year,
            .month = month,
            .day = day,
            .links = 1,
            .owner = "u",
            .group = "g"};
}

const LineCase kShapes[] = {
    {"U01_FolderWithBlankInName", "drwxr-xr-x   2 user group     4096 Jan  5 10:30 My Docs",
     RemoteItem{.kind = 'd',
                .permissions = "rwxr-xr-x",
                .time = "10:30",
                .name = "My Docs",
                .size = 4096,
                .month = 1,
                .day = 5,
                .links = 2,
                .owner = "user",
                .group = "group"}},
    // The carriage return became a blank, which is no part of the target.
    {"U02_LinkTargetLosesBlankOfCarriageReturn",
     "lrwxrwxrwx 1 root root 11 Mar 3 2011 lib -> /usr/lib",
     RemoteItem{.kind = 'l',
                .permissions = "rwxrwxrwx",
                .linkTarget = "/usr/lib",
                .name = "lib",
                .size = 11,
                .year = 2011,
                .month = 3,
                .day = 3,
                .links = 1,
                .owner = "root",
                .group = "root"}},
    {"U03_LinkNameAndTargetWithBlanks", "lrwxrwxrwx 1 u g 9 Jan 5 2011 my link -> my target",
     RemoteItem{.kind = 'l',
                .permissions = "rwxrwxrwx",
                .linkTarget = "my target",
                .name = "my link",
                .size = 9,
                .year = 2011,
                .month = 1,
                .day = 5,
                .links = 1,
                .owner = "u",
                .group = "g"}},
    {"U04_Vsftpd", "-rw-r--r--    1 0        0               5 Jan 05 10:30 a.txt",
     RemoteItem{.kind = '-',
                .permissions = "rw-r--r--",
                .time = "10:30",
                .name = "a.txt",
                .size = 5,
                .month = 1,
                .day = 5,
                .links = 1,
                .owner = "0",
                .group = "0"}},
    {"U05_Pyftpdlib", "-rw-r--r--   1 user     group           5 Jan 05 10:30 a.txt",
     RemoteItem{.kind = '-',
                .permissions = "rw-r--r--",
                .time = "10:30",
                .name = "a.txt",
                .size = 5,
                .month = 1,
                .day = 5,
                .links = 1,
                .owner = "user",
                .group = "group"}},
    {"U06_PyftpdlibOldFileShowsYear", "drwxr-xr-x   2 root     root         4096 Dec 08  2023 sub",
     RemoteItem{.kind = 'd',
                .permissions = "rwxr-xr-x",
                .name = "sub",
                .size = 4096,
                .year = 2023,
                .month = 12,
                .day = 8,
                .links = 2,
                .owner = "root",
                .group = "root"}},
    {"U07_CharacterDeviceKeepsMinorAsSize", "crw-rw---- 1 root tty 4, 64 Jan 1 2011 tty0",
     RemoteItem{.kind = 'c',
                .permissions = "rw-rw----",
                .name = "tty0",
                .size = 64,
                .year = 2011,
                .month = 1,
                .day = 1,
                .links = 1,
                .owner = "root",
                .group = "tty"}},
    {"U08_BlockDevice", "brw-rw----   1 root disk   8,   0 Feb 10 09:15 sda",
     RemoteItem{.kind = 'b',
                .permissions = "rw-rw----",
                .time = "09:15",
                .name = "sda",
                .size = 0,
                .month = 2,
                .day = 10,
                .links = 1,
                .owner = "root",
                .group = "disk"}},
    {"U09_SizeBeyond32Bits", "-rw-r--r-- 1 u g 3000000000 Jan 5 2011 big.iso",
     RemoteItem{.kind = '-',
                .permissions = "rw-r--r--",
                .name = "big.iso",
                .size = 3000000000LL,
                .year = 2011,
                .month = 1,
                .day = 5,
                .links = 1,
                .owner = "u",
                .group = "g"}},
    {"U10_LargestSize", "-rw-r--r-- 1 u g 9223372036854775807 Jan 5 2011 a",
     RemoteItem{.kind = '-',
                .permissions = "rw-r--r--",
                .name = "a",
                .size = 9223372036854775807LL,
                .year = 2011,
                .month = 1,
                .day = 5,
                .links = 1,
                .owner = "u",
                .group = "g"}},
    {"U11_AccessListMark", "drwxr-xr-x+  3 web-admin www-data 4096 Jan 5 10:30 acl",
     RemoteItem{.kind = 'd',
                .permissions = "rwxr-xr-x",
                .time = "10:30",
                .name = "acl",
                .size = 4096,
                .month = 1,
                .day = 5,
                .links = 3,
                .owner = "web-admin",
                .group = "www-data"}},
    {"U12_ExtendedAttributeMark", "-rw-r--r--@ 1 john.doe staff 5 Jan 5 2011 a",
     RemoteItem{.kind = '-',
                .permissions = "rw-r--r--",
                .name = "a",
                .size = 5,
                .year = 2011,
                .month = 1,
                .day = 5,
                .links = 1,
                .owner = "john.doe",
                .group = "staff"}},
    {"U13_SecurityContextMarkAndUpperCaseBits", "-rwSr-xr-T. 1 u g 5 Jan 5 2011 a",
     RemoteItem{.kind = '-',
                .permissions = "rwSr-xr-T",
                .name = "a",
                .size = 5,
                .year = 2011,
                .month = 1,
                .day = 5,
                .links = 1,
                .owner = "u",
                .group = "g"}},
    {"U14_SetIdAndStickyBits", "drwsr-sr-t 2 u g 5 Jan 5 2011 d",
     RemoteItem{.kind = 'd',
                .permissions = "rwsr-sr-t",
                .name = "d",
                .size = 5,
                .year = 2011,
                .month = 1,
                .day = 5,
                .links = 2,
                .owner = "u",
                .group = "g"}},
    {"U15_NoLinkCountNoGroup", "-rw-r--r-- ftp 5 Jan 5 2011 a",
     RemoteItem{.kind = '-',
                .permissions = "rw-r--r--",
                .name = "a",
                .size = 5,
                .year = 2011,
                .month = 1,
                .day = 5,
                .owner = "ftp"}},
    // One blank ends the date; every other blank is the name's.
    {"U16_NameKeepsEveryBlank", "-rw-r--r-- 1 u g 5 Jan 5 2011  a  b \t ",
     RemoteItem{.kind = '-',
                .permissions = "rw-r--r--",
                .name = " a  b \t ",
                .size = 5,
                .year = 2011,
                .month = 1,
                .day = 5,
                .links = 1,
                .owner = "u",
                .group = "g"}},
    // A colon inside the name is not a time when no blank stands before its digits.
    {"U17_ColonInNameIsNoTime", "-rw-r--r-- 1 u g 5 Jan 5 2011 a:b 12:30",
     RemoteItem{.kind = '-',
                .permissions = "rw-r--r--",
                .name = "a:b 12:30",
                .size = 5,
                .year = 2011,
                .month = 1,
                .day = 5,
                .links = 1,
                .owner = "u",
                .group = "g"}},
    {"U18_LeadingBlanksBeforePermissions", "   -rw-r--r-- 1 u g 5 Jan 5 2011 a",
     RemoteItem{.kind = '-',
                .permissions = "rw-r--r--",
                .name = "a",
                .size = 5,
                .year = 2011,
                .month = 1,
                .day = 5,
                .links = 1,
                .owner = "u",
                .group = "g"}},
    {"U19_NameMadeOfDotsAndMore", "-rw-r--r-- 1 u g 5 Jan 5 2011 ..a",
     RemoteItem{.kind = '-',
                .permissions = "rw-r--r--",
                .name = "..a",
                .size = 5,
                .year = 2011,
                .month = 1,
                .day = 5,
                .links = 1,
                .owner = "u",
                .group = "g"}},
};
INSTANTIATE_TEST_SUITE_P(Shapes, UnixLineTest, ::testing::ValuesIn(kShapes),
                         [](const auto& info) { return std::string(info.param.id); });

const LineCase kDates[] = {
    {"D01_TimeWithSeconds", "-rw-r--r-- 1 u g 5 Jan 5 10:30:15 a.txt",
     DatedFile(-1, 1, 5, "10:30:15")},
    {"D02_DayMonthYearDashed", "-rw-r--r-- 1 u g 5 05-Jan-2012 a.txt", DatedFile(2012, 1, 5)},
    {"D03_YearMonthDayDashed", "-rw-r--r-- 1 u g 5 2012-Jan-05 a.txt", DatedFile(2012, 1, 5)},
    {"D04_MonthFirstDashed", "-rw-r--r-- 1 u g 5 Jan-05-2012 a.txt", DatedFile(2012, 1, 5)},
    {"D05_MonthFirstDayOnly", "-rw-r--r-- 1 u g 5 Jan-05 a.txt", DatedFile(-1, 1, 5)},
    {"D06_DayMonthYearSlashed", "-rw-r--r-- 1 u g 5 05/Jan/2012 a.txt", DatedFile(2012, 1, 5)},
    {"D07_YearMonthDaySlashed", "-rw-r--r-- 1 u g 5 2012/Jan/05 a.txt", DatedFile(2012, 1, 5)},
    // Neither number says "year": the first one is taken as the year.
    {"D08_TwoSmallNumbersYearFirst", "-rw-r--r-- 1 u g 5 05-Jan-07 a.txt", DatedFile(5, 1, 7)},
    {"D09_NumericDateThenTime", "-rw-r--r-- 1 u g 5 05-Jan-2012 10:30 a.txt",
     DatedFile(2012, 1, 5, "10:30")},
    {"D10_UpperCaseMonth", "-rw-r--r-- 1 u g 5 JAN 5 2011 a.txt", DatedFile(2011, 1, 5)},
    {"D11_LongJune", "-rw-r--r-- 1 u g 5 June 5 2011 a.txt", DatedFile(2011, 6, 5)},
    {"D12_LongJuly", "-rw-r--r-- 1 u g 5 July 5 2011 a.txt", DatedFile(2011, 7, 5)},
    {"D13_LongSeptember", "-rw-r--r-- 1 u g 5 Sept 5 2011 a.txt", DatedFile(2011, 9, 5)},
    {"D14_December", "-rw-r--r-- 1 u g 5 Dec 31 1999 a.txt", DatedFile(1999, 12, 31)},
    // A month alone, or a day no month has, is no date: such words may be the name's.
    {"D15_MonthWithoutDay", "-rw-r--r-- 1 u g 5 Oct a.txt", std::nullopt},
    {"D16_HugeDay", "-rw-r--r-- 1 u g 5 Jan 99999999999 99999999999999 a.txt", std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Dates, UnixLineTest, ::testing::ValuesIn(kDates),
                         [](const auto& info) { return std::string(info.param.id); });

// Lines of one shape read in the one way the listing means.
const LineCase kQuirks[] = {
    // A year follows a time only with seconds: after "10:30" the digits are the name's.
    {"Q01_NameStartingWithNumberAfterTime", "-rw-r--r-- 1 u g 5 Jan  5 10:30 2011 report.txt",
     RemoteItem{.kind = '-',
                .permissions = "rw-r--r--",
                .time = "10:30",
                .name = "2011 report.txt",
                .size = 5,
                .month = 1,
                .day = 5,
                .links = 1,
                .owner = "u",
                .group = "g"}},
};
INSTANTIATE_TEST_SUITE_P(Quirks, UnixLineTest, ::testing::ValuesIn(kQuirks),
                         [](const auto& info) { return std::string(info.param.id); });

// A file line with one link, varying owner, group, size, date and name.
RemoteItem Entry(const char* owner, const char* group, qint64 size, int year, int month, int day,
                 const char* name, const char* time = "") {
    return {.kind = '-',
            .permissions = "rw-r--r--",
            .time = time,
            .name = name,
            .size = size,
            .year = year,
            .month = month,
            .day = day,
            .links = 1,
            .owner = owner,
            .group = group};
}

// Month names standing in the owner, the group or the name must not be taken
// for the date.
const LineCase kMonthWords[] = {
    {"M01_NameBeginsWithMonth", "-rw-r--r-- 1 u g 5 Feb 5 2011 May report.pdf",
     Entry("u", "g", 5, 2011, 2, 5, "May report.pdf")},
    {"M02_NameMonthPrecedesDateMonth", "-rw-r--r-- 1 u g 5 Aug 5 2011 May report.pdf",
     Entry("u", "g", 5, 2011, 8, 5, "May report.pdf")},
    {"M03_OwnerMayDatedJune", "-rw-r--r-- 1 may staff 5 Jun 05 2011 a.txt",
     Entry("may", "staff", 5, 2011, 6, 5, "a.txt")},
    {"M04_OwnerJanWithTime", "-rw-r--r-- 1 jan users 120 Mar 3 10:30 a.txt",
     Entry("jan", "users", 120, -1, 3, 3, "a.txt", "10:30")},
    {"M05_OwnerAndGroupMar", "-rw-r--r-- 1 mar mar 4096 Dec 24 2019 x",
     Entry("mar", "mar", 4096, 2019, 12, 24, "x")},
    // "may 10 2000" reads as a whole date; only the missing owner before its
    // size (the link count) gives it away.
    {"M06_OwnerMayNumericGroupFourDigitSize", "-rw-r--r-- 1 may 10 2000 Jun 05 2011 a.txt",
     Entry("may", "10", 2000, 2011, 6, 5, "a.txt")},
    {"M07_OwnerJanNumericGroupWithTime", "-rw-r--r-- 1 jan 20 4096 Jun 05 10:30 a.txt",
     Entry("jan", "20", 4096, -1, 6, 5, "a.txt", "10:30")},
    {"M08_NameWithMonthAndDash", "-rw-r--r-- 1 u g 5 Feb 5 2011 jan-report.txt",
     Entry("u", "g", 5, 2011, 2, 5, "jan-report.txt")},
    {"M09_MonthAndYearInNameAfterTime", "-rw-r--r-- 1 u g 5 Jun 5 10:30 Dec 2011 notes",
     Entry("u", "g", 5, -1, 6, 5, "Dec 2011 notes", "10:30")},
    {"M10_EarlierMonthAndYearInName", "-rw-r--r-- 1 u g 5 Jun 5 2011 Jan 2011 notes",
     Entry("u", "g", 5, 2011, 6, 5, "Jan 2011 notes")},
    {"M11_WholeDateInName", "-rw-r--r-- 1 u g 5 Jun 5 2011 Jan 20 2012 minutes.txt",
     Entry("u", "g", 5, 2011, 6, 5, "Jan 20 2012 minutes.txt")},
    {"M12_GroupJuneDatedMarch", "-rw-r--r-- 1 u June 5 Mar 3 2011 a",
     Entry("u", "June", 5, 2011, 3, 3, "a")},
    {"M13_NumericOwnerGroupJan", "-rw-r--r-- 1 0 jan 5 Mar 3 2011 a",
     Entry("0", "jan", 5, 2011, 3, 3, "a")},
    {"M14_NumericOwnerGroupMayNumericDate", "-rw-r--r-- 1 0 may 5 05-Jan-2012 a.txt",
     Entry("0", "may", 5, 2012, 1, 5, "a.txt")},
    {"M15_NameIsMonthAfterYear", "-rw-r--r-- 1 u g 5 Feb 5 2011 jan",
     Entry("u", "g", 5, 2011, 2, 5, "jan")},
    {"M16_NameIsMonthAfterTime", "-rw-r--r-- 1 u g 5 Feb 5 10:30 jan",
     Entry("u", "g", 5, -1, 2, 5, "jan", "10:30")},
    {"M17_NumericDateInName", "-rw-r--r-- 1 u g 5 Feb 5 2011 05-Jan-2012.log",
     Entry("u", "g", 5, 2011, 2, 5, "05-Jan-2012.log")},
    // "may 10 2000" has no size before it; a month without a day after the size
    // is no date either.
    {"M18_MonthWordWithoutSizeSkipped", "-rw-r--r-- may 10 2000 Oct a.txt", std::nullopt},
    // Neither date is whole: the words may be the name's.
    {"M19_NoWholeDate", "-rw-r--r-- 1 u g 5 Oct 2011 may x", std::nullopt},
    {"M20_DeviceOwnedByJan", "crw-rw---- 1 jan tty 4, 64 Feb 1 2011 tty0",
     RemoteItem{.kind = 'c',
                .permissions = "rw-rw----",
                .name = "tty0",
                .size = 64,
                .year = 2011,
                .month = 2,
                .day = 1,
                .links = 1,
                .owner = "jan",
                .group = "tty"}},
    {"M21_LinkNamedAfterMonth", "lrwxrwxrwx 1 u g 9 Mar 3 2011 jan -> feb 5 2011",
     RemoteItem{.kind = 'l',
                .permissions = "rwxrwxrwx",
                .linkTarget = "feb 5 2011",
                .name = "jan",
                .size = 9,
                .year = 2011,
                .month = 3,
                .day = 3,
                .links = 1,
                .owner = "u",
                .group = "g"}},
};
INSTANTIATE_TEST_SUITE_P(MonthWords, UnixLineTest, ::testing::ValuesIn(kMonthWords),
                         [](const auto& info) { return std::string(info.param.id); });

const LineCase kRejected[] = {
    {"R01_TotalLine", "total 12", std::nullopt},
    {"R02_Empty", "", std::nullopt},
    {"R03_Dot", "drwxr-xr-x 2 u g 4096 Jan 5 10:30 .", std::nullopt},
    {"R04_DotDot", "drwxr-xr-x 2 u g 4096 Jan 5 10:30 ..", std::nullopt},
    {"R05_ThreeDots", "drwxr-xr-x 2 u g 4096 Jan 5 10:30 ...", std::nullopt},
    {"R06_Pipe", "prw-r--r-- 1 u g 0 Jan 5 10:30 fifo", std::nullopt},
    {"R07_Socket", "srwxr-xr-x 1 u g 0 Jan 5 10:30 sock", std::nullopt},
    {"R08_TenPermissionCharacters", "-rw-r--r--x 1 u g 5 Jan 5 10:30 a", std::nullopt},
    {"R09_OtherMarkAfterPermissions", "-rw-r--r--* 1 u g 5 Jan 5 10:30 a", std::nullopt},
    {"R10_NoMonth", "-rw-r--r-- 1 u g 5 2012-13-05 10:30 a", std::nullopt},
    {"R11_NoName", "-rw-r--r-- 1 u g 5 Jan 5 2011   ", std::nullopt},
    {"R12_NoSize", "-rw-r--r-- 1 u g Jan 5 2011 a", std::nullopt},
    {"R13_SizeGluedToGroup", "-rw-r--r-- 1 u g5 Jan 5 2011 a", std::nullopt},
    {"R14_SizeOverflows64Bits", "-rw-r--r-- 1 u g 9223372036854775808 Jan 5 2011 a", std::nullopt},
    {"R15_HugeDigitRunAsSize",
     "-rw-r--r-- 1 u g 99999999999999999999999999999999999999 Jan 5 2011 a", std::nullopt},
    {"R16_BlankBeforeColon", "-rw-r--r-- 1 u g 5 Jan 5 :30 a", std::nullopt},
    {"R17_TimeWithoutMinutes", "-rw-r--r-- 1 u g 5 Jan 5 10: a", std::nullopt},
    {"R18_TimeGluedToName", "-rw-r--r-- 1 u g 5 Jan 5 10:30a", std::nullopt},
    {"R19_TimeWithoutSeconds", "-rw-r--r-- 1 u g 5 Jan 5 10:30: a", std::nullopt},
    {"R20_MonthAfterBothNumbers", "-rw-r--r-- 1 u g 5 05-2012-Jan a", std::nullopt},
    {"R21_ThirdNumber", "-rw-r--r-- 1 u g 5 05-Jan-2012-7 a", std::nullopt},
    {"R22_LetterAfterNumber", "-rw-r--r-- 1 u g 5 05-Jan-2012x a", std::nullopt},
    {"R23_MonthAfterOneNumberOnly", "-rw-r--r-- 1 u g 5 05-Jan a", std::nullopt},
    {"R24_PermissionsAtLineEnd", "-rw-r--r--", std::nullopt},
    {"R25_Garbage", "\x01\xff\xfe:->;=Jan", std::nullopt},
    // Searching on past a month name finds no other date with a size before it.
    {"R26_OnlyMonthIsPartOfName", "-rw-r--r-- 1 u g 5 jan-report.txt", std::nullopt},
    {"R27_NoSizeOwnerMay", "-rw-r--r-- may Jun 5 2011 a", std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Rejected, UnixLineTest, ::testing::ValuesIn(kRejected),
                         [](const auto& info) { return std::string(info.param.id); });

TEST(UnixListingGrammarTest, NulBytesMakeTheLineUnread) {
    const QByteArray line("-rw-r--r-- 1 u g 5 Jan 5 2011 a\0b", 33);
    EXPECT_EQ(UnixListingGrammar().read(line).outcome, LineOutcome::NotUnderstood);
    EXPECT_FALSE(UnixListingGrammar().parseLine(line));
}

TEST(UnixListingGrammarTest, VeryLongNameIsKeptWhole) {
    const QByteArray name(1 << 20, 'n');
    const std::optional<RemoteItem> item =
        UnixListingGrammar().parseLine("-rw-r--r-- 1 u g 5 Jan 5 2011 " + name);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->name, name);
}

}  // namespace
