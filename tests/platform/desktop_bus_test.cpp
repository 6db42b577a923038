#include "platform/desktop_notifier.h"
#include "platform/sleep_inhibitor.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusUnixFileDescriptor>
#include <QDeadlineTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <atomic>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

// A private session bus for one test: started, addressed, and killed again.
class PrivateBus {
public:
    PrivateBus() {
        daemon_.setProgram(QStringLiteral("dbus-daemon"));
        daemon_.setArguments({"--session", "--nofork", "--nopidfile", "--print-address=1"});
        daemon_.start();
        if (!daemon_.waitForStarted(5000))
            return;
        QDeadlineTimer deadline(5000);
        while (!daemon_.canReadLine() && !deadline.hasExpired())
            daemon_.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        address = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus() {
        QDBusConnection::disconnectFromBus(QStringLiteral("velmora-service"));
        QDBusConnection::disconnectFromBus(QStringLiteral("velmora-client"));
        daemon_.kill();
        daemon_.waitForFinished(5000);
    }
    QDBusConnection connect(const QString& name) const {
        return QDBusConnection::connectToBus(address, name);
    }
    // Puts `fake` on the bus as the service `name`, at `path`.
    bool serve(const QString& name, const QString& path, QObject* fake) const {
        QDBusConnection service = connect(QStringLiteral("velmora-service"));
        return service.registerObject(path, fake, QDBusConnection::ExportAllSlots) &&
               service.registerService(name);
    }

    QString address;

private:
    QProcess daemon_;
};

// Stands in for the desktop's notification service. It answers from a thread
// of its own and only once let (or after a bound), so a caller that waited for
// the answer could not have come back before it.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QVariantList last;  // read once `answered`
    std::atomic_int calls = 0;
    std::atomic_bool answered = false;
    QSemaphore letAnswer;

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& icon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int timeout) {
        ++calls;
        last = {appName, replacesId, icon, summary, body, actions, hints, timeout};
        letAnswer.tryAcquire(1, 10000);
        answered = true;
        return 7;
    }
};

// Stands in for logind: the lock is the write end of a pipe, held as long as
// someone keeps it open, exactly as logind's own descriptor.
class FakeLogin : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    FakeLogin() {
        if (::pipe2(fds_, O_CLOEXEC) != 0)
            fds_[0] = fds_[1] = -1;
    }
    ~FakeLogin() override {
        for (int fd : fds_)
            if (fd >= 0)
                ::close(fd);
    }
    // True once every copy of the write end is closed.
    bool lockClosed() const {
        pollfd p{fds_[0], POLLIN, 0};
        return ::poll(&p, 1, 0) == 1 && (p.revents & POLLHUP);
    }

    QStringList arguments;
    int calls = 0;

public slots:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why,
                                    const QString& mode) {
        ++calls;
        arguments = {what, who, why, mode};
        QDBusUnixFileDescriptor out(fds_[1]);  // a copy goes to the caller
        ::close(fds_[1]);
        fds_[1] = -1;
        return out;
    }

private:
    int fds_[2];
};

TEST(DBusDesktopNotifier, SendsVelmorasNotificationToTheService) {
    PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
    QThread serviceThread;
    serviceThread.start();
    FakeNotifications fake;
    fake.moveToThread(&serviceThread);
    const auto stopService = qScopeGuard([&] {
        fake.letAnswer.release();
        serviceThread.quit();
        serviceThread.wait();
    });
    ASSERT_TRUE(
        bus.serve("org.freedesktop.Notifications", "/org/freedesktop/Notifications", &fake));

    QDBusConnection client = bus.connect(QStringLiteral("velmora-client"));
    ASSERT_TRUE(client.isConnected());
    DBusDesktopNotifier notifier(client);
    notifier.notify(QStringLiteral("Velmora"), QStringLiteral("Downloading files completed"));
    // Sent, not awaited: back before the service answered.
    EXPECT_FALSE(fake.answered);
    fake.letAnswer.release();
    ASSERT_TRUE(waitUntil([&] { return bool(fake.answered); }, 15000));

    EXPECT_EQ(fake.calls, 1);
    ASSERT_EQ(fake.last.size(), 8);
    EXPECT_EQ(fake.last[0].toString(), "Velmora");
    EXPECT_EQ(fake.last[1].toUInt(), 0u);
    EXPECT_EQ(fake.last[2].toString(), "velmora");
    EXPECT_EQ(fake.last[3].toString(), "Velmora");
    EXPECT_EQ(fake.last[4].toString(), "Downloading files completed");
    EXPECT_TRUE(fake.last[5].toStringList().isEmpty());
    EXPECT_EQ(fake.last[7].toInt(), -1);
}

