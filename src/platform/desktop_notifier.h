#pragma once

#include <QDBusConnection>
#include <QString>

#include <optional>

// A short message in the desktop's notification area, for work that ended
// while the user looked elsewhere.
class DesktopNotifier {
public:
    virtual ~DesktopNotifier() = default;
    virtual void notify(const QString& title, const QString& text) = 0;
};

// The desktop's notification service on the session bus. The call is sent and
// forgotten: no answer is awaited, and without a bus or a service nothing
// happens.
class DBusDesktopNotifier : public DesktopNotifier {
public:
    // The session bus of the user.
    DBusDesktopNotifier() = default;
    // A given connection (tests use a private bus).
    explicit DBusDesktopNotifier(const QDBusConnection& connection) : connection_(connection) {}

    void notify(const QString& title, const QString& text) override;

private:
    std::optional<QDBusConnection> connection_;
};
