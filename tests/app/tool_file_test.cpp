#include "app/tool_file.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

// File images written by hand: little-endian int32, wide texts as byte length
// plus UTF-16LE.
QByteArray Int32(quint32 v) {
    QByteArray b;
    for (int i = 0; i < 4; ++i) {
        b.append(char((v >> (8 * i)) & 0xFF));
    }
    return b;
}

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(text);
}

ToolRecord Tool(const char* name, const char* path, const char* file, quint8 http) {
    return ToolRecord{QString::fromUtf8(name), QString::fromUtf8(path), QString::fromUtf8(file),
                      http};
}

void ExpectTool(const ToolRecord& expected, const ToolRecord& actual) {
    EXPECT_EQ(expected.Name, actual.Name);
    EXPECT_EQ(expected.Path, actual.Path);
    EXPECT_EQ(expected.File, actual.File);
    EXPECT_EQ(expected.IsHttp, actual.IsHttp);
}

TEST(ToolFile, EmptyListsAreEightBytesAndAnEmptyRecordThirteen) {
    EXPECT_EQ(Hex("00000000"
                  "00000000"),
              EncodeTools(ToolLists{}));

    ToolLists one;
    one.UserTools.push_back(ToolRecord{});
    const QByteArray expected =
        Hex("00000000"  // SearchedTools: none
            "01000000"  // UserTools: one record
            "00000000"
            "00000000"
            "00000000"  // Name, Path, File
            "00");      // IsHttp
    EXPECT_EQ(expected, EncodeTools(one));
    EXPECT_EQ(8 + 13, expected.size());
}

TEST(ToolFile, RecordsAreNamePathFileThenKindByte) {
    ToolLists lists;
    lists.SearchedTools.push_back(Tool("Vi\xc3\xa9", "/b", "v", 1));
    const QByteArray expected =
        Hex("01000000"
            "06000000"
            "5600"
            "6900"
            "e900"  // "Vié"
            "04000000"
            "2f00"
            "6200"  // "/b"
            "02000000"
            "7600"  // "v"
            "01"
            "00000000");
    EXPECT_EQ(expected, EncodeTools(lists));

    ToolLists read;
    // Bytes after the lists are read past but make the file one to keep aside before a save.
    ASSERT_EQ(ToolFileState::Incomplete, DecodeTools(expected + Hex("ffff"), read));
    ASSERT_EQ(1u, read.SearchedTools.size());
    ExpectTool(lists.SearchedTools[0], read.SearchedTools[0]);
    EXPECT_TRUE(read.UserTools.empty());
}

TEST(ToolFile, ShortFilesKeepWhatWasReadAndEmptyFieldsForTheRest) {
    const QByteArray full = Int32(2) + Hex("4100") + Int32(4) + Hex("2f007800") + Int32(2) +
                            Hex("6600") + Hex("01");  // "A", "/x", "f", HTTP
    const struct {
        const char* what;
        QByteArray data;
        std::size_t searched;
        std::size_t user;
    } cases[] = {
        {"count only", Int32(2), 1, 0},
        {"name of the second record only", Int32(2) + full + Int32(2) + Hex("4200"), 2, 0},
        {"second list cut", Int32(1) + full + Int32(1) + Int32(2), 1, 1},
        {"odd text length", Int32(1) + Int32(3) + Hex("414243"), 1, 0},
        {"text longer than the file", Int32(1) + Int32(200) + Hex("4100"), 1, 0},
        {"huge count", Int32(0x7fffffff) + full, 2, 0},
        {"negative count", Int32(0xffffffff) + Int32(1) + full, 0, 0},
        {"no second count", Int32(1) + full, 1, 0},
        {"half a count", Hex("0100"), 0, 0},
        {"a record past the second count", Int32(0) + Int32(1) + full + full, 0, 1},
    };
    for (const auto& c : cases) {
        ToolLists lists;
        lists.UserTools.push_back(Tool("stale", "/", "x", 0));
        EXPECT_EQ(ToolFileState::Incomplete, DecodeTools(c.data, lists)) << c.what;
        EXPECT_EQ(c.searched, lists.SearchedTools.size()) << c.what;
        EXPECT_EQ(c.user, lists.UserTools.size()) << c.what;
    }

    ToolLists lists;
    DecodeTools(Int32(2) + full + Int32(2) + Hex("4200"), lists);
    ExpectTool(Tool("A", "/x", "f", 1), lists.SearchedTools[0]);
    ExpectTool(Tool("B", "", "", 0), lists.SearchedTools[1]);
    EXPECT_FALSE(lists.SearchedTools[1].isUsable());
}

