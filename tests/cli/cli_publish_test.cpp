// velmora-cli publishing to a live site, against real servers: what a visitor
// reads while a file is replaced, servers that refuse the rename or the
// temporary name, an interrupted upload taken up again, modification times both
// ways, comparing by date, checksums, and deploy --changed by the server's
// checksum.
#include "cli/cli_server_suite.h"
#include "cli/tree_snapshot.h"

#include "support/upload_temporaries.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTimeZone>

#include <csignal>

namespace {

const QString kAccount = QStringLiteral("velmora:velmora-pass@");

QDateTime utc(int y, int mo, int d, int h, int mi, int s) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), QTimeZone::utc());
}

bool setTime(const QString& path, const QDateTime& time) {
    QFile f(path);
    return f.open(QIODevice::ReadWrite) && f.setFileTime(time, QFileDevice::FileModificationTime);
}

QDateTime timeOf(const QString& path) {
    return QFileInfo(path).lastModified().toUTC();
}

// One pyftpdlib per test, with the behaviour the test needs.
class CliPublishTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(settings_.isValid() && work_.isValid()); }

    void start(const PyftpdlibServer::Options& options = {}) {
        server_ = std::make_unique<PyftpdlibServer>(options);
        ASSERT_TRUE(server_->start()) << str(server_->lastError());
    }
    // The first transfer of a file of that name loses its connections halfway.
    void startDroppingOnce(const QString& name) {
        PyftpdlibServer::Options o;
        o.dropOnce = name;
        start(o);
    }
    QString url(const QString& path = QStringLiteral("/")) const {
        return QStringLiteral("ftp://") + kAccount +
               QStringLiteral("127.0.0.1:%1").arg(server_->port()) + path;
    }
    QProcessEnvironment env() const { return CliRun::cliEnvironment(settings_.path()); }
    CliResult cli(const QStringList& args) const { return runCli(args, env()); }
    // The site "pub": the server's root and this local project folder.
    void addSite(const QString& project) const {
        const CliResult r =
            cli({"sites", "add", "pub", "--host", "127.0.0.1", "--port",
                 QString::number(server_->port()), "--user", "velmora", "--password",
                 "velmora-pass", "--local-project", project, "--remote-project", "/"});
        ASSERT_EQ(r.exitCode, 0) << str(r.describe());
    }
    QString local(const QString& rel) const { return work_.filePath(rel); }
    QString serverPath(const QString& rel) const { return server_->localPath(rel); }
    static QStringList sent(const CliResult& r) {
        QStringList lines = r.logLines(QStringLiteral("sent"));
        for (QString& line : lines)
            line = untagTemporaries(line);
        return lines;
    }

    QTemporaryDir settings_, work_;
    std::unique_ptr<PyftpdlibServer> server_;
};

// What a poller of the final name saw while an upload ran.
struct Watched {
    int polls = 0;
    int partial = 0;  // neither the old nor the new bytes
    CliResult result;
};

Watched watchWhileUploading(CliRun& run, FtpServerProcess& server, const QString& rel,
                            const QByteArray& old, const QByteArray& fresh) {
    Watched w;
    QDeadlineTimer deadline(60000);
    while (!run.ended(10) && !deadline.hasExpired()) {
        const QByteArray seen = server.readFile(rel);
        ++w.polls;
        if (seen != old && seen != fresh)
            ++w.partial;
    }
    w.result = run.wait();
    return w;
}

