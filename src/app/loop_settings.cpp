#include "app/loop_settings.h"

#include <limits>

SearchCriteria SearchCriteriaFromSettings(const MixedSettings& s) {
    SearchCriteria c;
    c.kinds = quint8(s.SearchItemKinds & ItemKindBits::AllKinds);
    c.sizeRelation = s.SearchSizeCondition <= SearchCriteria::AtMost
                         ? s.SearchSizeCondition
                         : quint8(SearchCriteria::NotUsed);
    c.sizeValue = s.SearchSize >= 0 && s.SearchSize <= std::numeric_limits<qint32>::max()
                      ? qint32(s.SearchSize)
                      : 0;
    c.sizeUnit =
        s.SearchSizeUnit <= SearchCriteria::Mb ? s.SearchSizeUnit : quint8(SearchCriteria::Bytes);
    c.caseSensitive = s.SearchCaseSensitive != 0;
    c.hasDot = s.SearchNameHasDot != 0;
    c.title = {s.SearchTitleStartsWithWildcard != 0, QString::fromUtf8(s.SearchTitle),
               s.SearchTitleEndsWithWildcard != 0};
    if (c.hasDot)
        c.extension = {s.SearchExtensionStartsWithWildcard != 0,
                       QString::fromUtf8(s.SearchExtension),
                       s.SearchExtensionEndsWithWildcard != 0};
    return c;
}

void StoreSearchCriteria(MixedSettings& s, const SearchCriteria& c) {
    s.SearchItemKinds = c.kinds;
    s.SearchSizeCondition = c.sizeRelation;
    s.SearchSize = c.sizeValue;
    s.SearchSizeUnit = c.sizeUnit;
    s.SearchCaseSensitive = c.caseSensitive ? 1 : 0;
    s.SearchNameHasDot = c.hasDot ? 1 : 0;
    s.SearchTitleStartsWithWildcard = c.title.leadingStar ? 1 : 0;
    s.SearchTitleEndsWithWildcard = c.title.trailingStar ? 1 : 0;
    s.SearchTitle = c.title.text.toUtf8();
    s.SearchExtensionStartsWithWildcard = c.extension.leadingStar ? 1 : 0;
    s.SearchExtensionEndsWithWildcard = c.extension.trailingStar ? 1 : 0;
    s.SearchExtension = c.extension.text.toUtf8();
}

ChangeCaseOptions ChangeCaseOptionsFromSettings(const MixedSettings& s) {
    ChangeCaseOptions o;
    o.target = s.ChangeCaseTarget == ChangeCaseOptions::Upper ? ChangeCaseOptions::Upper
                                                              : ChangeCaseOptions::Lower;
    o.bits =
        quint8(s.ChangeCaseItems & (ChangeCaseOptions::AllKinds | ChangeCaseOptions::SubFolders));
    return o;
}

void StoreChangeCaseOptions(MixedSettings& s, const ChangeCaseOptions& o) {
    s.ChangeCaseTarget = o.target;
    s.ChangeCaseItems = o.bits;
}