TEST(ToolFile, SavedFileLoadsBackAndAMissingFileGivesEmptyLists) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Setting/tools.set"));
    ToolLists lists;
    lists.SearchedTools = {Tool("Mozilla Firefox", "/usr/bin", "firefox", 1),
                           Tool("gedit", "", "gedit", 0)};
    lists.UserTools = {Tool("", "/opt/x y", "viewer.sh", 0)};
    ASSERT_TRUE(SaveTools(lists, path));

    ToolLists read;
    ASSERT_EQ(ToolFileState::Complete, LoadTools(read, path));
    ASSERT_EQ(2u, read.SearchedTools.size());
    ASSERT_EQ(1u, read.UserTools.size());
    ExpectTool(lists.SearchedTools[0], read.SearchedTools[0]);
    ExpectTool(lists.SearchedTools[1], read.SearchedTools[1]);
    ExpectTool(lists.UserTools[0], read.UserTools[0]);

    EXPECT_EQ(ToolFileState::Missing, LoadTools(read, dir.filePath(QStringLiteral("none.set"))));
    EXPECT_TRUE(read.SearchedTools.empty());
    EXPECT_TRUE(read.UserTools.empty());

    QFile empty(dir.filePath(QStringLiteral("empty.set")));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    read.UserTools.push_back(ToolRecord{});
    EXPECT_EQ(ToolFileState::Missing, LoadTools(read, empty.fileName()));
    EXPECT_TRUE(read.UserTools.empty());
}

TEST(ToolLists, TopUpAddsTheBuiltInToolsPastTheStoredCount) {
    const std::vector<ToolRecord>& builtIn = BuiltInTools();
    ASSERT_EQ(10u, builtIn.size());
    for (std::size_t i = 0; i < builtIn.size(); ++i) {
        EXPECT_EQ(i < 5, builtIn[i].isHttpTool()) << i;
        EXPECT_TRUE(builtIn[i].Path.isEmpty());
        EXPECT_FALSE(builtIn[i].Name.isEmpty());
        EXPECT_FALSE(builtIn[i].File.isEmpty());
    }

    ToolLists fresh;
    TopUpSearchedTools(fresh);
    ASSERT_EQ(10u, fresh.SearchedTools.size());
    EXPECT_EQ(QStringLiteral("Mozilla Firefox"), fresh.SearchedTools[0].Name);
    EXPECT_EQ(QStringLiteral("firefox"), fresh.SearchedTools[0].File);
    EXPECT_EQ(QStringLiteral("Evince"), fresh.SearchedTools[9].Name);
    EXPECT_TRUE(fresh.UserTools.empty());

    ToolLists three;
    three.SearchedTools = {Tool("a", "/a", "a", 0), Tool("b", "/b", "b", 0), Tool("c", "", "c", 1)};
    TopUpSearchedTools(three);
    ASSERT_EQ(10u, three.SearchedTools.size());
    EXPECT_EQ(QStringLiteral("c"), three.SearchedTools[2].Name);
    ExpectTool(builtIn[3], three.SearchedTools[3]);
    ExpectTool(builtIn[9], three.SearchedTools[9]);

    ToolLists many;
    many.SearchedTools.assign(12, Tool("x", "/x", "x", 0));
    TopUpSearchedTools(many);
    EXPECT_EQ(12u, many.SearchedTools.size());
}

}  // namespace
