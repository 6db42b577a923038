#include "platform/launcher.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QFileDevice>
#include <QTemporaryDir>
#include <QThread>

namespace {

// Writes a script that stores its arguments, one a line, in out.
QString WriteRecorderScript(const QTemporaryDir& dir, const QString& out) {
    const QString script = dir.filePath(QStringLiteral("record.sh"));
    QFile file(script);
    if (!file.open(QIODevice::WriteOnly)) {
        return {};
    }
    file.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" +
               QFile::encodeName(out) + ".tmp\"\nmv \"" + QFile::encodeName(out) + ".tmp\" \"" +
               QFile::encodeName(out) + "\"\n");
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return script;
}

QByteArray WaitForFile(const QString& path) {
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            return file.readAll();
        }
        QThread::msleep(20);
    }
    return QByteArray("<timeout>");
}

TEST(ProcessLauncher, PassesEachArgumentWholeWithoutAShell) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.filePath(QStringLiteral("args.txt"));
    const QString script = WriteRecorderScript(dir, out);
    ASSERT_FALSE(script.isEmpty());
    ProcessLauncher launcher;
    ASSERT_TRUE(launcher.startDetached(
        script, {QStringLiteral("/tmp/my file.txt"), QStringLiteral("$(touch x);'\"")}));
    EXPECT_EQ("/tmp/my file.txt\n$(touch x);'\"\n", WaitForFile(out));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x"))));
}

TEST(ProcessLauncher, OpensLinksThroughTheOpenerAndRefusesOptionLookalikes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.filePath(QStringLiteral("link.txt"));
    ProcessLauncher launcher(WriteRecorderScript(dir, out));
    EXPECT_FALSE(launcher.openLink(QString()));
    EXPECT_FALSE(launcher.openLink(QStringLiteral("--help")));
    EXPECT_FALSE(launcher.startDetached(QString(), {}));
    ASSERT_TRUE(launcher.openLink(QStringLiteral("http://example.invalid/a b")));
    EXPECT_EQ("http://example.invalid/a b\n", WaitForFile(out));
}

TEST(ProcessLauncher, MissingProgramIsReported) {
    ProcessLauncher launcher;
    EXPECT_FALSE(launcher.startDetached(QStringLiteral("/nonexistent/velmora-tool"), {}));
}

}  // namespace