// Two uploads of one file at once, with other bytes: each stores under a
// temporary of its own, so the server ends with one of them whole, and an
// upload that says it succeeded put its own bytes there at some point.
TEST_F(CliPublishTest, TwoUploadsOfOneFileAtOnceNeverMixTheirBytes) {
    PyftpdlibServer::Options o;
    o.receiveRate = 256 * 1024;
    ASSERT_NO_FATAL_FAILURE(start(o));
    const QByteArray first = patternBytes(1024 * 1024, 1);
    const QByteArray second = patternBytes(1024 * 1024, 2);
    ASSERT_TRUE(writeLocalFile(local("one/page.bin"), first));
    ASSERT_TRUE(writeLocalFile(local("two/page.bin"), second));
    ASSERT_TRUE(server_->writeFile("page.bin", "old"));
    CliRun one({url(), "put", "--atomic", local("one/page.bin"), "/"}, env());
    // The first is on its way before the second lists the folder.
    const auto storing = [&] {
        for (const QString& name : QDir(server_->rootPath()).entryList(QDir::Hidden | QDir::Files))
            if (name.endsWith(QLatin1String(".velmora-upload")))
                return true;
        return false;
    };
    QDeadlineTimer until(10000);
    while (!storing() && !until.hasExpired())
        QThread::msleep(10);
    ASSERT_TRUE(storing()) << str(one.wait().describe());
    CliRun two({url(), "put", "--atomic", local("two/page.bin"), "/"}, env());
    const CliResult r1 = one.wait();
    const CliResult r2 = two.wait();
    const QByteArray published = server_->readFile("page.bin");
    EXPECT_TRUE(published == first || published == second)
        << published.size() << " bytes\n"
        << str(r1.describe()) << str(r2.describe());
    EXPECT_TRUE(r1.exitCode == 0 || r2.exitCode == 0) << str(r1.describe()) << str(r2.describe());
    // The last to put its file in place succeeded with its own bytes.
    if (r1.exitCode == 0 && r2.exitCode != 0) {
        EXPECT_TRUE(published == first);
    }
    if (r2.exitCode == 0 && r1.exitCode != 0) {
        EXPECT_TRUE(published == second);
    }
}

// A changed deploy that fails part-way lists on standard output what it did,
// never a file it did not put in place.
TEST_F(CliPublishTest, ADeployCutShortListsOnlyWhatItDid) {
    ASSERT_NO_FATAL_FAILURE(startDroppingOnce(QStringLiteral("b.html")));
    const QString project = local("project");
    ASSERT_TRUE(writeLocalFile(project + "/a.html", "a"));
    ASSERT_TRUE(writeLocalFile(project + "/b.html", patternBytes(256 * 1024, 4)));
    ASSERT_NO_FATAL_FAILURE(addSite(project));
    const CliResult r =
        cli({"--site", "pub", "deploy", "--changed", "--no-atomic", "--parallel", "0"});
    EXPECT_EQ(r.exitCode, 1) << str(r.describe());
    EXPECT_FALSE(r.outLines().contains("upload b.html")) << str(r.describe());
    for (const QByteArray& line : r.outLines()) {
        const QString name = QString::fromUtf8(line.mid(7));
        EXPECT_EQ(server_->readFile(name), readLocalFile(project + "/" + name)) << line.constData();
    }
}

// Deletes wait for the uploads: a run whose upload failed deletes nothing (the old name of a
// renamed page stays until the new one is there), and the next run does both.
TEST_F(CliPublishTest, ADeployDeletesOnlyOnceEveryUploadArrived) {
    ASSERT_NO_FATAL_FAILURE(startDroppingOnce(QStringLiteral("new.html")));
    const QString project = local("project");
    ASSERT_TRUE(writeLocalFile(project + "/a.html", "a"));
    // Large enough for the server to drop the connection halfway through it.
    const QByteArray page = patternBytes(256 * 1024, 7);
    ASSERT_TRUE(writeLocalFile(project + "/old.html", page));
    ASSERT_NO_FATAL_FAILURE(addSite(project));
    const QStringList deploy{"--site",   "pub",         "deploy",     "--changed",
                             "--delete", "--no-atomic", "--parallel", "0"};
    ASSERT_EQ(cli(deploy).exitCode, 0);
    ASSERT_TRUE(QFile::rename(project + "/old.html", project + "/new.html"));

    CliResult r = cli(deploy);
    EXPECT_EQ(r.exitCode, 1) << str(r.describe());
    EXPECT_TRUE(server_->exists("old.html"));
    EXPECT_TRUE(r.err.contains("nothing was deleted")) << str(r.describe());
    EXPECT_TRUE(r.outLines().isEmpty()) << str(r.describe());

    r = cli(deploy);
    EXPECT_EQ(r.exitCode, 0) << str(r.describe());
    EXPECT_EQ(r.outLines(), (QList<QByteArray>{"upload new.html", "delete old.html"}));
    EXPECT_FALSE(server_->exists("old.html"));
    EXPECT_EQ(server_->readFile("new.html"), page);

    // A folder that can not be read is not gone: run as a user who may not read it, the deploy
    // deletes none of its files.
    ASSERT_TRUE(writeLocalFile(project + "/sub/b.html", "b"));
    ASSERT_EQ(cli(deploy).exitCode, 0);
    for (const QString& open : {settings_.path(), work_.path(), project})
        ASSERT_TRUE(setMode(open, 0777));
    ASSERT_TRUE(setMode(settings_.filePath("site.set"), 0666));
    ASSERT_TRUE(setMode(project + "/sub", 0));
    CliRun hidden({"unshare", "-U"}, deploy, env());
    r = hidden.wait();
    ASSERT_TRUE(setMode(project + "/sub", 0755));
    EXPECT_EQ(r.exitCode, 1) << str(r.describe());
    EXPECT_TRUE(r.err.contains("nothing is deleted")) << str(r.describe());
    EXPECT_TRUE(server_->exists("sub/b.html")) << str(r.describe());

    // Nor is a project without a single file, as an unmounted disk shows it, a reason to empty
    // the site.
    ASSERT_TRUE(QDir().rename(project, local("away")));
    ASSERT_TRUE(QDir().mkpath(project + "/sub"));
    r = cli(deploy);
    EXPECT_EQ(r.exitCode, 1) << str(r.describe());
    EXPECT_TRUE(r.err.contains("holds no files")) << str(r.describe());
    EXPECT_TRUE(r.outLines().isEmpty()) << str(r.describe());
    for (const char* kept : {"a.html", "new.html", "sub/b.html"})
        EXPECT_TRUE(server_->exists(kept)) << kept;
}

