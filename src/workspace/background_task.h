#pragma once

#include <QObject>
#include <QThreadPool>

#include <functional>
#include <memory>
#include <optional>

// Carries the end of a background job back to the thread of the receiver.
class BackgroundRelay : public QObject {
    Q_OBJECT
signals:
    void finished();
};

// Runs work on the shared thread pool, then done(result) on the receiver's
// thread; done is dropped when the receiver is gone by then. Disk reads that
// may take long (a folder of 100,000 files) go this way so the window never
// waits for them.
template <class Result>
void RunInBackground(QObject* receiver, std::function<Result()> work,
                     std::function<void(Result&&)> done) {
    auto result = std::make_shared<std::optional<Result>>();
    std::shared_ptr<BackgroundRelay> relay(new BackgroundRelay,
                                           [](BackgroundRelay* r) { r->deleteLater(); });
    QObject::connect(
        relay.get(), &BackgroundRelay::finished, receiver,
        [result, done = std::move(done)] {
            if (result->has_value()) {
                done(std::move(**result));
            }
        },
        Qt::QueuedConnection);
    QThreadPool::globalInstance()->start([relay, result, work = std::move(work)] {
        result->emplace(work());
        emit relay->finished();
    });
}
