#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers the widget `find` returns as soon as it shows: polled from the event
// loop, since a modal dialog or a menu runs a loop of its own once open. Gives
// up once `boundMs` have passed without one, so a test never hangs on it.
class WhenShown {
public:
    using Finder = std::function<QWidget*()>;
    using Answer = std::function<void(QWidget*)>;

    static QWidget* modal() { return QApplication::activeModalWidget(); }
    static QWidget* popup() { return QApplication::activePopupWidget(); }

    WhenShown(Finder find, Answer answer, int boundMs = 10000)
        : find_(std::move(find)), answer_(std::move(answer)), deadline_(boundMs) {
        poll_.setInterval(5);
        QObject::connect(&poll_, &QTimer::timeout, [this] { check(); });
        poll_.start();
    }

    bool answered() const { return answered_; }
    // Runs the event loop until answered or given up; whether it was answered.
    bool wait() {
        const bool settled = QTest::qWaitFor([this] { return !poll_.isActive(); },
                                             int(deadline_.remainingTime()) + 100);
        return settled && answered_;
    }

private:
    void check() {
        QWidget* shown = find_();
        if (shown && shown->isVisible()) {
            poll_.stop();
            answered_ = true;
            answer_(shown);
        } else if (deadline_.hasExpired()) {
            poll_.stop();
        }
    }

    Finder find_;
    Answer answer_;
    QDeadlineTimer deadline_;
    QTimer poll_;
    bool answered_ = false;
};
