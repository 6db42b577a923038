#include "workspace/local_file_job.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "workspace/local_listing.h"

#include <sys/stat.h>

namespace {

constexpr int kBound = 60000;

void WriteFile(const QString& path, const QByteArray& content = "x") {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(path);
    file.write(content);
}

// A tree of folders x files below root/name.
void MakeTree(const QString& root, const QString& name, int folders, int files) {
    for (int d = 0; d < folders; ++d) {
        const QString folder = QStringLiteral("%1/%2/d%3").arg(root, name).arg(d);
        ASSERT_TRUE(QDir().mkpath(folder));
        for (int f = 0; f < files; ++f)
            WriteFile(QStringLiteral("%1/f%2.txt").arg(folder).arg(f));
    }
}

bool Finish(LocalFileJob& job) {
    QSignalSpy finished(&job, &LocalFileJob::finished);
    job.start();
    return QTest::qWaitFor([&] { return finished.count() == 1; }, kBound) && job.isFinished();
}

}  // namespace

TEST(LocalFileJob, ABigDeleteLeavesTheEventLoopTurningAndTouchesOnlyTheSelection) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    MakeTree(dir.path(), QStringLiteral("big"), 50, 200);  // 10000 files
    MakeTree(dir.path(), QStringLiteral("beside"), 2, 3);
    WriteFile(dir.filePath(QStringLiteral("keep.txt")));

    auto job = LocalFileJob::deleteItems(dir.path(), {{QStringLiteral("big"), true}},
                                         LocalShow::HiddenFiles);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(0);
    int ticksAtEnd = -1;
    QObject::connect(job.get(), &LocalFileJob::finished, [&] { ticksAtEnd = ticks; });
    ASSERT_TRUE(Finish(*job));
    // Had the job run on this thread, the timer could not have fired before its end.
    EXPECT_GT(ticksAtEnd, 0);
    EXPECT_FALSE(job->result().cancelled);
    EXPECT_TRUE(job->result().failures.empty());
    EXPECT_EQ(job->result().done, QStringList{dir.filePath(QStringLiteral("big"))});
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("big"))));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("keep.txt"))));
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("beside/d1"))).entryList(QDir::Files).size(), 3);
    EXPECT_EQ(job->changedFolders(), QStringList{dir.path()});
}

TEST(LocalFileJob, FailuresCarryTheSystemsReason) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    MakeTree(dir.path(), QStringLiteral("src"), 1, 2);
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("dst")));
    WriteFile(dir.filePath(QStringLiteral("dst/taken.txt")));
    WriteFile(dir.filePath(QStringLiteral("src/taken.txt")));
    WriteFile(dir.filePath(QStringLiteral("src/free.txt")));

    struct Case {
        const char* name;
        std::unique_ptr<LocalFileJob> job;
        QString failedPath;
        const char* reason;
        const char* text;
    };
    const QString missing = dir.filePath(QStringLiteral("gone.txt"));
    Case cases[] = {
        {"delete a file deleted meanwhile",
         LocalFileJob::deleteItems(dir.path(), {{QStringLiteral("gone.txt"), false}}, 0), missing,
         "No such file or directory", "Can not delete: "},
        {"move onto a taken name",
         LocalFileJob::move(
             dir.filePath(QStringLiteral("src")), dir.filePath(QStringLiteral("dst")),
             {{QStringLiteral("taken.txt"), false}, {QStringLiteral("free.txt"), false}}),
         dir.filePath(QStringLiteral("src/taken.txt")), "File exists", "Can not move: "},
        {"paste into a missing folder",
         LocalFileJob::paste(
             {dir.filePath(QStringLiteral("src")), {{QStringLiteral("taken.txt"), false}}},
             dir.filePath(QStringLiteral("nowhere"))),
         dir.filePath(QStringLiteral("src/taken.txt")), "No such file or directory",
         "Can not paste: "},
    };
    for (Case& c : cases) {
        ASSERT_TRUE(Finish(*c.job)) << c.name;
        const auto& failures = c.job->result().failures;
        ASSERT_EQ(failures.size(), 1u) << c.name;
        EXPECT_EQ(failures[0].path, c.failedPath) << c.name;
        EXPECT_TRUE(failures[0].reason.contains(QLatin1String(c.reason)))
            << c.name << ": " << failures[0].reason.toStdString();
        EXPECT_TRUE(c.job->failureText().startsWith(QLatin1String(c.text) + c.failedPath))
            << c.name << ": " << c.job->failureText().toStdString();
    }
    // The move went on past its failure, and replaced nothing.
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("dst/free.txt"))));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("src/taken.txt"))));
}

TEST(LocalFileJob, ACancelledJobLeavesWhatItHasNotReached) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    MakeTree(dir.path(), QStringLiteral("tree"), 3, 5);
    auto job = LocalFileJob::deleteFolder(dir.filePath(QStringLiteral("tree")), 0);
    job->cancel();  // before it reached anything
    ASSERT_TRUE(Finish(*job));
    EXPECT_TRUE(job->result().cancelled);
    EXPECT_TRUE(job->result().done.isEmpty());
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("tree/d2"))).entryList(QDir::Files).size(), 5);
    // Said, since a half-made copy or a half-emptied folder looks finished.
    EXPECT_EQ(job->endText(), QStringLiteral("Deleting was cancelled before the end: what it had "
                                             "not reached is still there."));
}

TEST(LocalFileJob, ADeletedFolderChangesItsOwnAndItsParentsViews) {
    const struct {
        const char* path;
        QStringList changed;
    } cases[] = {
        {"/home/u/web/old", {"/home/u/web", "/home/u/web/old"}},
        {"/tmp", {"/", "/tmp"}},
        {"/home/u/web/old/", {"/home/u/web", "/home/u/web/old/"}},
        {"/", {"/"}},
    };
    for (const auto& c : cases) {
        const auto job = LocalFileJob::deleteFolder(QString::fromLatin1(c.path), 0);
        EXPECT_EQ(job->changedFolders(), c.changed) << c.path;
    }
}

// A paste leaves linked folders and special files out, and its end says so.
TEST(LocalFileJob, APasteSaysWhatItLeftOutAndWhy) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    MakeTree(dir.path(), QStringLiteral("src"), 1, 1);
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("src/d0")),
                            dir.filePath(QStringLiteral("src/linked"))));
    ASSERT_EQ(
        ::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("src/pipe"))).constData(), 0600), 0);
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("dst")));
    auto job = LocalFileJob::paste({dir.path(), {{QStringLiteral("src"), true}}},
                                   dir.filePath(QStringLiteral("dst")));
    ASSERT_TRUE(Finish(*job));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("dst/src/d0/f0.txt"))));
    const QString text = job->endText();
    EXPECT_TRUE(text.contains(QStringLiteral("Not copied: ") + dir.filePath("src/linked") +
                              QStringLiteral(" (a link to a folder")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Not copied: ") + dir.filePath("src/pipe") +
                              QStringLiteral(" (not a file or folder")))
        << text.toStdString();
}
