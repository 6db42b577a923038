#include "extras/markup_parser.h"

#include <gtest/gtest.h>

TEST(MarkupParser, ColoursAndStyleLetters) {
    const struct {
        QString value;
        MarkupColor::Kind kind;
        QColor color;
    } colours[] = {
        {"255,164,0", MarkupColor::Kind::Value, QColor(255, 164, 0)},
        {" 256 , 513,-1", MarkupColor::Kind::Value, QColor(0, 1, 255)},
        {"none", MarkupColor::Kind::None, QColor()},
        {"transparant", MarkupColor::Kind::None, QColor()},
        {"12,40", MarkupColor::Kind::Unchanged, QColor()},
        {"", MarkupColor::Kind::Unchanged, QColor()},
    };
    for (const auto& c : colours) {
        const MarkupColor parsed = ParseMarkupColor(c.value);
        EXPECT_EQ(parsed.kind, c.kind) << c.value.toStdString();
        if (c.kind == MarkupColor::Kind::Value) {
            EXPECT_EQ(parsed.color, c.color) << c.value.toStdString();
        }
    }

    const struct {
        QString letters;
        bool boldBefore;
        bool bold, italic, underline, strike;
    } styles[] = {
        {"b", false, true, false, false, false},  {"bu", false, true, false, true, false},
        {"-b", true, false, false, false, false}, {"bI-b", false, false, true, false, false},
        {"S", true, true, false, false, true},    {"x", true, true, false, false, false},
    };
    for (const auto& s : styles) {
        MarkupTextStyle style;
        style.bold = s.boldBefore;
        ApplyStyleLetters(s.letters, style);
        EXPECT_EQ(style.bold, s.bold) << s.letters.toStdString();
        EXPECT_EQ(style.italic, s.italic) << s.letters.toStdString();
        EXPECT_EQ(style.underline, s.underline) << s.letters.toStdString();
        EXPECT_EQ(style.strikeOut, s.strike) << s.letters.toStdString();
    }
}

TEST(MarkupParser, TokensSurviveBrokenMarkup) {
    const struct {
        QString markup;
        QStringList expected;  // tags as "<name a=v>", text as is
    } cases[] = {
        {"<font size='14' face=\"Tahoma\">Hi</font>",
         {"<font size=14 face=Tahoma>", "Hi", "</font>"}},
        {"<a href='x>y'>go</a>", {"<a href=x>y>", "go", "</a>"}},
        {"<font color='1,2,3>text<br>", {"<font color=1,2,3>", "text", "<br>"}},
        {"one\r\ntwo<br>three", {"onetwo", "<br>", "three"}},
        {"a < b and <unclosed", {"a < b and <unclosed"}},
        {"<blink>x</blink>", {"<blink>", "x", "</blink>"}},
        {"&lt;tag&gt; &amp;", {"<tag> &"}},
    };
    for (const auto& c : cases) {
        QStringList got;
        for (const MarkupToken& t : TokenizeMarkup(c.markup)) {
            if (!t.isTag) {
                got << t.text;
                continue;
            }
            QString s = QLatin1Char('<') + t.tag.name;
            for (const auto& a : t.tag.attributes)
                s += QLatin1Char(' ') + a.first + QLatin1Char('=') + a.second;
            got << s + QLatin1Char('>');
        }
        EXPECT_EQ(got, c.expected) << c.markup.toStdString();
    }
}

TEST(MarkupParser, FontAttributesAndInternalLinks) {
    MarkupTextStyle style;
    MarkupTag tag;
    tag.attributes = {{"size", "2000"},       {"face", "Tahoma"}, {"color", "255,255,255"},
                      {"background", "none"}, {"align", "right"}, {"valign", "bottom"},
                      {"style", "bi"}};
    ApplyStyleAttributes(tag, style);
    EXPECT_EQ(style.size, 12);
    EXPECT_EQ(style.face, "Tahoma");
    EXPECT_EQ(style.color, QColor(Qt::white));
    EXPECT_FALSE(style.background.has_value());
    EXPECT_EQ(style.align, 2);
    EXPECT_EQ(style.valign, 2);
    EXPECT_TRUE(style.bold && style.italic);
    tag.attributes = {{"size", "1999"}, {"background", "0,0,0"}};
    ApplyStyleAttributes(tag, style);
    EXPECT_EQ(style.size, 1999);
    EXPECT_EQ(style.background, QColor(Qt::black));

    EXPECT_EQ(ParseInternalLink("#12")->action, 12);
    EXPECT_FALSE(ParseInternalLink("#12")->argument.has_value());
    EXPECT_EQ(ParseInternalLink("#page two#3")->argument, "page two");
    EXPECT_EQ(ParseInternalLink("#page two#3")->action, 3);
    EXPECT_FALSE(ParseInternalLink("https://example.org/#3"));
    EXPECT_FALSE(ParseInternalLink("#abc"));
    EXPECT_FALSE(ParseInternalLink("#"));
}
