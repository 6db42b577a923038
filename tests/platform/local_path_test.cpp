#include "platform/local_path.h"

#include <gtest/gtest.h>

namespace {

TEST(LocalPath, ParentAndBaseName) {
    const struct {
        const char* path;
        const char* parent;
        const char* base;
    } cases[] = {
        {"/home/u/web", "/home/u", "web"},
        {"/home/u/web/", "/home/u", "web"},
        {"/home/u/web//", "/home/u", "web"},
        {"/home", "/", "home"},
        {"/", "", ""},
        {"web", "", "web"},
        {"a/b", "a", "b"},
        {"/a b/c\\d", "/a b", "c\\d"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LocalParentFolder(QString::fromUtf8(c.path)), QString::fromUtf8(c.parent))
            << c.path;
        EXPECT_EQ(LocalBaseName(QString::fromUtf8(c.path)), QString::fromUtf8(c.base)) << c.path;
    }
}

struct JoinCase {
    const char* a;
    const char* b;
    const char* joined;
};

TEST(LocalPath, JoinWithBackslashNeverDoublesAndConvertsSlashes) {
    const JoinCase cases[] = {
        {"C:\\a", "b", "C:\\a\\b"},     {"C:\\a\\", "b", "C:\\a\\b"},
        {"C:\\a", "\\b", "C:\\a\\b"},   {"C:\\a\\", "\\b", "C:\\a\\b"},
        {"C:/a", "b/c", "C:\\a\\b\\c"}, {"", "b\\c", "b\\c"},
        {"C:\\a", "", "C:\\a"},         {"", "", ""},
    };
    for (const JoinCase& c : cases) {
        EXPECT_EQ(QString::fromUtf8(c.joined),
                  JoinLocalPath(QString::fromUtf8(c.a), QString::fromUtf8(c.b), QLatin1Char('\\')))
            << c.a << " + " << c.b;
    }
}

TEST(LocalPath, JoinWithSlashKeepsBackslashAsNameCharacter) {
    const JoinCase cases[] = {
        {"/a", "b", "/a/b"},  {"/a/", "b", "/a/b"},  {"/a", "/b", "/a/b"},
        {"/", "etc", "/etc"}, {"/", "/etc", "/etc"}, {"/a", "b\\c", "/a/b\\c"},
        {"", "/x", "/x"},     {"/x", "", "/x"},
    };
    for (const JoinCase& c : cases) {
        EXPECT_EQ(QString::fromUtf8(c.joined),
                  JoinLocalPath(QString::fromUtf8(c.a), QString::fromUtf8(c.b)))
            << c.a << " + " << c.b;
    }
}

}  // namespace
