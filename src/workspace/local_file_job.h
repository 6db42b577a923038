#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

#include "workspace/copy_buffer.h"
#include "workspace/local_file_operations.h"

class QThread;

// A local delete, paste or move run on a worker thread, so that a large tree
// never holds the window up. Progress and the end arrive as signals on the
// thread that owns the job; cancel() stops it before its next entry, and what
// it has not reached stays as it was.
class LocalFileJob : public QObject {
    Q_OBJECT
public:
    enum class Kind { Delete, Paste, Move };

    struct Result {
        bool cancelled = false;
        QStringList done;                    // deleted paths, pasted or moved targets
        std::vector<LocalFailure> failures;  // each with the system's reason
        QStringList skipped;                 // paste: linked folders and special files
    };

    // Deletes a folder of a tree with what it holds (hidden names by showFlags).
    static std::unique_ptr<LocalFileJob> deleteFolder(const QString& path, int showFlags);
    // Deletes the chosen items of folder.
    static std::unique_ptr<LocalFileJob> deleteItems(const QString& folder,
                                                     std::vector<LocalItemRef> items,
                                                     int showFlags);
    static std::unique_ptr<LocalFileJob> paste(CopyBuffer buffer, const QString& destination);
    // Moves items of source into destination (the questions were asked before).
    static std::unique_ptr<LocalFileJob> move(const QString& source, const QString& destination,
                                              std::vector<LocalItemRef> items);
    ~LocalFileJob() override;

    Kind kind() const { return kind_; }
    // What the progress says the job does: "Deleting", "Pasting", "Moving".
    QString caption() const;
    // The folders whose listings the job changes.
    const QStringList& changedFolders() const { return changed_; }

    void start();
    // Asks the walk to stop; finished() still follows.
    void cancel();
    bool isFinished() const { return finished_; }
    // Valid once finished() was emitted.
    const Result& result() const { return result_; }
    // What the user is told of the failures, each with the system's reason;
    // empty when nothing failed.
    QString failureText() const;
    // What the user is told at the end: the failures, and a cancel that left the work half
    // done (a copy that looks whole but is not); empty when all went as asked.
    QString endText() const;

signals:
    // Now and then: how many entries are dealt with, and the latest one.
    void progress(int entries, const QString& current);
    void finished();

private:
    using Work = std::function<void(LocalWalk& walk, Result& result)>;
    LocalFileJob(Kind kind, QStringList changed, Work work);

    Kind kind_;
    QStringList changed_;
    Work work_;
    LocalWalk walk_;
    Result result_;
    QThread* thread_ = nullptr;
    bool finished_ = false;
};
