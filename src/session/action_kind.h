#pragma once

// The kinds of listing actions: one queue entry that lists a folder and then runs
// the processor of its kind. The session itself knows a few of them (the initial
// listing, the transfers that block a shutdown, the loops that owners cancel).
enum class ActionKind {
    InitFolder = 0,
    SequenceFolder = 1,
    RefreshFolder = 2,
    CreateFolder = 3,
    RefreshFolderByCreateFolder = 4,
    RenameAtom = 5,
    RefreshFolderByRename = 6,
    DeleteFolder = 7,
    UploadNormal = 8,
    UploadPair = 9,
    Download = 10,
    ChangePermission = 11,
    DirectDownload = 12,
    ChangeCaseRename = 13,
    ChangeCaseFurther = 14,
    SearchItems = 15,
    CompareItems = 16,
    // Lists a move's target folder first, so that nothing there is replaced.
    MoveInto = 17,
    // Lists the folder of a file edited in place before it goes back.
    DirectUploadCheck = 18,
};

inline const char* actionKindName(int kind) {
    static const char* const names[] = {"LIST_INIT_FOLDER",
                                        "LIST_SEQUENCE_FOLDER",
                                        "LIST_REFRESH_FOLDER",
                                        "LIST_CREATE_FOLDER",
                                        "LIST_REFRESH_FOLDER_BY_CREATE_FOLDER",
                                        "LIST_RENAME_ATOM",
                                        "LIST_REFRESH_FOLDER_BY_RENAME",
                                        "LIST_DELETE_FOLDER",
                                        "LIST_UPLOAD_NORMAL",
                                        "LIST_UPLOAD_PAIR",
                                        "LIST_DOWNLOAD",
                                        "LIST_CHANGE_PERMISSION",
                                        "LIST_DIRECT_DOWNLOAD",
                                        "LIST_CHANGE_CASE_RENAME",
                                        "LIST_CHANGE_CASE_FURTHER",
                                        "LIST_SEARCH_ITEMS",
                                        "LIST_COMPARE_ITEMS",
                                        "LIST_MOVE_INTO",
                                        "LIST_DIRECT_UPLOAD_CHECK"};
    if (kind < 0 || kind > 18)
        return "MLSD_LIST UNKNOWN";
    return names[kind];
}
