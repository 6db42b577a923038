#include "support/secret_service_session.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

#include <memory>
#include <optional>

namespace {

// A session bus without service folders: a store that is not started by the test is never
// started behind its back.
constexpr char kBusConfig[] = R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

QString startBus(QProcess& bus, const QString& folder, QString* error) {
    const QString config = folder + QStringLiteral("/bus.conf");
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) || file.write(kBusConfig) < 0) {
        *error = QStringLiteral("could not write %1").arg(config);
        return {};
    }
    file.close();
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty()) {
        *error = QStringLiteral("dbus-daemon is not installed (package dbus)");
        return {};
    }
    bus.setProgram(QStringLiteral("dbus-daemon"));
    bus.setArguments({QStringLiteral("--config-file=") + config, "--nofork", "--nopidfile",
                      "--print-address=1"});
    bus.setProcessChannelMode(QProcess::SeparateChannels);
    bus.start();
    if (!bus.waitForStarted(5000)) {
        *error = QStringLiteral("dbus-daemon did not start");
        return {};
    }
    const QDeadlineTimer deadline(10000);
    while (!bus.canReadLine() && !deadline.hasExpired())
        bus.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();
    if (address.isEmpty())
        *error = QStringLiteral("dbus-daemon gave no address");
    return address;
}

}  // namespace

SecretServiceSession::SecretServiceSession() {
    if (!home_.isValid() || !runtime_.isValid()) {
        error_ = QStringLiteral("no temporary folder");
        return;
    }
    QFile::setPermissions(runtime_.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (QStandardPaths::findExecutable(QStringLiteral("gnome-keyring-daemon")).isEmpty()) {
        error_ = QStringLiteral(
            "gnome-keyring-daemon is not installed (package gnome-keyring; "
            "scripts/install-deps.sh installs it)");
        return;
    }
    address_ = startBus(bus_, runtime_.path(), &error_);
    if (!error_.isEmpty())
        return;

    daemon_.setProcessEnvironment(environment(QProcessEnvironment::systemEnvironment()));
    daemon_.setProgram(QStringLiteral("gnome-keyring-daemon"));
    daemon_.setArguments({"--unlock", "--foreground", "--components=secrets"});
    daemon_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    daemon_.start();
    if (!daemon_.waitForStarted(5000)) {
        error_ = QStringLiteral("gnome-keyring-daemon did not start");
        return;
    }
    // The login keyring is made and unlocked with what arrives on standard input.
    daemon_.write(kTestPassword);
    daemon_.waitForBytesWritten(5000);  // no event loop runs here to write it later
    daemon_.closeWriteChannel();

    QDBusConnection probe =
        QDBusConnection::connectToBus(address_, QStringLiteral("velmora-secrets-probe"));
    const QDeadlineTimer deadline(15000);
    bool ready = false;
    while (!ready && !deadline.hasExpired() && daemon_.state() == QProcess::Running) {
        ready = probe.isConnected() &&
                probe.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.secrets"));
        if (!ready)
            QThread::msleep(20);
    }
    if (!ready)
        error_ = QStringLiteral("gnome-keyring-daemon did not offer the Secret Service (%1, %2)")
                     .arg(daemon_.state() == QProcess::Running ? QStringLiteral("running")
                                                               : QStringLiteral("ended"),
                          probe.isConnected() ? QStringLiteral("bus reached")
                                              : probe.lastError().message());
    QDBusConnection::disconnectFromBus(QStringLiteral("velmora-secrets-probe"));
}

SecretServiceSession::~SecretServiceSession() {
    for (QProcess* p : {&daemon_, &bus_}) {
        if (p->state() != QProcess::NotRunning) {
            p->terminate();
            if (!p->waitForFinished(3000)) {
                p->kill();
                p->waitForFinished(3000);
            }
        }
    }
}

QProcessEnvironment SecretServiceSession::environment(QProcessEnvironment base) const {
    base.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
    base.insert(QStringLiteral("HOME"), home_.path());
    base.insert(QStringLiteral("XDG_DATA_HOME"), home_.path() + QStringLiteral("/.local/share"));
    base.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.path() + QStringLiteral("/.config"));
    base.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
    return base;
}

namespace {

SecretServiceSession* sharedSession = nullptr;
QTemporaryDir* emptyBusFolder = nullptr;
QProcess* emptyBus = nullptr;

// Ended with the application object, while its event machinery still works.
void endShared() {
    delete sharedSession;
    sharedSession = nullptr;
    if (emptyBus) {
        emptyBus->kill();
        emptyBus->waitForFinished(3000);
    }
    delete emptyBus;
    emptyBus = nullptr;
    delete emptyBusFolder;
    emptyBusFolder = nullptr;
}

void endWithTheApplication() {
    static bool registered = false;
    if (!registered)
        qAddPostRoutine(endShared);
    registered = true;
}

}  // namespace

SecretServiceSession& SecretServiceSession::shared() {
    if (!sharedSession) {
        endWithTheApplication();
        sharedSession = new SecretServiceSession;
        if (sharedSession->isRunning())
            qputenv("DBUS_SESSION_BUS_ADDRESS", sharedSession->busAddress().toUtf8());
    }
    return *sharedSession;
}

QString SecretServiceSession::emptyBusAddress() {
    static QString address;
    if (!emptyBus) {
        endWithTheApplication();
        emptyBusFolder = new QTemporaryDir;
        emptyBus = new QProcess;
        QString error;
        address = startBus(*emptyBus, emptyBusFolder->path(), &error);
        // Without a bus a run finds no store all the same, and never the user's own.
        if (address.isEmpty())
            address = QStringLiteral("unix:path=/nonexistent/velmora-no-bus");
    }
    return address;
}

SecretStore::Result SecretServiceSession::read(SecretStore& store, const QString& key) {
    // Shared with the callback, which may still come after we gave up.
    auto answer = std::make_shared<std::optional<SecretStore::Result>>();
    store.read(key, [answer](const SecretStore::Result& r) { *answer = r; });
    if (!QTest::qWaitFor([&] { return answer->has_value(); }, 30000)) {
        SecretStore::Result late;
        late.message = QStringLiteral("no answer from the secret store within 30 s");
        return late;
    }
    return **answer;
}
