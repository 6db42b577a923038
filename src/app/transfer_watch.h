#pragma once

#include <QObject>
#include <QString>

#include <functional>

class DesktopNotifier;
class FtpSession;
class SleepInhibitor;
class TransferPool;

// Looks after the user who walked away from a long transfer: the machine is
// kept from sleeping while the session has transfers in hand, and the end of a
// download or upload is announced on the desktop when the window is not the
// active one (an active window shows it on its status line already).
class TransferWatch : public QObject {
    Q_OBJECT
public:
    TransferWatch(FtpSession& session, DesktopNotifier& notifier, SleepInhibitor& inhibitor,
                  std::function<bool()> windowActive, QObject* parent = nullptr);
    ~TransferWatch() override;

    static QString notificationTitle() { return QStringLiteral("Velmora"); }

    // Transfers on the connections beside the session count too: sleep may
    // come only once they are done as well.
    void watchPool(TransferPool& pool);

private:
    void onMarker(int fakeKind, int value, const QString& caption);

    void releaseWhenAllDone();

    FtpSession& session_;
    TransferPool* pool_ = nullptr;
    DesktopNotifier& notifier_;
    SleepInhibitor& inhibitor_;
    std::function<bool()> windowActive_;
};
