// velmora-cli's recursive walks on a server whose folder lists itself, at
// every depth: each stops, at the first repeat where MLSD names folders by
// their "unique" fact and 64 levels down where nothing does, says where, and
// ends with a non-zero status.
#include "cli/cli_server_suite.h"
#include "cli/tree_snapshot.h"
#include "support/scripted_ftp_server.h"

#include <gtest/gtest.h>

#include <QDir>

#include <set>
#include <vector>

namespace {

// /p/a holds a file and itself: /p/a/a, /p/a/a/a and so on are /p/a.
ScriptedFtpScript loopingServer(bool mlsd) {
    ScriptedFtpScript script;
    script.mlsd = mlsd;
    const QByteArray folderFacts = "type=dir;modify=20240105103000;unique=801g4c2a; a\r\n";
    const QByteArray folderLine = "drwxr-xr-x 3 o g 4096 Jan 05  2024 a\r\n";
    script.addFolder("/", "drwxr-xr-x 3 o g 4096 Jan 05  2024 p\r\n",
                     "type=dir;modify=20240105103000;unique=801g4c29; p\r\n");
    script.addFolder("/p", folderLine, folderFacts);
    script.addFolder("/p/a", folderLine + "-rw-r--r-- 1 o g 5 Jan 05  2024 f.txt\r\n",
                     folderFacts +
                         "type=file;size=5;modify=20240105103000;unique=801g4c2b; "
                         "f.txt\r\n");
    script.addFile("/p/a/f.txt", "file\n");
    script.loops.insert("/p/a/a", "/p/a");
    return script;
}

}  // namespace

TEST(CliWalkTest, EveryWalkStopsInAFolderThatHoldsItself) {
    QTemporaryDir settings, work;
    ASSERT_TRUE(settings.isValid() && work.isValid());
    // The local twin of the project for compare: deeper than any walk goes.
    const QString project = work.filePath("project");
    ASSERT_TRUE(QDir().mkpath(project + QStringLiteral("/a").repeated(70)));
    struct Command {
        const char* name;
        QStringList args;
    };
    const std::vector<Command> commands = {
        {"get", {"get", "/p/a", work.filePath("down")}},
        {"rm", {"rm", "/p/a"}},
        {"chmod", {"chmod", "755", "/p/a", "--recursive", "--folders"}},
        {"find", {"find", "f.txt", "/p"}},
        {"case", {"case", "upper", "--recursive", "/p"}},
        {"compare", {"compare", "--recursive"}},
    };
    struct Grammar {
        const char* name;
        bool mlsd;
        int deepest;           // levels of a/ entered below /p
        const char* stopLine;  // what the error line says
    };
    const std::vector<Grammar> grammars = {
        {"MLSD", true, 1, "again here: /p/a/a"},
        {"LIST", false, 64, "Not entered, 64 levels below the start folder: /p/a"},
    };
    for (const Grammar& g : grammars) {
        ScriptedFtpServer server(loopingServer(g.mlsd));
        ASSERT_TRUE(server.start()) << str(server.lastError());
        const CliResult added =
            runCli({"--setting-dir", settings.path(), "sites", "add", g.name, "--host", "127.0.0.1",
                    "--port", QString::number(server.port()), "--user", "tester", "--password",
                    "secret", "--local-project", project, "--remote-project", "/p"},
                   CliRun::cliEnvironment(settings.path()));
        ASSERT_EQ(added.exitCode, 0) << str(added.describe());
        for (const Command& c : commands) {
            SCOPED_TRACE(std::string(g.name) + ' ' + c.name);
            server.clearTranscript();
            const CliResult r =
                runCli(QStringList{"--setting-dir", settings.path(), "--site", g.name} + c.args,
                       CliRun::cliEnvironment(settings.path()), 60000);
            EXPECT_NE(r.exitCode, 0) << str(r.describe());
            EXPECT_TRUE(r.err.contains(g.stopLine)) << str(r.describe());
            // Walks that start at /p/a count their levels from there.
            std::set<QByteArray> entered;
            for (const QByteArray& line : server.transcript())
                if (line.startsWith("CWD /p/a"))
                    entered.insert(line.mid(4));
            int deepest = 0;
            for (const QByteArray& path : entered)
                deepest = std::max(deepest, int(path.count("/a")));
            EXPECT_LE(deepest, g.deepest + 1) << str(r.describe());
            EXPECT_GE(deepest, g.deepest) << str(r.describe());
        }
    }
}
