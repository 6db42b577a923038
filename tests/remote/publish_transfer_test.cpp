// Putting files in place on a live site, against a scripted server: the
// temporary name and the rename, what a server that refuses either gets, the
// temporary an interrupted upload left, kept times and checksums both ways.
#include "remote/transfer_starters.h"
#include "support/remote_harness_util.h"
#include "support/transfer_test_util.h"
#include "workspace/upload_folder_reader.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <optional>

using namespace transfer_test;

namespace {

const QByteArray kHelp =
    "214-The following commands are recognized.\r\n LIST MLSD NLST REST RETR STOR\r\n214 OK\r\n";
const QByteArray kHelpNoRest =
    "214-The following commands are recognized.\r\n LIST MLSD NLST RETR STOR\r\n214 OK\r\n";

QByteArray featWith(const QByteArray& extra, bool rest = true) {
    return "211-Features:\r\n MLST type*;size*;modify*;\r\n" +
           QByteArray(rest ? " REST STREAM\r\n" : "") + extra + "211 End\r\n";
}

const QByteArray kMfmt = " MFMT\r\n MDTM\r\n";
const QByteArray kHash = " HASH SHA-256*;SHA-1;MD5\r\n";
const QByteArray kTemp = ".f.bin.velmora-upload";
// The local file's time, as MFMT writes it.
const QDateTime kLocalTime(QDate(2023, 3, 4), QTime(5, 6, 7), QTimeZone::utc());
const QByteArray kLocalTimeText = "20230304050607";

struct Rig {
    Rig(const QByteArray& feat, bool rest = true) {
        h.login(feat, rest ? kHelp : kHelpNoRest);
        h.finishInitialListing();
        server.emplace(h);
        h.engine.localReader = MakeUploadFolderReader(0);
        QObject::connect(
            &h.engine, &ActionEngine::transferFinished, &guard,
            [this](const TransferInfo&, qint64, bool success) { finished.push_back(success); });
        QObject::connect(&h.engine, &ActionEngine::transferFailed, &guard,
                         [this](const TransferResult& r) { failures.push_back(r); });
        QObject::connect(&h.session, &FtpSession::logLine, &guard, [this](const LogLine& l) {
            if (l.channel == LogChannel::Status)
                status << l.text;
        });
        EXPECT_TRUE(dir.isValid());
    }

    QString path(const QString& relative) const { return dir.filePath(relative); }
    // The commands between the upload's listing and its refresh.
    QStringList storeCommands() const {
        const QStringList& e = timeline.events;
        const qsizetype from = e.indexOf("CWD /www") + 3;
        const qsizetype to = e.lastIndexOf("CWD /www");
        return from > 2 && to >= from ? e.mid(from, to - from) : e;
    }

