#pragma once

#include <QString>
#include <QStringList>

#include <vector>

struct AppSettings;

// The main menu as data: the window builds its menu bar from this table, and
// checks and enabling come from one rule over the program's state.

enum class MenuItemKind { Action, Check, Radio, Separator };

struct MenuEntry {
    QStringList path;  // the submenus leading to the item, from the menu bar
    int id = 0;        // 0 for separators
    QString text;
    MenuItemKind kind = MenuItemKind::Action;
};

// Every item of the main menu in menu order. The Command menu's runtime FEAT
// and HELP submenus appear with their "(Empty)" placeholders.
const std::vector<MenuEntry>& MainMenuTable();

// Top-level menus in order.
QStringList MainMenuTitles();

// Submenu titles used in the table, for code that fills them at run time.
namespace MenuTitles {
inline const QString kSite = QStringLiteral("Site");
inline const QString kCommand = QStringLiteral("Command");
inline const QString kSimple = QStringLiteral("Simple");
inline const QString kGroup = QStringLiteral("Group");
inline const QString kRuntime = QStringLiteral("HELP\t[ runtime commands ]");
inline const QString kFeat = QStringLiteral("FEAT");
inline const QString kHelp = QStringLiteral("HELP");
inline const QString kOptions = QStringLiteral("Options");
inline const QString kView = QStringLiteral("View");
inline const QString kHelpMenu = QStringLiteral("Help");
}  // namespace MenuTitles

// What the checks and enabling read.
struct MenuContext {
    const AppSettings* settings = nullptr;
    bool loggedIn = false;   // the start-up after login was queued
    bool connected = false;  // the control connection is open
    int shutdownFlags = 0;
    bool uploadAlert = false;    // the upload file-action dialog shows before transfers
    bool downloadAlert = false;  // the same for downloads
    bool toolbarVisible = true;
    bool bannerVisible = true;
    bool currentSiteUnsaved = false;  // connected by quick connect, not a stored site
};

struct MenuItemState {
    bool enabled = true;
    bool checked = false;
};

MenuItemState MenuStateFor(int id, const MenuContext& context);

// What a settings toggle changed, so the window redraws only what shows it.
enum MenuRedraw : int {
    kRedrawNothing = 0,
    kRedrawExplorers = 0x01,      // local and remote trees and lists
    kRedrawRemoteViews = 0x02,    // remote tree and list only
    kRedrawLocalProject = 0x04,   // the "Local project" page's panes
    kRedrawRemoteProject = 0x08,  // the "Remote project" page's panes
    kRedrawBeepMenuText = 0x10,
};

// Carries out the menu items that only flip a setting; false for other ids.
bool ApplyMenuToggle(int id, AppSettings& settings, int* redraw = nullptr);