TEST_F(CliPublishTest, AVisitorReadsOnlyTheOldOrTheNewFile) {
    PyftpdlibServer::Options o;
    o.receiveRate = 256 * 1024;
    ASSERT_NO_FATAL_FAILURE(start(o));
    const QByteArray old(100 * 1024, 'o');
    const QByteArray fresh = patternBytes(640 * 1024, 5);
    ASSERT_TRUE(writeLocalFile(local("site/style.css"), fresh));

    // The same watch sees the half-written file a plain upload leaves in the
    // open: it can tell.
    for (const bool atomic : {true, false}) {
        SCOPED_TRACE(atomic ? "atomic" : "in place");
        ASSERT_TRUE(server_->writeFile("style.css", old));
        CliRun run(
            {url(), "put", atomic ? "--atomic" : "--no-atomic", local("site/style.css"), "/"},
            env());
        const Watched w = watchWhileUploading(run, *server_, "style.css", old, fresh);
        ASSERT_EQ(w.result.exitCode, 0) << str(w.result.describe());
        EXPECT_GT(w.polls, 20);
        if (atomic)
            EXPECT_EQ(w.partial, 0) << "of " << w.polls << " polls";
        else
            EXPECT_GT(w.partial, 0) << "of " << w.polls << " polls";
        EXPECT_TRUE(server_->readFile("style.css") == fresh);
        EXPECT_FALSE(server_->exists(".style.css.velmora-upload"));
    }
}

TEST_F(CliPublishTest, ServersThatRefuseTheRenameOrTheTemporaryName) {
    struct Case {
        const char* what;
        PyftpdlibServer::Options options;
        QString sentLine;    // what the client does about it
        QString statusLine;  // and says
    };
    PyftpdlibServer::Options noRename;
    noRename.noRenameOver = true;
    PyftpdlibServer::Options noHidden;
    noHidden.refuseHiddenStor = true;
    const Case cases[] = {
        {"rename onto a file refused", noRename, "DELE index.html", "would not rename onto"},
        {"temporary name refused", noHidden, "STOR index.html", "not atomic there"},
    };
    const QByteArray fresh = patternBytes(3000, 1);
    ASSERT_TRUE(writeLocalFile(local("index.html"), fresh));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NO_FATAL_FAILURE(start(c.options));
        ASSERT_TRUE(server_->writeFile("www/index.html", "old"));
        const CliResult r = cli({"--log", url(), "put", local("index.html"), "/www"});
        ASSERT_EQ(r.exitCode, 0) << str(r.describe());
        EXPECT_TRUE(sent(r).contains(c.sentLine)) << str(r.describe());
        EXPECT_FALSE(r.logLines("status").filter(c.statusLine).isEmpty()) << str(r.describe());
        EXPECT_TRUE(server_->readFile("www/index.html") == fresh);
        EXPECT_FALSE(server_->exists("www/.index.html.velmora-upload"));
    }
}

