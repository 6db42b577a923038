#include "app/main_menu.h"

#include "app/app_settings.h"
#include "app/command_ids.h"
#include "app/completion_actions.h"

namespace {

using K = MenuItemKind;

std::vector<MenuEntry> buildTable() {
    using namespace MenuTitles;
    const QString tools = QStringLiteral("View/edit tools");
    const QString localPage = QStringLiteral("Local project page");
    const QString remotePage = QStringLiteral("Remote project page");
    const QString lists = QStringLiteral("List controls");
    const QString sizes = QStringLiteral("Show file size");
    const QString expand = QStringLiteral("Expand folders when");
    const QString beep = QStringLiteral("Beep when DUDC completed");
    const QString continual =
        QStringLiteral("Continually beep if above DUDC action consumes more than ...");
    const QString alert = QStringLiteral("Show alert dialog");
    const QString shutdown = QStringLiteral("Shutdown ... when upload or down load completed");
    return {
        {{kSite}, kCmdConnect, QStringLiteral("Connect"), K::Action},
        {{kSite}, kCmdReconnect, QStringLiteral("Re-connect"), K::Action},
        {{kSite}, kCmdCloseConnection, QStringLiteral("Close connection"), K::Action},
        {{kSite}, kCmdSaveAsSite, QStringLiteral("Save as site..."), K::Action},
        {{kSite}, 0, QString(), K::Separator},
        {{kSite}, kCmdExit, QStringLiteral("Exit"), K::Action},

        {{kCommand, kSimple}, kCmdSimpleCwd, QStringLiteral("CWD\tchange working directory")},
        {{kCommand, kSimple}, kCmdSimpleHelp, QStringLiteral("HELP\treturn server command list")},
        {{kCommand, kSimple}, kCmdSimpleNoop, QStringLiteral("NOOP\tsay 'hello' to server")},
        {{kCommand, kSimple},
         kCmdSimplePwd,
         QStringLiteral("PWD\tprint current working directory")},
        {{kCommand, kSimple}, kCmdSimpleStat, QStringLiteral("STAT\treturn server status")},
        {{kCommand, kSimple}, kCmdSimpleSyst, QStringLiteral("SYST\treturn system type")},
        {{kCommand, kSimple}, kCmdSimpleMlst, QStringLiteral("MLST\treturn a single item")},
        {{kCommand, kSimple}, kCmdSimpleFeat, QStringLiteral("FEAT\tfeatures of the server")},
        {{kCommand, kGroup}, kCmdGroupList, QStringLiteral("LIST")},
        {{kCommand, kGroup}, kCmdGroupNlst, QStringLiteral("NLST")},
        {{kCommand, kGroup}, kCmdGroupMlsd, QStringLiteral("MLSD")},
        {{kCommand, kRuntime, kFeat}, kCmdEmpty, QStringLiteral("(Empty)")},
        {{kCommand, kRuntime, kHelp}, kCmdEmpty, QStringLiteral("(Empty)")},
        {{kCommand}, kCmdCheckCommands, QStringLiteral("Check\tFTP commands")},

        {{kOptions}, kCmdGeneralOptions, QStringLiteral("General optopns")},
        {{kOptions, tools}, kCmdToolsBySearch, QStringLiteral("Add by search")},
        {{kOptions, tools}, kCmdToolsManually, QStringLiteral("Add manually")},
        {{kOptions, tools}, 0, QString(), K::Separator},
        {{kOptions, tools},
         kCmdRemoteToolsOnly,
         QStringLiteral("Only show remote tools for remote file"),
         K::Check},
        {{kOptions, localPage}, kCmdLocalTreeLeft, QStringLiteral("Tree on left side"), K::Check},
        {{kOptions, localPage}, kCmdLocalColor, QStringLiteral("Background color")},
        {{kOptions, remotePage}, kCmdRemoteTreeLeft, QStringLiteral("Tree on left side"), K::Check},
        {{kOptions, remotePage}, kCmdRemoteColor, QStringLiteral("Background color")},
        {{kOptions, lists, sizes}, kCmdSizeLong, QStringLiteral("Long kb and mb"), K::Radio},
        {{kOptions, lists, sizes}, kCmdSizeShort, QStringLiteral("Short kb and mb"), K::Radio},
        {{kOptions, lists, sizes}, kCmdSizeBytes, QStringLiteral("Always in bytes"), K::Radio},
        {{kOptions, lists},
         kCmdNumericPermissions,
         QStringLiteral("Show permission in numeric value"),
         K::Check},
        {{kOptions}, 0, QString(), K::Separator},
        {{kOptions, expand}, kCmdExpandOnUpload, QStringLiteral("Upload files"), K::Check},
        {{kOptions, expand}, kCmdExpandOnDownload, QStringLiteral("Download files"), K::Check},
        {{kOptions, beep}, kCmdBeepDownload, QStringLiteral("Downloading files"), K::Check},
        {{kOptions, beep}, kCmdBeepUpload, QStringLiteral("Uploading files"), K::Check},
        {{kOptions, beep}, kCmdBeepDelete, QStringLiteral("Deleting files"), K::Check},
        {{kOptions, beep}, kCmdBeepPermissions, QStringLiteral("Changing permissions"), K::Check},
        {{kOptions, continual}, kCmdBeepOptions, QString()},
        {{kOptions}, 0, QString(), K::Separator},
        {{kOptions, alert}, kCmdAlertUpload, QStringLiteral("Upload"), K::Check},
        {{kOptions, alert}, kCmdAlertDownload, QStringLiteral("Download"), K::Check},
        {{kOptions, shutdown}, kCmdShutdownSystem, QStringLiteral("System"), K::Check},
        {{kOptions, shutdown}, kCmdShutdownProgram, QStringLiteral("The software"), K::Check},

        {{kView}, kCmdViewToolbar, QStringLiteral("View &Toolbar"), K::Check},
        {{kView}, kCmdViewBanner, QStringLiteral("Banner"), K::Check},
        {{kView}, kCmdShowQueue, QStringLiteral("Show command queue")},

        {{kHelpMenu}, kCmdAbout, QStringLiteral("About")},
        {{kHelpMenu}, kCmdContents, QStringLiteral("Contents")},
    };
}

bool isCommandMenuItem(int id) {
    return (id >= kCmdSimpleCwd && id <= kCmdSimpleFeat) ||
           (id >= kCmdGroupMlsd && id <= kCmdGroupNlst) ||
           (id >= kCmdRuntimeFirst && id <= kCmdRuntimeLast);
}

}  // namespace

