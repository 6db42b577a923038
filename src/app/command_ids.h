#pragma once

// The program's command ids. Every QAction carries its id in data(), so menu
// updates and tests find actions by id.
enum CommandId : int {
    kCmdConnect = 32771,
    kCmdRename = 32772,
    kCmdRestoreLayout = 32773,  // "MUID_DELAY": posted once the pages exist
    kCmdEmpty = 32775,          // "(Empty)" of a command index without words
    kCmdChatCopy = 32776,
    kCmdChatSelectAll = 32777,
    kCmdChatClear = 32778,
    kCmdPlaceholder = 32812,
    // Command > Simple
    kCmdSimpleCwd = 32821,
    kCmdSimpleHelp = 32822,
    kCmdSimpleNoop = 32823,
    kCmdSimplePwd = 32824,
    kCmdSimpleStat = 32825,
    kCmdSimpleSyst = 32826,
    kCmdSimpleMlst = 32827,
    kCmdSimpleFeat = 32828,
    // Command > HELP > FEAT / HELP words, handed out in order
    kCmdRuntimeFirst = 32921,
    kCmdRuntimeLast = 33620,
    // Command > Group
    kCmdGroupMlsd = 33830,
    kCmdGroupList = 33831,
    kCmdGroupNlst = 33832,
    kCmdShowQueue = 33931,
    kCmdReconnect = 33934,
    kCmdDeleteSite = 33935,
    kCmdDuplicateSite = 33936,
    kCmdCloseConnection = 33937,
    kCmdGeneralOptions = 33938,
    kCmdExpandOnUpload = 33943,
    kCmdExpandOnDownload = 33944,
    kCmdLocalTreeLeft = 33945,
    kCmdLocalColor = 33946,
    kCmdRemoteTreeLeft = 33947,
    kCmdRemoteColor = 33948,
    kCmdBeepUpload = 33949,
    kCmdBeepDownload = 33951,
    kCmdBeepDelete = 33953,
    kCmdBeepPermissions = 33954,
    kCmdBeepOptions = 33955,
    kCmdShutdownSystem = 33961,
    kCmdShutdownProgram = 33962,
    kCmdToolsBySearch = 33963,
    kCmdToolsManually = 33964,
    kCmdAbout = 34174,
    kCmdContents = 34175,
    kCmdRemoteToolsOnly = 34177,
    kCmdSizeBytes = 34195,
    kCmdSizeShort = 34196,
    kCmdSizeLong = 34197,
    kCmdNumericPermissions = 34199,
    kCmdAlertUpload = 34222,
    kCmdAlertDownload = 34223,
    kCmdCheckCommands = 34224,
    kCmdViewBanner = 34240,    // View > Banner: the banner pane beside the pages
    kCmdSaveAsSite = 34241,    // Site > Save as site...: the current connection kept as a site
    kCmdQuickConnect = 34242,  // the quick-connect bar's "Connect"
    kCmdExit = 57665,          // Site > Exit
    kCmdViewToolbar = 59392,
};
