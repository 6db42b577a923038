#include "remote/failed_transfers.h"

#include "remote/download_actions.h"
#include "remote/task_list.h"
#include "remote/transfer_counts.h"
#include "remote/transfer_starters.h"
#include "remote/upload_actions.h"
#include "session/socket_group.h"
#include "support/session_harness.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TransferResult Failed(SocketKind kind, const QByteArray& name, qint64 offset, qint64 position,
                      const QString& problem = {}, bool stopped = false) {
    TransferResult r;
    r.info.socketKind = int(kind);
    r.info.remoteFolder = "/www";
    r.info.fileName = name;
    r.info.localPath = QStringLiteral("/tmp/site/") + QString::fromUtf8(name);
    r.info.total = 1000;
    r.info.startOffset = offset;
    r.position = position;
    r.error = problem;
    r.stopped = stopped;
    return r;
}

}  // namespace

// A retry never continues a file that holds something else: only a download
// that was continuing the local file, or an upload that sent bytes, resumes.
TEST(FailedTransfers, RetryResumesOnlyWhatWasItsOwn) {
    using O = TransferAlertOptions;
    const struct {
        const char* name;
        SocketKind kind;
        qint64 offset, position;
        bool rest;
        quint8 action;
        bool atomic = false, keptTemporary = false;
    } cases[] = {
        {"whole download", SocketKind::DownloadFile, 0, 600, true, O::OverwriteAlways},
        {"download continued in place", SocketKind::DownloadFile, 100, 600, true, O::Resume},
        {"...on a server without REST", SocketKind::DownloadFile, 100, 600, false,
         O::OverwriteAlways},
        {"upload that sent bytes", SocketKind::UploadFile, 0, 500, true, O::Resume},
        {"upload that sent nothing", SocketKind::UploadFile, 0, 0, true, O::OverwriteAlways},
        {"...on a server without REST", SocketKind::UploadFile, 0, 500, false, O::OverwriteAlways},
        {"upload whose temporary stayed", SocketKind::UploadFile, 0, 500, true, O::Resume, true,
         true},
        // Resuming would continue the old file visitors read.
        {"upload whose temporary went", SocketKind::UploadFile, 0, 500, true, O::OverwriteAlways,
         true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TransferResult r = Failed(c.kind, "a", c.offset, c.position);
        r.info.publish.options.atomic = c.atomic;
        r.keptTemporary = c.keptTemporary ? QByteArray(".a.0123456789ab.velmora-upload") : "";
        const O o = FailedTransfers::retryOptions(r, c.rest);
        EXPECT_EQ(c.action, o.fileAction);
        EXPECT_EQ(O::Overwrite, o.ifLarger);
        EXPECT_EQ(0, o.showAlert);
    }
}

TEST(FailedTransfers, KeepsFailuresOfTheServerAndRetriesThemThere) {
    SessionHarness h;
    h.loginIdle();
    FailedTransfers failed(h.engine);
    QSignalSpy added(&failed, &FailedTransfers::added);

    h.engine.announceTransfer(Failed(SocketKind::DownloadFile, "a.html", 0, 300));
    h.engine.announceTransfer(
        Failed(SocketKind::UploadFile, "b.css", 0, 0, QStringLiteral("553 Not allowed")));
    // Direct transfers are their pages' to fetch again; a success is no failure.
    h.engine.announceTransfer(Failed(SocketKind::DirectDownload, "c.txt", 0, 0));
    TransferResult done = Failed(SocketKind::DownloadFile, "d.html", 0, 1000);
    done.success = true;
    h.engine.announceTransfer(done);
    // The same transfer failing again takes its entry's place.
    h.engine.announceTransfer(
        Failed(SocketKind::DownloadFile, "a.html", 0, 500, QString(), /*stopped=*/true));
    ASSERT_EQ(2, failed.count());
    EXPECT_EQ(2, added.count());
    EXPECT_EQ(QStringLiteral("Download a.html from /www: stopped by the user (500 of 1,000 bytes)"),
              FailedTransfers::describe(failed.at(0)));
    EXPECT_EQ(QStringLiteral("Upload b.css to /www: 553 Not allowed (0 of 1,000 bytes sent)"),
              FailedTransfers::describe(failed.at(1)));

    // Transfers of one server wait for a login there.
    const SessionOptions here = h.session.options();
    SessionOptions elsewhere = here;
    elsewhere.host = QStringLiteral("elsewhere.example");
    h.session.setOptions(elsewhere);
    EXPECT_FALSE(failed.canRetry(0));
    EXPECT_FALSE(failed.retry(0));
    h.session.setOptions(here);
    EXPECT_TRUE(failed.canRetry(0));
    EXPECT_FALSE(failed.canRetry(5));

    ASSERT_TRUE(failed.retry(0));
    EXPECT_EQ(1, failed.count());
    const CommandQueue& q = h.session.queue();
    const DownloadAction* action = nullptr;
    for (int i = 0; i < q.size() && !action; ++i)
        action = dynamic_cast<const DownloadAction*>(q.at(i));
    ASSERT_TRUE(action);
    EXPECT_EQ(QByteArray("/www"), action->folder);
    EXPECT_EQ(QStringLiteral("/tmp/site"), action->localFolder);
    ASSERT_EQ(1, action->selection.size());
    EXPECT_EQ(QByteArray("a.html"), action->selection.at(0).name);
    ASSERT_TRUE(action->options.has_value());
    EXPECT_EQ(TransferAlertOptions::OverwriteAlways, action->options->fileAction);

    // Removed, a transfer leaves nothing it kept: the upload's temporary on
    // the server, the download's part file (never an upload sent nothing to).
    QTemporaryDir dir;
    TransferResult up = Failed(SocketKind::UploadFile, "c.css", 0, 400);
    up.info.publish.options.atomic = true;
    up.keptTemporary = ".c.css.0123456789ab.velmora-upload";
    TransferResult down = Failed(SocketKind::DownloadFile, "e.html", 0, 300);
    down.keptPath = dir.filePath(QStringLiteral(".e.html.velmora-part"));
    QFile part(down.keptPath);
    ASSERT_TRUE(part.open(QIODevice::WriteOnly));
    part.close();
    h.engine.announceTransfer(up);
    h.engine.announceTransfer(down);
    const int queued = q.size();
    // All at once, as "Remove" takes a long selection: one step for the run of rows.
    ASSERT_EQ(failed.count(), 3);
    QSignalSpy removed(&failed, &FailedTransfers::removed);
    failed.remove({2, 0, 1, 7});
    EXPECT_TRUE(failed.isEmpty());
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed.at(0), (QList<QVariant>{0, 2}));
    EXPECT_FALSE(QFile::exists(down.keptPath));
    ASSERT_EQ(q.size(), queued + 1);
    EXPECT_EQ(CommandQueue::describe(*q.at(queued)), QByteArray("{CWD, DELE}"));
    EXPECT_EQ(q.at(queued)->steps().last().argument,
              QByteArray(".c.css.0123456789ab.velmora-upload"));

    // Once logged out, its temporary can not be deleted: closing warns instead.
    h.engine.announceTransfer(up);
    EXPECT_EQ(failed.temporariesOnServer(), 1);
    EXPECT_TRUE(failed.temporariesElsewhereQuestion().isEmpty());
    h.session.closeConnection();
    EXPECT_FALSE(failed.canRetry(0));
    EXPECT_FALSE(failed.retry(0));
    EXPECT_EQ(failed.temporariesOnServer(), 0);
    EXPECT_EQ(failed.temporariesElsewhereQuestion().toStdString(),
              "An upload that did not finish left a hidden partial copy on " +
                  failed.at(0).server.toStdString() +
                  ", which Velmora is not logged in to now: the site's visitors may fetch it "
                  "until it is removed. To remove it, connect there again and remove the failed "
                  "upload. Close anyway?");
}

