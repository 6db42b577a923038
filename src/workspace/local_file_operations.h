#pragma once

#include <QString>
#include <QStringList>

#include <vector>

#include "workspace/copy_buffer.h"
#include "workspace/project_folders.h"

class Prompter;

// Operations on the local disk behind the local tree and list. Walks never
// follow a symbolic link into another folder: a link is removed as a link,
// and a linked folder is not entered.

namespace LocalTexts {
inline constexpr char kCannotMove[] = "Can not move: ";
inline constexpr char kCannotDrop[] = "Can not drop to the place";
inline constexpr char kCannotDropToChild[] = "Can not drop to child or self";
inline constexpr char kDeleteSelected[] = "Delete selected file/folder?";
}  // namespace LocalTexts

// True when something, even a dangling link, already has this path.
bool LocalNameTaken(const QString& path);

// Copies a file to target, replacing an existing target file (or a link, as
// a link) only once the whole copy is on disk, so a failed copy loses nothing.
bool CopyLocalFile(const QString& source, const QString& target);

// A name for a copy of name that nothing in folder has yet: name itself,
// "Copy of " + name, then "Copy (2) of " + name, "Copy (3) of " ...
QString UniqueCopyName(const QString& folder, const QString& name);

struct PasteResult {
    QStringList pasted;   // top-level targets created
    QStringList failed;   // sources that could not be copied, or whose folder could not be created
    QStringList skipped;  // linked folders not entered, special files not read
};

// Copies every item of the buffer into destination under UniqueCopyName.
// Folders are copied whole (hidden names included). A folder is never pasted
// into itself or below itself: that copy would never end.
PasteResult PasteItems(const CopyBuffer& buffer, const QString& destination);

// Deletes a folder and what it holds; true when the folder itself is gone.
// Entries hidden by showFlags, and entries that cannot be deleted, stay, and
// so does the folder. A path that is a link is removed as a link.
bool DeleteLocalFolder(const QString& path, int showFlags);

// Deletes the chosen items of folder (files, links and folders); returns the
// paths that could not be deleted.
QStringList DeleteLocalItems(const QString& folder, const std::vector<LocalItemRef>& items,
                             int showFlags);

// Whether items of source may be dropped into destination: not into the
// source itself, nor into or below a dragged item.
bool CanDropLocal(const QString& destination, const QString& source,
                  const std::vector<LocalItemRef>& items, QChar sep = kLocalSeparator);

struct MoveResult {
    bool cancelled = false;  // the user declined moving a project parent: nothing moved
    QStringList moved;       // targets
    QStringList failed;      // sources; each was reported with "Can not move: "
};

// Moves the items from source to destination under their own names. A dragged
// folder that is a parent of the local project folder asks first. An existing
// target is never replaced: that item fails.
MoveResult MoveLocalItems(const QString& source, const QString& destination,
                          const std::vector<LocalItemRef>& items, const QString& projectFolder,
                          Prompter& prompter);

// A name a user may give a local item: not empty, not "." or "..", no '/'
// and no NUL.
bool IsPlainLocalName(const QString& name);

// Creates folder name inside parent; false on a bad name or failure.
bool CreateLocalFolder(const QString& parent, const QString& name);

enum class RenameOutcome { Unchanged, Renamed, Failed };

// Renames an item inside folder; the same name touches nothing. An existing
// target is never replaced.
RenameOutcome RenameLocalItem(const QString& folder, const QString& oldName,
                              const QString& newName);
