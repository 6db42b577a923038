#include "session/command_index.h"

#include <gtest/gtest.h>

namespace {

Reply replyOf(const QList<QByteArray>& lines) {
    Reply r;
    r.lines = lines;
    r.complete = true;
    return r;
}

// The index as "letter:word word|letter:word".
QByteArray layout(const CommandIndex& index) {
    QByteArray out;
    for (const CommandIndex::LetterGroup& g : index.groups()) {
        if (!out.isEmpty())
            out += '|';
        out += QByteArray(1, g.letter) + ':' + g.words.join(' ');
    }
    return out;
}

struct IndexCase {
    const char* name;
    bool help;
    QList<QByteArray> lines;
    QByteArray expected;
};

class CommandIndexing : public ::testing::TestWithParam<IndexCase> {};

TEST_P(CommandIndexing, GroupsSortedUniqueWords) {
    const IndexCase& c = GetParam();
    const Reply reply = replyOf(c.lines);
    const CommandIndex index = c.help ? indexHelpReply(reply) : indexFeatReply(reply);
    EXPECT_EQ(layout(index), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    , CommandIndexing,
    ::testing::Values(IndexCase{"featFirstWords",
                                false,
                                {"211-Features:\r\n", " SIZE\r\n", " MLST type*;size*;\r\n",
                                 " REST STREAM\r\n", " MDTM\r\n", "211 End\r\n"},
                                "M:MDTM MLST|R:REST|S:SIZE"},
                      IndexCase{"featRepeatsOnce",
                                false,
                                {"211-F\r\n", " UTF8\r\n", " UTF8\r\n", "\r\n", " EPSV\r\n",
                                 "211 End\r\n"},
                                "E:EPSV|U:UTF8"},
                      IndexCase{"helpEveryWord",
                                true,
                                {"214-The following commands are recognized.\r\n",
                                 " RETR STOR\tLIST  RETR\r\n", " LIST\r\n", "214 Help OK.\r\n"},
                                "L:LIST|R:RETR|S:STOR"},
                      IndexCase{"nothingButNumberedLines", true, {"214-a\r\n", "214 b\r\n"}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandIndex, LongReplyOfDistinctWordsIsIndexedWhole) {
    // A hostile HELP reply: 200,000 distinct words of one letter.
    QList<QByteArray> lines{"214-help\r\n"};
    for (int line = 0; line < 2000; ++line) {
        QByteArray text = " ";
        for (int w = 0; w < 100; ++w)
            text += "X" + QByteArray::number(line * 100 + w) + ' ';
        lines.append(text + "\r\n");
    }
    lines.append("214 end\r\n");
    const CommandIndex index = indexHelpReply(replyOf(lines));
    ASSERT_EQ(index.letterCount(), 1);
    EXPECT_EQ(index.groups().first().words.size(), 200000);
    EXPECT_TRUE(index.contains("X199999"));
    EXPECT_FALSE(index.contains("X200000"));

    // Such a reply costs no lookup per word: adding only appends, and the
    // repeats go when the index is sorted.
    CommandIndex repeats;
    for (const char* word : {"RETR", "STOR", "RETR"})
        repeats.add(word);
    EXPECT_EQ(layout(repeats), "R:RETR RETR|S:STOR");
    repeats.sort();
    EXPECT_EQ(layout(repeats), "R:RETR|S:STOR");
}

}  // namespace
