// Settings outlive the window however it ends, and the window's saves keep what velmora-cli
// saved meanwhile.
#include "app/app_settings.h"
#include "app/command_ids.h"
#include "app/site_file.h"
#include "app/ui/main_frame.h"
#include "app/ui/site_connect_dialog.h"
#include "app/ui/site_pages.h"
#include "support/cli_runner.h"
#include "support/qt_printers.h"
#include "support/scripted_prompter.h"
#include "support/secret_service_session.h"
#include "when_shown.h"
#include "workbench_harness.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>

#include "velmora_paths.h"

namespace {

QStringList siteNames(const QString& folder) {
    SiteList list;
    LoadSites(list, QDir(folder).filePath(QStringLiteral("site.set")));
    QStringList names;
    for (const SiteRecord& r : list.Records)
        names << r.Name;
    return names;
}

void addWithCli(const QString& folder, const QString& name) {
    const CliResult r = runCli({"--setting-dir", folder, "sites", "add", name, "--host",
                                "cli.example", "--user", "u", "--password", "p"},
                               CliRun::cliEnvironment(folder));
    ASSERT_EQ(r.exitCode, 0) << r.describe().toStdString();
}

TEST(SettingsSurvival, WindowSaveKeepsWhatTheCliAddedMeanwhile) {
    WorkbenchHarness h;
    ASSERT_NO_FATAL_FAILURE(addWithCli(h.folder.path(), QStringLiteral("before")));
    h.workbench->load();
    ASSERT_NO_FATAL_FAILURE(addWithCli(h.folder.path(), QStringLiteral("cli")));
    SiteRecord mine;
    mine.Name = QStringLiteral("window");
    mine.Host = QStringLiteral("w.example");
    h.workbench->sites().Records.push_back(mine);
    h.workbench->sites().Records[0].Host = QStringLiteral("edited.example");
    EXPECT_TRUE(h.workbench->save().isEmpty());
    EXPECT_EQ(siteNames(h.folder.path()), (QStringList{"before", "window", "cli"}));
    // What the file now holds is what the window shows.
    ASSERT_EQ(h.workbench->sites().Records.size(), 3u);
    EXPECT_EQ(h.workbench->sites().Records[2].Name, QStringLiteral("cli"));
    SiteList onDisk;
    LoadSites(onDisk, h.path(QStringLiteral("site.set")));
    EXPECT_EQ(onDisk.Records[0].Host, QStringLiteral("edited.example"));
}

TEST(SettingsSurvival, SimultaneousTransfersFollowTheRecordsAndKeepAnotherWritersValue) {
    WorkbenchHarness h;
    const QString path = h.path(QStringLiteral("setting.set"));
    h.workbench->load();
    EXPECT_EQ(h.workbench->transferPool().connections(), 2);
    // Another window saved 5 meanwhile; this one changed only another field.
    AppSettings other;
    other.SimultaneousTransfers = 5;
    ASSERT_TRUE(SaveAppSettings(other, path));
    h.workbench->settings().ChatInfoLevel = 3;
    EXPECT_TRUE(h.workbench->save().isEmpty());
    AppSettings onDisk;
    ASSERT_TRUE(LoadAppSettings(onDisk, path));
    EXPECT_EQ(onDisk.ChatInfoLevel, 3);
    EXPECT_EQ(onDisk.SimultaneousTransfers, 5);

    // A value that cannot be used runs on the default, and the file is kept before a save.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.resize(297);
    ASSERT_TRUE(f.write(QByteArray("VLMXFER1") + QByteArray("\x2a\0\0\0", 4)) == 12);
    f.close();
    h.workbench->load();
    EXPECT_EQ(h.workbench->settings().SimultaneousTransfers, 2);
    EXPECT_EQ(h.workbench->transferPool().connections(), 2);
    EXPECT_EQ(h.workbench->settingsProblems().size(), 1);
    EXPECT_TRUE(h.workbench->damagedFiles().contains(QStringLiteral("setting.set")));
    h.workbench->settings().SimultaneousTransfers = 0;
    EXPECT_TRUE(h.workbench->save().isEmpty());
    EXPECT_TRUE(QFile::exists(path + QStringLiteral(".damaged")));
    ASSERT_TRUE(LoadAppSettings(onDisk, path));
    EXPECT_EQ(onDisk.SimultaneousTransfers, 0);
}

TEST(SettingsSurvival, SitesChangedInTheDialogAreOnDiskAtOnce) {
    WorkbenchHarness h;
    ASSERT_NO_FATAL_FAILURE(addWithCli(h.folder.path(), QStringLiteral("a")));
    ASSERT_NO_FATAL_FAILURE(addWithCli(h.folder.path(), QStringLiteral("b")));
    h.workbench->load();
    ScriptedPrompter prompter;
    MainFrame::Services services;
    services.prompter = &prompter;
    MainFrame frame(*h.workbench, services);
    frame.show();
    bool checked = false;
    WhenShown modal(WhenShown::modal, [&](QWidget* shown) {
        auto* dialog = qobject_cast<SiteConnectDialog*>(shown);
        if (!dialog)
            return;
        dialog->setNameAsker([](SiteNameDialog::Mode, int, const SiteConnectDialog::NameTexts&) {
            return std::optional<SiteConnectDialog::NameTexts>({QStringLiteral("new"), {}});
        });
        dialog->newSite();
        EXPECT_EQ(siteNames(h.folder.path()), (QStringList{"a", "b", "new"}));
        // Another writer removes "a" meanwhile: the save moves "b" up a row.
        addWithCli(h.folder.path(), QStringLiteral("c"));
        runCli({"--setting-dir", h.folder.path(), "sites", "remove", "a"},
               CliRun::cliEnvironment(h.folder.path()));
        dialog->selectRow(1);
        dialog->pages()->hostEdit()->setText(QStringLiteral("edited.example"));
        dialog->saveSite();
        EXPECT_EQ(siteNames(h.folder.path()), (QStringList{"b", "new", "c"}));
        EXPECT_EQ(dialog->selectedRow(), 0);
        EXPECT_EQ(dialog->pages()->hostEdit()->text(), QStringLiteral("edited.example"));
        checked = true;
        dialog->reject();
    });
    frame.runCommand(kCmdConnect);
    ASSERT_TRUE(modal.wait());
    ASSERT_TRUE(checked);
    SiteList onDisk;
    LoadSites(onDisk, h.path(QStringLiteral("site.set")));
    ASSERT_EQ(onDisk.Records.size(), 3u);
    EXPECT_EQ(onDisk.Records[0].Host, QStringLiteral("edited.example"));
}

// The real program, ended by a signal while a site is added from a terminal: it closes as a
// user would close it, saving its settings, and the terminal's site stays.
class SignalEnd : public testing::TestWithParam<int> {};

bool handlesSignal(qint64 pid, int signal) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    }
    return false;
}

