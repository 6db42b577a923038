#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "app/tool_record.h"
#include "app/tool_search.h"

class QThread;

// "Search" of the tool dialog off the window thread: the walk runs in a worker thread on a
// copy of the rows and reports back through queued signals, so the dialog keeps painting and
// can stop it at any time.
class ToolSearchJob : public QObject {
    Q_OBJECT
public:
    explicit ToolSearchJob(QObject* parent = nullptr);
    // Stops a running search and waits for its thread.
    ~ToolSearchJob() override;

    // False when a search is already running.
    bool start(const std::vector<ToolRecord>& rows, const ToolSearchRoots& roots);
    // Asks the walk to end at the next folder; finished() follows.
    void stop();
    bool isRunning() const { return running_; }

    // The folder shown in the status line is reported at most this often.
    static constexpr int kFolderReportMs = 50;

    // The walk run in the worker thread; SearchToolRows unless a test gives another.
    using Walk = std::function<ToolSearchSummary(std::vector<ToolRecord>&, const ToolSearchRoots&,
                                                 const ToolSearchProgress&,
                                                 const std::function<void(int row)>&)>;
    void setWalk(Walk walk) { walk_ = std::move(walk); }

signals:
    void folderEntered(const QString& folder);
    // The row's program lives in `folder`.
    void rowFound(int row, const QString& folder);
    void finished(bool stopped, int found);

private:
    void wait();

    Walk walk_ = SearchToolRows;
    std::shared_ptr<std::atomic_bool> stop_;
    QThread* thread_ = nullptr;
    bool running_ = false;
};
