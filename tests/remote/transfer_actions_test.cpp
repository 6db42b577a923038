#include "remote/download_actions.h"
#include "remote/transfer_decision.h"
#include "remote/transfer_pool.h"
#include "remote/transfer_starters.h"
#include "remote/upload_actions.h"
#include "session/partial_download.h"
#include "support/remote_harness_util.h"
#include "support/transfer_test_util.h"
#include "workspace/upload_folder_reader.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

#include <sys/resource.h>

using namespace transfer_test;

namespace {

const QByteArray kFeatRest =
    "211-Features:\r\n MLST type*;size*;modify*;\r\n REST STREAM\r\n211 End\r\n";
const QByteArray kHelpRest =
    "214-The following commands are recognized.\r\n LIST MLSD NLST REST RETR STOR\r\n214 OK\r\n";
const QByteArray kFeatNoRest = "211-Features:\r\n MLST type*;size*;modify*;\r\n211 End\r\n";
const QByteArray kHelpNoRest =
    "214-The following commands are recognized.\r\n LIST MLSD NLST RETR STOR\r\n214 OK\r\n";

struct ServerKind {
    bool rest = true;
    bool mlsd = true;
};

SessionOptions optionsFor(bool mlsd) {
    SessionOptions o = SessionHarness::defaultOptions();
    o.preferMlsd = mlsd;
    return o;
}

struct LoggedIn : SessionHarness {
    explicit LoggedIn(ServerKind s) : SessionHarness(optionsFor(s.mlsd)) {
        login(s.rest ? kFeatRest : kFeatNoRest, s.rest ? kHelpRest : kHelpNoRest);
        finishInitialListing();
    }
};

struct Finished {
    QByteArray name;
    qint64 position;
    bool success;
};

// A logged-in session, a scripted server with a file system, a local folder,
// and the order in which commands, task markers and local refreshes happened.
struct Rig {
    explicit Rig(ServerKind s = {}) : h(s) {
        server.unixListings = !s.mlsd;
        h.engine.localReader = MakeUploadFolderReader(0);
        QObject::connect(&h.session, &FtpSession::downloadToFolder, &guard,
                         [this](const QString& f) { timeline.events << "local refresh: " + f; });
        QObject::connect(&h.engine, &ActionEngine::transferFinished, &guard,
                         [this](const TransferInfo& info, qint64 position, bool success) {
                             finished.push_back({info.fileName, position, success});
                         });
        QObject::connect(&h.engine, &ActionEngine::listingReady, &guard,
                         [this](const ListingAction* a, const RemoteItemList&) {
                             listings << QString::fromLatin1(a->actionName()) + ' ' +
                                             QString::fromUtf8(a->folder);
                         });
        EXPECT_EQ(h.session.serverSupportsRest(), s.rest);
        EXPECT_TRUE(dir.isValid());
    }

    QString path(const QString& relative) const { return dir.filePath(relative); }
    QString list() const { return server.unixListings ? "LIST" : "MLSD"; }

    LoggedIn h;
    TransferServer server{h};
    Timeline timeline{h.session};
    TransferStarters starters{h.engine};
    QTemporaryDir dir;
    QObject guard;
    std::vector<Finished> finished;
    QStringList listings;
};

RemoteItemList selectionOf(std::initializer_list<RemoteItem> items) {
    RemoteItemList out;
    for (const RemoteItem& i : items)
        out.append(i);
    return out;
}

QStringList errorsOf(const Rig& rig) {
    return rig.timeline.errors;
}

// The frame every download of one folder has around what its listing decided.
QStringList downloadFrame(const Rig& rig, const QByteArray& folder, const QStringList& middle,
                          const QString& local) {
    QStringList out{"start: Start downloading files", "CWD " + QString::fromUtf8(folder), "PASV",
                    rig.list()};
    out += middle;
    out << "local refresh: " + local << "completed 2: Downloading files completed";
    return out;
}

// ---------------------------------------------------------------- download

class DownloadSelection : public testing::TestWithParam<bool> {};

TEST_P(DownloadSelection, FilesThenTheFolderThenTheLocalRefreshThenCompleted) {
    Rig rig({true, GetParam()});
    rig.server.addFile("/www/a.txt", "alpha");
    rig.server.addFile("/www/b.txt", "bravo!!");
    rig.server.addFile("/www/c.txt", "not chosen");
    rig.server.addFolder("/www/sub");
    rig.server.addFile("/www/sub/d.txt", "delta");
    rig.server.addFolder("/www/other");
    rig.server.addFile("/www/other/e.txt", "not chosen");
    const QString target = rig.path("into");

    rig.starters.download(
        "/www", target,
        selectionOf({remoteItem('-', "b.txt"), remoteItem('d', "sub"), remoteItem('-', "a.txt")}));
    ASSERT_TRUE(rig.server.run());

    const QString L = rig.list();
    EXPECT_EQ(
        rig.timeline.events,
        (QStringList{"start: Start downloading files", "CWD /www", "PASV", L, "PASV", "RETR a.txt",
                     "PASV", "RETR b.txt", "CWD /www/sub", "PASV", L, "PASV", "RETR d.txt",
                     "local refresh: " + target + "/sub", "local refresh: " + target,
                     "completed 2: Downloading files completed"}));
    EXPECT_EQ(treeOf(target), (QStringList{"a.txt", "b.txt", "sub/", "sub/d.txt"}));
    EXPECT_EQ(readFile(target + "/a.txt"), "alpha");
    EXPECT_EQ(readFile(target + "/b.txt"), "bravo!!");
    EXPECT_EQ(readFile(target + "/sub/d.txt"), "delta");
    EXPECT_TRUE(errorsOf(rig).isEmpty()) << errorsOf(rig).join('\n').toStdString();
    EXPECT_TRUE(rig.h.session.queue().isEmpty());
    ASSERT_EQ(rig.finished.size(), 3u);
    for (const Finished& f : rig.finished)
        EXPECT_TRUE(f.success) << f.name.data();
}

INSTANTIATE_TEST_SUITE_P(Transfers, DownloadSelection, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Mlsd" : "List");
                         });

// One remote file f.bin against what the local folder holds, by the file
// action, through the whole conversation.
struct DownloadFileCase {
    const char* name;
    quint8 action;
    quint8 ifLarger;
    bool rest;
    std::optional<QByteArray> local;  // nullopt: no local file
    QByteArray remote;
    QStringList commands;  // between the listing and the local refresh
    QByteArray expected;   // the local file afterwards
};

void PrintTo(const DownloadFileCase& c, std::ostream* os) {
    *os << c.name;
}

const QByteArray kRemote250 = pattern(250);
const QByteArray kLocal100 = QByteArray(100, 'L');
const QByteArray kLocal250 = QByteArray(250, 'L');
const QByteArray kLocal300 = QByteArray(300, 'L');
const QStringList kWhole{"PASV", "RETR f.bin"};
const QStringList kNothing{};

class DownloadOneFile : public testing::TestWithParam<DownloadFileCase> {};

TEST_P(DownloadOneFile, FetchesResumesOrSkips) {
    const DownloadFileCase& c = GetParam();
    Rig rig({c.rest, true});
    rig.h.engine.downloadOptions.fileAction = c.action;
    rig.h.engine.downloadOptions.ifLarger = c.ifLarger;
    rig.server.addFile("/www/f.bin", c.remote);
    const QString target = rig.path("t");
    ASSERT_TRUE(QDir().mkpath(target));
    if (c.local) {
        ASSERT_TRUE(writeFile(target + "/f.bin", *c.local));
    }

    rig.starters.download("/www", target);
    ASSERT_TRUE(rig.server.run());

    EXPECT_EQ(rig.timeline.events, downloadFrame(rig, "/www", c.commands, target));
    EXPECT_EQ(readFile(target + "/f.bin"), c.expected);
    // No temporary file stays behind.
    EXPECT_EQ(treeOf(target), QStringList{"f.bin"});
    EXPECT_TRUE(errorsOf(rig).isEmpty()) << errorsOf(rig).join('\n').toStdString();
    // A file left alone is said to be: "completed" alone would say it came.
    EXPECT_EQ(rig.h.texts(LogChannel::Status).contains(SkippedFilesText(1, target)),
              c.commands.isEmpty());
    if (c.commands.isEmpty()) {
        EXPECT_TRUE(rig.finished.empty());
    } else {
        ASSERT_EQ(rig.finished.size(), 1u);
        EXPECT_TRUE(rig.finished[0].success);
        EXPECT_EQ(rig.finished[0].position, c.remote.size());
    }
}

