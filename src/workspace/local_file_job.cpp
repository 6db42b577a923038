#include "workspace/local_file_job.h"

#include <QElapsedTimer>
#include <QThread>

#include "platform/local_path.h"
#include "workspace/project_folders.h"

LocalFileJob::LocalFileJob(Kind kind, QStringList changed, Work work)
    : kind_(kind), changed_(std::move(changed)), work_(std::move(work)) {}

std::unique_ptr<LocalFileJob> LocalFileJob::deleteFolder(const QString& path, int showFlags) {
    // The views of the folder and of its parent change; the top has no parent.
    QStringList changed{LocalParentFolder(path), path};
    changed.removeAll(QString());
    return std::unique_ptr<LocalFileJob>(new LocalFileJob(
        Kind::Delete, std::move(changed), [path, showFlags](LocalWalk& walk, Result& r) {
            if (DeleteLocalFolder(path, showFlags, &walk))
                r.done << path;
        }));
}

std::unique_ptr<LocalFileJob> LocalFileJob::deleteItems(const QString& folder,
                                                        std::vector<LocalItemRef> items,
                                                        int showFlags) {
    return std::unique_ptr<LocalFileJob>(
        new LocalFileJob(Kind::Delete, {folder},
                         [folder, items = std::move(items), showFlags](LocalWalk& walk, Result& r) {
                             DeleteLocalItems(folder, items, showFlags, &walk);
                             for (const LocalItemRef& item : items) {
                                 const QString path = JoinLocalPath(folder, item.name);
                                 if (!item.name.isEmpty() && !LocalNameTaken(path))
                                     r.done << path;
                             }
                         }));
}

std::unique_ptr<LocalFileJob> LocalFileJob::paste(CopyBuffer buffer, const QString& destination) {
    return std::unique_ptr<LocalFileJob>(
        new LocalFileJob(Kind::Paste, {destination},
                         [buffer = std::move(buffer), destination](LocalWalk& walk, Result& r) {
                             const PasteResult pasted = PasteItems(buffer, destination, &walk);
                             r.done = pasted.pasted;
                             r.skipped = pasted.skipped;
                         }));
}

std::unique_ptr<LocalFileJob> LocalFileJob::move(const QString& source, const QString& destination,
                                                 std::vector<LocalItemRef> items) {
    return std::unique_ptr<LocalFileJob>(new LocalFileJob(
        Kind::Move, {source, destination},
        [source, destination, items = std::move(items)](LocalWalk& walk, Result& r) {
            r.done = MoveLocalItems(source, destination, items, &walk).moved;
        }));
}

LocalFileJob::~LocalFileJob() {
    if (thread_) {
        walk_.stop();
        thread_->wait();
        delete thread_;
    }
}

QString LocalFileJob::caption() const {
    switch (kind_) {
        case Kind::Delete:
            return QStringLiteral("Deleting");
        case Kind::Paste:
            return QStringLiteral("Pasting");
        case Kind::Move:
            return QStringLiteral("Moving");
    }
    return {};
}

void LocalFileJob::start() {
    if (thread_)
        return;
    // Progress goes out at most every few milliseconds: a tree of many small
    // files must not flood the window's queue.
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    walk_.onStep = [this, clock](int entries, const QString& path) {
        if (clock->elapsed() < 50)
            return;
        clock->restart();
        QMetaObject::invokeMethod(
            this, [this, entries, path] { emit progress(entries, path); }, Qt::QueuedConnection);
    };
    thread_ = QThread::create([this] {
        Result r;
        work_(walk_, r);
        r.failures = walk_.failures();
        r.cancelled = walk_.stopped();
        QMetaObject::invokeMethod(
            this,
            [this, r] {
                result_ = r;
                finished_ = true;
                emit finished();
            },
            Qt::QueuedConnection);
    });
    thread_->start();
}

void LocalFileJob::cancel() {
    walk_.stop();
}

QString LocalFileJob::failureText() const {
    if (result_.failures.empty())
        return {};
    const char* verb = kind_ == Kind::Delete  ? "Can not delete: "
                       : kind_ == Kind::Paste ? "Can not paste: "
                                              : nullptr;
    QStringList lines;
    constexpr size_t kShown = 10;
    for (size_t i = 0; i < result_.failures.size() && i < kShown; ++i) {
        const LocalFailure& f = result_.failures[i];
        lines << (verb ? QString::fromLatin1(verb) + f.path + QStringLiteral(" (") + f.reason +
                             QLatin1Char(')')
                       : CannotMoveText(f));
    }
    if (result_.failures.size() > kShown)
        lines << QStringLiteral("... and %1 more").arg(result_.failures.size() - kShown);
    return lines.join(QLatin1Char('\n'));
}

QString LocalFileJob::endText() const {
    QStringList lines;
    if (result_.cancelled) {
        const char* what = kind_ == Kind::Delete  ? "what it had not reached is still there"
                           : kind_ == Kind::Paste ? "the copies hold only what was pasted so far"
                                                  : "what it had not reached stays where it was";
        lines << QStringLiteral("%1 was cancelled before the end: %2.")
                     .arg(caption(), QLatin1String(what));
        for (const QString& done : result_.done.mid(0, 10))
            lines << QStringLiteral("  ") + done;
    }
    if (const QString failures = failureText(); !failures.isEmpty())
        lines << failures;
    constexpr qsizetype kShown = 10;
    for (const QString& s : result_.skipped.mid(0, kShown))
        lines << QStringLiteral("Not copied: ") + s;
    if (result_.skipped.size() > kShown)
        lines << QStringLiteral("... and %1 more not copied").arg(result_.skipped.size() - kShown);
    return lines.join(QLatin1Char('\n'));
}
