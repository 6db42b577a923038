#include "remote/permission_rules.h"
#include "support/remote_harness_util.h"

#include <gtest/gtest.h>

namespace {

TEST(PermissionRules, TitleNamesWhatIsChanged) {
    struct Case {
        std::vector<RemoteItem> selected;
        QString title;
    };
    const Case cases[] = {
        {{}, "Permissions for Root"},
        {{remoteItem('-', "a.txt")}, "Permissions for File \"a.txt\""},
        {{remoteItem('d', "www")}, "Permissions for Folder \"www\""},
        {{remoteItem('l', "lib")}, "Permissions for Link \"lib\""},
        {{remoteItem('b', "sda")}, "Permissions for Device B \"sda\""},
        {{remoteItem('c', "tty")}, "Permissions for Device C \"tty\""},
        {{remoteItem('p', "fifo")}, "Permissions for Unknown \"fifo\""},
        {{remoteItem('-', "caf\xc3\xa9")},
         QString::fromUtf8("Permissions for File \"caf\xc3\xa9\"")},
        {{remoteItem('-', "a"), remoteItem('d', "b")}, "Permissions for selections"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(permissionsTitle(c.selected), c.title);
}

TEST(PermissionRules, NumberAndExpressionConvertBothWays) {
    struct Case {
        int number;
        const char* expression;
    };
    const Case cases[] = {
        {755, "rwxr-xr-x"}, {644, "rw-r--r--"}, {0, "---------"},   {777, "rwxrwxrwx"},
        {7, "------rwx"},   {421, "r---w---x"}, {124, "--x-w-r--"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expression);
        EXPECT_EQ(permissionExpression(c.number), QString::fromLatin1(c.expression));
        EXPECT_EQ(parsePermissionExpression(QString::fromLatin1(c.expression)), c.number);
    }
}

TEST(PermissionRules, ExpressionReadsServerMarksAndAnyCase) {
    struct Case {
        const char* expression;
        std::optional<int> number;
    };
    const Case cases[] = {
        {"RWXR-XR-X", 755},           {"rwsr-xr-x", 755},  // set-user-id with execute
        {"rwSr-xr-x", 655},                                // set-user-id without execute
        {"rwxrwxrwt", 777},           {"rwxrwxrwT", 776},          {"rwxr-xr-", std::nullopt},
        {"rwxr-xr-xx", std::nullopt}, {"wrxr-xr-x", std::nullopt}, {"rwxr-xr-s", 755},
        {"rwxr-xr-?", std::nullopt},  {"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expression);
        EXPECT_EQ(parsePermissionExpression(QString::fromLatin1(c.expression)), c.number);
    }
}

TEST(PermissionRules, NumericFieldTakesUpToThreeOctalDigits) {
    struct Case {
        const char* text;
        std::optional<int> number;
    };
    const Case cases[] = {
        {"755", 755},
        {" 644 ", 644},
        {"7", 7},
        {"070", 70},
        {"", std::nullopt},
        {"8", std::nullopt},
        {"1234", std::nullopt},
        {"-1", std::nullopt},
        {"7a", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parsePermissionNumber(QString::fromLatin1(c.text)), c.number);
    }
    for (int bad : {-1, 8, 78, 780, 800, 1000})
        EXPECT_EQ(permissionExpression(bad), QString()) << bad;
}

TEST(PermissionRules, CheckBoxesSetAndClearOneBit) {
    // Rows owner, group, public; columns read, write, execute.
    EXPECT_TRUE(permissionBit(640, 0, 0));
    EXPECT_TRUE(permissionBit(640, 0, 1));
    EXPECT_FALSE(permissionBit(640, 0, 2));
    EXPECT_TRUE(permissionBit(640, 1, 0));
    EXPECT_FALSE(permissionBit(640, 1, 1));
    EXPECT_FALSE(permissionBit(640, 2, 0));
    EXPECT_EQ(withPermissionBit(640, 2, 2, true), 641);
    EXPECT_EQ(withPermissionBit(640, 0, 1, false), 440);
    EXPECT_EQ(withPermissionBit(640, 1, 0, true), 640);
    EXPECT_EQ(withPermissionBit(0, 0, 0, true), 400);
    EXPECT_EQ(withPermissionBit(777, 1, 1, false), 757);
    EXPECT_EQ(withPermissionBit(640, 3, 0, true), 640);
}

TEST(PermissionRules, StartsFromTheListedModeOrFromNothing) {
    constexpr char kUnknown[] = "The current mode is unknown: the listing gave none.";
    constexpr char kDiffer[] = "The selected items have different modes.";
    struct Case {
        const char* name;
        std::vector<RemoteItem> selected;
        bool linksAsFolders;
        std::optional<int> initial;
        const char* note;
        bool recursion;
    };
    const Case cases[] = {
        {"root", {}, false, 755, "", true},
        {"one file", {remoteItem('-', "a", "rw-r-----")}, false, 640, "", false},
        {"one folder", {remoteItem('d', "d", "rwx------")}, false, 700, "", true},
        {"file without permissions", {remoteItem('-', "a")}, false, std::nullopt, kUnknown, false},
        {"link, links as files", {remoteItem('l', "l", "rwxrwxrwx")}, false, 777, "", false},
        {"link, links as folders", {remoteItem('l', "l", "rwxrwxrwx")}, true, 777, "", true},
        {"several sharing a mode",
         {remoteItem('-', "a", "rw-r--r--"), remoteItem('d', "d", "rw-r--r--")},
         false,
         644,
         "",
         true},
        {"several with different modes",
         {remoteItem('-', "a", "rw-------"), remoteItem('d', "d", "rwx------")},
         false,
         std::nullopt,
         kDiffer,
         true},
        {"several, one without a mode",
         {remoteItem('-', "a", "rw-------"), remoteItem('-', "b")},
         false,
         std::nullopt,
         kUnknown,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(initialPermissionNumber(c.selected), c.initial);
        EXPECT_EQ(permissionStartNote(c.selected), QString::fromLatin1(c.note));
        EXPECT_EQ(recursionOffered(c.selected, c.linksAsFolders), c.recursion);
    }
}

struct ApplyCase {
    const char* name;
    std::vector<RemoteItem> selected;
    std::optional<int> number;
    RecurseChoice choice;
    bool recurse;
    bool accepted;
    QString message;
    QByteArray mode = {};
    bool files = false;
    bool folders = false;
};

void PrintTo(const ApplyCase& c, std::ostream* os) {
    *os << c.name;
}

class PermissionApply : public testing::TestWithParam<ApplyCase> {};

TEST_P(PermissionApply, ProducesTheRequestOrRefuses) {
    const ApplyCase& c = GetParam();
    const PermissionDialogResult r =
        applyPermissionDialog(c.selected, c.number, c.choice, c.recurse);
    EXPECT_EQ(r.accepted, c.accepted);
    EXPECT_EQ(r.message, c.message);
    if (c.accepted) {
        EXPECT_EQ(r.request.mode, c.mode);
        EXPECT_EQ(r.request.applyToFiles, c.files);
        EXPECT_EQ(r.request.applyToFolders, c.folders);
        EXPECT_EQ(r.request.recurse, c.recurse);
    }
}

const std::vector<RemoteItem> kFile = {remoteItem('-', "a", "rw-r--r--")};
const std::vector<RemoteItem> kUpperFile = {remoteItem('-', "a", "RW-R--R--")};
const std::vector<RemoteItem> kFolder = {remoteItem('d', "d", "rwxr-xr-x")};
const std::vector<RemoteItem> kRoot = {};
const std::vector<RemoteItem> kTwo = {remoteItem('-', "a", "rw-r--r--"),
                                      remoteItem('-', "b", "rw-r--r--")};

INSTANTIATE_TEST_SUITE_P(
    PermissionRules, PermissionApply,
    testing::Values(
        ApplyCase{"FileChanged", kFile, 600, RecurseChoice::FilesAndFolders, false, true, "", "600",
                  true, true},
        ApplyCase{"FileUnchanged", kFile, 644, RecurseChoice::FilesAndFolders, false, false,
                  "No change"},
        ApplyCase{"FileUnchangedOtherCase", kUpperFile, 644, RecurseChoice::Files, false, false,
                  "No change"},
        // A folder is always changed: the request may go inside it.
        ApplyCase{"FolderSameValue", kFolder, 755, RecurseChoice::Files, true, true, "", "755",
                  true, false},
        ApplyCase{"FolderFoldersOnly", kFolder, 700, RecurseChoice::Folders, true, true, "", "700",
                  false, true},
        ApplyCase{"ModeKeepsLeadingZeros", kFolder, 7, RecurseChoice::FilesAndFolders, false, true,
                  "", "007", true, true},
        ApplyCase{"SeveralSameValue", kTwo, 644, RecurseChoice::FilesAndFolders, false, true, "",
                  "644", true, true},
        ApplyCase{"RootBothFlags", kRoot, 755, RecurseChoice::FilesAndFolders, false, true, "",
                  "755", true, true},
        ApplyCase{"RootFilesOnly", kRoot, 755, RecurseChoice::Files, true, false, "No change"},
        ApplyCase{"RootFoldersOnly", kRoot, 755, RecurseChoice::Folders, true, false, "No change"},
        ApplyCase{"NotAPermissionNumber", kFile, 786, RecurseChoice::FilesAndFolders, false, false,
                  "Permissions are three digits from 0 to 7"},
        // An unknown mode left unchosen would send 000.
        ApplyCase{"NothingChosen",
                  {remoteItem('-', "a")},
                  std::nullopt,
                  RecurseChoice::FilesAndFolders,
                  false,
                  false,
                  "Choose the new permissions first."},
        ApplyCase{"UnknownModeAnyChoiceIsAChange",
                  {remoteItem('-', "a")},
                  644,
                  RecurseChoice::FilesAndFolders,
                  false,
                  true,
                  "",
                  "644",
                  true,
                  true}),
    [](const testing::TestParamInfo<ApplyCase>& info) { return std::string(info.param.name); });

}  // namespace
