#include "fuzz_check.h"
#include "fuzz_targets.h"

#include "workspace/search_criteria.h"

// Input: kinds, size relation, four bytes of size, unit, case flag, then the
// name pattern as typed (UTF-8).
int fuzzSearchPattern(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    SearchRequest request;
    request.kinds = in.byte();
    request.sizeRelation = in.byte() % 3;
    const uint32_t low = in.word();
    request.sizeValue = qint32(low | (uint32_t(in.word()) << 16));
    request.sizeUnit = in.byte() % 4;
    request.caseSensitive = in.byte() & 1;
    request.name = QString::fromUtf8(in.rest());

    SearchCriteria criteria;
    const QString error = ValidateSearch(request, &criteria);
    if (!error.isEmpty())
        return 0;
    FUZZ_CHECK(criteria.kinds != 0 && (criteria.kinds & ~0x3f) == 0);
    FUZZ_CHECK(criteria.title.present() || criteria.extension.present());
    for (const NamePatternPart* part : {&criteria.title, &criteria.extension})
        FUZZ_CHECK(!part->text.contains(QLatin1Char('*')) &&
                   !part->text.contains(QLatin1Char('.')));

    // The pattern as shown validates again to the same criteria.
    SearchRequest again = request;
    again.name = criteria.patternText();
    SearchCriteria reread;
    FUZZ_CHECK(ValidateSearch(again, &reread).isEmpty());
    FUZZ_CHECK(reread == criteria);

    // A pattern without stars finds the file of exactly that name.
    const bool stars = criteria.title.leadingStar || criteria.title.trailingStar ||
                       criteria.extension.leadingStar || criteria.extension.trailingStar;
    const QByteArray name = criteria.patternText().toUtf8();
    if (!stars && (criteria.kinds & SearchCriteria::File) &&
        QString::fromUtf8(name) == criteria.patternText() && !name.contains('/') &&
        !name.contains('\0')) {
        RemoteItem item;
        item.kind = '-';
        item.name = name;
        item.size = criteria.sizeLimit();
        FUZZ_CHECK(MatchesSearch(item, criteria));
    }
    return 0;
}
