#include "extras/markup_parser.h"

namespace {

bool isSpace(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\n');
}

QString decodeEntities(QString text) {
    if (!text.contains(QLatin1Char('&')))
        return text;
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    text.replace(QStringLiteral("&nbsp;"), QString(QChar(0xa0)));
    text.replace(QStringLiteral("&copy;"), QString(QChar(0xa9)));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text;
}

// Reads the tag starting after '<' up to its '>' (quotes may hold '>').
// Returns the index after '>' or -1 when the tag never closes.
qsizetype parseTag(const QString& s, qsizetype i, MarkupTag& tag) {
    const qsizetype n = s.size();
    while (i < n && isSpace(s[i]))
        ++i;
    qsizetype start = i;
    while (i < n && !isSpace(s[i]) && s[i] != QLatin1Char('>'))
        ++i;
    tag.name = s.mid(start, i - start);
    for (;;) {
        while (i < n && isSpace(s[i]))
            ++i;
        if (i >= n)
            return -1;
        if (s[i] == QLatin1Char('>'))
            return i + 1;
        start = i;
        while (i < n && !isSpace(s[i]) && s[i] != QLatin1Char('=') && s[i] != QLatin1Char('>'))
            ++i;
        const QString name = s.mid(start, i - start);
        while (i < n && isSpace(s[i]))
            ++i;
        QString value;
        if (i < n && s[i] == QLatin1Char('=')) {
            ++i;
            while (i < n && isSpace(s[i]))
                ++i;
            if (i < n && (s[i] == QLatin1Char('"') || s[i] == QLatin1Char('\''))) {
                const QChar quote = s[i++];
                qsizetype close = s.indexOf(quote, i);
                const qsizetype nextTag = s.indexOf(QLatin1Char('<'), i);
                if (close < 0 || (nextTag >= 0 && nextTag < close)) {
                    // The quote never closes inside this tag: the value runs
                    // to the end of the tag.
                    const qsizetype tagEnd = s.indexOf(QLatin1Char('>'), i);
                    if (tagEnd < 0)
                        return -1;
                    if (!name.isEmpty())
                        tag.attributes.append({name, s.mid(i, tagEnd - i)});
                    return tagEnd + 1;
                }
                value = s.mid(i, close - i);
                i = close + 1;
            } else {
                start = i;
                while (i < n && !isSpace(s[i]) && s[i] != QLatin1Char('>'))
                    ++i;
                value = s.mid(start, i - start);
            }
        }
        if (!name.isEmpty())
            tag.attributes.append({name, value});
    }
}

}  // namespace

bool MarkupTag::has(const QString& attribute) const {
    for (const auto& a : attributes)
        if (a.first == attribute)
            return true;
    return false;
}

QString MarkupTag::value(const QString& attribute) const {
    for (const auto& a : attributes)
        if (a.first == attribute)
            return a.second;
    return {};
}

std::vector<MarkupToken> TokenizeMarkup(const QString& markup) {
    std::vector<MarkupToken> tokens;
    QString text;
    auto flushText = [&] {
        if (!text.isEmpty()) {
            MarkupToken t;
            t.text = decodeEntities(text);
            tokens.push_back(t);
            text.clear();
        }
    };
    qsizetype i = 0;
    const qsizetype n = markup.size();
    // A tag needs a '>' after its '<'; without this check a long run of
    // unclosed '<' would rescan the rest of the page for each one.
    const qsizetype lastClose = markup.lastIndexOf(QLatin1Char('>'));
    while (i < n) {
        const QChar c = markup[i];
        if (c == QLatin1Char('<') && i < lastClose) {
            MarkupTag tag;
            const qsizetype next = parseTag(markup, i + 1, tag);
            if (next > 0 && !tag.name.isEmpty()) {
                flushText();
                MarkupToken t;
                t.isTag = true;
                t.tag = tag;
                tokens.push_back(t);
                i = next;
                continue;
            }
            // Never closed: what follows is text.
        }
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            text.append(c);
        ++i;
    }
    flushText();
    return tokens;
}

