#pragma once

#include <QString>

// The order a list is shown in: a column and a direction. Every list starts
// by its first column, ascending.
struct ListSort {
    int column = 0;
    bool descending = false;

    bool operator==(const ListSort&) const = default;

    // A click on a column's header: the sorted column reverses, another one
    // starts ascending.
    ListSort clicked(int clickedColumn) const;

    // "COLUMN:a" or "COLUMN:d", as the settings keep it (a comma would read back
    // from the settings file as a list).
    QString toText() const;
    // The stored text back; anything unreadable or a column the list does not
    // have gives the first column, ascending.
    static ListSort fromText(const QString& text, int columnCount);
};
