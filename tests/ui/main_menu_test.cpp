#include "app/command_ids.h"
#include "app/ui/main_frame.h"
#include "workbench_harness.h"

#include <QAction>
#include <QMenu>

#include <QMenuBar>
#include <QSet>

#include <gtest/gtest.h>

namespace {

struct Expected {
    int id;
    const char* path;  // submenus joined by " > "
    const char* text;
    bool checkable;
    bool checkedByDefault;
    bool enabledLoggedOut;
};

// The whole main menu as a user sees it before connecting, with default settings.
const Expected kMenu[] = {
    {kCmdConnect, "Site", "Connect", false, false, true},
    {kCmdReconnect, "Site", "Re-connect", false, false, false},
    {kCmdCloseConnection, "Site", "Close connection", false, false, false},
    {kCmdSaveAsSite, "Site", "Save as site...", false, false, false},
    {kCmdExit, "Site", "Exit", false, false, true},
    {kCmdSimpleCwd, "Command > Simple", "CWD\tchange working directory", false, false, false},
    {kCmdSimpleHelp, "Command > Simple", "HELP\treturn server command list", false, false, false},
    {kCmdSimpleNoop, "Command > Simple", "NOOP\tsay 'hello' to server", false, false, false},
    {kCmdSimplePwd, "Command > Simple", "PWD\tprint current working directory", false, false,
     false},
    {kCmdSimpleStat, "Command > Simple", "STAT\treturn server status", false, false, false},
    {kCmdSimpleSyst, "Command > Simple", "SYST\treturn system type", false, false, false},
    {kCmdSimpleMlst, "Command > Simple", "MLST\treturn a single item", false, false, false},
    {kCmdSimpleFeat, "Command > Simple", "FEAT\tfeatures of the server", false, false, false},
    {kCmdGroupList, "Command > Group", "LIST", false, false, false},
    {kCmdGroupNlst, "Command > Group", "NLST", false, false, false},
    {kCmdGroupMlsd, "Command > Group", "MLSD", false, false, false},
    {kCmdEmpty, "Command > HELP\t[ runtime commands ] > FEAT", "(Empty)", false, false, false},
    {kCmdEmpty, "Command > HELP\t[ runtime commands ] > HELP", "(Empty)", false, false, false},
    {kCmdCheckCommands, "Command", "Check\tFTP commands", false, false, false},
    {kCmdGeneralOptions, "Options", "General optopns", false, false, true},
    {kCmdToolsBySearch, "Options > View/edit tools", "Add by search", false, false, true},
    {kCmdToolsManually, "Options > View/edit tools", "Add manually", false, false, true},
    {kCmdRemoteToolsOnly, "Options > View/edit tools", "Only show remote tools for remote file",
     true, false, true},
    {kCmdLocalTreeLeft, "Options > Local project page", "Tree on left side", true, true, true},
    {kCmdLocalColor, "Options > Local project page", "Background color", false, false, true},
    {kCmdRemoteTreeLeft, "Options > Remote project page", "Tree on left side", true, true, true},
    {kCmdRemoteColor, "Options > Remote project page", "Background color", false, false, true},
    {kCmdSizeLong, "Options > List controls > Show file size", "Long kb and mb", true, true, true},
    {kCmdSizeShort, "Options > List controls > Show file size", "Short kb and mb", true, false,
     true},
    {kCmdSizeBytes, "Options > List controls > Show file size", "Always in bytes", true, false,
     true},
    {kCmdNumericPermissions, "Options > List controls", "Show permission in numeric value", true,
     false, true},
    {kCmdExpandOnUpload, "Options > Expand folders when", "Upload files", true, false, true},
    {kCmdExpandOnDownload, "Options > Expand folders when", "Download files", true, false, true},
    {kCmdBeepDownload, "Options > Beep when DUDC completed", "Downloading files", true, true, true},
    {kCmdBeepUpload, "Options > Beep when DUDC completed", "Uploading files", true, true, true},
    {kCmdBeepDelete, "Options > Beep when DUDC completed", "Deleting files", true, false, true},
    {kCmdBeepPermissions, "Options > Beep when DUDC completed", "Changing permissions", true, false,
     true},
    {kCmdBeepOptions, "Options > Continually beep if above DUDC action consumes more than ...",
     "Do not beep continually", false, false, true},
    {kCmdAlertUpload, "Options > Show alert dialog", "Upload", true, true, false},
    {kCmdAlertDownload, "Options > Show alert dialog", "Download", true, true, false},
    {kCmdShutdownSystem, "Options > Shutdown ... when upload or down load completed", "System",
     true, false, true},
    {kCmdShutdownProgram, "Options > Shutdown ... when upload or down load completed",
     "The software", true, false, true},
    {kCmdViewToolbar, "View", "View &Toolbar", true, true, true},
    {kCmdViewBanner, "View", "Banner", true, true, true},
    {kCmdShowQueue, "View", "Show command queue", false, false, false},
    {kCmdAbout, "Help", "About", false, false, true},
    {kCmdContents, "Help", "Contents", false, false, true},
};

QString pathOf(QAction* a) {
    QStringList path;
    QWidget* w = a->associatedObjects().isEmpty() ? nullptr
                                                  : qobject_cast<QMenu*>(a->associatedObjects()[0]);
    for (auto* m = qobject_cast<QMenu*>(w); m;) {
        path.prepend(QString(m->title()).remove(QLatin1Char('&')));
        QAction* owner = m->menuAction();
        QMenu* up = nullptr;
        for (QObject* o : owner->associatedObjects())
            if ((up = qobject_cast<QMenu*>(o)))
                break;
        m = up;
    }
    return path.join(QStringLiteral(" > "));
}

TEST(MainMenu, EveryItemWithItsIdTextCheckAndEnabling) {
    WorkbenchHarness h;
    MainFrame frame(*h.workbench);
    frame.updateMenuState();
    const QList<QAction*> actions = frame.menuActions();
    ASSERT_EQ(actions.size(), int(std::size(kMenu)));
    for (int i = 0; i < actions.size(); ++i) {
        QAction* a = actions[i];
        const Expected& e = kMenu[i];
        SCOPED_TRACE(e.text);
        EXPECT_EQ(a->data().toInt(), e.id);
        EXPECT_EQ(a->text(), QString::fromUtf8(e.text));
        EXPECT_EQ(pathOf(a), QString::fromUtf8(e.path));
        EXPECT_EQ(a->isCheckable(), e.checkable);
        EXPECT_EQ(a->isChecked(), e.checkedByDefault);
        EXPECT_EQ(a->isEnabled(), e.enabledLoggedOut);
    }
    // Each menu of the bar opens with Alt and a letter of its own.
    QSet<QKeySequence> keys;
    for (QAction* top : frame.menuBar()->actions())
        keys.insert(QKeySequence::mnemonic(top->text()));
    EXPECT_EQ(keys.size(), frame.menuBar()->actions().size());
    EXPECT_FALSE(keys.contains(QKeySequence()));
}

TEST(MainMenu, TogglesChangeTheSettingsAndTheChecks) {
    WorkbenchHarness h;
    MainFrame frame(*h.workbench);
    AppSettings& s = h.workbench->settings();
    frame.runCommand(kCmdSizeShort);
    EXPECT_EQ(s.SizeStyle, 1);
    EXPECT_TRUE(frame.action(kCmdSizeShort)->isChecked());
    EXPECT_FALSE(frame.action(kCmdSizeLong)->isChecked());
    frame.runCommand(kCmdBeepDelete);
    EXPECT_EQ(s.BeepFlags & AppSettings::kBeepDelete, AppSettings::kBeepDelete);
    frame.runCommand(kCmdLocalTreeLeft);
    EXPECT_EQ(s.ViewFlags & AppSettings::kLocalProjectTreeLeft, 0);
    EXPECT_FALSE(frame.action(kCmdLocalTreeLeft)->isChecked());
    frame.runCommand(kCmdNumericPermissions);
    EXPECT_TRUE(s.ViewFlags & AppSettings::kNumericPermissions);
}

}  // namespace
