#include "platform/desktop_notifier.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QStringList>
#include <QVariantMap>

namespace {
// Notifications that stay until the user has seen them would pile up after a
// night of transfers; the server's default time-out is right.
constexpr int kServerDefaultTimeout = -1;
}  // namespace

void DBusDesktopNotifier::notify(const QString& title, const QString& text) {
    const QDBusConnection bus = connection_ ? *connection_ : QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    call << QStringLiteral("Velmora") << uint(0) << QStringLiteral("velmora") << title << text
         << QStringList() << QVariantMap() << kServerDefaultTimeout;
    // Many desktops start their notification daemon on the first message;
    // the bus does that. Where none exists the error answer is never read.
    bus.asyncCall(call);
}
