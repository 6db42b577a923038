#include <gtest/gtest.h>

#include <optional>

#include "remote/mlsd_listing_grammar.h"
#include "remote/remote_item_list.h"
#include "remote_item_printer.h"

// GCC 12 warns about members left out of designated initializers even though
// they take their defaults (fixed in GCC 13); the tables rely on those defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

struct FactCase {
    const char* id;
    QByteArray line;                     // as sent, without the line end
    std::optional<RemoteItem> expected;  // nothing: the line is skipped
};

void PrintTo(const FactCase& c, std::ostream* os) {
    *os << c.id;
}

std::optional<RemoteItem> ParseMlsdLine(const QByteArray& line) {
    RemoteItemList list;
    list.parse(line + "\r\n", false);
    EXPECT_LE(list.size(), 1);
    if (list.isEmpty())
        return std::nullopt;
    return list.at(0);
}

class MlsdLineTest : public ::testing::TestWithParam<FactCase> {};

TEST_P(MlsdLineTest, ParsesFacts) {
    const FactCase& c = GetParam();
    EXPECT_EQ(ParseMlsdLine(c.line), c.expected) << c.line.toStdString();
}

RemoteItem File(const char* name, qint64 size) {
    return {.kind = '-',
            .time = "12:00:00",
            .name = name,
            .size = size,
            .year = 2012,
            .month = 1,
            .day = 1};
}

RemoteItem WithPermissions(RemoteItem item, const char* permissions) {
    item.permissions = permissions;
    return item;
}

RemoteItem WithOwner(RemoteItem item, const char* owner, const char* group) {
    item.owner = owner;
    item.group = group;
    return item;
}

const FactCase kServers[] = {
    // pyftpdlib with its default facts: no mode, sizes for folders too.
    {"M01_PyftpdlibFile",
     "modify=20240105103000;perm=radfwMT;size=5;type=file;unique=fe00g72229; a.txt",
     RemoteItem{.kind = '-',
                .time = "10:30:00",
                .name = "a.txt",
                .size = 5,
                .year = 2024,
                .month = 1,
                .day = 5}},
    {"M02_PyftpdlibFolder",
     "modify=20240105103000;perm=eldfmMTcp;size=4096;type=dir;unique=fe00g72228; sub",
     RemoteItem{.kind = 'd',
                .time = "10:30:00",
                .name = "sub",
                .size = 4096,
                .year = 2024,
                .month = 1,
                .day = 5}},
    // pyftpdlib after OPTS MLST with the unix facts: Python's "0o" octal prefix.
    {"M03_PyftpdlibUnixFacts",
     "modify=20240105103000;perm=radfwMT;size=5;type=file;unique=fe00g72229;unix.gid=100;"
     "unix.mode=0o644;unix.uid=1000; a.txt",
     RemoteItem{.kind = '-',
                .permissions = "rw-r--r--",
                .time = "10:30:00",
                .name = "a.txt",
                .size = 5,
                .year = 2024,
                .month = 1,
                .day = 5,
                .owner = "1000",
                .group = "100"}},
    // A folder without a size fact, as some servers send: size 0.
    {"M04_FolderWithoutSize", "type=dir;modify=20240105103000;unique=801g4c2a; sub",
     RemoteItem{
         .kind = 'd', .time = "10:30:00", .name = "sub", .year = 2024, .month = 1, .day = 5}},
    {"M05_SymbolicLinkWithTarget",
     "type=OS.unix=slink:/target;UNIX.mode=0777;modify=20120101120000;size=7; link",
     RemoteItem{.kind = 'l',
                .permissions = "rwxrwxrwx",
                .time = "12:00:00",
                .linkTarget = "/target",
                .name = "link",
                .size = 7,
                .year = 2012,
                .month = 1,
                .day = 1}},
    {"M06_CharacterDeviceWithoutSize",
     "type=OS.unix=chr-13/29;UNIX.mode=0620;modify=20120101120000; tty13",
     RemoteItem{.kind = 'c',
                .permissions = "rw--w----",
                .time = "12:00:00",
                .name = "tty13",
                .size = 0,
                .year = 2012,
                .month = 1,
                .day = 1}},
    {"M07_ProftpdStyleOwnerNames",
     "modify=20120101120000;perm=adfr;size=3000000000;type=file;UNIX.group=www-data;"
     "UNIX.mode=0640;UNIX.owner=web admin; big.iso",
     WithOwner(WithPermissions(File("big.iso", 3000000000LL), "rw-r-----"), "web admin",
               "www-data")},
};
INSTANTIATE_TEST_SUITE_P(Servers, MlsdLineTest, ::testing::ValuesIn(kServers),
                         [](const auto& info) { return std::string(info.param.id); });

