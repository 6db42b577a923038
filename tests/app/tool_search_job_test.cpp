#include <gtest/gtest.h>

#include "support/qt_printers.h"
#include "support/wait_until.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>

#include "app/tool_search_job.h"

namespace {

void makeProgram(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

ToolRecord tool(const char* file) {
    ToolRecord t;
    t.File = QString::fromLatin1(file);
    return t;
}

TEST(ToolSearchJobTest, ReportsFoundRowsAndItsEndOnTheCallersThread) {
    QTemporaryDir folder;
    const QString deep = folder.filePath(QStringLiteral("a/b/c"));
    ASSERT_TRUE(QDir().mkpath(deep));
    makeProgram(deep + QStringLiteral("/prog"));

    ToolSearchJob job;
    QSignalSpy found(&job, &ToolSearchJob::rowFound);
    QSignalSpy finished(&job, &ToolSearchJob::finished);
    const std::vector<ToolRecord> rows = {tool("absent"), tool("prog")};
    ASSERT_TRUE(job.start(rows, {{}, {folder.path()}, {}}));
    EXPECT_TRUE(job.isRunning());
    EXPECT_FALSE(job.start(rows, {}));  // one search at a time
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_FALSE(job.isRunning());
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0][0].toInt(), 1);
    EXPECT_EQ(found[0][1].toString(), deep);
    EXPECT_EQ(finished[0][0].toBool(), false);  // not stopped
    EXPECT_EQ(finished[0][1].toInt(), 1);

    // The job can run again once finished.
    ASSERT_TRUE(job.start(rows, {{deep}, {}, {}}));
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(found.size(), 2);
}

// A walk that enters a folder every 10 ms for ten seconds unless it is told
// to stop, and notes whether it was.
struct EndlessWalk {
    std::atomic_int walked = 0;
    std::atomic_bool stopped = false;

    ToolSearchJob::Walk walk() {
        return [this](std::vector<ToolRecord>&, const ToolSearchRoots&,
                      const ToolSearchProgress& progress, const std::function<void(int)>&) {
            for (int i = 0; i < 1000 && !stopped; ++i) {
                stopped = !progress(QStringLiteral("/endless"));
                ++walked;
                QThread::msleep(10);
            }
            ToolSearchSummary summary;
            summary.stopped = stopped;
            return summary;
        };
    }
};

TEST(ToolSearchJobTest, StoppingOrDestroyingEndsTheWalkAtItsNextFolder) {
    EndlessWalk told;
    ToolSearchJob job;
    job.setWalk(told.walk());
    QSignalSpy finished(&job, &ToolSearchJob::finished);
    ASSERT_TRUE(job.start({tool("absent")}, {}));
    ASSERT_TRUE(waitUntil([&] { return told.walked > 0; }, 5000));
    job.stop();
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_TRUE(told.stopped);
    EXPECT_EQ(finished[0][0].toBool(), true);

    EndlessWalk destroyed;
    {
        ToolSearchJob running;
        running.setWalk(destroyed.walk());
        ASSERT_TRUE(running.start({tool("absent")}, {}));
        ASSERT_TRUE(waitUntil([&] { return destroyed.walked > 0; }, 5000));
    }
    EXPECT_TRUE(destroyed.stopped);
}

}  // namespace