TEST_P(SignalEnd, ClosesNormallyAndSaves) {
    QTemporaryDir folder;
    ASSERT_NO_FATAL_FAILURE(addWithCli(folder.path(), QStringLiteral("before")));
    QProcess gui;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), SecretServiceSession::emptyBusAddress());
    gui.setProcessEnvironment(env);
    gui.start(QStringLiteral(VELMORA_GUI_PATH), {"--setting-dir", folder.path()});
    ASSERT_TRUE(gui.waitForStarted(10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return handlesSignal(gui.processId(), GetParam()); }, 20000))
        << "the window never took signals";
    ASSERT_NO_FATAL_FAILURE(addWithCli(folder.path(), QStringLiteral("cli")));

    ::kill(pid_t(gui.processId()), GetParam());
    ASSERT_TRUE(gui.waitForFinished(20000)) << gui.readAllStandardError().toStdString();
    EXPECT_EQ(gui.exitStatus(), QProcess::NormalExit) << "ended by the signal itself";
    EXPECT_EQ(gui.exitCode(), 0);
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("setting.set"))))
        << "the window's own settings were saved";
    EXPECT_EQ(siteNames(folder.path()), (QStringList{"before", "cli"}));
}

INSTANTIATE_TEST_SUITE_P(
    , SignalEnd, testing::Values(SIGTERM, SIGINT, SIGHUP), [](const auto& info) {
        return std::string(info.param == SIGTERM ? "Term" : info.param == SIGINT ? "Int" : "Hup");
    });

}  // namespace
