#include "workspace/search_criteria.h"
#include "platform/program_texts.h"

#include <gtest/gtest.h>

namespace {

SearchRequest named(const QString& name, quint8 kinds = SearchCriteria::File) {
    SearchRequest r;
    r.kinds = kinds;
    r.name = name;
    return r;
}

RemoteItem entry(const char* name, char kind = '-', qint64 size = 10) {
    RemoteItem item;
    item.name = name;
    item.kind = kind;
    item.size = size;
    return item;
}

}  // namespace

TEST(SearchValidation, MessagesInTheWindowsOrder) {
    SearchRequest sizeNoValue = named("a.txt");
    sizeNoValue.sizeRelation = SearchCriteria::AtLeast;
    SearchRequest sizeNoFile = named("a.txt", SearchCriteria::Folder);
    sizeNoFile.sizeRelation = SearchCriteria::AtMost;
    sizeNoFile.sizeValue = 5;
    SearchRequest noKindNoName;  // the kind is checked first
    struct Case {
        SearchRequest request;
        const char* message;  // empty: accepted
    } cases[] = {
        {noKindNoName, SearchTexts::kNoKind},
        {sizeNoValue, SearchTexts::kNoSize},
        {sizeNoFile, SearchTexts::kSizeNeedsFile},
        {named(""), SearchTexts::kNoName},
        {named("a.b.c"), SearchTexts::kTooManyDots},
        {named("."), SearchTexts::kBadName},
        {named("a**"), SearchTexts::kBadTitle},
        {named("*a*b"), SearchTexts::kBadTitle},
        {named("**a"), SearchTexts::kBadTitle},
        {named("x.a*b"), SearchTexts::kBadExtension},
        {named("*.*"), SearchTexts::kAllFiles},
        {named("*"), SearchTexts::kNoTitle},
        {named("*."), SearchTexts::kNoTitle},
        {named("*.txt"), ""},
        {named("index"), ""},
        {named(".htaccess"), ""},
        {named("*abc*"), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request.name.toStdString());
        SearchCriteria criteria;
        EXPECT_EQ(ValidateSearch(c.request, &criteria).toStdString(), std::string(c.message));
    }
}

TEST(SearchValidation, SplitsTheNameIntoParts) {
    struct Case {
        const char* name;
        bool hasDot;
        NamePatternPart title;
        NamePatternPart extension;
    } cases[] = {
        {"abc", false, {false, "abc", false}, {}},
        {"*abc", false, {true, "abc", false}, {}},
        {"abc*", false, {false, "abc", true}, {}},
        {"*abc*", false, {true, "abc", true}, {}},
        {"index.*", true, {false, "index", false}, {true, "", false}},
        {"*.tar", true, {true, "", false}, {false, "tar", false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SearchCriteria criteria;
        ASSERT_TRUE(ValidateSearch(named(c.name), &criteria).isEmpty());
        EXPECT_EQ(criteria.hasDot, c.hasDot);
        EXPECT_EQ(criteria.title, c.title);
        EXPECT_EQ(criteria.extension, c.extension);
        EXPECT_EQ(criteria.patternText().toStdString(), std::string(c.name));
    }
}

TEST(SearchMatcher, NamesKindsAndSizes) {
    const quint8 all = 0x3f;
    auto criteria = [](const char* name, quint8 kinds, bool caseSensitive = false,
                       quint8 relation = SearchCriteria::NotUsed, qint32 value = 0,
                       quint8 unit = SearchCriteria::Bytes) {
        SearchRequest r = named(name, kinds);
        r.caseSensitive = caseSensitive;
        r.sizeRelation = relation;
        r.sizeValue = value;
        r.sizeUnit = unit;
        SearchCriteria c;
        EXPECT_TRUE(ValidateSearch(r, &c).isEmpty()) << name;
        return c;
    };
    struct Case {
        const char* what;
        SearchCriteria criteria;
        RemoteItem item;
        bool matches;
    } cases[] = {
        {"index finds index", criteria("index", all), entry("index"), true},
        {"index misses index.html", criteria("index", all), entry("index.html"), false},
        {"index.* finds index.html", criteria("index.*", all), entry("index.html"), true},
        {"index.* finds index.php", criteria("index.*", all), entry("index.php"), true},
        {"index.* misses index", criteria("index.*", all), entry("index"), false},
        {"*.tar finds a.tar", criteria("*.tar", all), entry("a.tar"), true},
        {"*.tar finds a.b.tar", criteria("*.tar", all), entry("a.b.tar"), true},
        {"*abc finds abcabc", criteria("*abc", all), entry("abcabc"), true},
        {"*o.jpg finds photo.JPG", criteria("*o.jpg", all), entry("photo.JPG"), true},
        {"*abc misses abcab", criteria("*abc", all), entry("abcab"), false},
        {"*abc finds xabc", criteria("*abc", all), entry("xabc"), true},
        {"abc* finds abcabc", criteria("abc*", all), entry("abcabc"), true},
        {"*bc* finds abcd", criteria("*bc*", all), entry("abcd"), true},
        {"case ignored", criteria("README", all), entry("readme"), true},
        {"case kept", criteria("README", all, true), entry("readme"), false},
        {"empty extension needs empty text", criteria("a.", all), entry("a."), true},
        {"a. misses a.b", criteria("a.", all), entry("a.b"), false},
        {"dot file has an empty title", criteria(".htaccess", all), entry(".htaccess"), true},
        {"folder needs its bit", criteria("www", SearchCriteria::File), entry("www", 'd'), false},
        {"folder with its bit", criteria("www", SearchCriteria::Folder), entry("www", 'd'), true},
        {"unknown kind is Others", criteria("p", SearchCriteria::Others), entry("p", 'p'), true},
        {"at most 1 kb keeps 1000",
         criteria("*.bin", all, false, SearchCriteria::AtMost, 1, SearchCriteria::Kb),
         entry("a.bin", '-', 1000), true},
        {"at most 1 kb drops 1001",
         criteria("*.bin", all, false, SearchCriteria::AtMost, 1, SearchCriteria::Kb),
         entry("a.bin", '-', 1001), false},
        {"at least 2 mb drops 1999999",
         criteria("*.bin", all, false, SearchCriteria::AtLeast, 2, SearchCriteria::Mb),
         entry("a.bin", '-', 1999999), false},
        {"folders are not filtered by size",
         criteria("*.bin", all, false, SearchCriteria::AtLeast, 2, SearchCriteria::Mb),
         entry("a.bin", 'd', 0), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(MatchesSearch(c.item, c.criteria), c.matches);
    }
}