MarkupColor ParseMarkupColor(const QString& value) {
    MarkupColor out;
    const QString v = value.trimmed();
    if (v.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0 ||
        v.compare(QLatin1String("transparant"), Qt::CaseInsensitive) == 0) {
        out.kind = MarkupColor::Kind::None;
        return out;
    }
    const QStringList parts = v.split(QLatin1Char(','));
    if (parts.size() < 3)
        return out;
    int rgb[3];
    for (int k = 0; k < 3; ++k) {
        bool ok = false;
        const long long number = parts[k].trimmed().toLongLong(&ok);
        rgb[k] = ok ? int(((number % 256) + 256) % 256) : 0;
    }
    out.kind = MarkupColor::Kind::Value;
    out.color = QColor(rgb[0], rgb[1], rgb[2]);
    return out;
}

void ApplyStyleLetters(const QString& value, MarkupTextStyle& style) {
    const auto apply = [&](QChar letter, bool& flag) {
        const QString lower = QString(letter);
        const QString upper = lower.toUpper();
        if (value.contains(QLatin1Char('-') + lower) || value.contains(QLatin1Char('-') + upper))
            flag = false;
        else if (value.contains(letter, Qt::CaseInsensitive))
            flag = true;
    };
    apply(QLatin1Char('b'), style.bold);
    apply(QLatin1Char('i'), style.italic);
    apply(QLatin1Char('u'), style.underline);
    apply(QLatin1Char('s'), style.strikeOut);
}

void ApplyStyleAttributes(const MarkupTag& tag, MarkupTextStyle& style) {
    for (const auto& [name, value] : tag.attributes) {
        if (name == QLatin1String("size")) {
            bool ok = false;
            const int size = value.trimmed().toInt(&ok);
            if (ok && size >= 1 && size <= 1999)
                style.size = size;
        } else if (name == QLatin1String("face")) {
            if (!value.trimmed().isEmpty())
                style.face = value.trimmed();
        } else if (name == QLatin1String("style")) {
            ApplyStyleLetters(value, style);
        } else if (name == QLatin1String("color")) {
            const MarkupColor c = ParseMarkupColor(value);
            // Text has no transparent colour; "none" keeps what it was.
            if (c.kind == MarkupColor::Kind::Value)
                style.color = c.color;
        } else if (name == QLatin1String("background")) {
            const MarkupColor c = ParseMarkupColor(value);
            if (c.kind == MarkupColor::Kind::Value)
                style.background = c.color;
            else if (c.kind == MarkupColor::Kind::None)
                style.background.reset();
        } else if (name == QLatin1String("align")) {
            if (value == QLatin1String("left"))
                style.align = 0;
            else if (value == QLatin1String("center"))
                style.align = 1;
            else if (value == QLatin1String("right"))
                style.align = 2;
        } else if (name == QLatin1String("valign")) {
            if (value == QLatin1String("top"))
                style.valign = 0;
            else if (value == QLatin1String("middle"))
                style.valign = 1;
            else if (value == QLatin1String("bottom"))
                style.valign = 2;
        }
    }
}

std::optional<MarkupInternalLink> ParseInternalLink(const QString& target) {
    if (!target.startsWith(QLatin1Char('#')))
        return std::nullopt;
    const QString rest = target.mid(1);
    const qsizetype hash = rest.lastIndexOf(QLatin1Char('#'));
    MarkupInternalLink link;
    QString number = rest;
    if (hash >= 0) {
        link.argument = rest.left(hash);
        number = rest.mid(hash + 1);
    }
    bool ok = false;
    link.action = number.toInt(&ok);
    if (!ok || number.isEmpty() || !number.front().isDigit())
        return std::nullopt;
    return link;
}
