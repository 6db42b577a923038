#include "app/transfer_watch.h"

#include "platform/desktop_notifier.h"
#include "platform/sleep_inhibitor.h"
#include "remote/task_status.h"
#include "remote/transfer_pool.h"
#include "session/fake_group.h"
#include "session/ftp_session.h"

TransferWatch::TransferWatch(FtpSession& session, DesktopNotifier& notifier,
                             SleepInhibitor& inhibitor, std::function<bool()> windowActive,
                             QObject* parent)
    : QObject(parent),
      session_(session),
      notifier_(notifier),
      inhibitor_(inhibitor),
      windowActive_(std::move(windowActive)) {
    // The first file of a task takes the lock; later ones find it held.
    connect(&session, &FtpSession::transferStartedSignal, this, [this] { inhibitor_.acquire(); });
    // Nothing left in the queue, or no connection to carry it: sleep may come.
    const auto release = [this] { inhibitor_.release(); };
    connect(&session, &FtpSession::idle, this, &TransferWatch::releaseWhenAllDone);
    connect(&session, &FtpSession::disconnected, this, release);
    connect(&session, &FtpSession::connectionClosed, this, release);
    connect(&session, &FtpSession::taskMarker, this,
            [this](int fakeKind, int value, const QString& caption, quintptr) {
                onMarker(fakeKind, value, caption);
            });
}

void TransferWatch::watchPool(TransferPool& pool) {
    pool_ = &pool;
    connect(&pool, &TransferPool::transferStarted, this, [this] { inhibitor_.acquire(); });
    connect(&pool, &TransferPool::idle, this, &TransferWatch::releaseWhenAllDone);
}

void TransferWatch::releaseWhenAllDone() {
    if (session_.queue().isEmpty() && !(pool_ && pool_->busy()))
        inhibitor_.release();
}

TransferWatch::~TransferWatch() {
    inhibitor_.release();
}

void TransferWatch::onMarker(int fakeKind, int value, const QString& caption) {
    if (fakeKind != int(FakeKind::Completed))
        return;
    if (value != TaskStatus::CompletedUpload && value != TaskStatus::CompletedDownload)
        return;
    if (windowActive_ && windowActive_())
        return;
    notifier_.notify(notificationTitle(), caption);
}
