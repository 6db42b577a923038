#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>

#include <optional>

// Keeps the machine awake while transfers run. Both calls may be repeated:
// only the first acquire takes the lock, and release lets it go once.
class SleepInhibitor {
public:
    virtual ~SleepInhibitor() = default;
    virtual void acquire() = 0;
    virtual void release() = 0;
    virtual bool isAcquired() const = 0;
};

// logind's sleep lock on the system bus: held as long as the descriptor it
// hands out stays open. Asked for without waiting; without logind (or a
// system bus) nothing happens and nothing is reported.
class LogindSleepInhibitor : public QObject, public SleepInhibitor {
    Q_OBJECT
public:
    explicit LogindSleepInhibitor(QObject* parent = nullptr);
    // A given connection instead of the system bus (tests).
    explicit LogindSleepInhibitor(const QDBusConnection& connection, QObject* parent = nullptr);
    ~LogindSleepInhibitor() override;

    void acquire() override;
    void release() override;
    // Wanted by the program; the lock itself comes when logind answers.
    bool isAcquired() const override { return wanted_; }
    // Whether logind's descriptor is held now.
    bool holdsLock() const { return lock_.isValid(); }

signals:
    void lockChanged(bool held);

private:
    void onReply(const QDBusUnixFileDescriptor& fd, quint64 request);

    std::optional<QDBusConnection> connection_;
    QDBusUnixFileDescriptor lock_;
    bool wanted_ = false;
    bool asking_ = false;
    quint64 request_ = 0;
};