TEST(DBusDesktopNotifier, WithoutAServiceNothingHappens) {
    PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
    QDBusConnection client = bus.connect(QStringLiteral("velmora-client"));
    ASSERT_TRUE(client.isConnected());
    DBusDesktopNotifier notifier(client);
    notifier.notify(QStringLiteral("Velmora"), QStringLiteral("Uploading files completed"));
    // Asked on the same connection, so the bus has handled the notification first.
    EXPECT_FALSE(client.interface()->isServiceRegistered("org.freedesktop.Notifications"));
}

TEST(DBusDesktopNotifier, WithoutABusNothingHappens) {
    const QByteArray saved = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/velmora-no-bus");
    DBusDesktopNotifier notifier;
    notifier.notify(QStringLiteral("Velmora"), QStringLiteral("Downloading files completed"));
    notifier.notify(QStringLiteral("Velmora"), QStringLiteral("Downloading files completed"));
    EXPECT_FALSE(QDBusConnection::sessionBus().isConnected());
    qputenv("DBUS_SESSION_BUS_ADDRESS", saved);
}

TEST(LogindSleepInhibitor, HoldsTheLockUntilReleasedAndAsksOnce) {
    PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
    FakeLogin login;
    ASSERT_TRUE(bus.serve("org.freedesktop.login1", "/org/freedesktop/login1", &login));

    LogindSleepInhibitor inhibitor(bus.connect(QStringLiteral("velmora-client")));
    QSignalSpy changes(&inhibitor, &LogindSleepInhibitor::lockChanged);
    inhibitor.acquire();
    inhibitor.acquire();  // a second transfer: no second lock
    EXPECT_TRUE(inhibitor.isAcquired());
    QTRY_COMPARE_WITH_TIMEOUT(changes.count(), 1, 5000);
    EXPECT_TRUE(inhibitor.holdsLock());
    EXPECT_EQ(login.calls, 1);
    EXPECT_EQ(login.arguments, (QStringList{"sleep", "Velmora", "Transfers are running", "block"}));
    EXPECT_FALSE(login.lockClosed());

    inhibitor.release();
    inhibitor.release();
    EXPECT_FALSE(inhibitor.isAcquired());
    EXPECT_FALSE(inhibitor.holdsLock());
    EXPECT_EQ(changes.count(), 2);
    // The descriptor the bus handed over is closed: logind would end the lock.
    QTRY_VERIFY_WITH_TIMEOUT(login.lockClosed(), 5000);
}

TEST(LogindSleepInhibitor, ReleasedBeforeTheAnswerKeepsNoLock) {
    PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
    FakeLogin login;
    ASSERT_TRUE(bus.serve("org.freedesktop.login1", "/org/freedesktop/login1", &login));

    LogindSleepInhibitor inhibitor(bus.connect(QStringLiteral("velmora-client")));
    inhibitor.acquire();
    inhibitor.release();
    QTRY_COMPARE_WITH_TIMEOUT(login.calls, 1, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(login.lockClosed(), 5000);
    EXPECT_FALSE(inhibitor.holdsLock());
}

TEST(LogindSleepInhibitor, WithoutLogindNothingHappens) {
    PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
    LogindSleepInhibitor inhibitor(bus.connect(QStringLiteral("velmora-client")));
    QSignalSpy changes(&inhibitor, &LogindSleepInhibitor::lockChanged);
    inhibitor.acquire();
    // The bus's refusal has come back once the pending call is gone.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return inhibitor.findChildren<QDBusPendingCallWatcher*>().isEmpty(); }, 5000));
    EXPECT_FALSE(inhibitor.holdsLock());
    EXPECT_EQ(changes.count(), 0);
    inhibitor.release();
}

}  // namespace

#include "desktop_bus_test.moc"
