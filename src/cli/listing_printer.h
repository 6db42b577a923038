#pragma once

#include "remote/remote_item_list.h"

#include <QByteArray>

#include <cstdio>

// One line per entry, twelve tab-separated fields: kind, permissions, size,
// year, month, day, time, links, owner, group, name, link target. Texts are the
// server's bytes unchanged.
void printListingTsv(const RemoteItemList& items, std::FILE* out);

// Aligned lines for people: kind and permissions, size, date, owner/group,
// name and " -> target" for links.
void printListingForPeople(const RemoteItemList& items, std::FILE* out);
