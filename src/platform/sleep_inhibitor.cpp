#include "platform/sleep_inhibitor.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

LogindSleepInhibitor::LogindSleepInhibitor(QObject* parent) : QObject(parent) {}

LogindSleepInhibitor::LogindSleepInhibitor(const QDBusConnection& connection, QObject* parent)
    : QObject(parent), connection_(connection) {}

LogindSleepInhibitor::~LogindSleepInhibitor() = default;  // the descriptor closes with lock_

void LogindSleepInhibitor::acquire() {
    if (wanted_)
        return;
    wanted_ = true;
    if (asking_ || lock_.isValid())
        return;
    const QDBusConnection bus = connection_ ? *connection_ : QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep") << QStringLiteral("Velmora")
         << QStringLiteral("Transfers are running") << QStringLiteral("block");
    asking_ = true;
    const quint64 request = ++request_;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, request](QDBusPendingCallWatcher* w) {
                QDBusPendingReply<QDBusUnixFileDescriptor> reply = *w;
                w->deleteLater();
                onReply(reply.isValid() ? reply.value() : QDBusUnixFileDescriptor(), request);
            });
}

void LogindSleepInhibitor::onReply(const QDBusUnixFileDescriptor& fd, quint64 request) {
    if (request != request_)
        return;
    asking_ = false;
    // Released while the question was out: the descriptor closes right here.
    if (!wanted_ || !fd.isValid())
        return;
    lock_ = fd;
    emit lockChanged(true);
}

void LogindSleepInhibitor::release() {
    if (!wanted_)
        return;
    wanted_ = false;
    if (lock_.isValid()) {
        lock_ = QDBusUnixFileDescriptor();  // closing our copy ends the lock
        emit lockChanged(false);
    }
}
