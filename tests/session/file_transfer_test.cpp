#include "session/download_file_group.h"
#include "session/partial_download.h"
#include "session/transfer_size.h"
#include "session/upload_file_group.h"
#include "support/session_harness.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "support/upload_temporaries.h"

#include <gtest/gtest.h>

#include <optional>

using Lines = QList<QByteArray>;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return f.readAll();
}

QStringList entries(const QTemporaryDir& dir) {
    return QDir(dir.path())
        .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// Bytes 0..250 repeated: every offset has its own pattern position.
QByteArray pattern(qint64 size) {
    QByteArray out(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        out[i] = char(i % 251);
    return out;
}

struct DownloadFixture {
    // Declared first, so gone last: a group still queued reports its end as
    // the harness drops it, and that report lands here.
    std::optional<TransferResult> result;
    QTemporaryDir dir;
    QString target;
    SessionHarness h;
    DownloadFileGroup* group = nullptr;

    DownloadFixture() {
        h.loginIdle();
        target = dir.filePath("a.txt");
    }

    void start(qint64 offset, const StepList& steps) {
        TransferInfo info;
        info.remoteFolder = "/www";
        info.fileName = "a.txt";
        info.localPath = target;
        info.startOffset = offset;
        auto g = std::make_unique<DownloadFileGroup>(info, steps);
        g->onResult = [this](const TransferResult& r) { result = r; };
        group = g.get();
        h.session.queue().append(std::move(g));
        h.session.sendCommand("NOOP");  // behind the download
        h.engine.sendIfIdle();
    }

    // Up to the data connection with RETR on the wire.
    FakeTransport* open() {
        h.reply(SessionHarness::pasv(5010));
        if (h.sent().last() == "REST 4")
            h.reply("350 Restarting at 4\r\n");
        FakeTransport* d = h.acceptData();
        h.reply("150 Opening BINARY mode data connection\r\n");
        return d;
    }
};

}  // namespace

TEST(Download, WholeFetchReplacesTheFileOnlyAfterTheFinalReply) {
    DownloadFixture f;
    writeFile(f.target, "old content");
    QSignalSpy ended(&f.h.session, &FtpSession::transferEndedSignal);
    const int before = int(f.h.sent().size());
    f.start(0, {{"PASV", {}}, {"RETR", "a.txt"}});
    FakeTransport* d = f.open();
    EXPECT_EQ(f.h.sentSince(before), (Lines{"PASV", "RETR a.txt"}));
    EXPECT_TRUE(f.h.texts(LogChannel::Ignored).contains("Above excessive respnse 150 is ignored"));

    d->feed("new ");
    f.h.settle();
    EXPECT_EQ(readFile(f.target), "old content");
    // The bytes go to a hidden sibling meanwhile.
    const QStringList during = entries(f.dir);
    ASSERT_EQ(during.size(), 2) << during.join(' ').toStdString();
    EXPECT_TRUE(during.contains("a.txt"));

    d->hangUp("content");
    f.h.settle();
    EXPECT_EQ(readFile(f.target), "old content");
    EXPECT_FALSE(f.result.has_value());

    const int m = f.h.mark();
    f.h.reply("226 Transfer complete\r\n");
    EXPECT_EQ(readFile(f.target), "new content");
    EXPECT_EQ(entries(f.dir), QStringList{"a.txt"});
    ASSERT_TRUE(f.result.has_value());
    EXPECT_TRUE(f.result->success);
    EXPECT_EQ(f.result->position, 11);
    EXPECT_EQ(ended.count(), 1);
    EXPECT_EQ(f.h.logSince(m),
              (QStringList{"reply: 226 Transfer complete", "trace: 'PASV, RETR' has been removed",
                           "sent: NOOP", "reply-trace: 226 is deleted"}));
}

TEST(Download, WholeFetchOfANewFileCreatesIt) {
    for (const QByteArray& content : {QByteArray("abc"), QByteArray()}) {
        DownloadFixture f;
        f.start(0, {{"PASV", {}}, {"RETR", "a.txt"}});
        FakeTransport* d = f.open();
        d->hangUp(content);
        f.h.settle();
        f.h.reply("226 Transfer complete\r\n");
        EXPECT_EQ(readFile(f.target), content);
        EXPECT_EQ(entries(f.dir), QStringList{"a.txt"});
        ASSERT_TRUE(f.result.has_value());
        EXPECT_TRUE(f.result->success);
    }
}

struct FailedDownloadCase {
    const char* name;
    bool removeFromQueue;  // otherwise the server refuses with 550
    bool dataClosed;
};

class FailedDownload : public ::testing::TestWithParam<FailedDownloadCase> {};

TEST_P(FailedDownload, LeavesTheOldFileAndKeepsWhatArrived) {
    const FailedDownloadCase& c = GetParam();
    DownloadFixture f;
    writeFile(f.target, "old content");
    f.start(0, {{"PASV", {}}, {"RETR", "a.txt"}});
    FakeTransport* d = f.open();
    d->feed("partial new bytes");
    f.h.settle();
    if (c.dataClosed) {
        d->hangUp();
        f.h.settle();
    }
    const int m = f.h.mark();
    if (c.removeFromQueue) {
        f.h.session.removeGroup(f.group);
        f.h.settle();
        EXPECT_EQ(f.h.sent().last(), "ABOR");
    } else {
        f.h.reply("550 Failed to open file\r\n");
        EXPECT_TRUE(
            f.h.logSince(m).contains("trace: 'PASV, <RETR>' has been removed - error (550)"));
        EXPECT_EQ(f.h.sent().last(), "NOOP");
    }
    EXPECT_EQ(readFile(f.target), "old content");
    EXPECT_EQ(entries(f.dir), (QStringList{".a.txt.velmora-part", "a.txt"}));
    const std::optional<KeptPart> kept = PartialDownload::inspect(f.target);
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->length, 17);
    EXPECT_EQ(kept->source.remotePath, "/www/a.txt");
    ASSERT_TRUE(f.result.has_value());
    EXPECT_FALSE(f.result->success);
    EXPECT_EQ(f.result->keptPath, f.dir.filePath(".a.txt.velmora-part"));
}