INSTANTIATE_TEST_SUITE_P(Transfers, DownloadOneFile,
                         testing::Values(
                             // The bytes from the server land after the 100 local ones.
                             DownloadFileCase{"ResumeContinuesTheLocalFile",
                                              3,
                                              0,
                                              true,
                                              kLocal100,
                                              kRemote250,
                                              {"PASV", "REST 100", "RETR f.bin"},
                                              kLocal100 + kRemote250.mid(100)},
                             DownloadFileCase{"ResumeLargerLocalOverwritten", 3, 0, true, kLocal300,
                                              kRemote250, kWhole, kRemote250},
                             DownloadFileCase{"ResumeLargerLocalSkipped", 3, 1, true, kLocal300,
                                              kRemote250, kNothing, kLocal300},
                             DownloadFileCase{"ResumeWithoutRestFetchesWhole", 3, 0, false,
                                              kLocal100, kRemote250, kWhole, kRemote250},
                             DownloadFileCase{"ResumeEqualSizesSkipped", 3, 0, true, kLocal250,
                                              kRemote250, kNothing, kLocal250},
                             DownloadFileCase{"ResumeEmptyLocalFetchesWhole", 3, 1, true,
                                              QByteArray(""), kRemote250, kWhole, kRemote250},
                             DownloadFileCase{"ResumeMissingLocalFetchesWhole", 3, 1, true,
                                              std::nullopt, kRemote250, kWhole, kRemote250},
                             DownloadFileCase{"SkipIfExistsKeepsTheLocalFile", 2, 0, true,
                                              kLocal100, kRemote250, kNothing, kLocal100},
                             DownloadFileCase{"SkipIfExistsFetchesAMissingFile", 2, 0, true,
                                              std::nullopt, kRemote250, kWhole, kRemote250},
                             DownloadFileCase{"DifferentSizesFetchesAMissingEmptyFile", 0, 0, true,
                                              std::nullopt, QByteArray(""), kWhole, QByteArray("")},
                             DownloadFileCase{"DifferentSizesSkipsEqualSizes", 0, 0, true,
                                              kLocal250, kRemote250, kNothing, kLocal250},
                             DownloadFileCase{"DifferentSizesReplacesTheFile", 0, 1, true,
                                              kLocal300, kRemote250, kWhole, kRemote250},
                             DownloadFileCase{"OverwriteAlwaysReplacesEqualSizes", 1, 1, true,
                                              kLocal250, kRemote250, kWhole, kRemote250}),
                         [](const testing::TestParamInfo<DownloadFileCase>& info) {
                             return std::string(info.param.name);
                         });

// Links and devices are fetched like files when their kind is switched on,
// and a link is never entered like a folder.
struct KindCase {
    const char* name;
    bool mlsd;
    int flags;
    QStringList fetched;
};

void PrintTo(const KindCase& c, std::ostream* os) {
    *os << c.name;
}

class DownloadKinds : public testing::TestWithParam<KindCase> {};

TEST_P(DownloadKinds, FetchesTheKindsSwitchedOn) {
    const KindCase& c = GetParam();
    Rig rig({true, c.mlsd});
    rig.h.engine.kindFilter.flags = c.flags;
    rig.server.addFile("/www/f", "file");
    rig.server.addEntry("/www/lnk", 'l', "linked");
    if (c.mlsd) {
        rig.server.addEntry("/www/blk", 'b', "b");
        rig.server.addEntry("/www/chr", 'c', "c");
    }
    const QString target = rig.path("t");

    rig.starters.download("/www", target);
    ASSERT_TRUE(rig.server.run());

    QStringList middle;
    for (const QString& name : c.fetched)
        middle << "PASV"
               << "RETR " + name;
    EXPECT_EQ(rig.timeline.events, downloadFrame(rig, "/www", middle, target));
    QStringList files = c.fetched;
    files.sort();
    EXPECT_EQ(treeOf(target), files);
    if (c.fetched.contains("lnk")) {
        EXPECT_EQ(readFile(target + "/lnk"), "linked");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Transfers, DownloadKinds,
    testing::Values(KindCase{"LinkOnMlsd", true, KindFilter::Link, {"lnk", "f"}},
                    KindCase{"LinkOnList", false, KindFilter::Link, {"lnk", "f"}},
                    KindCase{"LinkOffList", false, 0, {"f"}},
                    KindCase{"NothingButFiles", true, 0, {"f"}},
                    KindCase{"BlockDevicesOnly", true, KindFilter::DeviceB, {"blk", "f"}},
                    KindCase{"Everything",
                             true,
                             KindFilter::Link | KindFilter::DeviceB | KindFilter::DeviceC,
                             {"lnk", "blk", "chr", "f"}}),
    [](const testing::TestParamInfo<KindCase>& info) { return std::string(info.param.name); });

TEST(Transfers, DownloadTargetSpellingsMakeTheSameFolders) {
    const char* spellings[] = {"t/a/b", "t/a/b/", "t//a///b//", "t/./a/b", "t/x/../a/b"};
    for (const char* spelling : spellings) {
        SCOPED_TRACE(spelling);
        Rig rig;
        rig.server.addFile("/www/f.txt", "eff");
        rig.server.addFolder("/www/sub");
        rig.server.addFile("/www/sub/g.txt", "gee");
        const QString clean = rig.path("t/a/b");

        rig.starters.download("/www", rig.dir.path() + '/' + spelling);
        ASSERT_TRUE(rig.server.run());

        QStringList expectedTree{"t/",          "t/a/",       "t/a/b/",
                                 "t/a/b/f.txt", "t/a/b/sub/", "t/a/b/sub/g.txt"};
        expectedTree.sort();
        EXPECT_EQ(treeOf(rig.dir.path()), expectedTree);
        EXPECT_EQ(readFile(clean + "/sub/g.txt"), "gee");
        // The views are told the folder by its plain name.
        EXPECT_EQ(rig.timeline.events,
                  (QStringList{"start: Start downloading files", "CWD /www", "PASV", "MLSD", "PASV",
                               "RETR f.txt", "CWD /www/sub", "PASV", "MLSD", "PASV", "RETR g.txt",
                               "local refresh: " + clean + "/sub", "local refresh: " + clean,
                               "completed 2: Downloading files completed"}));
    }
}

TEST(Transfers, DownloadIntoAPathThroughAFileQueuesNothing) {
    Rig rig;
    rig.server.addFile("/www/f.txt", "eff");
    rig.server.addFolder("/www/sub");
    ASSERT_TRUE(writeFile(rig.path("t"), "a file"));

    rig.starters.download("/www", rig.path("t/a"));
    ASSERT_TRUE(rig.server.run());

    EXPECT_EQ(rig.timeline.events,
              (QStringList{"start: Start downloading files", "CWD /www", "PASV", "MLSD",
                           "completed 2: Downloading files completed"}));
    EXPECT_EQ(readFile(rig.path("t")), "a file");
    EXPECT_EQ(treeOf(rig.dir.path()), QStringList{"t"});
    ASSERT_EQ(errorsOf(rig).size(), 1);
    EXPECT_TRUE(errorsOf(rig)[0].contains(rig.path("t"))) << errorsOf(rig)[0].toStdString();
}

// A whole fetch goes to the hidden part file; the old file is replaced only
// once the server confirmed the transfer, and what arrived of a failed one
// stays there for a resume.
enum class FetchEnd { Confirmed, Refused, RemovedFromQueue };

class WholeFetch : public testing::TestWithParam<FetchEnd> {};

TEST_P(WholeFetch, OldFileStaysUntilTheServerConfirmed) {
    const FetchEnd end = GetParam();
    Rig rig;
    rig.server.addFile("/www/a.txt", "brand new content");
    const QString target = rig.path("t");
    ASSERT_TRUE(QDir().mkpath(target));
    const QString file = target + "/a.txt";
    ASSERT_TRUE(writeFile(file, "old content"));
    rig.server.pauseAt = [](const QByteArray& line) { return line.startsWith("RETR"); };

    rig.starters.download("/www", target);
    ASSERT_TRUE(rig.server.run());
    ASSERT_EQ(rig.server.next(), "RETR a.txt");
    rig.server.skip();
    FakeTransport* data = rig.server.data();
    ASSERT_NE(data, nullptr);
    rig.h.reply("150 Opening data connection\r\n");
    data->feed("brand new ");
    rig.h.settle();
    EXPECT_EQ(readFile(file), "old content");
    EXPECT_EQ(treeOf(target).size(), 2) << treeOf(target).join(' ').toStdString();

    QStringList tail{"PASV", "RETR a.txt"};
    QByteArray expected = "old content";
    switch (end) {
        case FetchEnd::Confirmed:
            data->hangUp("content");
            rig.h.settle();
            EXPECT_EQ(readFile(file), "old content");
            rig.h.reply("226 Transfer complete\r\n");
            expected = "brand new content";
            break;
        case FetchEnd::Refused:
            rig.h.reply("550 Transfer failed\r\n");
            break;
        case FetchEnd::RemovedFromQueue:
            rig.h.session.removeGroup(rig.h.session.queue().head());
            rig.h.settle();
            tail << "ABOR";
            break;
    }
    rig.server.pauseAt = nullptr;
    ASSERT_TRUE(rig.server.run());

    EXPECT_EQ(rig.timeline.events, downloadFrame(rig, "/www", tail, target));
    EXPECT_EQ(readFile(file), expected);
    ASSERT_EQ(rig.finished.size(), 1u);
    EXPECT_EQ(rig.finished[0].success, end == FetchEnd::Confirmed);
    if (end == FetchEnd::Confirmed) {
        EXPECT_EQ(treeOf(target), QStringList{"a.txt"});
        return;
    }
    EXPECT_EQ(treeOf(target), (QStringList{".a.txt.velmora-part", "a.txt"}));
    const std::optional<KeptPart> kept = PartialDownload::inspect(file);
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->length, 10);
    // What the listing said of the file: its size and MLSD modify fact.
    EXPECT_EQ(kept->source, (PartialSource{"/www/a.txt", 17, "2024-1-5 10:30:00"}));
}