// Retried together, the files of one folder go after one listing of it, not
// one listing each.
TEST(FailedTransfers, RetriedTogetherTheFilesOfAFolderShareItsListing) {
    SessionHarness h;
    h.loginIdle();
    FailedTransfers failed(h.engine);
    for (const char* name : {"a.html", "b.html"}) {
        h.engine.announceTransfer(Failed(SocketKind::UploadFile, name, 0, 0));
        h.engine.announceTransfer(Failed(SocketKind::DownloadFile, name, 0, 0));
    }
    h.session.sendCommand("NOOP");  // the work below waits behind it
    ASSERT_EQ(4, failed.retry(std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(failed.isEmpty());
    std::vector<QByteArray> uploaded, downloaded;
    int listings = 0;
    for (int i = 0; i < h.session.queue().size(); ++i) {
        const CommandGroup* g = h.session.queue().at(i);
        if (const auto* up = dynamic_cast<const UploadNormalAction*>(g)) {
            ++listings;
            for (const LocalItem& item : up->local.items)
                uploaded.push_back(item.name.toUtf8());
        } else if (const auto* down = dynamic_cast<const DownloadAction*>(g)) {
            ++listings;
            for (int j = 0; j < down->selection.size(); ++j)
                downloaded.push_back(down->selection.at(j).name);
        }
    }
    EXPECT_EQ(2, listings);
    std::sort(uploaded.begin(), uploaded.end());
    std::sort(downloaded.begin(), downloaded.end());
    EXPECT_EQ(uploaded, (std::vector<QByteArray>{"a.html", "b.html"}));
    EXPECT_EQ(downloaded, (std::vector<QByteArray>{"a.html", "b.html"}));
}

// Work stopped before its folder was listed comes back as what it stood for:
// the selected files, and folders to fetch (or send) whole again.
TEST(FailedTransfers, UnstartedFolderWorkIsKeptToo) {
    SessionHarness h;
    h.loginIdle();
    FailedTransfers failed(h.engine);
    TaskList tasks;
    TransferCounts counts(h.session, h.engine, tasks, nullptr, failed);
    h.session.sendCommand("NOOP");  // the work below waits behind it
    RemoteItemList selection;
    RemoteItem file;
    file.kind = '-';
    file.name = "a.html";
    file.size = 40;
    RemoteItem folder;
    folder.kind = 'd';
    folder.name = "img";
    selection.append(file);
    selection.append(folder);
    TransferStarters(h.engine).download("/www", "/tmp/site", selection);
    LocalFolderRecord local;
    local.path = QStringLiteral("/tmp/up");
    local.items = {{QStringLiteral("css"), true, 0}, {QStringLiteral("b.js"), false, 7}};
    TransferStarters(h.engine).uploadNormal(local, "/www");
    // A folder a walk reached, whose making may have gone with the queue:
    // its retry goes through the parent folder, which makes it.
    LocalFolderRecord blog;
    blog.path = QStringLiteral("/tmp/up/blog");
    blog.items = {{QStringLiteral("post.html"), false, 9}};
    auto child = std::make_unique<UploadNormalAction>(h.engine, "/www/blog", blog, StepList());
    child->subfolder = true;
    h.session.queue().append(std::move(child));
    h.session.clearQueue();

    QStringList described;
    for (int i = 0; i < failed.count(); ++i)
        described << FailedTransfers::describe(failed.at(i));
    EXPECT_EQ(described,
              (QStringList{"Download a.html from /www: stopped by the user (0 of 40 bytes)",
                           "Download folder img from /www: stopped by the user",
                           "Upload folder css to /www: stopped by the user",
                           "Upload b.js to /www: stopped by the user (0 of 7 bytes sent)",
                           "Upload folder blog to /www: stopped by the user"}));
    EXPECT_EQ(QStringLiteral("/tmp/up/blog"), failed.at(4).result.info.localPath);
    // The status line's count is the list's, folders included, and follows it.
    EXPECT_EQ(5, counts.failed());
    failed.remove(4);
    EXPECT_EQ(4, counts.failed());

    ASSERT_TRUE(failed.retry(1));
    const DownloadAction* action = nullptr;
    for (int i = 0; i < h.session.queue().size() && !action; ++i)
        action = dynamic_cast<const DownloadAction*>(h.session.queue().at(i));
    ASSERT_TRUE(action);
    EXPECT_EQ(QStringLiteral("/tmp/site"), action->localFolder);
    ASSERT_EQ(1, action->selection.size());
    EXPECT_EQ(QByteArray("img"), action->selection.at(0).name);
    ASSERT_TRUE(action->options.has_value());
    EXPECT_EQ(TransferAlertOptions::OverwriteIfDifferent, action->options->fileAction);

    ASSERT_TRUE(failed.retry(1));  // the folder to upload, now second
    const UploadNormalAction* upload = nullptr;
    for (int i = 0; i < h.session.queue().size() && !upload; ++i)
        upload = dynamic_cast<const UploadNormalAction*>(h.session.queue().at(i));
    ASSERT_TRUE(upload);
    EXPECT_EQ(QByteArray("/www"), upload->folder);
    EXPECT_EQ(QStringLiteral("/tmp/up"), upload->local.path);
    ASSERT_EQ(1u, upload->local.items.size());
    EXPECT_EQ(QStringLiteral("css"), upload->local.items.front().name);
    EXPECT_TRUE(upload->local.items.front().isFolder);
    ASSERT_TRUE(upload->options.has_value());
    EXPECT_EQ(TransferAlertOptions::OverwriteIfDifferent, upload->options->fileAction);
}

// A retry, or the same file sent again, takes over what the failure kept: the
// part file and the temporary stay for it to continue from.
TEST(FailedTransfers, ARetryOrANewTransferTakesOverWhatTheFailureKept) {
    SessionHarness h;
    h.loginIdle();
    FailedTransfers failed(h.engine);
    QTemporaryDir dir;
    TransferResult down = Failed(SocketKind::DownloadFile, "e.html", 0, 300);
    down.info.localPath = dir.filePath(QStringLiteral("e.html"));
    down.keptPath = dir.filePath(QStringLiteral(".e.html.velmora-part"));
    QFile part(down.keptPath);
    ASSERT_TRUE(part.open(QIODevice::WriteOnly));
    part.close();
    TransferResult up = Failed(SocketKind::UploadFile, "c.css", 0, 400);
    up.info.publish.options.atomic = true;
    up.keptTemporary = ".c.css.0123456789ab.velmora-upload";
    h.engine.announceTransfer(down);
    h.engine.announceTransfer(up);
    ASSERT_EQ(failed.count(), 2);

    const int queued = h.session.queue().size();
    ASSERT_TRUE(failed.retry(0));
    EXPECT_TRUE(QFile::exists(down.keptPath));
    failed.onTransferStarted(nullptr, up.info);
    EXPECT_TRUE(failed.isEmpty());
    for (int i = queued; i < h.session.queue().size(); ++i)
        EXPECT_NE(CommandQueue::describe(*h.session.queue().at(i)), QByteArray("{CWD, DELE}"));
}
