#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <vector>

#include "workspace/copy_buffer.h"
#include "workspace/local_drag_data.h"
#include "workspace/local_drop_rules.h"
#include "workspace/local_file_operations.h"

class LocalFileJob;
class LocalSide;
class QMimeData;
class QWidget;
struct RemoteDragData;

// The local operations the trees and lists run, with the questions and
// guards in front and the news to every local view behind: each changed
// folder is announced so that all trees and lists showing it read it again.
// guarded: the project-folder guards apply (Normal page); the project page's
// own views skip them.
class LocalActions {
public:
    LocalActions(LocalSide& side, QWidget* parent, bool guarded);

    bool guarded() const { return guarded_; }

    bool createFolder(const QString& parent, const QString& name);
    bool createFile(const QString& folder, const QString& name);
    // Deletes, pastes and moves run as background jobs (true: one started);
    // the views read the folders again when it ends, and failures are told
    // with the system's reason.
    // A folder of a tree: the project guard, then the question.
    bool deleteTreeFolder(const QString& path);
    // Rows of a list: "Delete selected file/folder?".
    bool deleteItems(const QString& folder, const std::vector<LocalItemRef>& items);
    RenameOutcome rename(const QString& folder, const QString& oldName, const QString& newName,
                         bool isFolder);
    void copy(const QString& folder, std::vector<LocalItemRef> items);
    bool paste(const QString& destination);

    // What a drop of this data onto destination does; nothing is changed.
    LocalDropDecision decideDrop(const QString& destination, const QMimeData& data) const;
    // Carries the drop out: refused drops show their message, local items
    // move, remote items download. Returns the decision taken.
    LocalDropDecision drop(const QString& destination, const QMimeData& data);

    // "Set as local project Folder".
    void setProjectFolder(const QString& path);

    // Dialogs.
    bool askAndCreateFolder(const QString& parent);
    bool askAndCreateFile(const QString& folder);
    void showPath(const QString& path);
    void showProperties(const QString& path);

private:
    // Runs job with a progress dialog that shows only when it takes a while;
    // done sees the result before the views are told.
    void runJob(std::unique_ptr<LocalFileJob> job,
                std::function<void(const LocalFileJob&)> done = {});

    LocalSide& side_;
    QWidget* parent_;
    bool guarded_;
};
