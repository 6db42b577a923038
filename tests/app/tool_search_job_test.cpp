#include <gtest/gtest.h>

#include "support/qt_printers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

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

TEST(ToolSearchJobTest, StoppingEndsTheWalkSoon) {
    QTemporaryDir folder;
    // Wide enough that the walk is still going when it is told to stop.
    for (int i = 0; i < 60; ++i) {
        for (int j = 0; j < 60; ++j)
            ASSERT_TRUE(QDir().mkpath(folder.filePath(QStringLiteral("%1/%2/x").arg(i).arg(j))));
    }
    ToolSearchJob job;
    QSignalSpy entered(&job, &ToolSearchJob::folderEntered);
    QSignalSpy finished(&job, &ToolSearchJob::finished);
    ASSERT_TRUE(job.start({tool("absent")}, {{}, {folder.path()}, {}}));
    ASSERT_TRUE(entered.wait(5000));
    job.stop();
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(finished[0][0].toBool(), true);

    // A job destroyed mid-walk stops it and returns promptly.
    QElapsedTimer timer;
    {
        ToolSearchJob running;
        ASSERT_TRUE(running.start({tool("absent")}, {{}, {folder.path()}, {}}));
        timer.start();
    }
    EXPECT_LT(timer.elapsed(), 2000);
}

}  // namespace
