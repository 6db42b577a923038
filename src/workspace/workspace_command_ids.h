#pragma once

// Command ids of the local views and the loop windows; each action carries its
// id in data(), so menu rules and tests find actions by id.

// The local tree's and list's context menus.
enum LocalMenuId : int {
    kLocalTreeRename = 32798,
    kLocalTreeProperties = 32799,
    kLocalTreeDelete = 32800,
    kLocalTreeCreateFolder = 32801,
    kLocalTreeUpload = 32802,
    kLocalTreeViewPath = 32804,
    kLocalListRename = 32805,
    kLocalListDelete = 32806,
    kLocalListUpload = 32807,
    kLocalListProperties = 32808,
    kLocalListViewPath = 32809,
    kLocalListToolHelp = 32810,
    kLocalSetProjectFolder = 33939,
    kLocalTreeCopy = 34228,
    kLocalTreePaste = 34229,
    kLocalListCopy = 34230,
    kLocalBlankPaste = 34232,
    kLocalBlankNewFile = 34233,
    kLocalListViewEdit = -1,  // the "View/edit by" submenu has no command of its own
};

// The search window's row menu.
enum SearchWindowCommand : int {
    kSearchFtpWizard = 34208,  // "View/edit by" > "FTP wizard"
    kSearchDelete = 34210,
    kSearchDownload = 34211,
    kSearchHelp = 34218,  // "View/edit by" > "Help"
};

// The compare window's item menu.
enum CompareWindowCommand : int {
    kCompareProperties = 34213,
    kCompareHelp = 34216,       // "View/edit by" > "Help"
    kCompareFtpWizard = 34217,  // "View/edit by" > "FTP wizard"
    kCompareUpload = 34225,
    kCompareDownload = 34226,
    kCompareDelete = 34227,
};
