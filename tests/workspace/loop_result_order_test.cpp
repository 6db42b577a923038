#include <gtest/gtest.h>

#include <QStringList>

#include "workspace/loop_result_order.h"

namespace {

const QDate kToday(2026, 3, 10);

SearchRow Found(char kind, const char* name, qint64 size, int month, const char* permissions,
                const char* owner, const char* folder) {
    SearchRow r;
    r.item.kind = kind;
    r.item.name = name;
    r.item.size = size;
    r.item.month = month;  // no year: month 12 is last December's
    r.item.day = 1;
    r.item.permissions = permissions;
    r.item.owner = owner;
    r.folder = folder;
    return r;
}

// Matches whose sizes, types, dates, permissions, owners and folders all
// disagree with the names' order; "B.txt" and "b.txt" differ in case only.
std::vector<SearchRow> Found() {
    return {Found('-', "b.txt", 30, 2, "rw-r--r--", "cat", "/www"),
            Found('d', "zeta", 0, 1, "rwxr-xr-x", "ann", "/www/a"),
            Found('-', "a.php", 500, 12, "rw-------", "bob", "/www/z"),
            Found('-', "C.HTML", 7, 3, "rwxrwxrwx", "ann", "/www/a"),
            Found('d', "Alpha", 0, 3, "rwx------", "dan", "/www"),
            Found('-', "B.txt", 30, 1, "rw-r--r--", "cat", "/www/a")};
}

template <class Row, class Before>
QStringList Names(const std::vector<Row>& rows, Before before, size_t sortedCount = 0) {
    QStringList names;
    for (int i : MergedRowOrder(rows, sortedCount, before))
        names << rows[size_t(i)].name();
    return names;
}

struct Named : SearchRow {
    QString name() const { return QString::fromUtf8(item.name); }
};

std::vector<Named> NamedFound() {
    std::vector<Named> rows;
    for (const SearchRow& r : Found())
        rows.push_back({r});
    return rows;
}

// Every column of the search list in both directions: folders stay on top,
// ties fall back to the name, then the folder.
TEST(LoopResultOrder, SearchRowsSortByEachColumnWithFoldersOnTop) {
    const struct {
        int column;
        bool descending;
        QStringList names;
    } cases[] = {
        {0, false, {"Alpha", "zeta", "a.php", "B.txt", "b.txt", "C.HTML"}},
        {0, true, {"zeta", "Alpha", "C.HTML", "b.txt", "B.txt", "a.php"}},
        {1, false, {"Alpha", "zeta", "C.HTML", "B.txt", "b.txt", "a.php"}},
        {1, true, {"Alpha", "zeta", "a.php", "B.txt", "b.txt", "C.HTML"}},
        {2, false, {"Alpha", "zeta", "C.HTML", "a.php", "B.txt", "b.txt"}},
        {3, false, {"zeta", "Alpha", "a.php", "B.txt", "b.txt", "C.HTML"}},
        {3, true, {"Alpha", "zeta", "C.HTML", "b.txt", "B.txt", "a.php"}},
        {4, false, {"Alpha", "zeta", "a.php", "B.txt", "b.txt", "C.HTML"}},
        {5, false, {"zeta", "Alpha", "C.HTML", "a.php", "B.txt", "b.txt"}},
        {6, false, {"Alpha", "zeta", "b.txt", "B.txt", "C.HTML", "a.php"}},
        {6, true, {"zeta", "Alpha", "a.php", "B.txt", "C.HTML", "b.txt"}},
    };
    const std::vector<Named> rows = NamedFound();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.column << (c.descending ? " down" : " up"));
        const auto before = [sort = ListSort{c.column, c.descending}](const SearchRow& a,
                                                                      const SearchRow& b) {
            return SearchRowBefore(a, b, sort, kToday);
        };
        EXPECT_EQ(Names(rows, before), c.names);
        // Rows arriving after three sorted ones are merged in to the same order.
        std::vector<Named> grown(rows.begin(), rows.begin() + 3);
        std::stable_sort(grown.begin(), grown.end(), before);
        grown.insert(grown.end(), rows.begin() + 3, rows.end());
        EXPECT_EQ(Names(grown, before, 3), c.names);
    }
}

struct NamedCase : CaseResultRow {
    QString name() const { return QString::fromUtf8(rename.oldName); }
};

NamedCase Rename(char kind, const char* folder, const char* oldName, const char* newName,
                 CaseRowMark mark = CaseRowMark::Planned) {
    return {{{folder, kind, oldName, newName}, mark}};
}

