#pragma once

#include <QString>

// The four files of the settings folder; their names and layouts are the same on every
// install, so the files can move between machines.
enum class SettingsFileKind { Settings, Mixed, Sites, Tools };

// Where the settings folder is looked for, gathered from the environment by
// SettingsLocation::fromEnvironment() and filled by hand in tests.
struct SettingsLocation {
    QString explicitFolder;     // given by the caller (--setting-dir)
    QString environmentFolder;  // VELMORA_SETTING_DIR
    QString programFolder;      // the folder of the running program
    QString xdgConfigHome;      // XDG_CONFIG_HOME
    QString homeFolder;

    static SettingsLocation fromEnvironment(const QString& explicitFolder = {});
};

// "setting.set", "mixed.set", "site.set" or "tools.set".
QString SettingsFileName(SettingsFileKind kind);

// In order of preference: the explicit folder, the environment variable, a "Setting" folder
// beside the program when it exists, else $XDG_CONFIG_HOME/velmora/Setting
// (~/.config/velmora/Setting). The folder is not created here; saving creates it.
QString SettingsFolder(const SettingsLocation& location);
QString SettingsFolder(const QString& explicitFolder = {});

// The full path of one of the four files.
QString SettingsPath(SettingsFileKind kind, const SettingsLocation& location);
QString SettingsPath(SettingsFileKind kind, const QString& explicitFolder = {});
// The same for a file name given as text, e.g. "site.set".
QString SettingsPath(const QString& fileName, const QString& explicitFolder = {});
