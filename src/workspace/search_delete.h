#pragma once

#include "workspace/loop_owner.h"

#include <QByteArray>
#include <QString>

#include <vector>

// Deleting found entries from the search window: the server paths for the
// project guard, the question, the work per folder, and what a fresh listing
// shows of the rows: gone, or changed.

struct SearchDeleteBatch {
    QByteArray folder;
    std::vector<RemoteItem> items;
};

// One batch per folder, in the order the rows first name their folders.
std::vector<SearchDeleteBatch> GroupSearchRowsByFolder(const std::vector<SearchRow>& rows);
// The rows' server paths.
std::vector<QString> SearchRowPaths(const std::vector<SearchRow>& rows);
// "Delete the selected item?" for one row, "Delete the selected items?" for more.
QString SearchDeleteQuestion(int rows);
// True when a listing of `folder` shows the row's entry gone: the entry of a
// row in that folder, or the folder on the way to a row deeper down.
bool SearchRowGone(const SearchRow& row, const QByteArray& folder, const RemoteItemList& listing);
// Takes the entry as a fresh listing of the row's own folder shows it (its size,
// date or permissions may have changed); false when nothing changed.
bool RefreshSearchRow(SearchRow& row, const QByteArray& folder, const RemoteItemList& listing);