const FactCase kFacts[] = {
    {"F01_TypeAndFactNamesIgnoreCase", "TYPE=FILE;SIZE=5;MODIFY=20120101120000; a", File("a", 5)},
    {"F02_SymlinkWithoutTarget", "type=OS.UNIX=symlink;modify=20120101120000;size=4; l",
     RemoteItem{.kind = 'l',
                .time = "12:00:00",
                .name = "l",
                .size = 4,
                .year = 2012,
                .month = 1,
                .day = 1}},
    {"F03_BlockDevice", "type=OS.unix=blk-8/0;modify=20120101120000; sda",
     RemoteItem{
         .kind = 'b', .time = "12:00:00", .name = "sda", .year = 2012, .month = 1, .day = 1}},
    {"F04_SizdWhenNoSize", "type=file;sizd=9;modify=20120101120000; a", File("a", 9)},
    {"F05_SizeWinsOverSizd", "type=file;sizd=9;size=5;modify=20120101120000; a", File("a", 5)},
    {"F06_LargestSize", "type=file;size=9223372036854775807;modify=20120101120000; a",
     File("a", 9223372036854775807LL)},
    {"F07_FractionOfSecondDropped", "type=file;size=1;modify=20120101120000.5; a", File("a", 1)},
    {"F08_ModifyYearOnly", "type=file;size=1;modify=2012; a",
     RemoteItem{.kind = '-', .name = "a", .size = 1, .year = 2012}},
    {"F09_ModifyToMinutes", "type=file;size=1;modify=201203041230; a",
     RemoteItem{
         .kind = '-', .time = "12:30", .name = "a", .size = 1, .year = 2012, .month = 3, .day = 4}},
    {"F10_ModifyToHours", "type=file;size=1;modify=2012030412; a",
     RemoteItem{
         .kind = '-', .time = "12", .name = "a", .size = 1, .year = 2012, .month = 3, .day = 4}},
    {"F11_NoModify", "type=file;size=1; a", RemoteItem{.kind = '-', .name = "a", .size = 1}},
    {"F12_SetIdDigitIgnored", "type=file;size=1;UNIX.mode=4755;modify=20120101120000; a",
     WithPermissions(File("a", 1), "rwxr-xr-x")},
    {"F13_ShortModeIsLeftPadded", "type=file;size=1;unix.mode=0o7;modify=20120101120000; a",
     WithPermissions(File("a", 1), "------rwx")},
    {"F14_UidWinsOverOwnerName",
     "type=file;size=1;UNIX.owner=joe;UNIX.uid=1000;UNIX.gid=50;UNIX.group=staff;"
     "modify=20120101120000; a",
     WithOwner(File("a", 1), "1000", "50")},
    // The name is everything after the facts: semicolons and blanks included.
    {"F15_NameWithSemicolonAndBlanks", "type=file;size=1;modify=20120101120000; a; b ;c  ",
     File("a; b ;c  ", 1)},
    {"F16_FactLookalikeInNameIgnored", "type=file;size=1;modify=20120101120000; size=9;type=dir;",
     File("size=9;type=dir;", 1)},
    {"F17_FactNameInsideAnotherFact",
     "media-type=text/plain;type=file;size=1;modify=20120101120000; a", File("a", 1)},
    {"F18_NoBlankBeforeName", "type=file;size=1;modify=20120101120000;a", File("a", 1)},
    {"F19_PermFactIgnored", "type=file;perm=adfrw;size=1;modify=20120101120000; a", File("a", 1)},
    {"F20_ModeWithoutOtherFacts", "type=dir;UNIX.mode=0755; d",
     RemoteItem{.kind = 'd', .permissions = "rwxr-xr-x", .name = "d"}},
};
INSTANTIATE_TEST_SUITE_P(Facts, MlsdLineTest, ::testing::ValuesIn(kFacts),
                         [](const auto& info) { return std::string(info.param.id); });

const FactCase kRejected[] = {
    {"X01_CurrentFolder", "type=cdir;size=0;modify=20120101120000; /pub", std::nullopt},
    {"X02_ParentFolder", "type=pdir;size=0;modify=20120101120000; ..", std::nullopt},
    {"X03_DotName", "type=dir;size=0;modify=20120101120000; .", std::nullopt},
    {"X04_DotDotName", "type=dir;size=0;modify=20120101120000; ..", std::nullopt},
    {"X05_NoSemicolon", "type=file size=1 a", std::nullopt},
    {"X06_EmptyName", "type=file;size=1;modify=20120101120000;   ", std::nullopt},
    {"X07_NoType", "size=1;modify=20120101120000; a", std::nullopt},
    {"X08_UnknownType", "type=OS.unix=fifo;size=1;modify=20120101120000; a", std::nullopt},
    {"X09_LinkWordRunsOn", "type=OS.unix=slinky;size=1;modify=20120101120000; a", std::nullopt},
    {"X10_SizeWithLetters", "type=file;size=12a;modify=20120101120000; a", std::nullopt},
    {"X11_EmptySize", "type=file;size=;modify=20120101120000; a", std::nullopt},
    {"X12_SizeOverflows64Bits", "type=file;size=9223372036854775808;modify=20120101120000; a",
     std::nullopt},
    {"X13_HugeDigitRunAsSize",
     "type=file;size=999999999999999999999999999999999999999999;modify=20120101120000; a",
     std::nullopt},
    {"X14_ModifyWithLetters", "type=file;size=1;modify=2012x; a", std::nullopt},
    {"X15_ModifyDotWithoutFraction", "type=file;size=1;modify=20120101120000.; a", std::nullopt},
    {"X16_EmptyModify", "type=file;size=1;modify=; a", std::nullopt},
    {"X17_ModeNotOctal", "type=file;size=1;UNIX.mode=0648;modify=20120101120000; a", std::nullopt},
    {"X18_EmptyMode", "type=file;size=1;UNIX.mode=;modify=20120101120000; a", std::nullopt},
    {"X19_EmptyLine", "", std::nullopt},
    {"X20_UnixLine", "-rw-r--r-- 1 u g 5 Jan 5 2011 a", std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Rejected, MlsdLineTest, ::testing::ValuesIn(kRejected),
                         [](const auto& info) { return std::string(info.param.id); });

TEST(MlsdListingGrammarTest, NulBytesMakeTheLineUnread) {
    const QByteArray line("type=file;size=1; a\0b", 21);
    EXPECT_EQ(MlsdListingGrammar().read(line).outcome, LineOutcome::NotUnderstood);
}

}  // namespace
