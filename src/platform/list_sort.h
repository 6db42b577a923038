#pragma once

#include <QString>

// The order a list is shown in: a column and a direction. Every list starts
// by its first column, ascending.
struct ListSort {
    int column = 0;
    bool descending = false;

    bool operator==(const ListSort&) const = default;

    // A click on a column's header: the sorted column reverses, another one
    // starts ascending. Columns before `firstSortColumn` (an image column)
    // order nothing: a click on one keeps the order.
    ListSort clicked(int clickedColumn, int firstSortColumn = 0) const;
    // This order in a list whose columns before `firstSortColumn` order
    // nothing: an order of one of them (a list starts on its first column) is
    // by `firstSortColumn`, in the same direction.
    ListSort sortableFrom(int firstSortColumn) const;

    // "COLUMN:a" or "COLUMN:d", as the settings keep it (a comma would read back
    // from the settings file as a list).
    QString toText() const;
    // The stored text back; anything unreadable or a column the list does not
    // have gives the first column, ascending.
    static ListSort fromText(const QString& text, int columnCount);
};