// Cut short by a signal, a put or a changed deploy leaves the old file and its
// temporary; the next one, the file unchanged, continues that temporary.
TEST_F(CliPublishTest, AnInterruptedUploadIsTakenUpFromItsTemporary) {
    PyftpdlibServer::Options o;
    o.receiveRate = 128 * 1024;
    ASSERT_NO_FATAL_FAILURE(start(o));
    const QByteArray fresh = patternBytes(512 * 1024, 9);
    ASSERT_TRUE(writeLocalFile(local("site/big.bin"), fresh));
    ASSERT_NO_FATAL_FAILURE(addSite(local("site")));
    // The upload's own temporary, tagged for it.
    const auto temporary = [&] {
        const QStringList found = QDir(server_->rootPath())
                                      .entryList({QStringLiteral(".big.bin.*.velmora-upload")},
                                                 QDir::Hidden | QDir::Files);
        return found.size() == 1 ? found.first() : QString();
    };
    for (const QStringList& command : {QStringList{url(), "put", local("site/big.bin"), "/"},
                                       QStringList{"--site", "pub", "deploy", "--changed"}}) {
        SCOPED_TRACE(str(command.join(' ')));
        ASSERT_TRUE(server_->writeFile("big.bin", "old"));
        {
            CliRun run(command, env());
            QDeadlineTimer deadline(30000);
            while (QFileInfo(serverPath(temporary())).size() < 64 * 1024 &&
                   !deadline.hasExpired() && !run.ended(10)) {
            }
            ASSERT_FALSE(temporary().isEmpty());
            ASSERT_LT(QFileInfo(serverPath(temporary())).size(), fresh.size());
            // Never 0, which would signal the whole process group.
            ASSERT_GT(run.processId(), 0);
            ASSERT_EQ(::kill(pid_t(run.processId()), SIGTERM), 0);
            const CliResult stopped = run.wait();
            EXPECT_EQ(stopped.exitCode, 143) << str(stopped.describe());
            // What an upload leaves, not what a download keeps.
            EXPECT_TRUE(stopped.err.contains("an upload leaves the server's file as it was"))
                << str(stopped.describe());
        }
        EXPECT_EQ(server_->readFile("big.bin"), "old") << "the file in use is never cut short";
        const QString left = temporary();
        ASSERT_GT(QFileInfo(serverPath(left)).size(), 0);

        const CliResult r = cli(QStringList{"--log"} + command);
        ASSERT_EQ(r.exitCode, 0) << str(r.describe());
        const QStringList lines = r.logLines(QStringLiteral("sent"));
        const qsizetype rest = lines.indexOf(QRegularExpression(QStringLiteral("^REST \\d+$")));
        ASSERT_GE(rest, 0) << str(r.describe());
        EXPECT_GT(lines[rest].mid(5).toLongLong(), 0);
        EXPECT_EQ(lines.value(rest + 1), "STOR " + left);
        EXPECT_TRUE(server_->readFile("big.bin") == fresh);
        EXPECT_TRUE(temporary().isEmpty());
    }
}

template <typename Flavour>
class CliTimesTest : public CliServerSuite<Flavour> {};

TYPED_TEST_SUITE(CliTimesTest, ServerFlavours, FlavourNames);

// Uploads carry the time where the server takes MFMT (pyftpdlib; vsftpd does
// not); downloads always do, by MLSD or MDTM.
TYPED_TEST(CliTimesTest, ModificationTimesGoBothWays) {
    const QDateTime when = utc(2021, 5, 6, 7, 8, 9);
    const QString source = this->local("up/page.html");
    ASSERT_TRUE(writeLocalFile(source, "<p>page</p>"));
    ASSERT_TRUE(setTime(source, when));
    ASSERT_TRUE(this->server_->makeDir(this->serverRel("times")));

    CliResult r = this->cli({"--log", this->url(), "put", source, this->remote("times")});
    ASSERT_EQ(r.exitCode, 0) << str(r.describe());
    const QString onServer = this->serverPath("times/page.html");
    const bool mfmt = std::is_same_v<TypeParam, PyftpdlibFlavour>;
    EXPECT_EQ(timeOf(onServer) == when, mfmt) << str(timeOf(onServer).toString(Qt::ISODate));
    EXPECT_EQ(r.err.contains("The server offers no MFMT"), !mfmt) << str(r.describe());

    // What the listing says of the server's file, the downloaded copy says.
    const QDateTime serverTime = utc(2020, 1, 2, 3, 4, 5);
    ASSERT_TRUE(setTime(onServer, serverTime));
    r = this->cli({this->url(), "ls", "--tsv", this->remote("times")});
    ASSERT_EQ(r.exitCode, 0) << str(r.describe());
    ASSERT_EQ(r.outLines().size(), 1);
    const QList<QByteArray> fields = r.outLines()[0].split('\t');
    ASSERT_EQ(fields.size(), 12);
    EXPECT_EQ(fields[3].toInt(), serverTime.date().year());

    r = this->cli({this->url(), "get", this->remote("times/page.html"), this->local("down/")});
    ASSERT_EQ(r.exitCode, 0) << str(r.describe());
    EXPECT_EQ(timeOf(this->local("down/page.html")), serverTime);

    r = this->cli({this->url(), "get", "--no-keep-times", this->remote("times/page.html"),
                   this->local("plain/")});
    ASSERT_EQ(r.exitCode, 0) << str(r.describe());
    EXPECT_NE(timeOf(this->local("plain/page.html")), serverTime);
}

