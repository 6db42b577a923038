#include "fuzz_check.h"
#include "fuzz_targets.h"

#include "extras/markup_parser.h"

#include <algorithm>

namespace {

bool isSpace(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\n');
}

}  // namespace

// Input: markup text, as UTF-8.
int fuzzMarkup(const uint8_t* data, size_t size) {
    const QString markup = QString::fromUtf8(fuzzBytes(data, size));
    const std::vector<MarkupToken> tokens = TokenizeMarkup(markup);
    qsizetype textLength = 0;
    MarkupTextStyle style;
    bool previousWasText = false;
    for (const MarkupToken& token : tokens) {
        if (!token.isTag) {
            // Text between tags comes as one token without its line breaks.
            FUZZ_CHECK(!token.text.isEmpty());
            FUZZ_CHECK(!token.text.contains(QLatin1Char('\r')) &&
                       !token.text.contains(QLatin1Char('\n')));
            FUZZ_CHECK(!previousWasText);
            textLength += token.text.size();
            previousWasText = true;
            continue;
        }
        previousWasText = false;
        const MarkupTag& tag = token.tag;
        FUZZ_CHECK(!tag.name.isEmpty());
        FUZZ_CHECK(std::none_of(tag.name.begin(), tag.name.end(), isSpace));
        FUZZ_CHECK(!tag.name.contains(QLatin1Char('>')));
        for (const auto& [name, value] : tag.attributes) {
            FUZZ_CHECK(!name.isEmpty());
            FUZZ_CHECK(tag.has(name));
            const MarkupColor color = ParseMarkupColor(value);
            if (color.kind == MarkupColor::Kind::Value)
                FUZZ_CHECK(color.color.isValid());
            if (const auto link = ParseInternalLink(value))
                FUZZ_CHECK(link->action >= 0);
        }
        ApplyStyleAttributes(tag, style);
        FUZZ_CHECK(style.size >= 1 && style.size <= 1999);
        FUZZ_CHECK(style.align >= 0 && style.align <= 2);
        FUZZ_CHECK(style.valign >= 0 && style.valign <= 2);
        FUZZ_CHECK(!style.face.isEmpty());
        FUZZ_CHECK(style.color.isValid());
    }
    // Entities only shrink the text.
    FUZZ_CHECK(textLength <= markup.size());
    return 0;
}