// A retry continues what a failed download kept, when the server's file is the
// one it came from; a file changed since is fetched whole, never spliced.
TEST(Transfers, RetryContinuesTheKeptDataOfTheSameFileOnly) {
    struct Case {
        const char* name;
        QByteArray contentAtRetry;
        QStringList retryTail;
    };
    const QByteArray content = "brand new content";
    const std::vector<Case> cases = {
        {"unchanged", content, {"PASV", "REST 10", "RETR a.txt"}},
        {"changed", "another, longer content", {"PASV", "RETR a.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.server.addFile("/www/a.txt", content);
        rig.server.replies.insert("RETR a.txt", "550 Transfer failed\r\n");
        std::vector<TransferResult> failed;
        QObject::connect(&rig.h.engine, &ActionEngine::transferFailed, &rig.guard,
                         [&failed](const TransferResult& r) { failed.push_back(r); });
        rig.server.pauseAt = [](const QByteArray& line) { return line.startsWith("RETR"); };
        rig.starters.download("/www", rig.path("t"));
        ASSERT_TRUE(rig.server.run());
        ASSERT_NE(rig.server.data(), nullptr);
        rig.h.reply("150 Opening data connection\r\n");
        rig.server.data()->feed(content.left(10));
        rig.h.settle();
        rig.server.pauseAt = nullptr;
        ASSERT_TRUE(rig.server.run());
        ASSERT_EQ(failed.size(), 1u);
        EXPECT_EQ(failed[0].keptPath, rig.path("t/.a.txt.velmora-part"));
        EXPECT_FALSE(failed[0].error.isEmpty());

        rig.server.replies.clear();
        rig.server.addFile("/www/a.txt", c.contentAtRetry);
        const int from = int(rig.timeline.events.size());
        rig.starters.retry(failed[0]);
        ASSERT_TRUE(rig.server.run());
        EXPECT_EQ(rig.timeline.events.mid(from),
                  downloadFrame(rig, "/www", c.retryTail, rig.path("t")));
        EXPECT_EQ(readFile(rig.path("t/a.txt")), c.contentAtRetry);
        EXPECT_EQ(treeOf(rig.path("t")), QStringList{"a.txt"});
    }
}

INSTANTIATE_TEST_SUITE_P(Transfers, WholeFetch,
                         testing::Values(FetchEnd::Confirmed, FetchEnd::Refused,
                                         FetchEnd::RemovedFromQueue),
                         [](const testing::TestParamInfo<FetchEnd>& info) {
                             switch (info.param) {
                                 case FetchEnd::Confirmed:
                                     return std::string("Confirmed");
                                 case FetchEnd::Refused:
                                     return std::string("Refused");
                                 case FetchEnd::RemovedFromQueue:
                                     return std::string("RemovedFromQueue");
                             }
                             return std::string();
                         });

// The local file a resume continues can change before its turn: a file that
// is gone or shorter than the offset is not continued with a gap of zeros.
TEST(Transfers, ResumeOfALocalFileThatChangedMeanwhileFails) {
    struct Case {
        const char* name;
        std::optional<QByteArray> localThen;  // nullopt: removed
    };
    const Case cases[] = {{"removed", std::nullopt}, {"shortened", QByteArray(50, 'L')}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.h.engine.downloadOptions.fileAction = TransferAlertOptions::Resume;
        rig.server.addFile("/www/f.bin", kRemote250);
        const QString target = rig.path("t");
        ASSERT_TRUE(QDir().mkpath(target));
        const QString file = target + "/f.bin";
        ASSERT_TRUE(writeFile(file, kLocal100));
        rig.server.pauseAt = [](const QByteArray& line) { return line.startsWith("REST"); };

        rig.starters.download("/www", target);
        ASSERT_TRUE(rig.server.run());
        ASSERT_EQ(rig.server.next(), "REST 100");
        if (c.localThen)
            ASSERT_TRUE(writeFile(file, *c.localThen));
        else
            ASSERT_TRUE(QFile::remove(file));
        rig.server.pauseAt = nullptr;
        ASSERT_TRUE(rig.server.run());

        EXPECT_EQ(rig.timeline.events,
                  downloadFrame(rig, "/www", {"PASV", "REST 100", "RETR f.bin"}, target));
        EXPECT_EQ(readFile(file), c.localThen ? *c.localThen : QByteArray("<missing>"));
        ASSERT_EQ(errorsOf(rig).size(), 1);
        EXPECT_TRUE(errorsOf(rig)[0].contains(file)) << errorsOf(rig)[0].toStdString();
        ASSERT_EQ(rig.finished.size(), 1u);
        EXPECT_FALSE(rig.finished[0].success);
    }
}

// The temporary sibling must be a legal name beside the longest target name.
TEST(Transfers, WholeFetchOfTheLongestNameReplacesTheFile) {
    Rig rig;
    const QByteArray name = QByteArray(251, 'n') + ".txt";
    rig.server.addFile("/www/" + name, "long name");
    const QString target = rig.path("t");
    ASSERT_TRUE(QDir().mkpath(target));
    ASSERT_TRUE(writeFile(target + '/' + name, "old"));

    rig.starters.download("/www", target);
    ASSERT_TRUE(rig.server.run());

    EXPECT_TRUE(errorsOf(rig).isEmpty()) << errorsOf(rig).join('\n').toStdString();
    EXPECT_EQ(readFile(target + '/' + name), "long name");
    EXPECT_EQ(treeOf(target), QStringList{QString::fromLatin1(name)});
}

TEST(Transfers, DownloadNeverReplacesALocalFolderByAFile) {
    for (quint8 action = 0; action < 4; ++action) {
        SCOPED_TRACE(int(action));
        Rig rig;
        rig.h.engine.downloadOptions.fileAction = action;
        rig.server.addFile("/www/a.txt", "remote");
        rig.server.addFile("/www/b.txt", "bee");
        const QString target = rig.path("t");
        ASSERT_TRUE(QDir().mkpath(target + "/a.txt"));
        ASSERT_TRUE(writeFile(target + "/a.txt/keep", "kept"));

        rig.starters.download("/www", target);
        ASSERT_TRUE(rig.server.run());

        EXPECT_EQ(rig.timeline.events, downloadFrame(rig, "/www", {"PASV", "RETR b.txt"}, target));
        EXPECT_EQ(treeOf(target), (QStringList{"a.txt/", "a.txt/keep", "b.txt"}));
        EXPECT_EQ(readFile(target + "/a.txt/keep"), "kept");
        ASSERT_EQ(errorsOf(rig).size(), 1);
        EXPECT_TRUE(errorsOf(rig)[0].contains(target + "/a.txt")) << errorsOf(rig)[0].toStdString();
    }
}

// Names a server sends are never paths: each unsafe one is reported and
// nothing is written outside the chosen folder.
class HostileListing : public testing::TestWithParam<bool> {};

TEST_P(HostileListing, WritesOnlyInsideTheTarget) {
    const bool mlsd = GetParam();
    Rig rig({true, mlsd});
    const QList<QByteArray> files{"../x", "a/b", QByteArray("bad\0name", 8), "ok.txt"};
    const QList<QByteArray> folders{"../up", ".", ".."};
    QByteArray listing;
    for (const QByteArray& n : files)
        listing += mlsd ? "type=file;size=4;modify=20240105103000; " + n + "\r\n"
                        : "-rw-r--r--   1 user group        4 Jan  5 10:30 " + n + "\r\n";
    for (const QByteArray& n : folders)
        listing += mlsd ? mlsdDir(n) : unixDir(n);
    rig.server.rawListings["/www"] = listing;
    rig.server.addFile("/www/ok.txt", "fine");
    // Were a name taken as a path, these would be fetched.
    rig.server.addFile("/x", "escaped");
    rig.server.rawListings["/up"] = mlsd ? mlsdFile("y") : unixFile("y");
    const QString target = rig.path("t/in");

    rig.starters.download("/www", target);
    ASSERT_TRUE(rig.server.run());

    EXPECT_EQ(rig.timeline.events, downloadFrame(rig, "/www", {"PASV", "RETR ok.txt"}, target));
    EXPECT_EQ(treeOf(rig.dir.path()), (QStringList{"t/", "t/in/", "t/in/ok.txt"}));
    EXPECT_EQ(readFile(target + "/ok.txt"), "fine");
    // "." and ".." are the folder and its parent: the listing drops them. A
    // name with a NUL is no name at all: its line is reported unread.
    const QStringList errors = errorsOf(rig);
    ASSERT_EQ(errors.size(), 4) << errors.join('\n').toStdString();
    EXPECT_EQ(errors.filter(QStringLiteral("could not be read")).size(), 1);
    for (const char* shown : {"../x", "a/b", "../up"}) {
        int count = 0;
        for (const QString& e : errors)
            count += e.endsWith(QLatin1String(": ") + shown) ? 1 : 0;
        EXPECT_EQ(count, 1) << shown << '\n' << errors.join('\n').toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Transfers, HostileListing, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Mlsd" : "List");
                         });

// A script names entries without knowing their kind; an entry chosen in a
// view (with its kind) and gone from the server since is said too.
TEST(Transfers, DownloadSelectionByNameOnly) {
    Rig rig;
    rig.server.addFile("/www/a.txt", "alpha");
    rig.server.addFile("/www/b.txt", "bravo");
    rig.server.addFolder("/www/sub");
    rig.server.addFile("/www/sub/d.txt", "delta");
    rig.server.addFile("/www/Missing", "other case");
    const QString target = rig.path("t");

    rig.starters.download("/www", target,
                          selectionOf({remoteItem(0, "sub"), remoteItem(0, "missing"),
                                       remoteItem(0, "a.txt"), remoteItem('-', "gone.txt")}));
    ASSERT_TRUE(rig.server.run());

    EXPECT_EQ(rig.timeline.events,
              (QStringList{"start: Start downloading files", "CWD /www", "PASV", "MLSD", "PASV",
                           "RETR a.txt", "CWD /www/sub", "PASV", "MLSD", "PASV", "RETR d.txt",
                           "local refresh: " + target + "/sub", "local refresh: " + target,
                           "completed 2: Downloading files completed"}));
    EXPECT_EQ(errorsOf(rig), (QStringList{"Not found on the server: /www/missing",
                                          "Not found on the server: /www/gone.txt"}));
    EXPECT_EQ(treeOf(target), (QStringList{"a.txt", "sub/", "sub/d.txt"}));
}

// ------------------------------------------------------------------ upload

QStringList listed(const QString& folder) {
    return {"CWD " + folder, "PASV", "MLSD"};
}
// Made from its parent, whatever folder other work left the connection in.
QStringList created(const QString& name, const QString& parent) {
    return {"CWD " + parent, "MKD " + name, "PASV", "MLSD"};
}

QStringList uploadFrame(const QString& start, const QString& folder, const QStringList& middle,
                        const QString& completed) {
    QStringList out{"start: " + start, "CWD " + folder, "PASV", "MLSD"};
    out += middle;
    out << "CWD " + folder << "PASV"
        << "MLSD" << completed;
    return out;
}

const QString kNormalStart = "Start uploading normal files";
const QString kNormalDone = "completed 1: Uploading normal files completed";

LocalFolderRecord recordOf(const QString& path, std::vector<LocalItem> items, quintptr window = 0) {
    LocalFolderRecord r;
    r.path = path;
    r.items = std::move(items);
    r.progressWindow = window;
    return r;
}

struct Delivery {
    quintptr window;
    int flag;
    QByteArray folder;
    int items;
    int mode;
    bool operator==(const Delivery&) const = default;
};

void PrintTo(const Delivery& d, std::ostream* os) {
    *os << d.folder.data() << " window=" << d.window << " flag=" << d.flag << " items=" << d.items
        << " mode=" << d.mode;
}

// With "Simultaneous transfers" at 0 the pool beside the session takes nothing:
// a tree down and up sends what it sends without one, in the same order.
TEST(Transfers, NoTransferConnectionsKeepTheConversationAsQueued) {
    auto run = [](bool withPool) {
        Rig rig;
        TransferPool pool(rig.h.engine, &rig.h.factory);
        if (withPool)
            rig.h.engine.setTransferPool(&pool);
        rig.server.addFile("/www/a.txt", "alpha");
        rig.server.addFile("/www/sub/d.txt", "delta");
        rig.server.addFolder("/up");
        rig.starters.download("/www", rig.path("into"));
        EXPECT_TRUE(rig.server.run());
        EXPECT_TRUE(rig.starters.uploadNormal(
            recordOf(rig.path("into"), {{"a.txt", false, 5}, {"sub", true, 0}}), "/up"));
        EXPECT_TRUE(rig.server.run());
        EXPECT_EQ(rig.server.contentOf("/up/sub/d.txt"), "delta");
        return rig.timeline.events.replaceInStrings(rig.path(QString()), "LOCAL/");
    };
    const QStringList alone = run(false);
    EXPECT_EQ(run(true), alone);
    EXPECT_TRUE(alone.contains("RETR d.txt") && alone.contains("STOR d.txt"));
}

TEST(Transfers, UploadCreatesMissingFoldersThenRefreshesThenDescends) {
    Rig rig;
    std::vector<Delivery> deliveries;
    QObject::connect(&rig.h.engine, &ActionEngine::refreshDelivered, &rig.guard,
                     [&](quintptr w, quint8 f, const QByteArray& folder,
                         const RemoteItemList& items, RefreshMode mode) {
                         deliveries.push_back({w, f, folder, items.size(), int(mode)});
                     });
    rig.h.engine.uploadRefreshFlag = 5;
    rig.server.addFolder("/www");
    const QString up = rig.path("up");
    ASSERT_TRUE(QDir().mkpath(up + "/sub"));
    ASSERT_TRUE(QDir().mkpath(up + "/empty"));
    const QByteArray f = pattern(100);
    ASSERT_TRUE(writeFile(up + "/f.txt", f));
    ASSERT_TRUE(writeFile(up + "/sub/g.txt", "gee"));

    ASSERT_TRUE(rig.starters.uploadNormal(
        recordOf(up, {{"f.txt", false, 100}, {"sub", true, 0}, {"empty", true, 0}}, 0x77), "/www"));
    ASSERT_TRUE(rig.server.run());

    EXPECT_EQ(rig.timeline.events, (QStringList{"start: Start uploading normal files",
                                                "CWD /www",
                                                "PASV",
                                                "MLSD",
                                                "PASV",
                                                "STOR f.txt",
                                                "CWD /www",
                                                "MKD sub",
                                                "CWD /www",
                                                "MKD empty",
                                                "CWD /www",
                                                "PASV",
                                                "MLSD",
                                                "CWD /www/sub",
                                                "PASV",
                                                "MLSD",
                                                "PASV",
                                                "STOR g.txt",
                                                "CWD /www/sub",
                                                "PASV",
                                                "MLSD",
                                                kNormalDone}));
    EXPECT_EQ(rig.server.contentOf("/www/f.txt"), f);
    EXPECT_EQ(rig.server.contentOf("/www/sub/g.txt"), "gee");
    EXPECT_TRUE(rig.server.isFolder("/www/empty"));
    EXPECT_EQ(deliveries,
              (std::vector<Delivery>{{0x77, 5, "/www", 3, 1}, {0x77, 5, "/www/sub", 1, 1}}));
    EXPECT_TRUE(errorsOf(rig).isEmpty()) << errorsOf(rig).join('\n').toStdString();
    ASSERT_EQ(rig.finished.size(), 2u);
    EXPECT_TRUE(rig.finished[0].success && rig.finished[1].success);
    EXPECT_EQ(rig.finished[0].position, 100);
}

// What stands on the server under a local folder's name decides whether it is
// made and whether the upload goes into it.
struct RemoteNameCase {
    const char* name;
    std::optional<char> remoteKind;  // of /www/sub; nullopt: none
    QStringList middle;
    int errors;
};

void PrintTo(const RemoteNameCase& c, std::ostream* os) {
    *os << c.name;
}

class UploadFolderOntoRemote : public testing::TestWithParam<RemoteNameCase> {};

TEST_P(UploadFolderOntoRemote, MakesEntersOrLeavesIt) {
    const RemoteNameCase& c = GetParam();
    Rig rig;
    rig.server.addFolder("/www");
    if (c.remoteKind) {
        rig.server.addEntry("/www/sub", *c.remoteKind, "x");
        if (*c.remoteKind == 'l')
            rig.server.rawListings["/www/sub"] = {};  // the link leads to a folder
    }
    const QString up = rig.path("up");
    ASSERT_TRUE(QDir().mkpath(up + "/sub"));
    ASSERT_TRUE(writeFile(up + "/sub/g.txt", "gee"));

    ASSERT_TRUE(rig.starters.uploadNormal(recordOf(up, {{"sub", true, 0}}), "/www"));
    ASSERT_TRUE(rig.server.run());

    EXPECT_EQ(rig.timeline.events, QStringList{"start: " + kNormalStart} + listed("/www") +
                                       c.middle + QStringList{kNormalDone});
    EXPECT_EQ(errorsOf(rig).size(), c.errors) << errorsOf(rig).join('\n').toStdString();
}

// The subfolder's own upload: its listing, its file, its refresh.
const QStringList kIntoSub =
    listed("/www/sub") + QStringList{"PASV", "STOR g.txt"} + listed("/www/sub");

INSTANTIATE_TEST_SUITE_P(
    Transfers, UploadFolderOntoRemote,
    testing::Values(RemoteNameCase{"Missing", std::nullopt,
                                   QStringList{"CWD /www", "MKD sub"} + listed("/www") + kIntoSub,
                                   0},
                    RemoteNameCase{"Folder", 'd', listed("/www") + kIntoSub, 0},
                    RemoteNameCase{"Link", 'l', listed("/www") + kIntoSub, 0},
                    RemoteNameCase{"File", '-', listed("/www"), 1}),
    [](const testing::TestParamInfo<RemoteNameCase>& info) {
        return std::string(info.param.name);
    });

// One local file f.bin of 100 bytes against what the server holds.
struct UploadFileCase {
    const char* name;
    quint8 action;
    quint8 ifLarger;
    bool rest;
    QByteArray remoteName;
    std::optional<QByteArray> remote;  // nullopt: the server has none
    QStringList commands;
    qint64 offset;  // where the bytes sent start in the local file; -1 none sent
};

void PrintTo(const UploadFileCase& c, std::ostream* os) {
    *os << c.name;
}

class UploadOneFile : public testing::TestWithParam<UploadFileCase> {};

TEST_P(UploadOneFile, StoresResumesOrSkips) {
    const UploadFileCase& c = GetParam();
    Rig rig({c.rest, true});
    rig.h.engine.uploadOptions.fileAction = c.action;
    rig.h.engine.uploadOptions.ifLarger = c.ifLarger;
    rig.server.addFolder("/www");
    if (c.remote)
        rig.server.addFile("/www/" + c.remoteName, *c.remote);
    const QByteArray local = pattern(100, 7);
    ASSERT_TRUE(writeFile(rig.path("f.bin"), local));

    ASSERT_TRUE(
        rig.starters.uploadNormal(recordOf(rig.dir.path(), {{"f.bin", false, 100}}), "/www"));
    ASSERT_TRUE(rig.server.run());

    EXPECT_EQ(rig.timeline.events, uploadFrame(kNormalStart, "/www", c.commands, kNormalDone));
    EXPECT_TRUE(errorsOf(rig).isEmpty()) << errorsOf(rig).join('\n').toStdString();
    if (c.offset < 0) {
        EXPECT_TRUE(rig.server.stored.isEmpty());
        EXPECT_EQ(rig.server.contentOf("/www/f.bin"),
                  c.remote && c.remoteName == "f.bin" ? *c.remote : QByteArray("<missing>"));
        return;
    }
    ASSERT_EQ(rig.server.stored.size(), 1);
    EXPECT_EQ(rig.server.stored[0].path, "/www/f.bin");
    EXPECT_EQ(rig.server.stored[0].offset, c.offset);
    EXPECT_EQ(rig.server.stored[0].bytes, local.mid(c.offset));
    // A resume keeps what the server had before the offset.
    const QByteArray kept = c.offset > 0 ? c.remote->left(c.offset) : QByteArray();
    EXPECT_EQ(rig.server.contentOf("/www/f.bin"), kept + local.mid(c.offset));
    if (c.remote && c.remoteName != "f.bin") {
        EXPECT_EQ(rig.server.contentOf("/www/" + c.remoteName), *c.remote);
    }
    ASSERT_EQ(rig.finished.size(), 1u);
    EXPECT_TRUE(rig.finished[0].success);
    EXPECT_EQ(rig.finished[0].position, 100);
}

const QStringList kStore{"PASV", "STOR f.bin"};

INSTANTIATE_TEST_SUITE_P(
    Transfers, UploadOneFile,
    testing::Values(
        UploadFileCase{"ResumeOntoEmptyStoresWhole", 3, 0, true, "f.bin", QByteArray(""), kStore,
                       0},
        UploadFileCase{"ResumeContinuesTheServerFile",
                       3,
                       0,
                       true,
                       "f.bin",
                       QByteArray(40, 'R'),
                       {"PASV", "REST 40", "STOR f.bin"},
                       40},
        UploadFileCase{"ResumeWithoutRestStoresWhole", 3, 0, false, "f.bin", QByteArray(40, 'R'),
                       kStore, 0},
        UploadFileCase{
            "ResumeEqualSizesSkipped", 3, 0, true, "f.bin", QByteArray(100, 'R'), {}, -1},
        UploadFileCase{"ResumeLargerServerFileOverwritten", 3, 0, true, "f.bin",
                       QByteArray(150, 'R'), kStore, 0},
        UploadFileCase{
            "ResumeLargerServerFileSkipped", 3, 1, true, "f.bin", QByteArray(150, 'R'), {}, -1},
        UploadFileCase{"DifferentSizesStoresWhole", 0, 0, true, "f.bin", QByteArray(40, 'R'),
                       kStore, 0},
        UploadFileCase{
            "DifferentSizesSkipsEqualSizes", 0, 0, true, "f.bin", QByteArray(100, 'R'), {}, -1},
        UploadFileCase{"OverwriteAlwaysStoresEqualSizes", 1, 0, true, "f.bin", QByteArray(100, 'R'),
                       kStore, 0},
        UploadFileCase{"SkipIfExistsSkips", 2, 0, true, "f.bin", QByteArray(40, 'R'), {}, -1},
        UploadFileCase{"MissingOnTheServerStoredWhole", 2, 1, true, "f.bin", std::nullopt, kStore,
                       0},
        // Names differing only in letter case are different files.
        UploadFileCase{"OtherLetterCaseIsANewFile", 2, 0, true, "F.BIN", QByteArray(100, 'R'),
                       kStore, 0}),
    [](const testing::TestParamInfo<UploadFileCase>& info) {
        return std::string(info.param.name);
    });

TEST(Transfers, UploadLeavesFilesWhoseNameTheServerUsesOtherwise) {
    for (const char kind : {'d', 'l'}) {
        SCOPED_TRACE(kind);
        Rig rig;
        rig.server.addFolder("/www");
        rig.server.addEntry("/www/f.bin", kind);
        ASSERT_TRUE(writeFile(rig.path("f.bin"), "local"));
        ASSERT_TRUE(writeFile(rig.path("g.bin"), "other"));

        ASSERT_TRUE(rig.starters.uploadNormal(
            recordOf(rig.dir.path(), {{"f.bin", false, 5}, {"g.bin", false, 5}}), "/www"));
        ASSERT_TRUE(rig.server.run());

        EXPECT_EQ(rig.timeline.events,
                  uploadFrame(kNormalStart, "/www", {"PASV", "STOR g.bin"}, kNormalDone));
        ASSERT_EQ(errorsOf(rig).size(), 1);
        EXPECT_TRUE(errorsOf(rig)[0].endsWith("/www/f.bin")) << errorsOf(rig)[0].toStdString();
    }
}

// A file gone between the local listing and its turn is refused before its
// STOR, which would otherwise empty the server's file.
TEST(Transfers, UploadOfAFileThatCannotBeOpenedNeverStores) {
    Rig rig;
    rig.server.addFolder("/www");
    rig.server.addFile("/www/gone.txt", "server copy");
    ASSERT_TRUE(writeFile(rig.path("f.txt"), "eff"));

    ASSERT_TRUE(rig.starters.uploadNormal(
        recordOf(rig.dir.path(), {{"gone.txt", false, 3}, {"f.txt", false, 3}}), "/www"));
    ASSERT_TRUE(rig.server.run());

    EXPECT_EQ(rig.timeline.events,
              uploadFrame(kNormalStart, "/www", {"PASV", "STOR f.txt"}, kNormalDone));
    EXPECT_EQ(rig.server.contentOf("/www/gone.txt"), "server copy");
    ASSERT_EQ(errorsOf(rig).size(), 1);
    EXPECT_TRUE(errorsOf(rig)[0].startsWith("Can not open local file: " + rig.path("gone.txt")))
        << errorsOf(rig)[0].toStdString();
    ASSERT_EQ(rig.finished.size(), 2u);
    EXPECT_FALSE(rig.finished[0].success);
    EXPECT_TRUE(rig.finished[1].success);
}

// Lowers the limit of open files for one scope.
class OpenFileLimit {
public:
    explicit OpenFileLimit(int spare) {
        getrlimit(RLIMIT_NOFILE, &saved_);
        const int open = int(QDir("/proc/self/fd").entryList(QDir::Files | QDir::System).size());
        rlimit low = saved_;
        low.rlim_cur = rlim_t(open + spare);
        ok_ = setrlimit(RLIMIT_NOFILE, &low) == 0;
    }
    ~OpenFileLimit() { setrlimit(RLIMIT_NOFILE, &saved_); }
    bool ok() const { return ok_; }

private:
    rlimit saved_{};
    bool ok_ = false;
};

// A folder of many files queues a transfer per file; none may hold its file
// open before its turn, or a large folder runs out of file handles.
TEST(Transfers, QueuedUploadsHoldNoFileOpen) {
    Rig rig;
    rig.server.addFolder("/www");
    std::vector<LocalItem> items;
    for (int i = 0; i < 60; ++i) {
        const QString name = QStringLiteral("f%1.txt").arg(i, 2, 10, QLatin1Char('0'));
        ASSERT_TRUE(writeFile(rig.path(name), name.toUtf8()));
        items.push_back({name, false, 7});
    }
    {
        OpenFileLimit limit(20);
        ASSERT_TRUE(limit.ok());
        ASSERT_TRUE(rig.starters.uploadNormal(recordOf(rig.dir.path(), items), "/www"));
        ASSERT_TRUE(rig.server.run());
    }
    EXPECT_TRUE(errorsOf(rig).isEmpty()) << errorsOf(rig).first().toStdString();
    ASSERT_EQ(rig.server.stored.size(), 60);
    EXPECT_EQ(rig.server.contentOf("/www/f59.txt"), "f59.txt");
}

// ---------------------------------------------------------- project upload

const QString kProjectStart = "start: Start uploading project files";
const QString kProjectDone = "completed 1: Uploading project files completed";

struct ProjectCase {
    const char* name;
    QList<QByteArray> existing;  // remote folders below /site
    QMap<QByteArray, QByteArray> replies;
    QMap<QByteArray, QByteArray> rawListings;
    QStringList expected;
    QStringList errors;
};

void PrintTo(const ProjectCase& c, std::ostream* os) {
    *os << c.name;
}

class ProjectUpload : public testing::TestWithParam<ProjectCase> {};

// Each folder on the way is listed once, the last by its own upload.
TEST_P(ProjectUpload, WalksDownCreatingWhatIsMissing) {
    const ProjectCase& c = GetParam();
    Rig rig;
    rig.server.addFolder("/site");
    for (const QByteArray& f : c.existing)
        rig.server.addFolder(f);
    rig.server.replies = c.replies;
    rig.server.rawListings = c.rawListings;
    const QString local = rig.path("proj/l1/l2/l3");
    ASSERT_TRUE(QDir().mkpath(local));
    ASSERT_TRUE(writeFile(local + "/f.txt", "deep"));

    ASSERT_TRUE(
        rig.starters.uploadProject("/site", "l1/l2/l3", recordOf(local, {{"f.txt", false, 4}})));
    ASSERT_TRUE(rig.server.run());

    EXPECT_EQ(rig.timeline.events, c.expected);
    EXPECT_EQ(errorsOf(rig), c.errors);
    const bool stored = c.expected.contains("STOR f.txt");
    EXPECT_EQ(rig.server.contentOf("/site/l1/l2/l3/f.txt"),
              stored ? QByteArray("deep") : QByteArray("<missing>"));
}

const QStringList kStoreDeep = QStringList{"PASV", "STOR f.txt"} + listed("/site/l1/l2/l3");

INSTANTIATE_TEST_SUITE_P(
    Transfers, ProjectUpload,
    testing::Values(ProjectCase{"AllThere",
                                {"/site/l1", "/site/l1/l2", "/site/l1/l2/l3"},
                                {},
                                {},
                                QStringList{kProjectStart} + listed("/site") + listed("/site/l1") +
                                    listed("/site/l1/l2") + listed("/site/l1/l2/l3") + kStoreDeep +
                                    QStringList{kProjectDone},
                                {}},
                    ProjectCase{"TwoMissing",
                                {"/site/l1"},
                                {},
                                {},
                                QStringList{kProjectStart} + listed("/site") + listed("/site/l1") +
                                    created("l2", "/site/l1") + listed("/site/l1/l2") +
                                    created("l3", "/site/l1/l2") + listed("/site/l1/l2/l3") +
                                    kStoreDeep + QStringList{kProjectDone},
                                {}},
                    ProjectCase{"NoneThere",
                                {},
                                {},
                                {},
                                QStringList{kProjectStart} + listed("/site") +
                                    created("l1", "/site") + listed("/site/l1") +
                                    created("l2", "/site/l1") + listed("/site/l1/l2") +
                                    created("l3", "/site/l1/l2") + listed("/site/l1/l2/l3") +
                                    kStoreDeep + QStringList{kProjectDone},
                                {}},
                    // A refused MKD is not tried again: the walk stops with one line.
                    ProjectCase{"RefusedFolderStopsTheWalk",
                                {"/site/l1"},
                                {{"MKD l2", "550 Permission denied\r\n"}},
                                {},
                                QStringList{kProjectStart} + listed("/site") + listed("/site/l1") +
                                    created("l2", "/site/l1") + QStringList{kProjectDone},
                                {"Can not create folder /site/l1/l2, project upload stopped"}},
                    // The server says it made the folder, yet the listing lacks it.
                    ProjectCase{"FolderStillMissingAfterMkd",
                                {"/site/l1"},
                                {},
                                {{"/site/l1", {}}},
                                QStringList{kProjectStart} + listed("/site") + listed("/site/l1") +
                                    created("l2", "/site/l1") + QStringList{kProjectDone},
                                {"Can not create folder /site/l1/l2, project upload stopped"}}),
    [](const testing::TestParamInfo<ProjectCase>& info) { return std::string(info.param.name); });

TEST(Transfers, ProjectWalkShowsEachFolderItDescendsFrom) {
    Rig rig;
    rig.server.addFolder("/site");
    rig.server.addFolder("/site/l1");
    const QString local = rig.path("l1/l2");
    ASSERT_TRUE(QDir().mkpath(local));
    ASSERT_TRUE(writeFile(local + "/f.txt", "x"));

    ASSERT_TRUE(
        rig.starters.uploadProject("/site", "l1/l2", recordOf(local, {{"f.txt", false, 1}})));
    ASSERT_TRUE(rig.server.run());

    EXPECT_EQ(rig.listings, (QStringList{"LIST_UPLOAD_PAIR /site", "LIST_UPLOAD_PAIR /site/l1",
                                         "LIST_REFRESH_FOLDER /site/l1/l2"}));
}

TEST(Transfers, ProjectUploadRelativePathForms) {
    struct Case {
        const char* relative;
        bool queued;
        QStringList expected;
    };
    const Case cases[] = {
        {"", true,
         QStringList{kProjectStart} + listed("/site") + QStringList{"PASV", "STOR f.txt"} +
             listed("/site") + QStringList{kProjectDone}},
        {"/l1//", true,
         QStringList{kProjectStart} + listed("/site") + listed("/site/l1") +
             QStringList{"PASV", "STOR f.txt"} + listed("/site/l1") + QStringList{kProjectDone}},
        {"l1/../..", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.relative);
        Rig rig;
        rig.server.addFolder("/site");
        rig.server.addFolder("/site/l1");
        ASSERT_TRUE(writeFile(rig.path("f.txt"), "x"));
        EXPECT_EQ(rig.starters.uploadProject("/site", c.relative,
                                             recordOf(rig.dir.path(), {{"f.txt", false, 1}})),
                  c.queued);
        ASSERT_TRUE(rig.server.run());
        EXPECT_EQ(rig.timeline.events, c.expected);
    }
}

// Several places of one project go up as one task, each walk in turn; a part
// that leaves the project queues nothing at all.
TEST(Transfers, ProjectUploadOfSeveralPlacesIsOneTask) {
    Rig rig;
    rig.server.addFolder("/site");
    rig.server.addFolder("/site/l1");
    ASSERT_TRUE(writeFile(rig.path("f.txt"), "x"));
    ASSERT_TRUE(QDir().mkpath(rig.path("l1")));
    ASSERT_TRUE(writeFile(rig.path("l1/g.txt"), "y"));
    const LocalFolderRecord top = recordOf(rig.dir.path(), {{"f.txt", false, 1}});
    const LocalFolderRecord l1 = recordOf(rig.path("l1"), {{"g.txt", false, 1}});
    const std::vector<ProjectUploadPart> leaving = {{"", top}, {"l1/..", l1}};
    const std::vector<ProjectUploadPart> parts = {{"", top}, {"l1", l1}};
    EXPECT_FALSE(rig.starters.uploadProject("/site", leaving));
    ASSERT_TRUE(rig.starters.uploadProject("/site", parts));
    ASSERT_TRUE(rig.server.run());
    const QStringList expected =
        QStringList{kProjectStart} + listed("/site") + QStringList{"PASV", "STOR f.txt"} +
        listed("/site") + listed("/site") + listed("/site/l1") + QStringList{"PASV", "STOR g.txt"} +
        listed("/site/l1") + QStringList{kProjectDone};
    EXPECT_EQ(rig.timeline.events, expected);
}

TEST(Transfers, UploadStartersWithoutItemsQueueNothing) {
    Rig rig;
    EXPECT_FALSE(rig.starters.uploadNormal(recordOf(rig.dir.path(), {}), "/www"));
    EXPECT_FALSE(rig.starters.uploadProject("/site", "a/b", recordOf(rig.dir.path(), {})));
    rig.h.settle();
    EXPECT_TRUE(rig.h.session.queue().isEmpty());
    EXPECT_TRUE(rig.server.next().isEmpty());
    EXPECT_TRUE(rig.timeline.events.isEmpty());
}

// ------------------------------------------------------------------ direct

struct DirectCase {
    const char* name;
    DirectPurpose purpose;
    QByteArray fetch;
    QStringList middle;
    QStringList errors;
    int contents;  // directContentArrived calls
};

void PrintTo(const DirectCase& c, std::ostream* os) {
    *os << c.name;
}

class DirectDownload : public testing::TestWithParam<DirectCase> {};

TEST_P(DirectDownload, FetchesOnlyAFileOfExactlyThatName) {
    const DirectCase& c = GetParam();
    Rig rig;
    rig.server.addFile("/logs/error.log", "line one\nline two\n");
    rig.server.addFolder("/logs/old");
    struct Content {
        DirectPurpose purpose;
        QByteArray folder, name, bytes;
    };
    std::vector<Content> contents;
    QObject::connect(&rig.h.session, &FtpSession::directContentArrived, &rig.guard,
                     [&](DirectPurpose p, const QByteArray& folder, const QByteArray& name,
                         const QByteArray& bytes) {
                         contents.push_back({p, folder, name, bytes});
                     });
    // The asker learns that its fetch is over from the token on the completed
    // entry, found file or not.
    const quintptr asker = 0x5eed;
    QList<quintptr> completedOwners;
    QObject::connect(&rig.h.session, &FtpSession::taskMarker, &rig.guard,
                     [&](int kind, int, const QString&, quintptr owner) {
                         if (kind == int(FakeKind::Completed))
                             completedOwners << owner;
                     });

    rig.h.engine.setShownFolders([](const QByteArray& folder) { return folder == "/logs"; });
    rig.starters.fetchDirect(c.purpose, "/logs", c.fetch, asker);
    ASSERT_TRUE(rig.server.run());
    // A window showing the folder gets the listing, found file or not.
    EXPECT_EQ(rig.listings.size(), 1);

    const QString what =
        c.purpose == DirectPurpose::ConcernedFile ? "concerned file" : "FTP wizard file";
    QStringList expected{"start: Start retreiving " + what, "CWD /logs", "PASV", "MLSD"};
    expected += c.middle;
    expected << "completed 0: Retreiving " + what + " completed";
    EXPECT_EQ(rig.timeline.events, expected);
    EXPECT_EQ(errorsOf(rig), c.errors);
    EXPECT_EQ(completedOwners, QList<quintptr>{asker});
    ASSERT_EQ(int(contents.size()), c.contents);
    if (c.contents) {
        EXPECT_EQ(contents[0].purpose, c.purpose);
        EXPECT_EQ(contents[0].folder, "/logs");
        EXPECT_EQ(contents[0].name, c.fetch);
        EXPECT_EQ(contents[0].bytes, "line one\nline two\n");
    }
    EXPECT_TRUE(rig.h.session.queue().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Transfers, DirectDownload,
    testing::Values(
        DirectCase{"ConcernedFile",
                   DirectPurpose::ConcernedFile,
                   "error.log",
                   {"PASV", "RETR error.log"},
                   {},
                   1},
        DirectCase{
            "WizardFile", DirectPurpose::Viewer, "error.log", {"PASV", "RETR error.log"}, {}, 1},
        DirectCase{"Missing",
                   DirectPurpose::ConcernedFile,
                   "access.log",
                   {},
                   {"Can not find file access.log"},
                   0},
        DirectCase{"OtherLetterCase",
                   DirectPurpose::Viewer,
                   "ERROR.LOG",
                   {},
                   {"Can not find file ERROR.LOG"},
                   0},
        DirectCase{"Folder",
                   DirectPurpose::Viewer,
                   "old",
                   {},
                   {"The name is a folder and can not be retrieved: old"},
                   0}),
    [](const testing::TestParamInfo<DirectCase>& info) { return std::string(info.param.name); });

TEST(Transfers, DirectUploadSendsTheBytesWithoutListing) {
    for (const bool concerned : {true, false}) {
        SCOPED_TRACE(concerned);
        Rig rig;
        rig.server.addFolder("/www");
        rig.server.addFile("/www/c.log", "old text");
        const QByteArray content = pattern(25000);

        rig.starters.uploadDirect("/www", "c.log", content, concerned);
        ASSERT_TRUE(rig.server.run());

        const QString what = concerned ? "concerned file" : "direct file";
        EXPECT_EQ(rig.timeline.events,
                  (QStringList{"start: Start uploading " + what, "CWD /www", "PASV", "STOR c.log",
                               "completed 0: Uploading " + what + " completed"}));
        ASSERT_EQ(rig.server.stored.size(), 1);
        EXPECT_EQ(rig.server.stored[0].path, "/www/c.log");
        EXPECT_EQ(rig.server.stored[0].offset, 0);
        EXPECT_TRUE(rig.server.stored[0].bytes == content);
        EXPECT_TRUE(errorsOf(rig).isEmpty()) << errorsOf(rig).join('\n').toStdString();
    }
}

// Text edited in place goes back over the copy it was fetched from only: one
// changed since (another size, or the same size at another time) stays until
// the user, told so, uploads again.
TEST(Transfers, AFileEditedInPlaceReplacesOnlyTheCopyItWasFetchedFrom) {
    const QString notUploaded =
        "Not uploaded, /www/c.log changed on the server since it was "
        "fetched (%1): upload again to replace it, or download it again "
        "to see the change";
    const QByteArray listed = "2024-1-5 10:30:00";  // the scripted server's time, as listed
    const struct {
        const char* what;
        bool onServer;
        FetchedCopy fetched;
        std::vector<int> storedAfter;  // files stored after each attempt
        QStringList errors;
    } cases[] = {
        {"as fetched", true, {8, listed}, {1}, {}},
        {"time not known", true, {8, {}}, {1}, {}},
        {"changed since", true, {5, listed}, {0, 1}, {notUploaded.arg("5 bytes then, 8 now")}},
        {"same size, touched since",
         true,
         {8, "2024-1-5 09:00:00"},
         {0, 1},
         {notUploaded.arg("the same size, modified 2024-01-05  10:30 now")}},
        {"gone since",
         false,
         {8, listed},
         {0, 1},
         {"Not uploaded, /www/c.log is no longer on the server (renamed, moved or deleted since "
          "it was fetched): upload again to store it there anew"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        rig.h.engine.setShownFolders([](const QByteArray& f) { return f == "/www"; });
        rig.server.addFolder("/www");
        if (c.onServer)
            rig.server.addFile("/www/c.log", "old text");
        // What the editor learns from the listing after its upload.
        std::optional<FetchedCopy> learnt;
        QObject::connect(&rig.h.engine, &ActionEngine::directUploadListed, &rig.guard,
                         [&](const QByteArray& folder, const QByteArray& name, qint64 size,
                             const QByteArray& modified) {
                             if (folder == "/www" && name == "c.log")
                                 learnt = FetchedCopy{size, modified};
                         });
        for (const int stored : c.storedAfter) {
            // The other editor of the file was not told: it is refused first.
            if (stored == 1 && c.storedAfter.size() > 1) {
                rig.starters.uploadDirect("/www", "c.log", "other", true, c.fetched);
                ASSERT_TRUE(rig.server.run());
                EXPECT_EQ(rig.server.stored.size(), 0);
            }
            rig.starters.uploadDirect("/www", "c.log", "new", false, c.fetched);
            ASSERT_TRUE(rig.server.run());
            EXPECT_EQ(rig.server.stored.size(), stored);
        }
        EXPECT_EQ(rig.timeline.events.mid(1, 3), (QStringList{"CWD /www", "PASV", "MLSD"}));
        // The views shown the folder are given what the check found.
        ASSERT_FALSE(rig.listings.isEmpty());
        EXPECT_EQ(rig.listings.front(), "LIST_DIRECT_UPLOAD_CHECK /www");
        // The other editor's refusal says the same again.
        const bool other = c.storedAfter.size() > 1;
        EXPECT_EQ(errorsOf(rig), other ? c.errors + c.errors : c.errors);
        ASSERT_EQ(rig.finished.size(), c.storedAfter.size() + (other ? 1 : 0));
        EXPECT_EQ(rig.finished.front().success, c.storedAfter.front() == 1);
        ASSERT_TRUE(learnt.has_value());
        EXPECT_EQ(learnt->size, 3);
        EXPECT_EQ(learnt->modified, listed);
    }
}

}  // namespace