INSTANTIATE_TEST_SUITE_P(, FailedDownload,
                         ::testing::Values(FailedDownloadCase{"refusedWhileOpen", false, false},
                                           FailedDownloadCase{"refusedAfterClose", false, true},
                                           FailedDownloadCase{"removedWhileOpen", true, false},
                                           FailedDownloadCase{"removedAfterClose", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Download, RemovedBeforeItStartedLeavesTheFile) {
    DownloadFixture f;
    writeFile(f.target, "old content");
    f.h.session.sendCommand("SYST");  // keeps the download waiting
    f.start(0, {{"PASV", {}}, {"RETR", "a.txt"}});
    f.h.session.removeGroup(f.group);
    f.h.settle();
    EXPECT_EQ(readFile(f.target), "old content");
    EXPECT_EQ(entries(f.dir), QStringList{"a.txt"});
}

TEST(Download, UnwritableTargetIsAnErrorAndNotASuccess) {
    DownloadFixture f;
    f.target = f.dir.filePath("no-such-folder/a.txt");
    QSignalSpy failures(&f.h.session, &FtpSession::failure);
    f.start(0, {{"PASV", {}}, {"RETR", "a.txt"}});
    FakeTransport* d = f.open();
    d->feed("some bytes");
    d->hangUp("more bytes");
    f.h.settle();
    f.h.reply("226 Transfer complete\r\n");
    EXPECT_EQ(f.h.texts(LogChannel::Error),
              QStringList{"Can not create local file: " + f.dir.filePath("no-such-folder/") +
                          ".a.txt.velmora-part (No such file or directory)"});
    EXPECT_EQ(failures.count(), 1);
    ASSERT_TRUE(f.result.has_value());
    EXPECT_FALSE(f.result->success);
    EXPECT_TRUE(entries(f.dir).isEmpty());
    // The queue goes on.
    EXPECT_EQ(f.h.sent().last(), "NOOP");
}

// Where the size check stands for every way a server can name the size.
TEST(TransferSize, ShortfallTable) {
    struct Row {
        qint64 listed, announced, position, offset;
        bool binary;
        const char* expected;
    };
    const Row rows[] = {
        {1000, -1, 1000, 0, true, ""},
        {1000, -1, 999, 0, true, "the server sent 999 of 1,000 bytes"},
        {1000, -1, 1200, 0, true, ""},
        {0, -1, 50, 0, true, ""},
        {-1, 1000, 1000, 0, true, ""},
        {-1, 1000, 1001, 0, true, "the server sent 1,001 of 1,000 bytes"},
        {-1, 1000, 1001, 0, false, ""},  // ASCII brings line ends of its own
        {-1, 1000, 999, 0, false, "the server sent 999 of 1,000 bytes"},
        // After REST 400: servers name the whole file or what is left of it.
        {1000, 1000, 1000, 400, true, ""},
        {1000, 600, 1000, 400, true, ""},
        {1000, 600, 700, 400, true, "the server sent 700 of 1,000 bytes"},
        {1000, 1000, 700, 400, true, "the server sent 700 of 1,000 bytes"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.listed << ' ' << r.announced << ' ' << r.position
                                        << ' ' << r.offset << ' ' << r.binary);
        TransferSize size{r.listed, r.announced};
        EXPECT_EQ(size.shortfall(r.position, r.offset, r.binary), QString::fromUtf8(r.expected));
    }
    EXPECT_EQ(TransferSize::announcedIn("150 Opening BINARY mode data connection for a (1000 "
                                        "bytes)."),
              1000);
    EXPECT_EQ(TransferSize::announcedIn("150 Opening data connection."), -1);
    EXPECT_EQ(TransferSize::announcedIn("150 x (12 34 bytes)"), -1);
}

// The record at the end of kept data: read back whole, or not at all.
TEST(PartialDownload, RecordIsReadBackOrRefused) {
    QTemporaryDir dir;
    const QString target = dir.filePath("t.bin");
    const PartialSource source{"/a/t.bin", 1000, "2024-1-5 10:30:00"};
    QFile part(PartialDownload::pathFor(target));
    ASSERT_TRUE(part.open(QIODevice::ReadWrite));
    part.write(QByteArray(300, 'x'));
    part.flush();
    QString why;
    ASSERT_TRUE(PartialDownload::seal(part, 300, source, &why)) << why.toStdString();
    part.close();
    std::optional<KeptPart> kept = PartialDownload::inspect(target);
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->length, 300);
    EXPECT_EQ(kept->source, source);
    EXPECT_EQ(kept->path, dir.filePath(".t.bin.velmora-part"));

    // Bytes appended by a run killed outright, or a cut record: no record.
    for (const QByteArray& damage : {QByteArray("more data"), QByteArray()}) {
        ASSERT_TRUE(part.open(QIODevice::ReadWrite));
        if (damage.isEmpty()) {
            part.resize(part.size() - 1);
        } else {
            part.seek(part.size());
            part.write(damage);
        }
        part.close();
        EXPECT_FALSE(PartialDownload::inspect(target).has_value());
        ASSERT_TRUE(part.open(QIODevice::ReadWrite));
        ASSERT_TRUE(PartialDownload::seal(part, 300, source, &why));
        part.close();
    }
    // The longest name still gives a name the file system takes.
    const QString longTarget = dir.filePath(QString(255, QLatin1Char('n')));
    EXPECT_EQ(QFileInfo(PartialDownload::pathFor(longTarget)).fileName().toUtf8().size(), 255);
}

struct ResumeCase {
    const char* name;
    QByteArray arriving;
    QByteArray expected;
};

class ResumedDownload : public ::testing::TestWithParam<ResumeCase> {};

TEST_P(ResumedDownload, ContinuesTheExistingFileAtItsOffset) {
    DownloadFixture f;
    writeFile(f.target, "0123456789");
    const int before = int(f.h.sent().size());
    f.start(4, {{"PASV", {}}, {"REST", "4"}, {"RETR", "a.txt"}});
    FakeTransport* d = f.open();
    EXPECT_EQ(f.h.sentSince(before), (Lines{"PASV", "REST 4", "RETR a.txt"}));
    d->feed(GetParam().arriving.left(1));
    f.h.settle();
    d->hangUp(GetParam().arriving.mid(1));
    f.h.settle();
    f.h.reply("226 Transfer complete\r\n");
    EXPECT_EQ(readFile(f.target), GetParam().expected);
    EXPECT_EQ(entries(f.dir), QStringList{"a.txt"});
    ASSERT_TRUE(f.result.has_value());
    EXPECT_TRUE(f.result->success);
    EXPECT_EQ(f.result->position, GetParam().expected.size());
}

INSTANTIATE_TEST_SUITE_P(, ResumedDownload,
                         ::testing::Values(ResumeCase{"longerThanBefore", "ABCDEFGH",
                                                      "0123ABCDEFGH"},
                                           ResumeCase{"sameLength", "ABCDEF", "0123ABCDEF"},
                                           ResumeCase{"shorterEndsThere", "AB", "0123AB"}),
                         [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------------------------ uploads

namespace {

struct UploadFixture {
    // Declared first, so gone last: a group still queued reports its end as
    // the harness drops it, and that report lands here.
    std::optional<TransferResult> result;
    QTemporaryDir dir;
    QString source;
    SessionHarness h;
    UploadFileGroup* group = nullptr;

    UploadFixture() {
        h.loginIdle();
        source = dir.filePath("a.bin");
    }

    void start(qint64 offset, const StepList& steps = {{"PASV", {}}, {"STOR", "a.bin"}},
               bool atomic = false, const std::function<void(TransferInfo&)>& adjust = {}) {
        TransferInfo info;
        info.remoteFolder = "/www";
        info.fileName = "a.bin";
        info.localPath = source;
        info.startOffset = offset;
        info.publish.options.atomic = atomic;
        if (adjust)
            adjust(info);
        auto g = std::make_unique<UploadFileGroup>(info, steps);
        g->onResult = [this](const TransferResult& r) { result = r; };
        group = g.get();
        h.session.queue().append(std::move(g));
        h.session.sendCommand("NOOP");  // behind the upload
        h.engine.sendIfIdle();
    }

    // 227: the data transport exists, not yet accepted.
    FakeTransport* passive() {
        const int before = h.factory.count();
        h.reply(SessionHarness::pasv(5020));
        EXPECT_EQ(h.factory.count(), before + 1);
        return h.factory.last();
    }

    const FakeConnectionRecord& dataRecord() const {
        return h.factory.record(h.factory.count() - 1);
    }
};

QList<qint64> repeated(qint64 size, int count, qint64 rest = 0) {
    QList<qint64> out(count, size);
    if (rest > 0)
        out << rest;
    return out;
}

}  // namespace

struct ChunkCase {
    const char* name;
    qint64 fileSize;
    qint64 chunk;
    QList<qint64> sends;
};

class UploadChunks : public ::testing::TestWithParam<ChunkCase> {};

TEST_P(UploadChunks, ReadsTheFileInTenths) {
    const ChunkCase& c = GetParam();
    UploadFixture f;
    const QByteArray content = pattern(c.fileSize);
    writeFile(f.source, content);
    f.start(0);
    FakeTransport* d = f.passive();
    EXPECT_EQ(f.h.sent().last(), "STOR a.bin");
    d->accept();
    f.h.settle();
    EXPECT_EQ(f.group->chunkSize(), c.chunk);
    EXPECT_EQ(f.dataRecord().sendSizes, c.sends);
    EXPECT_TRUE(f.dataRecord().sent == content);
    // All sent: our side ends the data connection, the server confirms.
    EXPECT_TRUE(f.dataRecord().closedByClient);
    f.h.reply("150 Ok to send data\r\n");
    f.h.reply("226 Transfer complete\r\n");
    EXPECT_TRUE(f.h.texts(LogChannel::Trace).contains("'PASV, STOR' has been removed"));
    ASSERT_TRUE(f.result.has_value());
    EXPECT_TRUE(f.result->success);
    EXPECT_EQ(f.h.sent().last(), "NOOP");
}

INSTANTIATE_TEST_SUITE_P(
    , UploadChunks,
    ::testing::Values(ChunkCase{"fiftyThousand", 50000, 10000, repeated(10000, 5)},
                      ChunkCase{"smallFile", 2500, 10000, {2500}},
                      ChunkCase{"tenthOfTheFile", 123456, 12345, repeated(12345, 10, 6)},
                      ChunkCase{"fiveMegabytes", 5000000, 100000, repeated(100000, 50)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Upload, ChunkSizeRule) {
    const std::pair<qint64, qint64> table[] = {
        {0, 10000},      {50000, 10000},    {100000, 10000},   {100010, 10001},
        {999999, 99999}, {1000000, 100000}, {5000000, 100000}, {qint64(1) << 40, 100000}};
    for (const auto& [size, chunk] : table)
        EXPECT_EQ(UploadFileGroup::chunkSizeFor(size), chunk) << size;
}

struct OffsetCase {
    const char* name;
    qint64 offset;
    qint64 sentFrom;  // -1: the file is shorter than the server's part, nothing goes
};

class UploadOffset : public ::testing::TestWithParam<OffsetCase> {};

// After "REST offset" the file goes from there; anything else would write the
// file's start after the part already on the server.
TEST_P(UploadOffset, SendsFromTheOffsetOnlyInsideTheFile) {
    UploadFixture f;
    const QByteArray content = pattern(50000);
    writeFile(f.source, content);
    f.start(GetParam().offset);
    if (GetParam().sentFrom < 0) {
        f.h.settle();
        ASSERT_TRUE(f.result.has_value());
        EXPECT_FALSE(f.result->success);
        EXPECT_TRUE(f.result->error.contains("shorter than the part"))
            << f.result->error.toStdString();
        EXPECT_FALSE(f.h.sent().contains("STOR a.bin"));
        return;
    }
    f.passive()->accept();
    f.h.settle();
    EXPECT_TRUE(f.dataRecord().sent == content.mid(GetParam().sentFrom))
        << "sent " << f.dataRecord().sent.size() << " bytes";
}

INSTANTIATE_TEST_SUITE_P(
    , UploadOffset,
    ::testing::Values(OffsetCase{"none", 0, 0}, OffsetCase{"inside", 20000, 20000},
                      OffsetCase{"lastByte", 49999, 49999}, OffsetCase{"atTheEnd", 50000, 50000},
                      OffsetCase{"beyondTheEnd", 60000, -1}, OffsetCase{"negative", -5, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Upload, NothingGoesOutBeforeTheStoreCommand) {
    UploadFixture f;
    const QByteArray content = pattern(30000);
    writeFile(f.source, content);
    f.start(0, {{"PASV", {}}, {"TYPE", "I"}, {"STOR", "a.bin"}});
    f.passive()->accept();
    f.h.settle();
    EXPECT_EQ(f.h.sent().last(), "TYPE I");
    EXPECT_TRUE(f.dataRecord().sent.isEmpty());
    f.h.reply("200 Type set\r\n");
    EXPECT_EQ(f.h.sent().last(), "STOR a.bin");
    EXPECT_TRUE(f.dataRecord().sent == content);
}

TEST(Upload, StallsWhileTheTransportTakesNothingAndResumes) {
    UploadFixture f;
    const QByteArray content = pattern(50000);
    writeFile(f.source, content);
    QList<qint64> progress;
    QObject::connect(&f.h.session, &FtpSession::transferProgressSignal,
                     [&](const SocketGroup*, qint64 position) { progress << position; });
    f.start(0);
    FakeTransport* d = f.passive();
    d->setSendBudget(25000);
    d->accept();
    f.h.settle();
    EXPECT_EQ(f.dataRecord().sent.size(), 25000);
    EXPECT_FALSE(f.dataRecord().closedByClient);
    EXPECT_EQ(progress, (QList<qint64>{0, 10000, 20000, 25000}));
    f.h.settle();
    EXPECT_EQ(f.dataRecord().sent.size(), 25000);

    d->grantSend(-1);
    f.h.settle();
    EXPECT_TRUE(f.dataRecord().sent == content);
    EXPECT_TRUE(f.dataRecord().closedByClient);
    EXPECT_EQ(progress.last(), 50000);
    f.h.reply("226 Transfer complete\r\n");
    ASSERT_TRUE(f.result.has_value());
    EXPECT_TRUE(f.result->success);
}

// The local file shrank or was written to while it was sent: what arrived is
// not the file, so it is never renamed over the old one, and its temporary goes.
TEST(Upload, AFileChangedWhileSentIsNeverPutInPlace) {
    const struct {
        const char* what;
        std::function<bool(const QString&)> change;
        const char* error;
    } cases[] = {
        {"shrank", [](const QString& path) { return QFile::resize(path, 20000); },
         "shorter than it was"},
        {"rewritten",
         [](const QString& path) {
             QFile file(path);
             return file.open(QIODevice::ReadWrite) && file.write(QByteArray(1000, 'x')) == 1000;
         },
         "changed while it was sent"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        UploadFixture f;
        writeFile(f.source, pattern(50000));
        f.start(0, {{"PASV", {}}, {"STOR", "a.bin"}}, true);
        FakeTransport* d = f.passive();
        d->setSendBudget(25000);
        d->accept();
        f.h.settle();
        ASSERT_TRUE(c.change(f.source));
        d->grantSend(-1);
        f.h.settle();
        EXPECT_TRUE(f.dataRecord().closedByClient);
        f.h.reply("150 Ok to send data\r\n");
        f.h.reply("226 Transfer complete\r\n");
        EXPECT_EQ(untagTemporaries(f.h.sent().last()), "DELE .a.bin.velmora-upload");
        f.h.reply("250 Deleted\r\n");
        ASSERT_TRUE(f.result.has_value());
        EXPECT_FALSE(f.result->success);
        EXPECT_TRUE(f.result->error.contains(c.error)) << f.result->error.toStdString();
        EXPECT_FALSE(f.h.sent().contains("RNTO a.bin"));
    }
}

// Its folder listed a temporary of this version to continue, but the file
// changed before its turn: it goes whole, and that temporary goes after.
TEST(Upload, ATemporaryOfAnotherVersionIsNeverContinued) {
    UploadFixture f;
    writeFile(f.source, pattern(30000));
    f.start(100, {{"PASV", {}}, {"REST", "100"}, {"STOR", "a.bin"}}, true, [](TransferInfo& info) {
        info.publish.continuesTemporary = true;
        info.publish.temporaryTag = "0123abcd4567";
    });
    f.passive()->accept();
    f.h.settle();
    EXPECT_FALSE(f.h.sent().contains("REST 100"));
    f.h.reply("150 Ok to send data\r\n");
    f.h.settle();
    EXPECT_TRUE(f.dataRecord().sent == pattern(30000));
    f.h.reply("226 Transfer complete\r\n");
    for (const char* reply : {"350 Ready\r\n", "250 Renamed\r\n"})
        f.h.reply(reply);
    EXPECT_EQ(f.h.sent().last(), "DELE .a.bin.0123abcd4567.velmora-upload");
}

TEST(Upload, MissingLocalFileNeverSendsStore) {
    UploadFixture f;
    QSignalSpy started(&f.h.session, &FtpSession::transferStartedSignal);
    const int before = int(f.h.sent().size());
    const int m = f.h.mark();
    f.start(0, {{"CWD", "/www"}, {"PASV", {}}, {"STOR", "a.bin"}});
    EXPECT_EQ(f.h.sentSince(before), Lines{"NOOP"});
    const QStringList logged = f.h.logSince(m);
    ASSERT_EQ(logged.size(), 2);
    EXPECT_TRUE(logged[0].startsWith("error: Can not open local file: " + f.source))
        << logged[0].toStdString();
    EXPECT_EQ(logged[1], "sent: NOOP");
    ASSERT_TRUE(f.result.has_value());
    EXPECT_FALSE(f.result->success);
    EXPECT_EQ(started.count(), 0);
    EXPECT_EQ(f.h.session.queue().size(), 1);
}
