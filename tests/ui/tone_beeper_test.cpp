#include "platform/ui/tone_beeper.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

namespace {

// Qt's audio layer binds to one sound server per process, so each case runs
// in a child of this test program, pointed at the server under test.
QString runChild(const QString& test, const QString& pulseServer, int* exitCode) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PULSE_SERVER", pulseServer);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_also_run_disabled_tests", "--gtest_filter=ToneBeeperChild." + test});
    if (!child.waitForFinished(30000)) {
        child.kill();
        child.waitForFinished(5000);
        *exitCode = -1;
        return "child did not finish";
    }
    *exitCode = child.exitCode();
    return QString::fromLocal8Bit(child.readAll());
}

// A private sound server with a sink that plays into nothing at real speed.
class SoundServer {
public:
    SoundServer() {
        const QString program = QStandardPaths::findExecutable("pulseaudio");
        if (program.isEmpty() || !dir_.isValid())
            return;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", dir_.path());
        env.insert("XDG_RUNTIME_DIR", dir_.path());
        server_.setProcessEnvironment(env);
        server_.setProcessChannelMode(QProcess::MergedChannels);
        const QString socket = dir_.filePath("native");
        server_.start(program,
                      {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                       "--disable-shm=yes", "-L", "module-null-sink sink_name=velmora_test", "-L",
                       "module-native-protocol-unix auth-anonymous=1 socket=" + socket});
        if (!server_.waitForStarted(5000))
            return;
        QDeadlineTimer deadline(10000);
        while (!QFileInfo(socket).exists() && !deadline.hasExpired() &&
               server_.state() == QProcess::Running)
            QThread::msleep(20);
        if (QFileInfo(socket).exists())
            address = "unix:" + socket;
    }
    ~SoundServer() {
        server_.kill();
        server_.waitForFinished(5000);
    }
    bool installed() const { return !QStandardPaths::findExecutable("pulseaudio").isEmpty(); }
    QString log() { return QString::fromLocal8Bit(server_.readAll()); }

    QString address;

private:
    QTemporaryDir dir_;
    QProcess server_;
};

TEST(ToneBeeper, PlaysTheToneOnTheSoundServerWithoutWaiting) {
    SoundServer server;
    if (!server.installed())
        GTEST_SKIP() << "pulseaudio is not installed";
    ASSERT_FALSE(server.address.isEmpty()) << server.log().toStdString();
    int code = 0;
    const QString out = runChild("DISABLED_PlaysOut", server.address, &code);
    EXPECT_EQ(code, 0) << out.toStdString();
    EXPECT_TRUE(out.contains("[  PASSED  ] 1 test")) << out.toStdString();
}

TEST(ToneBeeper, WithoutASoundServerRingsTheBell) {
    int code = 0;
    const QString out =
        runChild("DISABLED_RingsTheBell", "unix:/nonexistent/velmora-no-sound", &code);
    EXPECT_EQ(code, 0) << out.toStdString();
    EXPECT_TRUE(out.contains("[  PASSED  ] 1 test")) << out.toStdString();
}

// ---- run by the tests above in a child process

TEST(ToneBeeperChild, DISABLED_PlaysOut) {
    ToneBeeper beeper;
    QSignalSpy ended(&beeper, &ToneBeeper::toneEnded);
    beeper.beep(1000, 10);
    ASSERT_TRUE(beeper.lastBeepWasTone());
    ASSERT_TRUE(ended.wait(5000));
    // The whole 10 ms went out.
    EXPECT_GE(ended.at(0).at(0).toLongLong(), 9000);

    // A long beep comes back while it sounds, and a beep over it replaces it:
    // the next tone to end is the short one, whole, long before the long one
    // could have.
    beeper.beep(440, 20000);
    EXPECT_EQ(ended.count(), 1);
    beeper.beep(880, 20);
    ASSERT_TRUE(ended.wait(15000));
    ASSERT_EQ(ended.count(), 2);
    EXPECT_GE(ended.last().at(0).toLongLong(), 19000);
    EXPECT_LT(ended.last().at(0).toLongLong(), 1000000);
}

TEST(ToneBeeperChild, DISABLED_RingsTheBell) {
    ToneBeeper beeper;
    QSignalSpy ended(&beeper, &ToneBeeper::toneEnded);
    // No sound server: each beep rings the bell. One that waited for a server
    // to answer would run the child into the parent's bound.
    beeper.beep(1000, 10);
    EXPECT_FALSE(beeper.lastBeepWasTone());
    beeper.beep(1000, 10);
    EXPECT_FALSE(beeper.lastBeepWasTone());
    EXPECT_FALSE(ended.wait(300));
}

}  // namespace
