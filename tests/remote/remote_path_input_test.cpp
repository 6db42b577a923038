#include "remote/remote_path.h"

#include <gtest/gtest.h>

namespace {

TEST(RemotePathInput, TypedPathsResolveAgainstTheFolderShown) {
    struct Case {
        const char* typed;
        QByteArray current;
        std::optional<QByteArray> folder;
    };
    const Case cases[] = {
        {"/var/www", "/home", QByteArray("/var/www")},
        {"logs", "/var/www", QByteArray("/var/www/logs")},
        {"  ../tmp/  ", "/var/www", QByteArray("/var/tmp")},
        {"//a///b/./c/", "/", QByteArray("/a/b/c")},
        {"../../..", "/a", QByteArray("/")},
        {"..", "/", QByteArray("/")},
        {"caf\xc3\xa9", "/", QByteArray("/caf\xc3\xa9")},
        {"", "/a", std::nullopt},
        {"   ", "/a", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(resolveRemotePathInput(QString::fromUtf8(c.typed), c.current), c.folder)
            << c.typed;
    const std::pair<QByteArray, QByteArray> parents[] = {
        {"/a/b", "/a"}, {"/a", "/"}, {"/", "/"}, {"/a/b/", "/a"}, {"", "/"}};
    for (const auto& [folder, parent] : parents)
        EXPECT_EQ(remoteParentFolder(folder), parent) << folder.constData();
    const std::pair<QByteArray, QByteArray> trimmed[] = {
        {"/a/b//", "/a/b"}, {"/", "/"}, {"//", "/"}};
    for (const auto& [folder, kept] : trimmed)
        EXPECT_EQ(withoutEndSlash(folder), kept) << folder.constData();
    const std::pair<QByteArray, QByteArray> projectParents[] = {
        {"a/b/c", "a/b"}, {"c", ""}, {"", ""}};
    for (const auto& [path, parent] : projectParents)
        EXPECT_EQ(projectParentFolder(path), parent) << path.constData();
}

}  // namespace
