#include "app/tool_search_job.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QThread>

ToolSearchJob::ToolSearchJob(QObject* parent) : QObject(parent) {}

ToolSearchJob::~ToolSearchJob() {
    stop();
    wait();
}

bool ToolSearchJob::start(const std::vector<ToolRecord>& rows, const ToolSearchRoots& roots) {
    if (running_)
        return false;
    wait();  // the previous thread may still be winding down
    stop_ = std::make_shared<std::atomic_bool>(false);
    running_ = true;
    QPointer<ToolSearchJob> self(this);
    auto stopFlag = stop_;
    // The worker touches only its own copies; results come back as queued calls that are
    // dropped if the job is gone by then.
    thread_ = QThread::create([self, stopFlag, initial = rows, roots, walk = walk_] {
        std::vector<ToolRecord> rows = initial;
        QElapsedTimer sinceReport;
        sinceReport.start();
        bool first = true;
        const ToolSearchProgress progress = [&](const QString& folder) {
            if (stopFlag->load())
                return false;
            if (first || sinceReport.elapsed() >= kFolderReportMs) {
                first = false;
                sinceReport.restart();
                QMetaObject::invokeMethod(
                    self,
                    [self, folder] {
                        if (self && self->running_)
                            emit self->folderEntered(folder);
                    },
                    Qt::QueuedConnection);
            }
            return true;
        };
        const auto onFound = [&](int row) {
            const QString folder = rows[size_t(row)].Path;
            QMetaObject::invokeMethod(
                self,
                [self, row, folder] {
                    if (self && self->running_)
                        emit self->rowFound(row, folder);
                },
                Qt::QueuedConnection);
        };
        const ToolSearchSummary summary = walk(rows, roots, progress, onFound);
        const bool stopped = summary.stopped || stopFlag->load();
        QMetaObject::invokeMethod(
            self,
            [self, stopped, found = summary.found] {
                if (!self)
                    return;
                self->running_ = false;
                emit self->finished(stopped, found);
            },
            Qt::QueuedConnection);
    });
    thread_->start();
    return true;
}

void ToolSearchJob::stop() {
    if (stop_)
        stop_->store(true);
}

void ToolSearchJob::wait() {
    if (!thread_)
        return;
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
}
