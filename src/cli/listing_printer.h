#pragma once

#include "remote/remote_item_list.h"

#include <QByteArray>

#include <cstdio>

// A text as one tab-separated field: a backslash, tab, carriage return or line
// feed in it (a server may put a tab in a name) is written \\, \t, \r, \n, so
// every line keeps its fields; all other bytes stay as they are.
QByteArray TsvField(QByteArrayView text);

// One line per entry, twelve tab-separated fields: kind, permissions, size,
// year, month, day, time, links, owner, group, name, link target. Texts are the
// server's bytes, as TsvField writes them.
void printListingTsv(const RemoteItemList& items, std::FILE* out);

// Aligned lines for people: kind and permissions, size, date, owner/group,
// name and " -> target" for links.
void printListingForPeople(const RemoteItemList& items, std::FILE* out);
