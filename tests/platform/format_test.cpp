#include <gtest/gtest.h>

#include <limits>

#include "platform/format.h"

namespace {

struct SizeRow {
    qint64 size;
    const char* longStyle;
    const char* shortStyle;
    const char* bytes;
    const char* speed;
};

void PrintTo(const SizeRow& row, std::ostream* os) {
    *os << row.size;
}

class SizeRowTest : public ::testing::TestWithParam<SizeRow> {};

TEST_P(SizeRowTest, EveryStyle) {
    const SizeRow& row = GetParam();
    EXPECT_EQ(FormatSizeLong(row.size), QString::fromUtf8(row.longStyle));
    EXPECT_EQ(FormatSizeShort(row.size), QString::fromUtf8(row.shortStyle));
    EXPECT_EQ(FormatSizeBytes(row.size), QString::fromUtf8(row.bytes));
    EXPECT_EQ(FormatSpeed(row.size), QString::fromUtf8(row.speed));
}

// The worked examples, row by row.
const SizeRow kWorkedExamples[] = {
    {0, "0 b", "0 b", "0", "0 bytes"},
    {999, "999 b", "999 b", "999", "999 bytes"},
    {1000, "1,000 b", "1 k", "1,000", "1 k"},
    {1499, "1,499 b", "1 k", "1,499", "1 k"},
    {1500, "1,500 b", "2 k", "1,500", "1 k"},
    {123456, "123,456 b", "123 k", "123,456", "123 k"},
    {999999, "999,999 b", "999 k", "999,999", "1000 k"},
    {1000000, "1,000 k", "1 m", "1,000,000", "1 mb"},
    {1234567, "1,235 k", "1 m", "1,234,567", "1 mb"},
    {999500000, "999,500 k", "999 m", "999,500,000", "999 mb"},
    {1234567890, "1,235 m", "1 g", "1,234,567,890", "1,235 mb"},
    {999999500000, "999,999 m", "999 g", "999,999,500,000", "999,999 mb"},
};
INSTANTIATE_TEST_SUITE_P(WorkedExamples, SizeRowTest, ::testing::ValuesIn(kWorkedExamples));

// Unit boundaries, rounding on either side of one half, caps and very large sizes.
const SizeRow kBoundaries[] = {
    {1501, "1,501 b", "2 k", "1,501", "2 k"},
    {1000500, "1,001 k", "1 m", "1,000,500", "1 mb"},
    {1500000, "1,500 k", "2 m", "1,500,000", "1 mb"},
    {1500001, "1,500 k", "2 m", "1,500,001", "2 mb"},
    {999999499, "999,999 k", "999 m", "999,999,499", "1,000 mb"},
    {999999999, "999,999 k", "999 m", "999,999,999", "1,000 mb"},
    {1000000000, "1,000 m", "1 g", "1,000,000,000", "1,000 mb"},
    {1500000000, "1,500 m", "2 g", "1,500,000,000", "1,500 mb"},
    {999999999999, "999,999 m", "999 g", "999,999,999,999", "1,000,000 mb"},
    // From 10^12 on, the long style shows whole billions of bytes, rounded half up.
    {1000000000000, "1,000 bil", "1000 g", "1,000,000,000,000", "1,000,000 mb"},
    {1499999999999, "1,500 bil", "1499 g", "1,499,999,999,999", "1,500,000 mb"},
    {5000000000000, "5,000 bil", "5000 g", "5,000,000,000,000", "5,000,000 mb"},
    {std::numeric_limits<qint64>::max(), "9,223,372,037 bil", "9223372036 g",
     "9,223,372,036,854,775,807", "9,223,372,036,855 mb"},
    // Negative values print unchanged with the smallest unit.
    {-5, "-5 b", "-5 b", "-5", "-5 bytes"},
    {-5000000, "-5000000 b", "-5000000 b", "-5000000", "-5000000 bytes"},
};
INSTANTIATE_TEST_SUITE_P(Boundaries, SizeRowTest, ::testing::ValuesIn(kBoundaries));

TEST(FormatTest, SizeFollowsStyleByte) {
    EXPECT_EQ(FormatSize(1500, quint8(0)), "1,500 b");
    EXPECT_EQ(FormatSize(1500, quint8(1)), "2 k");
    EXPECT_EQ(FormatSize(1500, quint8(2)), "1,500");
    EXPECT_EQ(FormatSize(1500, quint8(7)), "1,500");
    EXPECT_EQ(FormatSize(1500, quint8(255)), "1,500");
    EXPECT_EQ(FormatSize(1500, SizeStyle::Short), "2 k");
}

TEST(FormatTest, Grouped) {
    const struct {
        quint64 value;
        bool space;
        const char* text;
    } rows[] = {
        {0, false, "0"},
        {0, true, "0"},
        {7, true, "7"},
        {999, false, "999"},
        {1000, false, "1,000"},
        {1000, true, "1, 000"},
        {1001001, false, "1,001,001"},
        {1234567, true, "1, 234, 567"},
        {std::numeric_limits<quint64>::max(), false, "18,446,744,073,709,551,615"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FormatGrouped(row.value, row.space), row.text) << row.value;
}

TEST(FormatTest, SignedGrouped) {
    const struct {
        qint64 value;
        bool sign;
        const char* text;
    } rows[] = {
        {0, true, "0"},
        {-1234567, false, "- 1,234,567"},
        {-1234567, true, "- 1,234,567"},
        {1234567, true, "+ 1,234,567"},
        {1234567, false, "1,234,567"},
        {-1, false, "- 1"},
        {std::numeric_limits<qint64>::min(), false, "- 9,223,372,036,854,775,808"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FormatSignedGrouped(row.value, row.sign), row.text) << row.value;
}

TEST(FormatTest, Elapsed) {
    const struct {
        quint32 ms;
        const char* text;
    } rows[] = {
        {0, "00:00:00"},
        {999, "00:00:00"},
        {59999, "00:00:59"},
        {60000, "00:01:00"},
        {3725000, "01:02:05"},
        {90000000, "25:00:00"},
        {std::numeric_limits<quint32>::max(), "1193:02:47"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FormatElapsed(row.ms), row.text) << row.ms;
}

TEST(FormatTest, PermissionNumber) {
    const struct {
        const char* permissions;
        const char* text;
    } rows[] = {
        {"rwxr-xr-x", "755"}, {"rwsr-xr-x", "655"},  {"rw-r--r--", "644"}, {"rwSr-xr-T", "654"},
        {"rwxrwxrwx", "777"}, {"r--------", "400"},  {"--x--x--x", "111"}, {"---------", "000"},
        {"", "000"},          {"drwxr-xr-x", "000"}, {"rwxr-xr-", "000"},  {"xwrxwrxwr", "222"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FormatPermissionNumber(row.permissions), row.text) << row.permissions;
}

TEST(FormatTest, LocalTime) {
    EXPECT_EQ(FormatLocalTime(QDateTime(QDate(2024, 1, 5), QTime(9, 7, 59))), "2024-01-05  09:07");
    EXPECT_EQ(FormatLocalTime(QDateTime(QDate(2023, 12, 31), QTime(23, 59))), "2023-12-31  23:59");
    EXPECT_EQ(FormatLocalTime(QDateTime()), "");
}

TEST(FormatTest, ProgressText) {
    EXPECT_EQ(FormatProgressText(-1), "waiting");
    EXPECT_EQ(FormatProgressText(0), "0%");
    EXPECT_EQ(FormatProgressText(57), "57%");
    EXPECT_EQ(FormatProgressText(100), "100%");
    EXPECT_EQ(ProgressFillWidth(200, 50), 100);
    EXPECT_EQ(ProgressFillWidth(7, 50), 3);
    EXPECT_EQ(ProgressFillWidth(200, -1), 0);
    EXPECT_EQ(ProgressFillWidth(200, 150), 200);
    EXPECT_EQ(ProgressFillWidth(0, 50), 0);
}

}  // namespace