const std::vector<MenuEntry>& MainMenuTable() {
    static const std::vector<MenuEntry> table = buildTable();
    return table;
}

QStringList MainMenuTitles() {
    using namespace MenuTitles;
    return {kSite, kCommand, kOptions, kView, kHelpMenu};
}

MenuItemState MenuStateFor(int id, const MenuContext& c) {
    MenuItemState s;
    const AppSettings defaults;
    const AppSettings& a = c.settings ? *c.settings : defaults;
    switch (id) {
        case kCmdReconnect:
        case kCmdCloseConnection:
        case kCmdShowQueue:
        case kCmdCheckCommands:
            s.enabled = c.loggedIn;
            break;
        case kCmdEmpty:
            s.enabled = false;
            break;
        case kCmdSaveAsSite:
            s.enabled = c.connected && c.currentSiteUnsaved;
            break;
        case kCmdRemoteToolsOnly:
            s.checked = a.ToolFlags & AppSettings::kRemoteToolsOnlyForRemoteFiles;
            break;
        case kCmdLocalTreeLeft:
            s.checked = a.ViewFlags & AppSettings::kLocalProjectTreeLeft;
            break;
        case kCmdRemoteTreeLeft:
            s.checked = a.ViewFlags & AppSettings::kRemoteProjectTreeLeft;
            break;
        case kCmdSizeLong:
            s.checked = a.SizeStyle == 0;
            break;
        case kCmdSizeShort:
            s.checked = a.SizeStyle == 1;
            break;
        case kCmdSizeBytes:
            // Any stored value but the two kb/mb styles shows bytes.
            s.checked = a.SizeStyle != 0 && a.SizeStyle != 1;
            break;
        case kCmdNumericPermissions:
            s.checked = a.ViewFlags & AppSettings::kNumericPermissions;
            break;
        case kCmdExpandOnUpload:
            s.checked = a.ViewFlags & AppSettings::kExpandOnUpload;
            break;
        case kCmdExpandOnDownload:
            s.checked = a.ViewFlags & AppSettings::kExpandOnDownload;
            break;
        case kCmdBeepDownload:
        case kCmdBeepUpload:
        case kCmdBeepDelete:
        case kCmdBeepPermissions:
            s.checked = a.BeepFlags & beepFlagForCommand(id);
            break;
        case kCmdAlertUpload:
            s.enabled = c.connected;
            s.checked = c.uploadAlert;
            break;
        case kCmdAlertDownload:
            s.enabled = c.connected;
            s.checked = c.downloadAlert;
            break;
        case kCmdShutdownSystem:
            s.checked = c.shutdownFlags & kShutdownSystem;
            break;
        case kCmdShutdownProgram:
            s.checked = c.shutdownFlags & kShutdownProgram;
            break;
        case kCmdViewToolbar:
            s.checked = c.toolbarVisible;
            break;
        case kCmdViewBanner:
            s.checked = c.bannerVisible;
            break;
        default:
            // Commands for the server make sense only once logged in.
            if (isCommandMenuItem(id))
                s.enabled = c.loggedIn;
            break;
    }
    return s;
}

bool ApplyMenuToggle(int id, AppSettings& a, int* redraw) {
    int r = kRedrawNothing;
    switch (id) {
        case kCmdRemoteToolsOnly:
            a.ToolFlags ^= AppSettings::kRemoteToolsOnlyForRemoteFiles;
            break;
        case kCmdLocalTreeLeft:
            a.ViewFlags ^= AppSettings::kLocalProjectTreeLeft;
            r = kRedrawLocalProject;
            break;
        case kCmdRemoteTreeLeft:
            a.ViewFlags ^= AppSettings::kRemoteProjectTreeLeft;
            r = kRedrawRemoteProject;
            break;
        case kCmdSizeLong:
        case kCmdSizeShort:
        case kCmdSizeBytes:
            a.SizeStyle = id == kCmdSizeLong ? 0 : id == kCmdSizeShort ? 1 : 2;
            r = kRedrawExplorers;
            break;
        case kCmdNumericPermissions:
            a.ViewFlags ^= AppSettings::kNumericPermissions;
            r = kRedrawRemoteViews;
            break;
        case kCmdExpandOnUpload:
            a.ViewFlags ^= AppSettings::kExpandOnUpload;
            break;
        case kCmdExpandOnDownload:
            a.ViewFlags ^= AppSettings::kExpandOnDownload;
            break;
        case kCmdBeepDownload:
        case kCmdBeepUpload:
        case kCmdBeepDelete:
        case kCmdBeepPermissions:
            toggleBeepFlag(a, id);
            break;
        default:
            return false;
    }
    if (redraw)
        *redraw = r;
    return true;
}