// A project whose files changed at known times on both sides.
class CliCompareDatesTest : public CliPublishTest {
protected:
    void arrange(const QString& site, const QStringList& siteOptions) {
        const QDateTime base = QDateTime::currentDateTimeUtc().addDays(-3);
        const QDateTime t(base.date(), QTime(base.time().hour(), base.time().minute()),
                          QTimeZone::utc());
        struct File {
            const char* name;
            qint64 localShift;
            qint64 serverShift;
        };
        const File files[] = {{"same.txt", 0, 0}, {"server.txt", 0, 3600}, {"local.txt", 3600, 0}};
        for (const File& f : files) {
            ASSERT_TRUE(writeLocalFile(local("proj/") + f.name, "12345"));
            ASSERT_TRUE(setTime(local("proj/") + f.name, t.addSecs(f.localShift)));
            ASSERT_TRUE(server_->writeFile(QStringLiteral("proj/") + f.name, "12345"));
            ASSERT_TRUE(
                setTime(serverPath(QStringLiteral("proj/") + f.name), t.addSecs(f.serverShift)));
        }
        const CliResult r = cli(QStringList{"sites", "add", site, "--host", "127.0.0.1", "--port",
                                            QString::number(server_->port()), "--user", "velmora",
                                            "--password", "velmora-pass", "--local-project",
                                            local("proj"), "--remote-project", "/proj"} +
                                siteOptions);
        ASSERT_EQ(r.exitCode, 0) << str(r.describe());
    }
    QStringList compare(const QString& site, int* status = nullptr) {
        const CliResult r = cli({"--site", site, "compare", "--dates"});
        if (status)
            *status = r.exitCode;
        QStringList words;
        for (const QByteArray& line : r.outLines())
            words << QString::fromUtf8(line).section(QLatin1Char(' '), 0, 0) + ' ' +
                         QString::fromUtf8(line).simplified().section(QLatin1Char(' '), 1, 1);
        words.sort();
        return words;
    }
};

TEST_F(CliCompareDatesTest, ListOnlyServerReadByItsOffset) {
    PyftpdlibServer::Options o;
    o.noMlsd = true;
    o.listOffsetMinutes = 120;
    ASSERT_NO_FATAL_FAILURE(start(o));
    ASSERT_NO_FATAL_FAILURE(arrange("dated", {}));

    // Read as UTC, every server time is two hours late.
    int status = -1;
    EXPECT_EQ(compare("dated", &status),
              (QStringList{"server-newer local.txt", "server-newer same.txt",
                           "server-newer server.txt"}));
    EXPECT_EQ(status, 1);
    ASSERT_EQ(cli({"sites", "edit", "dated", "--time-offset", "+02:00"}).exitCode, 0);
    EXPECT_EQ(compare("dated"), (QStringList{"local-newer local.txt", "server-newer server.txt"}));
    // Without --dates the Part's compare is unchanged: nothing differs.
    EXPECT_EQ(cli({"--site", "dated", "compare"}).exitCode, 0);
}

