#include "platform/path_containment.h"

#include <gtest/gtest.h>

namespace {

// Every row holds for local text and for server bytes alike.
TEST(PathContainment, SameOrBelowIsBoundedBySeparator) {
    const struct {
        const char* folder;
        const char* path;
        bool below;
    } cases[] = {
        {"/a/b", "/a/b", true},        // equal
        {"/a/b", "/a/b/c/d", true},    // below
        {"/a/b", "/a/bc", false},      // sibling sharing a prefix
        {"/a/b", "/a", false},         // above
        {"/a/b/", "/a/b/c", true},     // folder with its final separator
        {"/a/b", "/a/b/", true},       // path with a final separator
        {"/a/b/", "/a/b", false},      // shorter than the folder's text
        {"/", "/etc/passwd", true},    // root holds everything
        {"/", "/", true},              //
        {"a/b", "a/b/c", true},        // relative texts compare the same way
        {"a/b", "/a/b/c", false},      //
        {"/a/b", "/a/b/../c", true},   // the text is below; ".." is not resolved
        {"/a/b/..", "/a/c", false},    //
        {"", "/a", false},             // an empty folder holds nothing
        {"", "", false},               //
        {"/Web", "/web/img", false},   // letter case counts unless asked not to
        {"/a\\b", "/a\\b\\c", false},  // a backslash is a name character under '/'
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsSameOrBelow(QString::fromUtf8(c.folder), QString::fromUtf8(c.path)), c.below)
            << c.folder << " holds " << c.path;
        EXPECT_EQ(IsSameOrBelow(QByteArray(c.folder), QByteArray(c.path)), c.below)
            << c.folder << " holds " << c.path << " (bytes)";
    }
}

TEST(PathContainment, SeparatorAndLetterCaseAreTheCallersChoice) {
    const QChar back = QLatin1Char('\\');
    EXPECT_TRUE(IsSameOrBelow(u"C:\\Web", u"C:\\Web\\img", back));
    EXPECT_FALSE(IsSameOrBelow(u"C:\\Web", u"C:\\Web/img", back));
    EXPECT_TRUE(IsSameOrBelow(u"C:\\", u"C:\\Web", back));
    EXPECT_FALSE(IsSameOrBelow(u"C:\\Web", u"c:\\web\\img", back));
    EXPECT_TRUE(IsSameOrBelow(u"C:\\Web", u"c:\\web\\img", back, Qt::CaseInsensitive));
    EXPECT_FALSE(IsSameOrBelow(u"/web", u"/WEBSITE", QLatin1Char('/'), Qt::CaseInsensitive));
}

TEST(PathContainment, PathBelowDropsTheFolderAndOneSeparator) {
    const QChar slash = QLatin1Char('/');
    EXPECT_EQ(PathBelow(QStringLiteral("/www"), QStringLiteral("/www/a/b"), slash), u"a/b");
    EXPECT_EQ(PathBelow(QStringLiteral("/www"), QStringLiteral("/www"), slash), u"");
    EXPECT_EQ(PathBelow(QStringLiteral("/"), QStringLiteral("/a"), slash), u"a");
    EXPECT_EQ(PathBelow(QStringLiteral("C:\\Web"), QStringLiteral("C:\\Web\\x"), QLatin1Char('\\')),
              u"x");
}

}  // namespace
