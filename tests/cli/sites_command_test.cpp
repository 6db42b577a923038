// The command sources are compiled into the program only, so the test builds them itself.
#include "cli/sites_command.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/test_bytes.h"

using test_bytes::hex;
using test_bytes::le32;
using test_bytes::wide;

namespace {

class SitesCommandTest : public testing::Test {
protected:
    struct Result {
        int code;
        QString out;
        QString err;
    };

    // Without a secret store: passwords stay in the file.
    Result sites(const QStringList& args) {
        return run(args, [](const QStringList& a, const QString& dir, QTextStream& out,
                            QTextStream& err) { return runSitesCommand(a, dir, out, err); });
    }
    Result url(const QStringList& args) { return run(args, &runUrlCommand); }

    Result run(const QStringList& args,
               int (*command)(const QStringList&, const QString&, QTextStream&, QTextStream&)) {
        Result result;
        QTextStream out(&result.out);
        QTextStream err(&result.err);
        result.code = command(args, dir_.path(), out, err);
        out.flush();
        err.flush();
        return result;
    }

    QString sitePath() const { return dir_.filePath(QStringLiteral("site.set")); }
    QByteArray siteFile() const {
        QFile file(sitePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void addPlain(const QString& name, const QString& comment = {}) {
        QStringList args{"add", name, "--host", "h.example", "--user", "u", "--password", "p"};
        if (!comment.isEmpty())
            args << "--comment" << comment;
        ASSERT_EQ(sites(args).code, 0) << name.toStdString();
    }

    QTemporaryDir dir_;
};

TEST_F(SitesCommandTest, AddWritesTheRecordLayout) {
    const Result r =
        sites({"add", "web", "--host", "example.org", "--user", "bob", "--password", "pw"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QByteArray expected = le32(0) + le32(1)  // selected, count
                                + wide("web") + wide("") +
                                wide("example.org")         // name, comment, host
                                + le32(21) + hex("00")      // port, logon
                                + wide("bob") + wide("pw")  // account
                                + hex("01"
                                      "00"
                                      "00")                              // type, mode, encoding
                                + le32(0) + le32(0) + le32(0) + le32(0)  // folders, file, base
                                + wide("/public_html") + wide("/www") + le32(0)  // abundant
                                + le32(1);                                       // flags
    EXPECT_EQ(siteFile().toHex(), expected.toHex());
    const QFileDevice::Permissions mode = QFileInfo(sitePath()).permissions();
    EXPECT_FALSE(mode & (QFileDevice::ReadGroup | QFileDevice::ReadOther));
}

TEST_F(SitesCommandTest, AddWithEveryOptionAndShow) {
    ASSERT_EQ(sites({"add",
                     "full",
                     "--comment",
                     "c",
                     "--host",
                     "ftp.x.org",
                     "--port",
                     "2121",
                     "--anonymous",
                     "--password",
                     "me@x",
                     "--ascii",
                     "--always-list",
                     "--local-project",
                     dir_.path(),
                     "--remote-project",
                     "/public_html/x",
                     "--concerned-file",
                     "/logs/error_log",
                     "--http-base",
                     "www.x.org",
                     "--abundant1",
                     "/a",
                     "--abundant2",
                     "",
                     "--abundant3",
                     "/c",
                     "--time-offset",
                     "-05:30"})
                  .code,
              0);
    const Result r = sites({"show", "full"});
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(r.out, QStringLiteral("Name: full\n"
                                    "Comment: c\n"
                                    "Host: ftp.x.org\n"
                                    "Port: 2121\n"
                                    "LogonType: 1 (Anonymous)\n"
                                    "User: \n"
                                    "Password: (in site.set)\n"
                                    "TransferType: 2 (ASCII)\n"
                                    "TransferMode: 0 (Default)\n"
                                    "NameEncoding: 0 (Default)\n"
                                    "LocalProjectFolder: %1\n"
                                    "RemoteProjectFolder: /public_html/x\n"
                                    "ConcernedFile: /logs/error_log\n"
                                    "HttpBase: www.x.org\n"
                                    "AbundantString1: /a\n"
                                    "AbundantString2: \n"
                                    "AbundantString3: /c\n"
                                    "SiteFlags: 0x00 (always LIST)\n"
                                    "ListTimeOffset: -05:30\n")
                         .arg(dir_.path()));
}

TEST_F(SitesCommandTest, AddRefusals) {
    addPlain("a", "x");
    struct Case {
        QStringList args;
        QString message;
    };
    const Case cases[] = {
        {{"add", "a", "--comment", "x", "--host", "h", "--user", "u", "--password", "p"},
         QStringLiteral("Name/Comment has been used,\nplease use other Name/Comment")},
        {{"add", "b", "--user", "u", "--password", "p"}, QStringLiteral("Please input host")},
        {{"add", "b", "--host", "h", "--password", "p"}, QStringLiteral("Please input user name")},
        {{"add", "b", "--host", "h", "--user", "u"}, QStringLiteral("Please input password")},
        {{"add", "b", "--host", "h", "--user", "u", "--password", "p", "--remote-project", "www"},
         QStringLiteral("The remote project folder is a server path beginning with /")},
        {{"add", "b", "--host", "h", "--user", "u", "--password", "p", "--local-project",
          "/no/such/folder"},
         QStringLiteral("The local project folder does not exist:\n/no/such/folder")},
    };
    const QByteArray before = siteFile();
    for (const Case& c : cases) {
        const Result r = sites(c.args);
        EXPECT_EQ(r.code, 1) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.err, c.message + u'\n') << c.args.join(' ').toStdString();
    }
    EXPECT_EQ(siteFile(), before);
    // The same name with another comment is another site; the name alone then
    // names neither, and the name with its comment names one.
    EXPECT_EQ(sites({"add", "a", "--host", "h", "--user", "u", "--password", "p"}).code, 0);
    const Result ambiguous = sites({"remove", "a"});
    EXPECT_EQ(ambiguous.code, 1);
    EXPECT_TRUE(ambiguous.err.contains(QStringLiteral("2 sites are named \"a\"")))
        << ambiguous.err.toStdString();
    EXPECT_EQ(sites({"remove", "a (x)"}).code, 0);
    EXPECT_EQ(sites({"list"}).out, QStringLiteral("a\t\th:21\n"));
}

TEST_F(SitesCommandTest, UsageErrors) {
    const QStringList cases[] = {
        {},
        {"frobnicate"},
        {"list", "extra"},
        {"show"},
        {"add"},
        {"add", "--host", "h"},
        {"add", "n", "--host"},
        {"add", "n", "--host", "h", "--bogus"},
        {"add", "n", "--host", "h", "--port", "abc"},
        {"add", "n", "--host", "h", "--port", "70000"},
        {"add", "n", "--host", "h", "--binary", "--ascii"},
        {"add", "n", "--host", "h", "--anonymous", "--user", "u"},
        {"add", "n", "--host", "h", "--name", "other"},
        {"remove"},
        {"edit"},
    };
    for (const QStringList& args : cases) {
        const Result r = sites(args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("usage: "))) << args.join(' ').toStdString();
    }
    EXPECT_FALSE(QFile::exists(sitePath()));
}

TEST_F(SitesCommandTest, ListEditAndRemove) {
    addPlain("one");
    addPlain("two", "second");
    addPlain("three");

    Result r = sites({"edit", "two", "--port", "990", "--host", "ftp.two.org", "--ascii"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    r = sites({"list"});
    EXPECT_EQ(r.out, QStringLiteral("one\t\th.example:21\n"
                                    "two\tsecond\tftp.two.org:990\n"
                                    "three\t\th.example:21\n"));

    // Renaming onto another site's name and comment is refused; keeping them is not.
    r = sites({"edit", "three", "--name", "one"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err,
              QStringLiteral("Name/Comment has been used,\nplease use other Name/Comment\n"));
    EXPECT_EQ(sites({"edit", "two", "--comment", "second", "--binary"}).code, 0);
    EXPECT_EQ(sites({"edit", "three", "--name", "3", "--user", ""}).code, 1);

    r = sites({"remove", "one"});
    EXPECT_EQ(r.code, 0);
    r = sites({"remove", "one"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("No site named \"one\"")));
    EXPECT_EQ(sites({"edit", "nobody", "--port", "21"}).code, 1);
    EXPECT_EQ(sites({"show", "nobody"}).code, 1);

    r = sites({"list"});
    EXPECT_EQ(r.out, QStringLiteral("two\tsecond\tftp.two.org:990\nthree\t\th.example:21\n"));
    SiteRecord site;
    QString error;
    ASSERT_TRUE(LoadSiteByName(dir_.path(), QStringLiteral("two"), &site, &error));
    EXPECT_EQ(site.TransferType, SiteRecord::kTransferBinary);
    EXPECT_EQ(site.Port, 990);
    EXPECT_FALSE(LoadSiteByName(dir_.path(), QStringLiteral("Two"), &site, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(SitesCommandTest, EditCanLeaveAnonymousLogon) {
    ASSERT_EQ(sites({"add", "anon", "--host", "h", "--anonymous", "--password", "me@"}).code, 0);
    ASSERT_EQ(sites({"edit", "anon", "--user", "bob", "--prefer-mlsd"}).code, 0);
    SiteRecord site;
    ASSERT_TRUE(LoadSiteByName(dir_.path(), QStringLiteral("anon"), &site, nullptr));
    EXPECT_EQ(site.LogonType, SiteRecord::kLogonNormal);
    EXPECT_EQ(site.User, QStringLiteral("bob"));
    EXPECT_EQ(site.SiteFlags & SiteRecord::kPreferMlsd, SiteRecord::kPreferMlsd);
}

TEST_F(SitesCommandTest, DamagedFileIsNotOverwritten) {
    const QByteArray damaged = le32(0) + le32(2) + wide("kept") + le32(7) + hex("41");
    QFile file(sitePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(damaged);
    file.close();

    const Result r = sites({"add", "new", "--host", "h", "--user", "u", "--password", "p"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("damaged")));
    EXPECT_EQ(siteFile(), damaged);
    // What could be read is still shown.
    EXPECT_EQ(sites({"list"}).out, QStringLiteral("kept\t\t:21\n"));

    // Nor is one that can not be opened at all (a folder in its place here).
    ASSERT_TRUE(QFile::remove(sitePath()));
    ASSERT_TRUE(QDir().mkdir(sitePath()));
    const Result unread = sites({"add", "new", "--host", "h", "--user", "u", "--password", "p"});
    EXPECT_EQ(unread.code, 1);
    EXPECT_TRUE(unread.err.contains(QStringLiteral("can not be read"))) << unread.err.toStdString();
}

TEST_F(SitesCommandTest, UrlPrintsTheHttpAddress) {
    ASSERT_EQ(
        sites({"add", "web", "--host", "ftp.example.org", "--user", "u", "--password", "p"}).code,
        0);
    Result r = url({"web", "/public_html/docs/a.htm"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, QStringLiteral("http://ftp.example.org/docs/a.htm\n"));

    ASSERT_EQ(sites({"edit", "web", "--http-base", "https://www.example.org"}).code, 0);
    r = url({"web", "/www/index.html"});
    EXPECT_EQ(r.out, QStringLiteral("https://www.example.org/index.html\n"));

    EXPECT_EQ(url({"nobody", "/x"}).code, 1);
    EXPECT_EQ(url({"web"}).code, 2);
    EXPECT_EQ(url({"web", "/a", "/b"}).code, 2);
}

}  // namespace
