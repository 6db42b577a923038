#include "app/settings_path.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QString environmentValue(const char* name) {
    return QString::fromLocal8Bit(qgetenv(name));
}

}  // namespace

SettingsLocation SettingsLocation::fromEnvironment(const QString& explicitFolder) {
    SettingsLocation location;
    location.explicitFolder = explicitFolder;
    location.environmentFolder = environmentValue("VELMORA_SETTING_DIR");
    if (QCoreApplication::instance())
        location.programFolder = QCoreApplication::applicationDirPath();
    location.xdgConfigHome = environmentValue("XDG_CONFIG_HOME");
    location.homeFolder = QDir::homePath();
    return location;
}

QString SettingsFileName(SettingsFileKind kind) {
    switch (kind) {
        case SettingsFileKind::Settings:
            return QStringLiteral("setting.set");
        case SettingsFileKind::Mixed:
            return QStringLiteral("mixed.set");
        case SettingsFileKind::Sites:
            return QStringLiteral("site.set");
        case SettingsFileKind::Tools:
            return QStringLiteral("tools.set");
    }
    return {};
}

QString SettingsFolder(const SettingsLocation& location) {
    if (!location.explicitFolder.isEmpty())
        return QDir::cleanPath(location.explicitFolder);
    if (!location.environmentFolder.isEmpty())
        return QDir::cleanPath(location.environmentFolder);
    if (!location.programFolder.isEmpty()) {
        const QString beside = QDir(location.programFolder).filePath(QStringLiteral("Setting"));
        if (QFileInfo(beside).isDir())
            return QDir::cleanPath(beside);
    }
    // Relative values of XDG_CONFIG_HOME are to be ignored.
    QString configHome = location.xdgConfigHome;
    if (configHome.isEmpty() || QDir::isRelativePath(configHome))
        configHome = QDir(location.homeFolder).filePath(QStringLiteral(".config"));
    return QDir::cleanPath(configHome + QStringLiteral("/velmora/Setting"));
}

QString SettingsFolder(const QString& explicitFolder) {
    return SettingsFolder(SettingsLocation::fromEnvironment(explicitFolder));
}

QString SettingsPath(SettingsFileKind kind, const SettingsLocation& location) {
    return QDir(SettingsFolder(location)).filePath(SettingsFileName(kind));
}

QString SettingsPath(SettingsFileKind kind, const QString& explicitFolder) {
    return SettingsPath(kind, SettingsLocation::fromEnvironment(explicitFolder));
}

QString SettingsPath(const QString& fileName, const QString& explicitFolder) {
    return QDir(SettingsFolder(explicitFolder)).filePath(fileName);
}
