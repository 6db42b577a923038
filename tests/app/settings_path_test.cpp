#include <gtest/gtest.h>

#include "support/qt_printers.h"

#include <QDir>
#include <QTemporaryDir>

#include "app/settings_path.h"

namespace {

TEST(SettingsPathTest, FileNames) {
    EXPECT_EQ(SettingsFileName(SettingsFileKind::Settings), QStringLiteral("setting.set"));
    EXPECT_EQ(SettingsFileName(SettingsFileKind::Mixed), QStringLiteral("mixed.set"));
    EXPECT_EQ(SettingsFileName(SettingsFileKind::Sites), QStringLiteral("site.set"));
    EXPECT_EQ(SettingsFileName(SettingsFileKind::Tools), QStringLiteral("tools.set"));
}

TEST(SettingsPathTest, OrderOfPreference) {
    QTemporaryDir program;
    QTemporaryDir bare;
    ASSERT_TRUE(QDir(program.path()).mkdir(QStringLiteral("Setting")));
    const QString beside = program.filePath(QStringLiteral("Setting"));

    struct Case {
        const char* name;
        SettingsLocation location;
        QString folder;
    };
    const Case cases[] = {
        {"explicit wins", {"/x/dir", "/env/dir", program.path(), "/xdg", "/home/u"}, "/x/dir"},
        {"environment next", {"", "/env/dir/", program.path(), "/xdg", "/home/u"}, "/env/dir"},
        {"beside the program", {"", "", program.path(), "/xdg", "/home/u"}, beside},
        {"no folder beside", {"", "", bare.path(), "/xdg", "/home/u"}, "/xdg/velmora/Setting"},
        {"no XDG", {"", "", bare.path(), "", "/home/u"}, "/home/u/.config/velmora/Setting"},
        {"relative XDG ignored", {"", "", "", "rel", "/home/u"}, "/home/u/.config/velmora/Setting"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SettingsFolder(c.location), c.folder) << c.name;
}

TEST(SettingsPathTest, EnvironmentVariableIsRead) {
    const QByteArray saved = qgetenv("VELMORA_SETTING_DIR");
    qputenv("VELMORA_SETTING_DIR", "/from/env");
    EXPECT_EQ(SettingsPath(SettingsFileKind::Mixed), QStringLiteral("/from/env/mixed.set"));
    EXPECT_EQ(SettingsPath(SettingsFileKind::Mixed, QStringLiteral("/given")),
              QStringLiteral("/given/mixed.set"));
    EXPECT_EQ(SettingsPath(QStringLiteral("tools.set")), QStringLiteral("/from/env/tools.set"));
    if (saved.isNull())
        qunsetenv("VELMORA_SETTING_DIR");
    else
        qputenv("VELMORA_SETTING_DIR", saved);
}

}  // namespace