    SessionHarness h;
    std::optional<TransferServer> server;
    Timeline timeline{h.session};
    TransferStarters starters{h.engine};
    QTemporaryDir dir;
    QObject guard;
    std::vector<bool> finished;
    std::vector<TransferResult> failures;
    QStringList status;
};

LocalFolderRecord recordOf(const QString& path, std::vector<LocalItem> items) {
    LocalFolderRecord r;
    r.path = path;
    r.items = std::move(items);
    return r;
}

bool setTime(const QString& path, const QDateTime& time) {
    QFile f(path);
    return f.open(QIODevice::ReadWrite) && f.setFileTime(time, QFileDevice::FileModificationTime);
}

// One local file f.bin of 100 bytes uploaded into /www, which holds an older
// f.bin of 40 bytes unless the case says otherwise.
struct UploadCase {
    const char* name;
    QByteArray feat;
    PublishOptions options;
    QStringList commands;
    // The upload ended with the new bytes under f.bin, or failed and left the
    // old ones; nothing: no upload.
    std::optional<bool> published;
    // Given the local file's version, for a temporary an earlier upload of it left.
    std::function<void(TransferServer&, const QByteArray& version)> arrange = {};
    quint8 fileAction = TransferAlertOptions::OverwriteAlways;
    bool rest = true;
};

void PrintTo(const UploadCase& c, std::ostream* os) {
    *os << c.name;
}

PublishOptions atomic(bool keepTimes = false, bool verify = false) {
    PublishOptions o;
    o.atomic = true;
    o.keepTimes = keepTimes;
    o.verify = verify;
    return o;
}

const QStringList kAtomic{"PASV", "STOR " + kTemp, "RNFR " + kTemp, "RNTO f.bin"};

class PublishUpload : public testing::TestWithParam<UploadCase> {};

TEST_P(PublishUpload, StoresChecksAndRenames) {
    const UploadCase& c = GetParam();
    Rig rig(c.feat, c.rest);
    rig.h.engine.publish = c.options;
    rig.h.engine.uploadOptions.fileAction = c.fileAction;
    const QByteArray old(40, 'o');
    rig.server->addFile("/www/f.bin", old);
    const QByteArray local = pattern(100, 3);
    ASSERT_TRUE(writeFile(rig.path("f.bin"), local));
    ASSERT_TRUE(setTime(rig.path("f.bin"), kLocalTime));
    if (c.arrange)
        c.arrange(*rig.server, localFileVersion(rig.path("f.bin")));

    ASSERT_TRUE(
        rig.starters.uploadNormal(recordOf(rig.dir.path(), {{"f.bin", false, 100}}), "/www"));
    ASSERT_TRUE(rig.server->run());

    EXPECT_EQ(rig.storeCommands(), c.commands);
    // No temporary is left behind, whatever happened.
    EXPECT_EQ(rig.server->temporaries(), QList<QByteArray>());
    if (!c.published) {
        EXPECT_TRUE(rig.finished.empty());
        return;
    }
    ASSERT_EQ(rig.finished.size(), 1u);
    EXPECT_EQ(rig.finished[0], *c.published);
    if (*c.published) {
        EXPECT_TRUE(rig.server->contentOf("/www/f.bin") == local);
        // The session writes down a reply code it has no case for; nothing else.
        QStringList errors = rig.timeline.errors;
        errors.removeAll("un-switched responding number : 553");
        EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    } else {
        // What visitors read stays the old file, and the failure claims no
        // temporary that is not there.
        EXPECT_TRUE(rig.server->contentOf("/www/f.bin") == old);
        EXPECT_FALSE(rig.timeline.errors.isEmpty());
        ASSERT_EQ(rig.failures.size(), 1u);
        EXPECT_TRUE(rig.failures[0].keptTemporary.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Publish, PublishUpload,
    testing::Values(
        UploadCase{
            "PlainStoresInPlace", featWith({}), PublishOptions(), {"PASV", "STOR f.bin"}, true},
        UploadCase{"AtomicStoresAsideThenRenames", featWith({}), atomic(), kAtomic, true},
        UploadCase{"TimeSetOnTheTemporary",
                   featWith(kMfmt),
                   atomic(true),
                   {"PASV", "STOR " + kTemp, "MFMT " + kLocalTimeText + " " + kTemp,
                    "RNFR " + kTemp, "RNTO f.bin"},
                   true},
        UploadCase{"NoMfmtNoTime", featWith({}), atomic(true), kAtomic, true},
        UploadCase{"ChecksumBeforeTheRename",
                   featWith(kHash),
                   atomic(false, true),
                   {"PASV", "STOR " + kTemp, "HASH " + kTemp, "RNFR " + kTemp, "RNTO f.bin"},
                   true},
        UploadCase{"WrongChecksumLeavesTheOldFile", featWith(kHash), atomic(false, true),
                   QStringList{"PASV", "STOR " + kTemp, "HASH " + kTemp, "DELE " + kTemp}, false,
                   [](TransferServer& s, const QByteArray&) { s.wrongHash = true; }},
        UploadCase{"TemporaryNameRefusedStoresDirectly", featWith({}), atomic(),
                   QStringList{"PASV", "STOR " + kTemp, "PASV", "STOR f.bin"}, true,
                   [](TransferServer& s, const QByteArray&) { s.refuseHidden = true; }},
        UploadCase{"RenameOntoTheFileRefusedDeletesItFirst", featWith({}), atomic(),
                   QStringList{"PASV", "STOR " + kTemp, "RNFR " + kTemp, "RNTO f.bin",
                               "SIZE " + kTemp, "DELE f.bin", "RNFR " + kTemp, "RNTO f.bin"},
                   true, [](TransferServer& s, const QByteArray&) { s.refuseRenameOver = true; }},
        // An interrupted upload of this very version of the file left its
        // first 30 bytes.
        UploadCase{
            "LeftoverContinued", featWith({}), atomic(),
            QStringList{"PASV", "REST 30", "STOR " + kTemp, "RNFR " + kTemp, "RNTO f.bin"}, true,
            [](TransferServer& s, const QByteArray& version) {
                s.addFile("/www/" + uploadTemporaryName("f.bin", version + "0a0b"), pattern(30, 3));
            }},
        UploadCase{"LeftoverContinuedByAppendWithoutRest", featWith({}, false), atomic(),
                   QStringList{"PASV", "APPE " + kTemp, "RNFR " + kTemp, "RNTO f.bin"}, true,
                   [](TransferServer& s, const QByteArray& version) {
                       s.addFile("/www/" + uploadTemporaryName("f.bin", version + "0a0b"),
                                 pattern(30, 3));
                   },
                   TransferAlertOptions::OverwriteAlways, false},
        // Stopped before its rename, the whole file waits there: only renamed.
        UploadCase{"WholeLeftoverRenamed", featWith({}), atomic(),
                   QStringList{"PASV", "REST 100", "STOR " + kTemp, "RNFR " + kTemp, "RNTO f.bin"},
                   true,
                   [](TransferServer& s, const QByteArray& version) {
                       s.addFile("/www/" + uploadTemporaryName("f.bin", version + "0a0b"),
                                 pattern(100, 3));
                   }},
        // Another version's temporary (another upload's, perhaps still being
        // written) is never written into: this upload stores under its own
        // and the other goes once the file is in place; so does an untagged one.
        UploadCase{"LeftoverOfAnotherVersionReplaced", featWith({}), atomic(),
                   kAtomic + QStringList{"DELE " + kTemp}, true,
                   [](TransferServer& s, const QByteArray&) {
                       s.addFile("/www/" + uploadTemporaryName("f.bin", "0123abcd4567"),
                                 pattern(30, 3));
                   }},
        UploadCase{"UntaggedLeftoverReplaced", featWith({}), atomic(),
                   kAtomic + QStringList{"DELE " + kTemp}, true,
                   [](TransferServer& s, const QByteArray&) {
                       s.addFile("/www/" + kTemp, pattern(30, 3));
                   }},
        UploadCase{"LeftoverRemovedWithoutAtomic", featWith({}), PublishOptions(),
                   QStringList{"PASV", "STOR f.bin", "DELE " + kTemp}, true,
                   [](TransferServer& s, const QByteArray&) {
                       s.addFile("/www/" + kTemp, QByteArray(30, 'x'));
                   }},
        UploadCase{"LeftoverRemovedWhenTheFileIsSkipped", featWith({}), atomic(),
                   QStringList{"DELE /www/" + kTemp}, std::nullopt,
                   [](TransferServer& s, const QByteArray&) {
                       s.addFile("/www/f.bin", pattern(100, 3));
                       s.addFile("/www/" + kTemp, QByteArray(30, 'x'));
                   },
                   TransferAlertOptions::OverwriteIfDifferent},
        // A refused store fails, whatever steps were to follow it.
        UploadCase{"RefusedTemporaryStoreFails", featWith({}), atomic(),
                   QStringList{"PASV", "STOR " + kTemp}, false,
                   [](TransferServer& s, const QByteArray&) {
                       s.replies["STOR " + kTemp] = "552 Quota\r\n";
                   }},
        UploadCase{"RefusedStoreFailsBeforeItsTime", featWith(kMfmt),
                   [] {
                       PublishOptions o;
                       o.keepTimes = true;
                       return o;
                   }(),
                   QStringList{"PASV", "STOR f.bin"}, false,
                   [](TransferServer& s, const QByteArray&) {
                       s.replies["STOR f.bin"] = "452 Disk full\r\n";
                   }},
        // Resuming the file itself continues what visitors already read.
        UploadCase{
            "ResumeOfTheFileItselfStaysInPlace", featWith({}), atomic(),
            QStringList{"PASV", "REST 40", "STOR f.bin"}, true,
            [](TransferServer& s, const QByteArray&) { s.addFile("/www/f.bin", pattern(40, 3)); },
            TransferAlertOptions::Resume}),
    [](const testing::TestParamInfo<UploadCase>& info) { return std::string(info.param.name); });

TEST(Publish, ResumedFileInPlaceHoldsTheWholeFile) {
    Rig rig(featWith({}));
    rig.h.engine.publish = atomic();
    rig.h.engine.uploadOptions.fileAction = TransferAlertOptions::Resume;
    const QByteArray local = pattern(100, 3);
    rig.server->addFile("/www/f.bin", local.left(40));
    ASSERT_TRUE(writeFile(rig.path("f.bin"), local));
    ASSERT_TRUE(
        rig.starters.uploadNormal(recordOf(rig.dir.path(), {{"f.bin", false, 100}}), "/www"));
    ASSERT_TRUE(rig.server->run());
    EXPECT_TRUE(rig.server->contentOf("/www/f.bin") == local);
    EXPECT_EQ(rig.finished, std::vector<bool>{true});
}

// The temporary vanished before its rename: the old file is never deleted for
// it, and nothing claims it is still there.
TEST(Publish, ATemporaryGoneBeforeItsRenameLeavesTheOldFile) {
    Rig rig(featWith({}));
    rig.h.engine.publish = atomic();
    rig.server->refuseRenameOver = true;
    rig.server->addFile("/www/f.bin", "old");
    ASSERT_TRUE(writeFile(rig.path("f.bin"), pattern(100, 3)));
    rig.server->pauseAt = [](const QByteArray& line) { return line == "RNFR " + kTemp; };
    ASSERT_TRUE(
        rig.starters.uploadNormal(recordOf(rig.dir.path(), {{"f.bin", false, 100}}), "/www"));
    rig.server->run();
    ASSERT_EQ(rig.server->temporaries().size(), 1);
    ASSERT_TRUE(rig.server->entries.remove(rig.server->temporaries().value(0)));
    rig.server->pauseAt = {};
    ASSERT_TRUE(rig.server->run());
    EXPECT_EQ(rig.storeCommands(), (QStringList{"PASV", "STOR " + kTemp, "RNFR " + kTemp}));
    EXPECT_EQ(rig.server->contentOf("/www/f.bin"), "old");
    ASSERT_EQ(rig.failures.size(), 1u);
    EXPECT_TRUE(rig.failures[0].keptTemporary.isEmpty());
    EXPECT_TRUE(rig.failures[0].error.contains("could not be renamed") &&
                rig.failures[0].error.contains("another upload of the file may have put"))
        << rig.failures[0].error.toStdString();
}

// Another upload of the same file renamed or rewrote the temporary between
// RNFR and RNTO: the refusal costs nothing, the old file stays.
TEST(Publish, ATemporaryTakenByAnotherUploadNeverCostsTheOldFile) {
    for (const bool replaced : {false, true}) {
        Rig rig(featWith({}));
        rig.h.engine.publish = atomic();
        rig.server->refuseRenameOver = true;
        rig.server->addFile("/www/f.bin", "old");
        ASSERT_TRUE(writeFile(rig.path("f.bin"), pattern(100, 3)));
        rig.server->pauseAt = [](const QByteArray& line) { return line == "RNTO f.bin"; };
        ASSERT_TRUE(
            rig.starters.uploadNormal(recordOf(rig.dir.path(), {{"f.bin", false, 100}}), "/www"));
        rig.server->run();
        ASSERT_EQ(rig.server->temporaries().size(), 1);
        const QByteArray temporary = rig.server->temporaries().value(0);
        ASSERT_TRUE(rig.server->entries.remove(temporary));
        if (replaced)
            rig.server->addFile(temporary, pattern(60, 5));
        rig.server->pauseAt = {};
        ASSERT_TRUE(rig.server->run());
        EXPECT_EQ(rig.storeCommands(), (QStringList{"PASV", "STOR " + kTemp, "RNFR " + kTemp,
                                                    "RNTO f.bin", "SIZE " + kTemp}))
            << replaced;
        EXPECT_EQ(rig.server->contentOf("/www/f.bin"), "old");
        ASSERT_EQ(rig.failures.size(), 1u);
        EXPECT_TRUE(rig.failures[0].error.contains("renamed or changed by someone else"))
            << rig.failures[0].error.toStdString();
    }
}

TEST(Publish, LaterFilesAreRenamedFirstEvenOnceRenameOntoAFileWasRefused) {
    Rig rig(featWith({}));
    rig.h.engine.publish = atomic();
    rig.server->refuseRenameOver = true;
    for (const char* name : {"a.bin", "b.bin"}) {
        rig.server->addFile(QByteArray("/www/") + name, "old");
        ASSERT_TRUE(writeFile(rig.path(name), pattern(50)));
    }
    ASSERT_TRUE(rig.starters.uploadNormal(
        recordOf(rig.dir.path(), {{"a.bin", false, 50}, {"b.bin", false, 50}}), "/www"));
    ASSERT_TRUE(rig.server->run());

    const QStringList commands = rig.storeCommands();
    const qsizetype b = commands.indexOf("STOR .b.bin.velmora-upload");
    ASSERT_GT(b, 0) << commands.join(", ").toStdString();
    EXPECT_EQ(commands.mid(b),
              (QStringList{"STOR .b.bin.velmora-upload", "RNFR .b.bin.velmora-upload", "RNTO b.bin",
                           "SIZE .b.bin.velmora-upload", "DELE b.bin", "RNFR .b.bin.velmora-upload",
                           "RNTO b.bin"}));
    EXPECT_TRUE(rig.server->contentOf("/www/a.bin") == pattern(50));
    EXPECT_TRUE(rig.server->contentOf("/www/b.bin") == pattern(50));
    // Said once, for the first file.
    EXPECT_EQ(rig.status.filter("would not rename").size(), 1)
        << rig.status.join('\n').toStdString();
}

TEST(Publish, TemporaryRefusalIsLoggedAsNotAtomic) {
    Rig rig(featWith({}));
    rig.h.engine.publish = atomic();
    rig.server->refuseHidden = true;
    rig.server->addFolder("/www");
    ASSERT_TRUE(writeFile(rig.path("f.bin"), "new"));
    ASSERT_TRUE(rig.starters.uploadNormal(recordOf(rig.dir.path(), {{"f.bin", false, 3}}), "/www"));
    ASSERT_TRUE(rig.server->run());
    ASSERT_EQ(rig.status.filter("not atomic").size(), 1) << rig.status.join('\n').toStdString();
    EXPECT_TRUE(rig.status.filter("not atomic")[0].contains("/www/f.bin"));
    EXPECT_EQ(rig.finished, std::vector<bool>{true});
}

TEST(Publish, DirectUploadsReplaceAtomically) {
    Rig rig(featWith(kHash));
    rig.h.engine.publish = atomic(true, true);
    rig.server->addFile("/www/c.log", "old text");
    const QByteArray content = pattern(25000);
    rig.starters.uploadDirect("/www", "c.log", content, true);
    ASSERT_TRUE(rig.server->run());
    const QStringList& e = rig.timeline.events;
    EXPECT_EQ(e.mid(e.indexOf("start: Start uploading concerned file")),
              (QStringList{"start: Start uploading concerned file", "CWD /www", "PASV",
                           "STOR .c.log.velmora-upload", "HASH .c.log.velmora-upload",
                           "RNFR .c.log.velmora-upload", "RNTO c.log",
                           "completed 0: Uploading concerned file completed"}));
    EXPECT_TRUE(rig.server->contentOf("/www/c.log") == content);
}

TEST(Publish, VerificationAskedOfAServerWithoutChecksumsIsSaidOnce) {
    Rig rig(featWith({}));
    rig.h.engine.publish = atomic(false, true);
    rig.server->addFolder("/www");
    for (const char* name : {"a.bin", "b.bin"})
        ASSERT_TRUE(writeFile(rig.path(name), "x"));
    ASSERT_TRUE(rig.starters.uploadNormal(
        recordOf(rig.dir.path(), {{"a.bin", false, 1}, {"b.bin", false, 1}}), "/www"));
    ASSERT_TRUE(rig.server->run());
    // A notice, once: the files arrived, so nothing failed.
    EXPECT_EQ(rig.status.filter("no checksum command").size(), 1)
        << rig.status.join('\n').toStdString();
    EXPECT_TRUE(rig.timeline.errors.isEmpty()) << rig.timeline.errors.join('\n').toStdString();
    EXPECT_EQ(rig.finished, (std::vector<bool>{true, true}));
    EXPECT_EQ(rig.server->contentOf("/www/b.bin"), "x");
}

// ---------------------------------------------------------------- download

struct DownloadCase {
    const char* name;
    bool mlsd;
    QByteArray feat;
    PublishOptions options;
    QStringList afterRetr;  // what follows the RETR
    bool wrongHash;
    bool kept;  // the new bytes replaced the local file
};

void PrintTo(const DownloadCase& c, std::ostream* os) {
    *os << c.name;
}

class PublishDownload : public testing::TestWithParam<DownloadCase> {};

const QStringList kDownloaded{"completed 2: Downloading files completed"};

TEST_P(PublishDownload, TakesTheTimeAndChecksTheBytes) {
    const DownloadCase& c = GetParam();
    SessionOptions o = SessionHarness::defaultOptions();
    o.preferMlsd = c.mlsd;
    SessionHarness h(o);
    h.login(c.feat, kHelp);
    h.finishInitialListing();
    TransferServer server(h);
    server.unixListings = !c.mlsd;
    server.wrongHash = c.wrongHash;
    Timeline timeline(h.session);
    h.engine.publish = c.options;
    h.engine.downloadOptions.fileAction = TransferAlertOptions::OverwriteAlways;
    server.addFile("/www/f.bin", pattern(5000));
    server.entries["/www/f.bin"].modify = "20220708091011";
    QTemporaryDir dir;
    ASSERT_TRUE(writeFile(dir.filePath("f.bin"), "old"));

    TransferStarters(h.engine).download("/www", dir.path());
    ASSERT_TRUE(server.run());

    const qsizetype retr = timeline.events.indexOf("RETR f.bin");
    ASSERT_GE(retr, 0);
    EXPECT_EQ(timeline.events.mid(retr + 1), c.afterRetr + kDownloaded);
    EXPECT_EQ(readFile(dir.filePath("f.bin")), c.kept ? pattern(5000) : QByteArray("old"));
    const QDateTime listed(QDate(2022, 7, 8), QTime(9, 10, 11), QTimeZone::utc());
    const bool timeKept = c.kept && c.options.keepTimes && (c.mlsd || c.feat.contains("MDTM"));
    EXPECT_EQ(QFileInfo(dir.filePath("f.bin")).lastModified() == listed, timeKept);
    // Nothing of a refused download is left beside the file.
    EXPECT_EQ(treeOf(dir.path()), QStringList{"f.bin"});
}

PublishOptions keepTimes() {
    PublishOptions o;
    o.keepTimes = true;
    return o;
}

PublishOptions verify() {
    PublishOptions o;
    o.verify = true;
    return o;
}

INSTANTIATE_TEST_SUITE_P(
    Publish, PublishDownload,
    testing::Values(
        DownloadCase{"MlsdTimeNeedsNoCommand", true, featWith(kMfmt), keepTimes(), {}, false, true},
        DownloadCase{
            "ListAsksMdtm", false, featWith(kMfmt), keepTimes(), {"MDTM f.bin"}, false, true},
        DownloadCase{
            "ListWithoutMdtmKeepsNoTime", false, featWith({}), keepTimes(), {}, false, true},
        DownloadCase{
            "ChecksumMatches", true, featWith(kHash), verify(), {"HASH f.bin"}, false, true},
        DownloadCase{"ChecksumDiffersKeepsTheOldFile",
                     true,
                     featWith(kHash),
                     verify(),
                     {"HASH f.bin"},
                     true,
                     false}),
    [](const testing::TestParamInfo<DownloadCase>& info) { return std::string(info.param.name); });

}  // namespace
