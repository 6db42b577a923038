#include "platform/shutdown.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace {
// logind answers at once without an interactive prompt; the bound only guards
// against a bus that does not answer at all.
constexpr int kCallTimeoutMs = 5000;
}  // namespace

bool LogindShutdown::powerOff() {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
    call << false;  // not interactive
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}
