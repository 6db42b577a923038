#pragma once

#include "remote/permission_actions.h"
#include "remote/remote_item.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

// The rules of the permissions dialog, kept apart from the window. A permission
// number is written in decimal with one digit per class (owner, group, public):
// 755 means rwxr-xr-x.

enum class RecurseChoice { FilesAndFolders = 0, Files = 1, Folders = 2 };

// "File", "Folder", "Link", "Device B", "Device C" or "Unknown".
QString permissionKindWord(char kind);

// "Permissions for File \"a.txt\"" for one item, "Permissions for Root" for the
// folder's contents (nothing selected), "Permissions for selections" otherwise.
QString permissionsTitle(const std::vector<RemoteItem>& selected);

// True when each of the three decimal digits is 0 to 7.
bool isPermissionNumber(int number);
// The Numeric field: one to three digits 0-7, blanks around allowed.
std::optional<int> parsePermissionNumber(QStringView text);
// 755 -> "rwxr-xr-x"; empty for a number that is not a permission number.
QString permissionExpression(int number);
// "rwxr-xr-x" -> 755. Letters in any case; in the execute places 's' and 't'
// (set-id and sticky with execute) count as execute, 'S' and 'T' as none.
std::optional<int> parsePermissionExpression(QStringView expression);

// The check boxes: row 0 owner, 1 group, 2 public; column 0 read, 1 write,
// 2 execute.
bool permissionBit(int number, int row, int column);
int withPermissionBit(int number, int row, int column, bool on);

// Where the dialog starts: 755 for the folder's contents; the listed mode of
// the selection (one item, or several that share it); none when the listing
// gave no mode or the items differ, so nothing is checked.
std::optional<int> initialPermissionNumber(const std::vector<RemoteItem>& selected);
// Why nothing is checked at the start; empty when a mode is shown.
QString permissionStartNote(const std::vector<RemoteItem>& selected);
// Recursion is offered for the folder's contents and for a selection holding a
// folder, or a link when links count as folders.
bool recursionOffered(const std::vector<RemoteItem>& selected, bool linksAsFolders);

struct PermissionDialogResult {
    bool accepted = false;
    QString message;  // why it was refused: "No change", or a bad number
    PermissionRequest request;
};

// What "Apply" produces, or why the dialog stays open. No number: nothing was
// chosen while the current mode is unknown.
PermissionDialogResult applyPermissionDialog(const std::vector<RemoteItem>& selected,
                                             std::optional<int> number, RecurseChoice choice,
                                             bool recurse);
