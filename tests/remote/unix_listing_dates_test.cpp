// Dates as servers in other locales and styles write them in Unix-style lines,
// and lines that could be read in more than one way: those are left out and
// reported, never given a name the server did not send.
#include "listing_line_table.h"

// GCC 12 warns about members left out of designated initializers even though
// they take their defaults (fixed in GCC 13); the tables rely on those defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

class UnixDateTest : public ::testing::TestWithParam<ListingLineCase> {};

TEST_P(UnixDateTest, ReadsOrReports) {
    ExpectLineReads(GetParam());
}

std::string CaseName(const ::testing::TestParamInfo<ListingLineCase>& info) {
    return info.param.id;
}

// A file of u:g with one link; size, date and name vary.
RemoteItem File(qint64 size, int year, int month, int day, const char* time = "",
                const char* name = "a.txt") {
    return {.kind = '-',
            .permissions = "rw-r--r--",
            .time = time,
            .name = name,
            .size = size,
            .year = year,
            .month = month,
            .day = day,
            .links = 1,
            .owner = "u",
            .group = "g"};
}

const ListingLineCase kNumericDates[] = {
    {"N01_IsoDateAndTime", "-rw-r--r-- 1 u g 5 2019-03-14 10:02 a.txt",
     File(5, 2019, 3, 14, "10:02")},
    {"N02_SlashedYearFirst", "-rw-r--r-- 1 u g 5 2019/03/14 10:02 a.txt",
     File(5, 2019, 3, 14, "10:02")},
    {"N03_DayMonthYear", "-rw-r--r-- 1 u g 5 14-03-2019 10:02 a.txt",
     File(5, 2019, 3, 14, "10:02")},
    {"N04_MonthDayThenYear", "-rw-r--r-- 1 u g 5 03-14 2019 a.txt", File(5, 2019, 3, 14)},
    {"N05_MonthDayThenTime", "-rw-r--r-- 1 u g 5 03-14 10:02 a.txt", File(5, -1, 3, 14, "10:02")},
    {"N06_DottedYearFirst", "-rw-r--r-- 1 u g 5 2019.03.14 a.txt", File(5, 2019, 3, 14)},
    {"N07_MonthAndDayAsNumbers", "-rw-r--r-- 1 u g 5 3 14 10:02 a.txt",
     File(5, -1, 3, 14, "10:02")},
    {"N08_MonthDayYearAsNumbers", "-rw-r--r-- 1 u g 5 3 14 2019 a.txt", File(5, 2019, 3, 14)},
    {"N09_MiddleNumberCanOnlyBeDay", "-rw-r--r-- 1 u g 5 03-14-2019 10:02 a.txt",
     File(5, 2019, 3, 14, "10:02")},
    {"N10_NameBeginsWithYear", "-rw-r--r-- 1 u g 5 2019-03-14 10:02 2019 report.txt",
     File(5, 2019, 3, 14, "10:02", "2019 report.txt")},
    {"N11_NameBeginsWithNumbersAfterNumericDate", "-rw-r--r-- 1 u g 5 3 14 2019 3 14 2019 x",
     File(5, 2019, 3, 14, "", "3 14 2019 x")},
    {"N12_VsftpdIdsWithIsoDate", "-rw-r--r-- 1 0 0 3000000000 2019-03-14 10:02 big.iso",
     RemoteItem{.kind = '-',
                .permissions = "rw-r--r--",
                .time = "10:02",
                .name = "big.iso",
                .size = 3000000000LL,
                .year = 2019,
                .month = 3,
                .day = 14,
                .links = 1,
                .owner = "0",
                .group = "0"}},
};
INSTANTIATE_TEST_SUITE_P(Numeric, UnixDateTest, ::testing::ValuesIn(kNumericDates), CaseName);

