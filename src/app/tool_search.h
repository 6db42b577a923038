#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

#include "app/tool_record.h"

// Where programs are looked for. Injectable, so tests search a temporary tree.
struct ToolSearchRoots {
    QStringList pathFolders;  // looked into directly, in order (the folders of PATH)
    QStringList walkRoots;    // then walked depth first, in order
    QStringList excluded;     // never entered, nor anything below them
};

// PATH's folders; /usr, /opt, /snap and the home folder; never /proc, /sys,
// /dev or /run.
ToolSearchRoots DefaultToolSearchRoots();

// Told each folder the walk enters; returning false stops the search.
using ToolSearchProgress = std::function<bool(const QString& folder)>;

struct ToolSearchHit {
    QString folder;  // empty when not found
    bool stopped = false;
};

// The first folder holding an executable file named file: the path folders
// first, then each root depth first in enumeration order, checking a folder
// before its sub-folders. Linked folders are not entered (no loops), nor
// excluded ones. file must be a plain name.
ToolSearchHit FindToolFolder(const QString& file, const ToolSearchRoots& roots,
                             const ToolSearchProgress& progress = {});

struct ToolSearchSummary {
    int searched = 0;
    int found = 0;
    bool stopped = false;
};

// "Search": every row whose Path or File is empty and whose File is a plain
// name gets the folder found for it; onFound(row) is told at once. Rows with
// both fields set are left alone.
ToolSearchSummary SearchToolRows(std::vector<ToolRecord>& rows, const ToolSearchRoots& roots,
                                 const ToolSearchProgress& progress = {},
                                 const std::function<void(int row)>& onFound = {});