// The change-case list sorts by the old name, the new name and the folder,
// folders first; a name left alone sorts as any other.
TEST(LoopResultOrder, ChangeCaseRowsSortByEachColumn) {
    const std::vector<NamedCase> rows = {
        Rename('-', "/case", "ReadMe.TXT", "README.TXT", CaseRowMark::Taken),
        Rename('d', "/case", "Img", "IMG"),
        Rename('-', "/case", "upper", "UPPER"),
        Rename('-', "/case/Img", "a.png", "A.PNG"),
        Rename('-', "/case/Img", "Logo.GIF", "LOGO.GIF"),
    };
    const struct {
        int column;
        bool descending;
        QStringList names;
    } cases[] = {
        {1, false, {"Img", "a.png", "Logo.GIF", "ReadMe.TXT", "upper"}},
        {1, true, {"Img", "upper", "ReadMe.TXT", "Logo.GIF", "a.png"}},
        {2, false, {"Img", "a.png", "Logo.GIF", "ReadMe.TXT", "upper"}},
        {3, false, {"Img", "ReadMe.TXT", "upper", "a.png", "Logo.GIF"}},
        {3, true, {"Img", "a.png", "Logo.GIF", "ReadMe.TXT", "upper"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.column << (c.descending ? " down" : " up"));
        const ListSort sort{c.column, c.descending};
        EXPECT_EQ(Names(rows, [sort](const CaseResultRow& a,
                                     const CaseResultRow& b) { return CaseRowBefore(a, b, sort); }),
                  c.names);
    }
}

// The change-case list's image column orders nothing: a click on it keeps the
// order, and an order asked for it (every list's first, a stored one) is by
// the old name.
TEST(LoopResultOrder, ChangeCaseListSortsFromTheOldName) {
    const struct {
        ListSort now;
        int clicked;
        ListSort next;
    } cases[] = {{{2, true}, 0, {2, true}},
                 {{0, true}, 0, {1, true}},
                 {{0, true}, 1, {1, false}},
                 {{0, false}, 3, {3, false}}};
    for (const auto& c : cases)
        EXPECT_EQ(c.now.clicked(c.clicked, kCaseFirstSortColumn), c.next) << c.clicked;
}

// The compare tree sorts each folder's own items, folders first.
TEST(LoopResultOrder, CompareChildrenSortWithinTheirFolder) {
    auto item = [](const char* name, quint8 flags, char remoteKind) {
        CompareItem i;
        i.flags = flags;
        i.localName = QString::fromLatin1(name);
        i.remoteName = name;
        i.remoteKind = remoteKind;
        return i;
    };
    const quint8 both = CompareItem::Local | CompareItem::Remote;
    CompareTree tree;
    FolderCompareResult top;
    top.items = {item("zz.txt", CompareItem::Local, 0),
                 item("sub", both | CompareItem::LocalFolder, 'd'),
                 item("Aa.txt", CompareItem::Remote, '-'), item("mid.txt", both, '-')};
    ASSERT_TRUE(tree.add(top));
    FolderCompareResult sub;
    sub.relativePath = "sub";
    sub.items = {item("b", CompareItem::Remote, '-'), item("a", CompareItem::Local, 0)};
    ASSERT_TRUE(tree.add(sub));
    auto names = [&](const CompareNode* folder) {
        QStringList out;
        for (const auto& c : folder->children)
            out << c->item.name();
        return out;
    };
    const struct {
        ListSort sort;
        QStringList top;
        QStringList sub;
    } cases[] = {
        {{0, false}, {"sub", "Aa.txt", "mid.txt", "zz.txt"}, {"a", "b"}},
        {{0, true}, {"sub", "zz.txt", "mid.txt", "Aa.txt"}, {"b", "a"}},
        // "local only" < "server only" < "sizes differ".
        {{1, false}, {"sub", "zz.txt", "Aa.txt", "mid.txt"}, {"a", "b"}},
        {{1, true}, {"sub", "mid.txt", "Aa.txt", "zz.txt"}, {"b", "a"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.sort.column << (c.sort.descending ? " down" : " up"));
        SortCompareChildren(tree.root(), c.sort);
        SortCompareChildren(tree.find("sub"), c.sort);
        EXPECT_EQ(names(tree.root()), c.top);
        EXPECT_EQ(names(tree.find("sub")), c.sub);
        EXPECT_FALSE(SortCompareChildren(tree.root(), c.sort));
    }
}

}  // namespace
