#pragma once

#include <QColor>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>
#include <vector>

// The program's own small tag language: text and tags such as
// <font size='14' color='255,0,0'>, <a href="...">, <br>, <hr>, <img>.
// Parsing never fails: unknown tags and attributes are kept for the layout to
// ignore, a tag without its closing '>' is text, a value without its closing
// quote runs to the end of the tag.
struct MarkupTag {
    QString name;  // lower case as written; "/font" for closing tags
    QList<QPair<QString, QString>> attributes;

    bool has(const QString& attribute) const;
    QString value(const QString& attribute) const;
};

struct MarkupToken {
    bool isTag = false;
    QString text;  // text tokens; line breaks removed
    MarkupTag tag;
};

std::vector<MarkupToken> TokenizeMarkup(const QString& markup);

// A colour value: "r,g,b" (each modulo 256); "none" or "transparant" for no
// colour. Anything with fewer than two commas leaves the colour unchanged.
struct MarkupColor {
    enum class Kind { Unchanged, None, Value };
    Kind kind = Kind::Unchanged;
    QColor color;
};
MarkupColor ParseMarkupColor(const QString& value);

struct MarkupTextStyle {
    QString face = QStringLiteral("Arial");
    int size = 12;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QColor color = Qt::black;
    std::optional<QColor> background;
    int align = 1;   // 0 left, 1 center, 2 right
    int valign = 1;  // 0 top, 1 middle, 2 bottom

    bool operator==(const MarkupTextStyle&) const = default;
};

// The letters b, i, u, s switch bold, italic, underline and strike-out on;
// a minus before a letter switches it off; other letters leave it alone.
void ApplyStyleLetters(const QString& value, MarkupTextStyle& style);
// The attributes of "font" and "a" applied to a style.
void ApplyStyleAttributes(const MarkupTag& tag, MarkupTextStyle& style);

// "#7" or "#argument#7": an action for the view's owner.
struct MarkupInternalLink {
    int action = 0;
    std::optional<QString> argument;
};
std::optional<MarkupInternalLink> ParseInternalLink(const QString& target);
