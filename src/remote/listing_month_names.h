#pragma once

#include <QByteArrayView>

// Month names as servers write them in English, German, French, Spanish,
// Italian, Dutch and Hungarian: short and full forms, any ASCII letter case,
// accented letters in UTF-8 or Latin-1 and in either case.
struct MonthNameMatch {
    qsizetype length = 0;  // bytes of the name in the text; 0: no month name
    int number = 0;        // 1-12
};

// The longest month name that starts at `pos` in `text` and is not followed by
// a letter. A month name is never followed by a letter, so "Junk" and "März"
// are told apart from "Jun" and "Mär".
MonthNameMatch MatchMonthName(QByteArrayView text, qsizetype pos);
