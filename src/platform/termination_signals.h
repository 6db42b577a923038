#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (a logout, Ctrl+C, a closed terminal) delivered on the event loop
// instead of ending the process where it stands, so the program can close normally and save
// what it holds. After the first one the default actions are back: a second signal ends the
// program at once if closing hangs. One instance per process.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // False when the handlers could not be installed; the signals then keep their defaults.
    bool isActive() const { return notifier_ != nullptr; }

signals:
    void received(int signal);

private:
    void readSignal();

    QSocketNotifier* notifier_ = nullptr;
};

// A write past the process's file size limit (ulimit -f) fails with EFBIG, reported like any
// other failed write, instead of ending the program by SIGXFSZ with files half written.
void IgnoreFileSizeLimitSignal();
