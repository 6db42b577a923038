#include "workspace/file_category.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

struct CategoryRow {
    FileCategory category;
    const char* extensions;
};

// Copied from the category table; every entry must be found, also in upper
// case, which catches a list that is out of order for the binary search.
const CategoryRow kTable[] = {
    {FileCategory::Archive,
     "7z ace arj bz bz2 cab cpio gz jar lha lzh rar rev tar taz tbz tbz2 tgz uu uue xxe zip"},
    {FileCategory::Image,
     "bmp dds dng eps gif icb ico jpe jpeg jpg pct pcx pdd pdf pdp pic png psd pxr raw rle sct "
     "tga thm tif vda vst yuv"},
    {FileCategory::WebPage, "asp aspx cer cf csr htm html jsp php rss shtm shtml xhtml xml"},
    {FileCategory::Document,
     "abw c chm cpp css djv djvu doc docm docx gan h hwp java js log odm odt pdb psw rtf sdw sgl "
     "stw sxg sxw txt uof uot wpd wps"},
    {FileCategory::Program, "app bat cgi com exe pif wsf"},
    {FileCategory::Video, "3g2 3gp asf asx avi flv mov mp4 mpg rm srt swf vob wmv"},
    {FileCategory::Audio, "aif iff m3u m4a mid mp3 mpa ra wav wma"},
};

TEST(FileCategory, EveryListedExtensionFindsItsCategoryInAnyCase) {
    for (const CategoryRow& row : kTable) {
        for (const QString& ext : QString::fromLatin1(row.extensions).split(QLatin1Char(' '))) {
            EXPECT_EQ(row.category, ClassifyFileName(QStringLiteral("name.") + ext))
                << qPrintable(ext);
            EXPECT_EQ(row.category, ClassifyFileName(QStringLiteral("NAME.") + ext.toUpper()))
                << qPrintable(ext);
        }
    }
}

TEST(FileCategory, NamesWithoutAUsableExtensionAreOther) {
    const struct {
        const char* name;
        FileCategory category;
    } cases[] = {
        {".htaccess", FileCategory::Other},  {"README", FileCategory::Other},
        {"Photo.JPG", FileCategory::Image},  {"archive.tar.gz", FileCategory::Archive},
        {"notes.", FileCategory::Other},     {"", FileCategory::Other},
        {"tar", FileCategory::Other},        {".tar", FileCategory::Other},
        {"a.b.html", FileCategory::WebPage}, {"x.docxx", FileCategory::Other},
        {"x.ht", FileCategory::Other},       {"..mp3", FileCategory::Audio},
        {"x.zz", FileCategory::Other},       {"x.7Z", FileCategory::Archive},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.category, ClassifyFileName(QString::fromUtf8(c.name))) << c.name;
    }
    // Any character above 127 makes the name Other, wherever it stands.
    EXPECT_EQ(FileCategory::Other, ClassifyFileName(QStringLiteral("r\u00e9sum\u00e9.pdf")));
    EXPECT_EQ(FileCategory::Other, ClassifyFileName(QStringLiteral("photo.jpg\u00a0")));
}

TEST(FileCategory, TypeTextIsTheLastExtensionAsWritten) {
    EXPECT_EQ(QStringLiteral("gz"), FileTypeText(QStringLiteral("archive.tar.gz")));
    EXPECT_EQ(QStringLiteral("JPG"), FileTypeText(QStringLiteral("Photo.JPG")));
    EXPECT_EQ(QString(), FileTypeText(QStringLiteral(".htaccess")));
    EXPECT_EQ(QString(), FileTypeText(QStringLiteral("README")));
    EXPECT_EQ(QString(), FileTypeText(QStringLiteral("notes.")));
    EXPECT_EQ(QStringLiteral("conf"), FileTypeText(QStringLiteral(".app.conf")));
}

}  // namespace