TEST_F(CliCompareDatesTest, OffsetFoundWhereTheServerAlsoOffersMlsd) {
    PyftpdlibServer::Options o;
    o.listOffsetMinutes = 120;
    ASSERT_NO_FATAL_FAILURE(start(o));
    ASSERT_NO_FATAL_FAILURE(arrange("found", {"--always-list"}));

    EXPECT_EQ(compare("found"), (QStringList{"local-newer local.txt", "server-newer server.txt"}));
    const CliResult show = cli({"sites", "show", "found"});
    EXPECT_TRUE(show.out.contains("ListTimeOffset: +02:00\n")) << str(show.describe());

    // Grown as well: still told by its later change, with the times.
    ASSERT_TRUE(writeLocalFile(local("proj/local.txt"), "123456"));
    const CliResult sized = cli({"--site", "found", "compare", "--dates", "--sizes"});
    QStringList starts;
    for (const QByteArray& line : sized.outLines())
        starts << QString::fromUtf8(line).section(QLatin1String("  (local: 20"), 0, 0);
    starts.sort();
    EXPECT_EQ(starts, (QStringList{"local-newer   local.txt", "server-newer  server.txt"}))
        << str(sized.describe());
}

TEST_F(CliPublishTest, ChecksumsPassAndFail) {
    struct Case {
        const char* what;
        bool xHash;
        bool corrupt;
        QString command;
    };
    const Case cases[] = {
        {"HASH", false, false, "HASH"},
        {"XSHA256", true, false, "XSHA256"},
        {"one byte changed", false, true, "HASH"},
        {"no checksum command: said, not failed", false, false, ""},
    };
    const QByteArray fresh = patternBytes(70000, 3);
    ASSERT_TRUE(writeLocalFile(local("src/data.bin"), fresh));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PyftpdlibServer::Options o;
        o.hash = c.command == "HASH";
        o.xHash = c.xHash;
        o.corrupt = c.corrupt;
        ASSERT_NO_FATAL_FAILURE(start(o));
        ASSERT_TRUE(server_->writeFile("data.bin", "old"));
        ASSERT_TRUE(writeLocalFile(local("down/data.bin"), "mine"));

        CliResult r = cli({"--log", url(), "put", "--verify", local("src/data.bin"), "/"});
        if (c.command.isEmpty())
            EXPECT_TRUE(r.err.contains("files are not verified")) << str(r.describe());
        else
            EXPECT_TRUE(sent(r).contains(c.command + " .data.bin.velmora-upload"))
                << str(r.describe());
        EXPECT_FALSE(server_->exists(".data.bin.velmora-upload"));
        if (c.corrupt) {
            EXPECT_EQ(r.exitCode, 1) << str(r.describe());
            EXPECT_TRUE(r.err.contains("Checksum differs")) << str(r.describe());
            EXPECT_EQ(server_->readFile("data.bin"), "old");
        } else {
            EXPECT_EQ(r.exitCode, 0) << str(r.describe());
            EXPECT_TRUE(server_->readFile("data.bin") == fresh);
        }

        ASSERT_TRUE(server_->writeFile("data.bin", fresh));
        r = cli({url(), "get", "--verify", "/data.bin", local("down")});
        EXPECT_EQ(r.exitCode, c.corrupt ? 1 : 0) << str(r.describe());
        EXPECT_TRUE(readLocalFile(local("down/data.bin")) ==
                    (c.corrupt ? QByteArray("mine") : fresh));
    }
}

TEST_F(CliPublishTest, DeployChangedTellsSameSizedEditsByTheServersChecksum) {
    PyftpdlibServer::Options o;
    o.hash = true;
    ASSERT_NO_FATAL_FAILURE(start(o));
    ASSERT_TRUE(writeLocalTree(local("proj"),
                               {{"index.html", "<h1>Hallo</h1>\n"}, {"same.css", "body{}\n"}}));
    ASSERT_TRUE(writeServerTree(*server_, "proj",
                                {{"index.html", "<h1>Hello</h1>\n"}, {"same.css", "body{}\n"}}));
    ASSERT_EQ(cli({"sites", "add", "dep", "--host", "127.0.0.1", "--port",
                   QString::number(server_->port()), "--user", "velmora", "--password",
                   "velmora-pass", "--local-project", local("proj"), "--remote-project", "/proj"})
                  .exitCode,
              0);
    const CliResult r = cli({"--site", "dep", "deploy", "--changed", "--dry-run"});
    ASSERT_EQ(r.exitCode, 0) << str(r.describe());
    EXPECT_EQ(r.outLines(), QList<QByteArray>{"upload index.html"});
}

}  // namespace
