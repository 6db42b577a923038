#include "extras/content_rules.h"
#include "extras/file_text.h"

#include <gtest/gtest.h>

#include <QStringDecoder>

TEST(ContentRules, ClassifiesAndRemarksAsBothFeaturesShowThem) {
    const struct {
        QByteArray bytes;
        ContentKind kind;
        QString before;
        QString text;
        QString after;
    } cases[] = {
        {QByteArray(), ContentKind::ZeroSize, "The file size is zero", "",
         "\n(The file size is zero byte)\n"},
        {QByteArray("\0abc", 4), ContentKind::Binary, "The file size is NOT a text file", "",
         "\n(The file size is zero byte)\n"},
        {QByteArray("PK\x03\x04\0\0zip", 9), ContentKind::Binary,
         "The file size is NOT a text file", "PK\x03\x04", ""},
        {QByteArray(" \n\n\t \r\n\x1c\xff"), ContentKind::BlankLike, "",
         QString::fromLatin1(" \n\n\t \n\x1c\xff"),  // ends shown plain
         "\n(The file content is empty,\nfile size is 9 bytes)\n"},
        {QByteArray(2000, '\n'), ContentKind::BlankLike, "", QString(2000, QLatin1Char('\n')),
         "\n(The file content is empty,\nfile size is 2,000 bytes)\n"},
        {QByteArray("PHP Warning: x\n"), ContentKind::Text, "", "PHP Warning: x\n", ""},
        // Byte 27 and 127 are not blank-like.
        {QByteArray("\x1b"), ContentKind::Text, "", "\x1b", ""},
        {QByteArray("\x7f\n"), ContentKind::Text, "", "\x7f\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().constData());
        EXPECT_EQ(ClassifyContent(c.bytes), c.kind);
        const ConcernedFileContent page = ConcernedFileContentOf(c.bytes);
        EXPECT_EQ(page.remarkBefore, c.before);
        EXPECT_EQ(page.text.text, c.text);
        EXPECT_EQ(page.remarkAfter, c.after);
        EXPECT_EQ(page.binary, c.kind == ContentKind::Binary);
    }
}

TEST(ContentRules, WizardTextsCarryTheirNumbers) {
    EXPECT_EQ(WizardTexts::completed(WizardTexts::unprintable(12)),
              "Downloading completed: this is a text file of 12 bytes, but all characters are "
              "un-printable.");
    EXPECT_EQ(WizardTexts::textProperties(1234567), "Text file\nsize\t1,234,567 bytes\n");
    EXPECT_EQ(WizardTexts::imageProperties(2048, 1600, 900),
              "Image file\nsize\t2,048 bytes\nwidth\t1,600 pixels\nheight\t900 pixels\n");
    EXPECT_EQ(WizardTexts::noViewProperties(-1), "The file hasn't been downloaded yet.");
    EXPECT_EQ(WizardTexts::noViewProperties(4096), "Unknown format, file size is 4096 bytes");
    EXPECT_EQ(WizardTexts::title("/www/logs", "error_log"), "FTP wizard -- /www/logs/error_log");
    EXPECT_EQ(WizardTexts::title("/", "a.png"), "FTP wizard -- /a.png");
}

TEST(FileText, UneditedTextEncodesBackByteForByte) {
    const QByteArray cases[] = {
        QByteArray("plain\nlines\n"),
        QByteArray("dos\r\nlines\r\n"),
        QByteArray("mixed\r\nends\nand a lone \r here"),
        QByteArray("\xef\xbb\xbfwith a mark \xc3\xa9\n"),
        QByteArray("latin-1 caf\xe9 \xff\xfe\x80\n"),
        QByteArray("cut utf-8 \xe2\x82"),
        QByteArray(""),
    };
    for (const QByteArray& bytes : cases) {
        SCOPED_TRACE(bytes.toHex().constData());
        const FileText shown = FileText::decode(bytes);
        bool ok = false;
        EXPECT_EQ(shown.encode(shown.text, &ok), bytes);
        EXPECT_TRUE(ok);
    }
}

// An edit changes no line end the user did not touch.
TEST(FileText, EachLineKeepsItsOwnEnd) {
    const struct {
        const char* what;
        QByteArray file;
        QString edited;
        QByteArray sent;
    } cases[] = {
        {"a line edited in place", "a\r\nb\nc\rd\r\n", "a\nbX\nc\nd\n", "a\r\nbX\nc\rd\r\n"},
        {"a line added takes the common end", "a\r\nb\nc\r\n", "a\nnew\nb\nc\n",
         "a\r\nnew\r\nb\nc\r\n"},
        {"a line removed", "a\rb\nc\r\n", "a\nc\n", "a\rc\r\n"},
        {"an end added to the last line", "a\r\nb", "a\nb\n", "a\r\nb\r\n"},
        {"plain ends stay plain", "a\nb\n", "a\nb\nc\n", "a\nb\nc\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FileText::decode(c.file).encode(c.edited), c.sent);
    }
}

TEST(FileText, EditedTextGoesOutInTheEncodingItWasShownIn) {
    const FileText utf8 = FileText::decode("caf\xc3\xa9\r\n");
    EXPECT_EQ(utf8.encoding, FileText::Encoding::Utf8);
    EXPECT_EQ(utf8.text, QString::fromUtf8("caf\xc3\xa9\n"));
    EXPECT_EQ(utf8.encode(utf8.text + QString::fromUtf8("\xe2\x82\xac\n")),
              QByteArray("caf\xc3\xa9\r\n\xe2\x82\xac\r\n"));

    const FileText latin = FileText::decode("caf\xe9\n");
    EXPECT_EQ(latin.encoding, FileText::Encoding::Latin1);
    EXPECT_EQ(latin.text, QString::fromUtf8("caf\xc3\xa9\n"));
    bool ok = true;
    EXPECT_EQ(latin.encode(QString::fromUtf8("\xc3\xa9t\xc3\xa9\n")), QByteArray("\xe9t\xe9\n"));
    EXPECT_EQ(latin.encode(QString::fromUtf8("\xe2\x82\xac"), &ok), QByteArray("?"));
    EXPECT_FALSE(ok);
}
