// velmora-cli parse: saved listings turned into the tab-separated lines of
// `ls --tsv`, without a server.
#include "support/cli_runner.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <vector>

namespace {

std::string str(const QString& text) {
    return text.toStdString();
}

// Lines as a server sends them; joined with the line end under test.
const QList<QByteArray> kUnixLines = {
    "total 12",
    "drwxr-xr-x   2 owner    group        4096 Jan 10 12:34 My Folder",
    "-rw-r--r--   1 owner    group        1234 Mar  4  2021 file name.txt",
    "lrwxrwxrwx   1 owner    group           9 Feb 28 07:08 link -> target.txt",
    "-rw-r--r--   1 1000     1000   3000000000 Dec 31  1999 big.bin",
};

// Sorted for display: folders, links, then files by name.
const QList<QByteArray> kUnixTsv = {
    "d\trwxr-xr-x\t4096\t-1\t1\t10\t12:34\t2\towner\tgroup\tMy Folder\t",
    "l\trwxrwxrwx\t9\t-1\t2\t28\t07:08\t1\towner\tgroup\tlink\ttarget.txt",
    "-\trw-r--r--\t3000000000\t1999\t12\t31\t\t1\t1000\t1000\tbig.bin\t",
    "-\trw-r--r--\t1234\t2021\t3\t4\t\t1\towner\tgroup\tfile name.txt\t",
};

const QList<QByteArray> kMlsdLines = {
    "type=cdir;modify=20200101000000; .",
    "type=pdir;modify=20200101000000; ..",
    "type=file;modify=20221231235959;size=3000000000; big.bin",
    "type=file;modify=20210304050607;size=1234;UNIX.mode=0644; file name.txt",
    "type=OS.unix=slink:/target;modify=20120101120000; link",
    "type=dir;modify=20230405060708;size=4096; Folder One",
    "type=file;modify=20200101000000;size=5; tab\there\\x",
};

const QList<QByteArray> kMlsdTsv = {
    "d\t\t4096\t2023\t4\t5\t06:07:08\t-1\t\t\tFolder One\t",
    "l\t\t0\t2012\t1\t1\t12:00:00\t-1\t\t\tlink\t/target",
    "-\t\t3000000000\t2022\t12\t31\t23:59:59\t-1\t\t\tbig.bin\t",
    "-\trw-r--r--\t1234\t2021\t3\t4\t05:06:07\t-1\t\t\tfile name.txt\t",
    // A tab or backslash in a name is escaped: the line keeps twelve fields.
    "-\t\t5\t2020\t1\t1\t00:00:00\t-1\t\t\ttab\\there\\\\x\t",
};

TEST(CliParseTest, SavedListingsGiveTsvLines) {
    struct Case {
        const char* label;
        QStringList grammar;  // option before the file
        QList<QByteArray> lines;
        QByteArray lineEnd;
        bool finalLineEnd;
        QList<QByteArray> expected;
    };
    const std::vector<Case> cases = {
        {"unix", {"--unix"}, kUnixLines, "\n", true, kUnixTsv},
        {"unix by default", {}, kUnixLines, "\n", true, kUnixTsv},
        {"unix as received", {"--unix"}, kUnixLines, "\r\n", true, kUnixTsv},
        {"unix without final line end", {"--unix"}, kUnixLines, "\r\n", false, kUnixTsv},
        {"mlsd", {"--mlsd"}, kMlsdLines, "\n", true, kMlsdTsv},
        {"mlsd as received", {"--mlsd"}, kMlsdLines, "\r\n", true, kMlsdTsv},
        {"mlsd without final line end", {"--mlsd"}, kMlsdLines, "\r\n", false, kMlsdTsv},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        QByteArray text = c.lines.join(c.lineEnd);
        if (c.finalLineEnd)
            text += c.lineEnd;
        const QString path = dir.filePath(QStringLiteral("listing.txt"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(text), text.size());
        file.close();

        const CliResult r = runCli(QStringList{"parse"} + c.grammar + QStringList{path},
                                   CliRun::cliEnvironment(dir.path()));
        ASSERT_EQ(r.exitCode, 0) << str(r.describe());
        EXPECT_TRUE(r.err.isEmpty()) << str(r.err);
        QList<QByteArray> lines = r.outLines();
        if (c.lineEnd == "\r\n") {
            // The blank a carriage return becomes stays at the end of a Unix
            // link's target; everything else must be exact.
            for (QByteArray& line : lines) {
                if (line.startsWith("l\t") && line.endsWith(' '))
                    line.chop(1);
            }
        }
        EXPECT_EQ(lines, c.expected);
        EXPECT_TRUE(r.out.endsWith('\n'));
    }
}

// --auto reads each line with the grammar its look calls for; lines it can
// not read are named on stderr and fail the run, the rest is printed.
TEST(CliParseTest, AutoPicksTheGrammarPerLineAndReportsUnreadLines) {
    struct Case {
        const char* label;
        QStringList grammar;
        QList<QByteArray> lines;
        int exitCode;
        QList<QByteArray> expected;
        QString error;  // part of stderr; empty: stderr stays empty
    };
    const QList<QByteArray> mixed = {
        "total 3",
        "-rw-r--r-- 1 u g 5 2019-03-14 10:02 unix.txt",
        "04-27-00  12:09PM       <DIR>          Dos Folder",
        "type=file;modify=20210304050607;size=7; facts.txt",
    };
    const std::vector<Case> cases = {
        {"auto",
         {"--auto"},
         mixed,
         0,
         {"d\t\t0\t2000\t4\t27\t12:09\t-1\t\t\tDos Folder\t",
          "-\t\t7\t2021\t3\t4\t05:06:07\t-1\t\t\tfacts.txt\t",
          "-\trw-r--r--\t5\t2019\t3\t14\t10:02\t1\tu\tg\tunix.txt\t"},
         {}},
        {"dos only",
         {"--dos"},
         {"04-27-00  12:09PM       <DIR>          Dos Folder", "2002-09-02  19:06  9,730 a b"},
         0,
         {"d\t\t0\t2000\t4\t27\t12:09\t-1\t\t\tDos Folder\t",
          "-\t\t9730\t2002\t9\t2\t19:06\t-1\t\t\ta b\t"},
         {}},
        {"unix only leaves the others unread",
         {"--unix"},
         mixed,
         1,
         {"-\trw-r--r--\t5\t2019\t3\t14\t10:02\t1\tu\tg\tunix.txt\t"},
         "2 lines could not be read, the first: 04-27-00  12:09PM"},
        {"auto names the unread line",
         {"--auto"},
         {"-rw-r--r-- 1 u g 5 Jan 5 2011 a", "-rw-r--r-- 1 u g 5 14 lut 2019 b"},
         1,
         {"-\trw-r--r--\t5\t2011\t1\t5\t\t1\tu\tg\ta\t"},
         "1 line could not be read, the first: -rw-r--r-- 1 u g 5 14 lut 2019 b"},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const QString path = dir.filePath(QStringLiteral("listing.txt"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.lines.join("\n") + "\n");
        file.close();
        const CliResult r = runCli(QStringList{"parse"} + c.grammar + QStringList{path},
                                   CliRun::cliEnvironment(dir.path()));
        EXPECT_EQ(r.exitCode, c.exitCode) << str(r.describe());
        EXPECT_EQ(r.outLines(), c.expected);
        if (c.error.isEmpty())
            EXPECT_TRUE(r.err.isEmpty()) << str(r.err);
        else
            EXPECT_TRUE(r.err.contains(c.error)) << str(r.err);
    }
}

TEST(CliParseTest, EmptyListingPrintsNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("total 0\r\n");
    file.close();
    const CliResult r = runCli({"parse", path}, CliRun::cliEnvironment(dir.path()));
    EXPECT_EQ(r.exitCode, 0) << str(r.describe());
    EXPECT_TRUE(r.out.isEmpty()) << str(r.describe());
}

TEST(CliParseTest, MissingFileExitsOneNamingIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no such listing.txt"));
    const CliResult r = runCli({"parse", "--mlsd", path}, CliRun::cliEnvironment(dir.path()));
    EXPECT_EQ(r.exitCode, 1) << str(r.describe());
    EXPECT_TRUE(r.out.isEmpty());
    ASSERT_EQ(r.errLines().size(), 1) << str(r.describe());
    EXPECT_TRUE(r.err.contains(path)) << str(r.err);
}

}  // namespace
