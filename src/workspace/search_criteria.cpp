#include "workspace/search_criteria.h"

#include "platform/program_texts.h"
#include "remote/local_name_guard.h"

qint64 SearchFilter::sizeLimit() const {
    static const qint64 units[] = {1, 1000, 1000000};
    return qint64(sizeValue) * (sizeUnit <= Mb ? units[sizeUnit] : 1);
}

static QString partText(const NamePatternPart& p) {
    return (p.leadingStar ? QStringLiteral("*") : QString()) + p.text +
           (p.trailingStar ? QStringLiteral("*") : QString());
}

QString SearchCriteria::patternText() const {
    if (!hasDot)
        return partText(title);
    return partText(title) + QLatin1Char('.') + partText(extension);
}

bool ParseNamePatternPart(const QString& text, NamePatternPart* part) {
    *part = NamePatternPart();
    const qsizetype stars = text.count(QLatin1Char('*'));
    if (stars > 2 || text.startsWith(QLatin1String("**")))
        return false;
    for (qsizetype i = 1; i + 1 < text.size(); ++i) {
        if (text[i] == QLatin1Char('*'))
            return false;
    }
    QString t = text;
    if (t.startsWith(QLatin1Char('*'))) {
        part->leadingStar = true;
        t.remove(0, 1);
    }
    if (t.endsWith(QLatin1Char('*'))) {
        part->trailingStar = true;
        t.chop(1);
    }
    part->text = t;
    return true;
}

QString ValidateSearch(const SearchRequest& r, SearchCriteria* criteria) {
    using namespace SearchTexts;
    const quint8 kinds = r.kinds & ItemKindBits::AllKinds;
    if (kinds == 0)
        return QString::fromLatin1(kNoKind);
    if (r.sizeRelation != SearchCriteria::NotUsed && r.sizeValue == 0)
        return QString::fromLatin1(kNoSize);
    if (r.sizeRelation != SearchCriteria::NotUsed && !(kinds & SearchCriteria::File))
        return QString::fromLatin1(kSizeNeedsFile);
    if (r.name.isEmpty())
        return QString::fromLatin1(kNoName);
    if (r.name.count(QLatin1Char('.')) > 1)
        return QString::fromLatin1(kTooManyDots);
    SearchCriteria c;
    static_cast<SearchFilter&>(c) = r;
    c.kinds = kinds;
    const qsizetype dot = r.name.indexOf(QLatin1Char('.'));
    c.hasDot = dot >= 0;
    const QString titleText = c.hasDot ? r.name.left(dot) : r.name;
    const QString extensionText = c.hasDot ? r.name.mid(dot + 1) : QString();
    if (titleText.isEmpty() && extensionText.isEmpty())
        return QString::fromLatin1(kBadName);
    if (!ParseNamePatternPart(titleText, &c.title))
        return QString::fromLatin1(kBadTitle);
    if (!ParseNamePatternPart(extensionText, &c.extension))
        return QString::fromLatin1(kBadExtension);
    if (c.title.present() && c.extension.present() && c.title.text.isEmpty() &&
        c.extension.text.isEmpty())
        return QString::fromLatin1(kAllFiles);
    if (c.title.present() && !c.extension.present() && c.title.text.isEmpty())
        return QString::fromLatin1(kNoTitle);
    if (criteria)
        *criteria = c;
    return QString();
}

bool MatchesPart(const QString& text, const NamePatternPart& part, bool caseSensitive) {
    if (text.isEmpty())
        return part.text.isEmpty();
    if (part.text.isEmpty())
        return part.leadingStar || part.trailingStar;
    // Every occurrence counts, not only the first: *o finds photo.
    const Qt::CaseSensitivity cs = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (part.leadingStar && part.trailingStar)
        return text.contains(part.text, cs);
    if (part.leadingStar)
        return text.endsWith(part.text, cs);
    if (part.trailingStar)
        return text.startsWith(part.text, cs);
    return text.compare(part.text, cs) == 0;
}

bool MatchesSearch(const RemoteItem& item, const SearchCriteria& c) {
    if (!(ItemKindBit(item.kind) & c.kinds))
        return false;
    if (item.kind == '-' && c.sizeRelation != SearchCriteria::NotUsed) {
        const qint64 limit = c.sizeLimit();
        if (c.sizeRelation == SearchCriteria::AtLeast && item.size < limit)
            return false;
        if (c.sizeRelation == SearchCriteria::AtMost && item.size > limit)
            return false;
    }
    const QString name = localNameOf(item.name);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) {
        if (!c.hasDot)
            return false;
        return MatchesPart(name.left(dot), c.title, c.caseSensitive) &&
               MatchesPart(name.mid(dot + 1), c.extension, c.caseSensitive);
    }
    if (c.hasDot)
        return false;
    return MatchesPart(name, c.title, c.caseSensitive);
}
