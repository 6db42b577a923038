#include "platform/list_sort.h"

#include <QStringList>

ListSort ListSort::clicked(int clickedColumn, int firstSortColumn) const {
    const ListSort now = sortableFrom(firstSortColumn);
    if (clickedColumn < firstSortColumn)
        return now;
    if (clickedColumn == now.column)
        return {now.column, !now.descending};
    return {clickedColumn, false};
}

ListSort ListSort::sortableFrom(int firstSortColumn) const {
    return column < firstSortColumn ? ListSort{firstSortColumn, descending} : *this;
}

QString ListSort::toText() const {
    return QString::number(column) + (descending ? QStringLiteral(":d") : QStringLiteral(":a"));
}

ListSort ListSort::fromText(const QString& text, int columnCount) {
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 2)
        return {};
    bool ok = false;
    const int column = parts[0].toInt(&ok);
    if (!ok || column < 0 || column >= columnCount)
        return {};
    if (parts[1] == QLatin1String("a"))
        return {column, false};
    if (parts[1] == QLatin1String("d"))
        return {column, true};
    return {};
}
