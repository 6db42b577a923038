#pragma once

// The program's command ids (the frame, its menus and the application's
// dialogs); each subsystem keeps its own views' ids beside its rules
// (session_command_ids.h, remote_command_ids.h, workspace_command_ids.h,
// extras_command_ids.h). Every QAction carries its id in data(), so menu
// updates and tests find actions by id.
enum CommandId : int {
    kCmdConnect = 32771,
    kCmdRename = 32772,
    kCmdRestoreLayout = 32773,  // "MUID_DELAY": posted once the pages exist
    kCmdEmpty = 32775,          // "(Empty)" of a command index without words
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
    kCmdRemoteProjectHelp = 33942,  // the remote project tree's menu without a project
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
    // The tool list dialog's row menu
    kCmdToolDelete = 33967,
    kCmdToolRename = 33968,
    kCmdToolExecute = 33969,
    kCmdToolLaunch = 33970,
    kCmdToolEdit = 33971,
    // "View/edit by" tools: the n-th inserted tool has kCmdToolFirst + n
    kCmdToolFirst = 33972,
    kCmdToolLast = 34172,
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
