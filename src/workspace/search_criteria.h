#pragma once

#include "remote/remote_item.h"
#include "workspace/item_kind_bits.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// One side of the dot of a search name: *abc* is (yes, abc, yes).
struct NamePatternPart {
    bool leadingStar = false;
    QString text;
    bool trailingStar = false;

    bool present() const { return leadingStar || trailingStar || !text.isEmpty(); }
    bool operator==(const NamePatternPart&) const = default;
};

// What a search keeps to besides the name, the same in the request as typed
// and in the checked criteria: the kinds, the size limit and whether the
// name's case counts.
struct SearchFilter : ItemKindBits {
    enum SizeRelation : quint8 { NotUsed = 0, AtLeast = 1, AtMost = 2 };
    enum SizeUnit : quint8 { Bytes = 0, Kb = 1, Mb = 2 };

    quint8 kinds = 0;
    quint8 sizeRelation = NotUsed;
    qint32 sizeValue = 0;
    quint8 sizeUnit = Bytes;
    bool caseSensitive = false;

    // The size limit in bytes.
    qint64 sizeLimit() const;
    bool operator==(const SearchFilter&) const = default;
};

// What the search loop looks for.
struct SearchCriteria : SearchFilter {
    bool hasDot = false;
    NamePatternPart title;
    NamePatternPart extension;

    // The name as the user would type it again.
    QString patternText() const;
    bool operator==(const SearchCriteria&) const = default;
};

// Splits one side of the dot; false when it is not a pattern (more than two
// stars, two stars at the start, or a star inside).
bool ParseNamePatternPart(const QString& text, NamePatternPart* part);

// What the search window's controls hold before validation.
struct SearchRequest : SearchFilter {
    QString name;
};

// Checks a request in the window's order; on success fills criteria and returns
// an empty text, else returns the message to show.
QString ValidateSearch(const SearchRequest& request, SearchCriteria* criteria);

// True when a text matches one part: a star stands for any text, at the start,
// the end or both.
bool MatchesPart(const QString& text, const NamePatternPart& part, bool caseSensitive);
// Kind, size and name.
bool MatchesSearch(const RemoteItem& item, const SearchCriteria& criteria);
