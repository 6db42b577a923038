#include <gtest/gtest.h>

#include "workspace/local_list_columns.h"
#include "workspace/local_list_order.h"

namespace {

LocalEntry Entry(const char* name, bool folder, qint64 size, int year) {
    LocalEntry e;
    e.name = QString::fromUtf8(name);
    e.kind = folder ? QLatin1Char('d') : QLatin1Char('-');
    e.size = size;
    e.modified = QDateTime(QDate(year, 3, 5), QTime(7, 9, 30));
    return e;
}

QStringList Rows(const std::vector<LocalListRow>& rows, const std::vector<int>& order) {
    QStringList names;
    for (int i : order)
        names << rows[size_t(i)].text;
    return names;
}

struct OrderCase {
    int column;
    bool descending;
    const char* rows;  // the names, joined by blanks
};

TEST(LocalListOrderTest, ParentFirstGroupsInPlaceTiesByName) {
    const std::vector<LocalListRow> rows = BuildFolderRows({
        Entry("beta", true, 0, 2024),
        Entry("Alpha", true, 0, 2025),
        Entry("b.txt", false, 300, 2024),
        Entry("a.png", false, 300, 2023),
        Entry("c.gz", false, 20, 2026),
        Entry("D", false, 1000, 2022),
    });
    const OrderCase cases[] = {
        {kColName, false, ".. Alpha beta a.png b.txt c.gz D"},
        {kColName, true, ".. beta Alpha D c.gz b.txt a.png"},
        {kColSize, false, ".. Alpha beta c.gz a.png b.txt D"},
        {kColSize, true, ".. Alpha beta D a.png b.txt c.gz"},
        {kColModified, false, ".. beta Alpha D a.png b.txt c.gz"},
        {kColModified, true, ".. Alpha beta c.gz b.txt a.png D"},
        {kColNumber, true, ".. beta Alpha D c.gz b.txt a.png"},
    };
    for (const OrderCase& c : cases) {
        EXPECT_EQ(Rows(rows, LocalListOrder(rows, {c.column, c.descending})).join(QLatin1Char(' ')),
                  QString::fromUtf8(c.rows))
            << c.column << (c.descending ? " down" : " up");
    }
}

TEST(LocalListOrderTest, PlacesStayAboveDrives) {
    Drive root;
    root.rootPath = QStringLiteral("/");
    root.type = DriveType::Fixed;
    const std::vector<LocalListRow> rows =
        BuildDriveRows({root}, {{QStringLiteral("/home/u"), QStringLiteral("Home")},
                                {QStringLiteral("/home/u/Desktop"), QStringLiteral("Desktop")}});
    const std::vector<int> order = LocalListOrder(rows, {kColName, true});
    ASSERT_EQ(order.size(), 3u);
    EXPECT_EQ(rows[size_t(order[0])].text, QStringLiteral("Home"));
    EXPECT_EQ(rows[size_t(order[1])].text, QStringLiteral("Desktop"));
    EXPECT_EQ(rows[size_t(order[2])].kind, LocalRowKind::Drive);
}

}  // namespace