const ListingLineCase kDayFirst[] = {
    {"F01_DayMonthTime", "-rw-r--r-- 1 u g 5 14 Mar 10:02 a.txt", File(5, -1, 3, 14, "10:02")},
    {"F02_DayMonthYearLowerCase", "-rw-r--r-- 1 u g 5 14 mar 2019 a.txt", File(5, 2019, 3, 14)},
    {"F03_GermanDotsAndComma", "-rw-r--r-- 1 u g 5 14. M\xc3\xa4r., 10:02 a.txt",
     File(5, -1, 3, 14, "10:02")},
    {"F04_GermanPaddedYear", "-rw-r--r-- 1 u g 5 4.  M\xc3\xa4r.  2019 a.txt", File(5, 2019, 3, 4)},
    {"F05_GermanFullMonth", "-rw-r--r-- 1 u g 5 14. M\xc3\xa4rz, 10:02 a.txt",
     File(5, -1, 3, 14, "10:02")},
    // The name begins with digits; they are not a year after the time.
    {"F06_FolderNameBeginsWithYear", "drwxr-xr-x 2 u g 0 12 Mar 11:05 2019 Reports",
     RemoteItem{.kind = 'd',
                .permissions = "rwxr-xr-x",
                .time = "11:05",
                .name = "2019 Reports",
                .size = 0,
                .month = 3,
                .day = 12,
                .links = 2,
                .owner = "u",
                .group = "g"}},
    {"F07_FrenchAccentUtf8", "-rw-r--r-- 1 u g 5 14 f\xc3\xa9vr. 2019 a.txt", File(5, 2019, 2, 14)},
    {"F08_FrenchAccentLatin1", "-rw-r--r-- 1 u g 5 14 f\xe9vr. 2019 a.txt", File(5, 2019, 2, 14)},
    {"F09_UpperCaseAccentUtf8", "-rw-r--r-- 1 u g 5 14 M\xc3\x84RZ 2019 a.txt",
     File(5, 2019, 3, 14)},
    {"F10_UpperCaseAccentLatin1", "-rw-r--r-- 1 u g 5 1 AO\xdbT 10:02 a.txt",
     File(5, -1, 8, 1, "10:02")},
    {"F11_Spanish", "-rw-r--r-- 1 u g 5 14 ene 2019 a.txt", File(5, 2019, 1, 14)},
    {"F12_Italian", "-rw-r--r-- 1 u g 5 14 gen 10:02 a.txt", File(5, -1, 1, 14, "10:02")},
    {"F13_Dutch", "-rw-r--r-- 1 u g 5 14 mrt 2019 a.txt", File(5, 2019, 3, 14)},
    {"F14_DutchMay", "-rw-r--r-- 1 u g 5 14 mei 10:02 a.txt", File(5, -1, 5, 14, "10:02")},
    {"F15_GermanOctober", "-rw-r--r-- 1 u g 5 14 Okt 2019 a.txt", File(5, 2019, 10, 14)},
    {"F16_FrenchDecember",
     "-rw-r--r-- 1 u g 5 24 d\xc3\xa9"
     "c. 2019 a.txt",
     File(5, 2019, 12, 24)},
    {"F17_FrenchJuly", "-rw-r--r-- 1 u g 5 1 juil. 10:02 a.txt", File(5, -1, 7, 1, "10:02")},
    {"F18_ItalianFullMonth", "-rw-r--r-- 1 u g 5 14 settembre 2019 a.txt", File(5, 2019, 9, 14)},
    {"F19_VsftpdIdsDayFirst", "-rw-r--r-- 1 0 0 5 14 Mar 10:02 a.txt",
     RemoteItem{.kind = '-',
                .permissions = "rw-r--r--",
                .time = "10:02",
                .name = "a.txt",
                .size = 5,
                .month = 3,
                .day = 14,
                .links = 1,
                .owner = "0",
                .group = "0"}},
};
INSTANTIATE_TEST_SUITE_P(DayFirst, UnixDateTest, ::testing::ValuesIn(kDayFirst), CaseName);

const ListingLineCase kMonthFirst[] = {
    {"L01_HungarianShort", "-rw-r--r-- 1 u g 5 m\xc3\xa1rc 14 10:02 a.txt",
     File(5, -1, 3, 14, "10:02")},
    {"L02_HungarianSeptember", "-rw-r--r-- 1 u g 5 szept 14 2019 a.txt", File(5, 2019, 9, 14)},
    {"L03_EnglishFullMonth", "-rw-r--r-- 1 u g 5 March 14 2019 a.txt", File(5, 2019, 3, 14)},
    {"L04_CommaAfterDay", "-rw-r--r-- 1 u g 9 Mar 14, 2019 10:02 notes.txt",
     File(9, 2019, 3, 14, "10:02", "notes.txt")},
    {"L05_CommaAfterDayThenTime", "-rw-r--r-- 1 u g 5 Mar 14, 10:02 a.txt",
     File(5, -1, 3, 14, "10:02")},
    {"L06_TwentyFourHundred", "-rw-r--r-- 1 u g 5 Mar 14 24:00 a.txt", File(5, -1, 3, 14, "24:00")},
    {"L07_MonthWithDot", "-rw-r--r-- 1 u g 5 Sept. 14 2019 a.txt", File(5, 2019, 9, 14)},
    {"L08_SpanishFullMonthUpperCase", "-rw-r--r-- 1 u g 5 DICIEMBRE 24 2019 a.txt",
     File(5, 2019, 12, 24)},
};
INSTANTIATE_TEST_SUITE_P(MonthFirst, UnixDateTest, ::testing::ValuesIn(kMonthFirst), CaseName);

