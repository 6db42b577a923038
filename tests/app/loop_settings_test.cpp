#include "app/loop_settings.h"

#include <gtest/gtest.h>

TEST(LoopSettings, SearchCriteriaSurviveTheStoredFields) {
    for (const char* name : {"*.tar", "index", "abc*", "*abc*.h*", "a."}) {
        SCOPED_TRACE(name);
        SearchRequest r;
        r.kinds = SearchCriteria::File | SearchCriteria::Link;
        r.sizeRelation = SearchCriteria::AtMost;
        r.sizeValue = 2147483647;
        r.sizeUnit = SearchCriteria::Kb;
        r.name = QString::fromLatin1(name);
        SearchCriteria c;
        ASSERT_TRUE(ValidateSearch(r, &c).isEmpty());
        MixedSettings s;
        StoreSearchCriteria(s, c);
        EXPECT_EQ(SearchCriteriaFromSettings(s), c);
        EXPECT_EQ(SearchCriteriaFromSettings(s).patternText(), QString::fromLatin1(name));
    }
}

TEST(LoopSettings, StoredValuesTheWindowsCannotShowFallBack) {
    struct Case {
        const char* what;
        void (*spoil)(MixedSettings&);
        bool (*check)(const SearchCriteria&);
    } cases[] = {
        {"size beyond 32 bits", [](MixedSettings& s) { s.SearchSize = 5000000000; },
         [](const SearchCriteria& c) { return c.sizeValue == 0; }},
        {"negative size", [](MixedSettings& s) { s.SearchSize = -4; },
         [](const SearchCriteria& c) { return c.sizeValue == 0; }},
        {"unknown relation", [](MixedSettings& s) { s.SearchSizeCondition = 9; },
         [](const SearchCriteria& c) { return c.sizeRelation == SearchCriteria::NotUsed; }},
        {"unknown unit", [](MixedSettings& s) { s.SearchSizeUnit = 7; },
         [](const SearchCriteria& c) { return c.sizeUnit == SearchCriteria::Bytes; }},
        {"kind bits beyond the six", [](MixedSettings& s) { s.SearchItemKinds = 0x7fffffff; },
         [](const SearchCriteria& c) { return c.kinds == 0x3f; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MixedSettings s;
        c.spoil(s);
        EXPECT_TRUE(c.check(SearchCriteriaFromSettings(s)));
    }
    MixedSettings s;
    s.ChangeCaseTarget = 3;
    s.ChangeCaseItems = 0xff;
    EXPECT_EQ(ChangeCaseOptionsFromSettings(s),
              (ChangeCaseOptions{ChangeCaseOptions::Lower, 0x7f}));
    StoreChangeCaseOptions(s, {ChangeCaseOptions::Upper, 0x43});
    EXPECT_EQ(ChangeCaseOptionsFromSettings(s),
              (ChangeCaseOptions{ChangeCaseOptions::Upper, 0x43}));
}
