// The desktop program as a user starts it: its command line, its window's
// placement across runs, damaged settings files, and --site against a real
// server.
#include "app/ui/desktop_start.h"
#include "app/command_ids.h"
#include "app/settings_path.h"
#include "app/site_file.h"
#include "app/ui/main_frame.h"
#include "app/ui/main_view.h"
#include "session/tcp_transport.h"
#include "session/ui/chat_page.h"
#include "session/ui/chat_pane.h"
#include "support/pyftpdlib_server.h"
#include "support/qt_printers.h"
#include "support/server_account.h"
#include "workbench_harness.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>
#include "velmora_paths.h"

namespace {

struct GuiRun {
    int exitCode = -1;
    QString out;
    QString err;
};

GuiRun runGui(const QStringList& args, const QProcessEnvironment& env) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VELMORA_GUI_PATH), args);
    GuiRun r;
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished(5000);
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

TEST(DesktopCommandLine, BadArgumentsHelpVersionAndNoDisplay) {
    QTemporaryDir settings;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("VELMORA_SETTING_DIR"), settings.path());
    struct Case {
        QStringList args;
        int exitCode;
        const char* stream;  // "out" or "err"
        const char* text;
    };
    const Case cases[] = {
        {{"--bogus"}, 2, "err", "velmora: unknown option: --bogus (see velmora --help)\n"},
        {{"--site", "nobody"}, 2, "err", "velmora: no stored site named \"nobody\"\n"},
        {{"http://x"}, 2, "err", "velmora: not an ftp:// URL: http://x (see velmora --help)\n"},
        {{"--version"}, 0, "out", "velmora 1.02\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const GuiRun r = runGui(c.args, env);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(QString::fromLatin1(c.stream) == "out" ? r.out : r.err,
                  QString::fromUtf8(c.text));
    }
    EXPECT_TRUE(runGui({"--help"}, env).out.startsWith("Usage: velmora"));

    QProcessEnvironment bare = env;
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        bare.remove(QLatin1String(name));
    const GuiRun r = runGui({}, bare);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.startsWith("velmora: no display")) << r.err.toStdString();
    EXPECT_EQ(r.err.count('\n'), 1);
}

TEST(DesktopStart, PlacementIsSavedAndRestored) {
    WorkbenchHarness h;
    h.workbench->load();
    const QRect placed(120, 80, 600, 440);  // inside the offscreen screen
    {
        LaunchOptions none;
        QString error;
        auto frame = StartDesktop(*h.workbench, none, &error);
        ASSERT_TRUE(frame);
        EXPECT_TRUE(frame->isMaximized());  // first start
        frame->showNormal();
        frame->setGeometry(placed);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return !frame->isMaximized() && frame->geometry() == placed; }, 5000));
        frame->close();
    }
    ASSERT_TRUE(QFile::exists(h.path("setting.set")));
    h.make();
    h.workbench->load();
    EXPECT_TRUE(h.workbench->settings().Loaded);
    LaunchOptions none;
    QString error;
    auto frame = StartDesktop(*h.workbench, none, &error);
    EXPECT_FALSE(frame->isMaximized());
    EXPECT_EQ(frame->geometry(), placed);
}