const ListingLineCase kMarked[] = {
    {"C01_JapaneseMonthThenDay", "-rw-r--r-- 1 u g 5  3\xe6\x9c\x88 14 10:02 a.txt",
     File(5, -1, 3, 14, "10:02")},
    {"C02_JapaneseMonthDayYear", "-rw-r--r-- 1 u g 5  3\xe6\x9c\x88 14  2019 a.txt",
     File(5, 2019, 3, 14)},
    {"C03_YearMonthDayMarked",
     "-rw-r--r-- 1 u g 5 2019\xe5\xb9\xb4"
     "3\xe6\x9c\x88"
     "14\xe6\x97\xa5 a.txt",
     File(5, 2019, 3, 14)},
    {"C04_KoreanMonthDayMarked", "-rw-r--r-- 1 u g 5 3\xec\x9b\x94 14\xec\x9d\xbc 10:02 a.txt",
     File(5, -1, 3, 14, "10:02")},
    {"C05_TwoByteMarks", "-rw-r--r-- 1 u g 5 3\xd4\xc2 14\xc8\xd5 10:02 a.txt",
     File(5, -1, 3, 14, "10:02")},
};
INSTANTIATE_TEST_SUITE_P(Marked, UnixDateTest, ::testing::ValuesIn(kMarked), CaseName);

const ListingLineCase kUndated[] = {
    {"X01_NoDate", "drwxr-xr-x 3 user group 512 name",
     RemoteItem{.kind = 'd',
                .permissions = "rwxr-xr-x",
                .name = "name",
                .size = 512,
                .links = 3,
                .owner = "user",
                .group = "group"}},
    {"X02_NoDateNameWithBlanksAndMonth", "-rw-r--r-- 1 u g 5 My Notes May 2019",
     File(5, -1, -1, -1, "", "My Notes May 2019")},
};
INSTANTIATE_TEST_SUITE_P(Undated, UnixDateTest, ::testing::ValuesIn(kUndated), CaseName);

// Names the grammar used to cut short.
const ListingLineCase kWholeNames[] = {
    {"W01_TimeInsideTheName", "-rw-r--r-- 1 u g 5 Jan 5 2011 meeting 10:30 notes",
     File(5, 2011, 1, 5, "", "meeting 10:30 notes")},
    {"W02_ArrowInFileName", "-rw-r--r-- 1 u g 5 Jan 5 2011 a->b", File(5, 2011, 1, 5, "", "a->b")},
    {"W03_DayFirstDateInName", "-rw-r--r-- 1 u g 5 Jan 5 10:30 14 Mar 2019 x",
     File(5, -1, 1, 5, "10:30", "14 Mar 2019 x")},
    {"W04_IsoDateInName", "-rw-r--r-- 1 u g 5 Jan 5 2011 2019-03-14 x",
     File(5, 2011, 1, 5, "", "2019-03-14 x")},
};
INSTANTIATE_TEST_SUITE_P(WholeNames, UnixDateTest, ::testing::ValuesIn(kWholeNames), CaseName);

// Lines that could be read in more than one way, or not at all: left out and
// reported rather than given a name that may not be the server's.
const ListingLineCase kAmbiguous[] = {
    {"A01_UndatedNameBeginsWithDigits", "drwxr-xr-x 3 user group 512 2019 Reports", std::nullopt},
    {"A02_UndatedSecondWordIsNumber", "drwxr-xr-x 3 user group 512 Reports 2019", std::nullopt},
    {"A03_TwoDigitYearLeavesOrderOpen", "-rw-r--r-- 1 u g 5 05-03-19 10:02 a", std::nullopt},
    {"A04_UnknownMonthDayFirst", "-rw-r--r-- 1 u g 5 14 lut 2019 a", std::nullopt},
    {"A05_UnknownMonthFirst", "-rw-r--r-- 1 u g 5 lut 14 2019 a", std::nullopt},
    {"A06_YearFirstWithMonthName", "-rw-r--r-- 1 u g 5 2019. m\xc3\xa1rc. 14. a", std::nullopt},
    {"A07_NoNumberIsAMonth", "-rw-r--r-- 1 u g 5 13-14-2019 10:02 a", std::nullopt},
    {"A08_TimeRightAfterMonth", "-rw-r--r-- 1 u g 5 Mar 10:02 2019 Reports", std::nullopt},
    {"A09_DayOutOfRange", "-rw-r--r-- 1 u g 5 2019-03-32 10:02 a", std::nullopt},
    {"A10_UndatedNameIsMonthWord", "-rw-r--r-- 1 u g 5 Mar", std::nullopt},
    {"A11_UndatedWithoutGroup", "-rw-r--r-- 1 ftp 512 name", std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Ambiguous, UnixDateTest, ::testing::ValuesIn(kAmbiguous), CaseName);

}  // namespace
