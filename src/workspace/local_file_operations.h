#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <vector>

#include "workspace/copy_buffer.h"
#include "workspace/project_folders.h"

class Prompter;

// Operations on the local disk behind the local tree and list. Walks never
// follow a symbolic link into another folder: a link is removed as a link,
// and a linked folder is not entered.

// What went wrong with one entry, in the system's words.
struct LocalFailure {
    QString path;
    QString reason;
    bool operator==(const LocalFailure&) const = default;
};

// Watches a long walk over the disk: counts the entries dealt with, keeps each
// failure with the system's reason, and ends the walk before its next entry
// once stop() was called (from any thread). What the walk has not reached
// stays as it was.
class LocalWalk {
public:
    // Called on the walking thread after each entry.
    std::function<void(int entries, const QString& path)> onStep;

    void stop() { stopped_ = true; }
    bool stopped() const { return stopped_; }
    void step(const QString& path);
    void fail(const QString& path, const QString& reason);
    int entries() const { return entries_; }
    const std::vector<LocalFailure>& failures() const { return failures_; }

private:
    std::atomic_bool stopped_{false};
    int entries_ = 0;
    std::vector<LocalFailure> failures_;
};

// True when something, even a dangling link, already has this path.
bool LocalNameTaken(const QString& path);

// Copies a file to target, replacing an existing target file (or a link, as
// a link) only once the whole copy is on disk, so a failed copy loses nothing.
// A failure leaves the system's reason in error.
bool CopyLocalFile(const QString& source, const QString& target, QString* error = nullptr);

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
PasteResult PasteItems(const CopyBuffer& buffer, const QString& destination,
                       LocalWalk* walk = nullptr);

// Deletes a folder and what it holds; true when the folder itself is gone.
// Entries hidden by showFlags, and entries that cannot be deleted, stay, and
// so does the folder. A path that is a link is removed as a link.
bool DeleteLocalFolder(const QString& path, int showFlags, LocalWalk* walk = nullptr);

// Deletes the chosen items of folder (files, links and folders); returns the
// paths that could not be deleted.
QStringList DeleteLocalItems(const QString& folder, const std::vector<LocalItemRef>& items,
                             int showFlags, LocalWalk* walk = nullptr);

// Whether items of source may be dropped into destination: not into the
// source itself, nor into or below a dragged item.
bool CanDropLocal(const QString& destination, const QString& source,
                  const std::vector<LocalItemRef>& items, QChar sep = kLocalSeparator);

struct MoveResult {
    QStringList moved;   // targets
    QStringList failed;  // sources
};

// Before a move: a dragged folder that is a parent of the local project folder
// asks first; false when the user declines (nothing is to move).
bool ConfirmMoveLocalItems(const QString& source, const std::vector<LocalItemRef>& items,
                           const QString& projectFolder, Prompter& prompter);
// Moves the items from source to destination under their own names. An
// existing target is never replaced: that item fails.
MoveResult MoveLocalItems(const QString& source, const QString& destination,
                          const std::vector<LocalItemRef>& items, LocalWalk* walk = nullptr);
// What the user is told of an item that could not be moved.
QString CannotMoveText(const LocalFailure& failure);

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
