// Names are given back exactly as the server listed them, or not at all: a
// line whose name would come out changed, or whose date words cannot be a
// date, is left out and reported.
#include "listing_line_table.h"

// GCC 12 warns about members left out of designated initializers even though
// they take their defaults (fixed in GCC 13); the tables rely on those defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

class ExactNameTest : public ::testing::TestWithParam<ListingLineCase> {};

TEST_P(ExactNameTest, ReadsOrReports) {
    ExpectLineReads(GetParam());
}

RemoteItem UnixFile(const char* name, int year, int month, int day, const char* time = "") {
    return {.kind = '-',
            .permissions = "rw-r--r--",
            .time = time,
            .name = name,
            .size = 5,
            .year = year,
            .month = month,
            .day = day,
            .links = 1,
            .owner = "u",
            .group = "g"};
}

RemoteItem DosEntry(char kind, const char* name, qint64 size = 0) {
    return {.kind = kind,
            .time = "12:09",
            .name = name,
            .size = size,
            .year = 2000,
            .month = 4,
            .day = 27};
}

RemoteItem MlsdFile(const char* name) {
    return {.kind = '-',
            .time = "12:00:00",
            .name = name,
            .size = 1,
            .year = 2012,
            .month = 1,
            .day = 1};
}

const ListingLineCase kExactNames[] = {
    // One blank separates the name from the fields before it; the rest is the name.
    {"E01_UnixLeadingBlanksAfterTime", "-rw-r--r-- 1 u g 5 Jan  5 10:30   notes.txt",
     UnixFile("  notes.txt", -1, 1, 5, "10:30")},
    {"E02_UnixLeadingBlanksAfterYear", "-rw-r--r-- 1 u g 5 Jan  5  2011   notes.txt",
     UnixFile("  notes.txt", 2011, 1, 5)},
    {"E03_UnixTrailingBlanksKept", "-rw-r--r-- 1 u g 5 Jan  5  2011 notes.txt  ",
     UnixFile("notes.txt  ", 2011, 1, 5)},
    {"E04_UnixLeadingBlankAfterNumericDate", "-rw-r--r-- 1 u g 5 2011-01-05 10:30  notes.txt",
     UnixFile(" notes.txt", 2011, 1, 5, "10:30")},
    {"E05_LinkNameAndTargetKeepBlanks", "lrwxrwxrwx 1 u g 4 Jan  5  2011  a  ->  /t ",
     RemoteItem{.kind = 'l',
                .permissions = "rwxrwxrwx",
                .linkTarget = " /t ",
                .name = " a ",
                .size = 4,
                .year = 2011,
                .month = 1,
                .day = 5,
                .links = 1,
                .owner = "u",
                .group = "g"}},
    {"E06_UndatedLeadingBlanks", "drwxr-xr-x 3 user group 512  docs",
     RemoteItem{.kind = 'd',
                .permissions = "rwxr-xr-x",
                .name = " docs",
                .size = 512,
                .links = 3,
                .owner = "user",
                .group = "group"}},
    {"E07_DosFileLeadingBlanks", "04-27-00  12:09PM                 9730   notes.txt",
     DosEntry('-', "  notes.txt", 9730)},
    // Windows servers pad "<DIR>" to the column of the sizes.
    {"E08_DosFolderInSizeColumn", "04-27-00  12:09PM       <DIR>            docs",
     DosEntry('d', "  docs")},
    {"E09_DosFolderUnaligned", "04-27-00  12:09PM <DIR> docs", DosEntry('d', "docs")},
    // After "10:30" a name may begin with digits; a year follows only seconds.
    {"E12_NameBeginsWithYearAfterTime", "-rw-r--r-- 1 u g 5 Jan  5 10:30 2011 report.txt",
     UnixFile("2011 report.txt", -1, 1, 5, "10:30")},
    {"E13_YearAfterTimeWithSeconds", "-rw-r--r-- 1 u g 5 Jan  5 10:30:15 2011 report.txt",
     UnixFile("report.txt", 2011, 1, 5, "10:30:15")},
    {"E14_LeapDay", "-rw-r--r-- 1 u g 5 Feb 29 2020 notes.txt", UnixFile("notes.txt", 2020, 2, 29)},

    // No name may hold a CR, an LF or a NUL: such a line is not read at all.
    {"E15_UnixCarriageReturnInName", "-rw-r--r-- 1 u g 5 Jan  5  2011 cr\rname", std::nullopt},
    {"E16_UnixLineFeedInName", "-rw-r--r-- 1 u g 5 Jan  5  2011 lf\nname", std::nullopt},
    {"E17_UnixNulInName", QByteArrayLiteral("-rw-r--r-- 1 u g 5 Jan  5  2011 a\0b"), std::nullopt},
    {"E20_DosCarriageReturnInName", "04-27-00  12:09PM                 9730 cr\rname",
     std::nullopt},

    // Date words that can not be a date are never read into the name.
    {"E21_DayAndTimeNoCalendarHas", "-rw-r--r-- 1 u g 5 Jun 31 25:61 notes.txt", std::nullopt},
    {"E22_TimeNoClockShows", "-rw-r--r-- 1 u g 5 Jun 30 25:61 notes.txt", std::nullopt},
    {"E23_NegativeDay", "-rw-r--r-- 1 u g 5 Jun -5 10:30 notes.txt", std::nullopt},
    {"E24_DayAfterMonthEnd", "-rw-r--r-- 1 u g 5 Feb 30 2019 notes.txt", std::nullopt},
    {"E25_LeapDayOfCommonYear", "-rw-r--r-- 1 u g 5 Feb 29 2019 notes.txt", std::nullopt},
    {"E26_MonthWithoutDay", "-rw-r--r-- 1 u g 5 Jun notes.txt", std::nullopt},
    {"E27_DayWithoutYearOrTime", "-rw-r--r-- 1 u g 5 Jun 5 notes.txt", std::nullopt},
    {"E28_DosDayAfterMonthEnd", "02-30-19  12:09PM                 9730 notes.txt", std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Names, ExactNameTest, ::testing::ValuesIn(kExactNames),
                         [](const auto& info) { return std::string(info.param.id); });

class ExactFactNameTest : public ::testing::TestWithParam<ListingLineCase> {};

TEST_P(ExactFactNameTest, ReadsOrReports) {
    ExpectLineReads(GetParam(), false);
}

const ListingLineCase kExactFactNames[] = {
    {"E29_MlsdLeadingBlanks", "type=file;size=1;modify=20120101120000;   notes.txt",
     MlsdFile("  notes.txt")},
    {"E30_MlsdTrailingBlanks", "type=file;size=1;modify=20120101120000; notes.txt ",
     MlsdFile("notes.txt ")},
    {"E31_MlsdCarriageReturnInName", "type=file;size=1;modify=20120101120000; cr\rname",
     std::nullopt},
    {"E32_MlsdLineFeedInName", "type=file;size=1;modify=20120101120000; lf\nname", std::nullopt},
    {"E33_MlsdNulInName", QByteArrayLiteral("type=file;size=1;modify=20120101120000; a\0b"),
     std::nullopt},
    {"E34_MlsdBlankName", "type=file;size=1;modify=20120101120000;   ", std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Names, ExactFactNameTest, ::testing::ValuesIn(kExactFactNames),
                         [](const auto& info) { return std::string(info.param.id); });

// Lines end with CR LF when most of the listing's lines do, else with LF. A
// line end of the other kind inside a line belongs to that line.
TEST(ListingLineEndTest, SplitsAtTheListingsOwnLineEnd) {
    struct Case {
        const char* id;
        QByteArray text;
        std::vector<QByteArray> names;
        int rejected;
        QByteArray first;
    };
    const QByteArray a = "-rw-r--r-- 1 u g 5 Jan  5  2011 a";
    const QByteArray b = "-rw-r--r-- 1 u g 5 Jan  5  2011 b";
    const Case cases[] = {
        {"B01_CrLf", a + "\r\n" + b + "\r\n", {"a", "b"}, 0, {}},
        {"B02_LfOnly", a + "\n" + b + "\n", {"a", "b"}, 0, {}},
        {"B03_LoneLfInCrLfListing", a + "\r\n" + b + "\nc\r\n", {"a"}, 1, b + "\nc"},
        {"B04_CrInLfListing", a + "\n" + b + "\n" + a + "x\r\n", {"a", "b"}, 1, a + "x\r"},
        {"B05_BlankLinesBeforeCrLf", "\n\r\n" + a + "\r\n" + b + "\r\n", {"a", "b"}, 0, {}},
        {"B06_LastLineLostItsLf", a + "\r\n" + b + "\r", {"a", "b"}, 0, {}},
        {"B07_NoLineEndAtAll", a, {"a"}, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        RemoteItemList list;
        RejectedLines rejected;
        list.parse(c.text, true, &rejected);
        std::vector<QByteArray> names;
        for (const RemoteItem& item : list)
            names.push_back(item.name);
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(rejected.count, c.rejected);
        EXPECT_EQ(rejected.first, c.first);
    }
}

}  // namespace