TEST(DesktopStart, DamagedFilesAreKeptBesideTheNewOnes) {
    WorkbenchHarness h;
    const QByteArray garbage("\x05\x00\x00\x00\xff\xff\xff\x7fgarbage", 15);
    for (const char* name : {"site.set", "setting.set", "mixed.set", "tools.set", "trusted.set"}) {
        QFile f(h.path(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(garbage);
    }
    h.workbench->load();
    EXPECT_EQ(h.workbench->damagedFiles().size(), 5);
    EXPECT_TRUE(h.workbench->damageReport().contains("\n  tools.set\n"))
        << h.workbench->damageReport().toStdString();
    // The trust store is kept aside by its own next save.
    EXPECT_TRUE(h.workbench->damagedFiles().contains("trusted.set"));
    ASSERT_TRUE(QFile::remove(h.path(QStringLiteral("trusted.set"))));
    EXPECT_FALSE(h.workbench->settings().Loaded);
    h.workbench->save();
    for (const char* name : {"site.set", "setting.set", "mixed.set", "tools.set"}) {
        SCOPED_TRACE(name);
        QFile kept(h.path(QLatin1String(name) + QStringLiteral(".damaged")));
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), garbage);
    }
    // A sound file is not kept twice.
    h.make();
    h.workbench->load();
    EXPECT_TRUE(h.workbench->damagedFiles().isEmpty());
    EXPECT_EQ(h.workbench->damageReport(), QString());

    // Damaged again: the first copy stays, the second goes beside it.
    {
        QFile f(h.path(QStringLiteral("site.set")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("again");
    }
    h.make();
    h.workbench->load();
    EXPECT_TRUE(h.workbench->save().isEmpty());
    QFile first(h.path(QStringLiteral("site.set.damaged")));
    QFile second(h.path(QStringLiteral("site.set.damaged.2")));
    ASSERT_TRUE(first.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), garbage);
    EXPECT_EQ(second.readAll(), "again");
}

// A settings file that can not be opened (a folder in its place) or is too large to be one is
// named at start and never saved over: what it holds is unknown.
TEST(DesktopStart, AnUnreadableFileIsNamedAndNotSavedOver) {
    for (const QString& name : {QStringLiteral("site.set"), QStringLiteral("tools.set")}) {
        for (const bool folder : {true, false}) {
            SCOPED_TRACE(name.toStdString() + (folder ? " folder" : " too large"));
            WorkbenchHarness h;
            QFile large(h.path(name));
            if (folder) {
                ASSERT_TRUE(QDir(h.path(QString())).mkdir(name));
            } else {
                ASSERT_TRUE(large.open(QIODevice::WriteOnly) && large.resize(65 << 20));
            }
            h.workbench->load();
            const QString report = h.workbench->damageReport();
            EXPECT_TRUE(report.contains("could not be opened")) << report.toStdString();
            EXPECT_TRUE(report.contains("\n  " + name + " (")) << report.toStdString();
            const QStringList errors = h.workbench->save();
            ASSERT_EQ(errors.size(), 1) << errors.join('\n').toStdString();
            EXPECT_TRUE(errors[0].contains("not saved, so that nothing it holds is lost"))
                << errors[0].toStdString();
            EXPECT_TRUE(QFile::exists(h.path(QStringLiteral("setting.set"))))
                << "the others are saved";
            if (!folder) {
                EXPECT_EQ(QFileInfo(h.path(name)).size(), qint64(65) << 20);
            }
        }
    }
}

TEST(DesktopStart, SiteLogsInAndShowsTheConversation) {
    PyftpdlibServer server;
    ASSERT_TRUE(server.start()) << server.lastError().toStdString();
    QTemporaryDir folder;
    SiteList sites;
    sites.Records.push_back(SiteFor(server, QStringLiteral("Shop"), QStringLiteral("live")));
    ASSERT_TRUE(SaveSites(sites, folder.filePath(QStringLiteral("site.set"))));

    TcpTransportFactory transports;
    WorkbenchHarness fakes;
    Workbench workbench(folder.path(), fakes.services(transports));
    workbench.load();
    LaunchOptions launch;
    launch.site = QStringLiteral("Shop");
    QString error;
    auto frame = StartDesktop(workbench, launch, &error);
    ASSERT_TRUE(frame) << error.toStdString();
    const QString title = QStringLiteral("Velmora - 127.0.0.1 (Shop, live)");
    EXPECT_TRUE(WorkbenchHarness::waitFor([&] { return frame->windowTitle() == title; }, 15000))
        << frame->windowTitle().toStdString();
    EXPECT_TRUE(WorkbenchHarness::waitFor(
        [&] { return frame->action(kCmdCloseConnection)->isEnabled(); }, 5000));
    // The conversation reaches both chat panes, in the channels' colours.
    ChatPane* pane = frame->chatPage()->chatPane();
    EXPECT_TRUE(WorkbenchHarness::waitFor([&] {
        pane->flushPending();
        return pane->toPlainText().contains(QStringLiteral("\n214 "));
    }));
    const QString text = pane->toPlainText();
    for (const char* expected : {"USER velmora", "PASS ************", "TYPE I", "FEAT", "HELP"})
        EXPECT_TRUE(text.contains(QLatin1String(expected))) << expected << "\n"
                                                            << text.toStdString();
    EXPECT_FALSE(text.contains(server.password()));
    frame->mainChatPane()->flushPending();
    EXPECT_TRUE(frame->mainChatPane()->toPlainText().contains(QStringLiteral("USER velmora")));
    QTextCursor c = pane->document()->find(QStringLiteral("USER velmora"));
    ASSERT_FALSE(c.isNull());
    EXPECT_EQ(c.charFormat().foreground().color(), QColor(0, 0, 196));
}

}  // namespace
