// Transfer connections against real servers: trees down and up over four
// connections compared byte for byte, servers that allow fewer logins, a
// connection lost in the middle of a file, and the setting 0 that keeps
// every command on the main connection as the queue lays it out.
#include "remote/transfer_pool.h"
#include "remote/action_engine.h"
#include "remote/failed_transfers.h"
#include "remote/transfer_starters.h"
#include "session/ftp_session.h"
#include "session/tcp_transport.h"
#include "support/pyftpdlib_server.h"
#include "support/qt_printers.h"
#include "support/server_account.h"
#include "support/test_certificate.h"
#include "support/vsftpd_server.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <numeric>

namespace {

constexpr int kLoginMs = 30000;
constexpr int kTreeMs = 60000;

std::string str(const QString& text) {
    return text.toStdString();
}

QByteArray pattern(int size, int seed) {
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char((i * 31 + seed * 7 + i / 251) & 0xff);
    return b;
}

// One entry chosen in a folder (kind 0: whatever the server lists).
RemoteItemList chosen(char kind, const QByteArray& name) {
    RemoteItem item;
    item.kind = kind;
    item.name = name;
    RemoteItemList selection;
    selection.append(item);
    return selection;
}

// Every file below a folder by relative path, with a digest of its bytes.
std::map<QString, QByteArray> snapshot(const QString& folder) {
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        files[QDir(folder).relativeFilePath(path)] =
            QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex();
    }
    return files;
}

// Three folders of files (one nested), and one file large enough to be cut.
bool buildTree(const std::function<bool(const QString&, const QByteArray&)>& write) {
    int seed = 0;
    for (const char* folder : {"tree/a", "tree/b", "tree/b/deep"})
        for (int i = 0; i < 6; ++i)
            if (!write(QStringLiteral("%1/f%2.bin").arg(QLatin1String(folder)).arg(i),
                       pattern(1000 + 700 * i, ++seed)))
                return false;
    return write(QStringLiteral("tree/a/big.bin"), pattern(3 * 1024 * 1024 + 11, 99));
}

// A file below a local folder, its folders made on the way.
bool writeBelow(const QTemporaryDir& local, const QString& rel, const QByteArray& bytes) {
    QFileInfo info(local.filePath(rel));
    QDir().mkpath(info.path());
    QFile file(info.filePath());
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The same tree in a local folder.
bool buildLocalTree(const QTemporaryDir& local) {
    return buildTree(
        [&](const QString& rel, const QByteArray& bytes) { return writeBelow(local, rel, bytes); });
}

// Trusts whatever certificate it is asked about, and remembers which.
class TrustingJudge : public CertificateJudge {
public:
    void judge(const CertificateCheck& check, Done done) override {
        asked << check.tls.certificate.sha256;
        done(true, {});
    }
    QList<QByteArray> asked;
};

// The main session, its engine and the pool, on real sockets, and what they said.
class PoolRig {
public:
    PoolRig(const FtpServerProcess& server, int connections, TlsMode tls = TlsMode::Off)
        : session(&factory), engine(session), pool(engine, &factory) {
        SessionOptions o = SessionOptionsFor(server);
        o.tls = tls;
        session.setOptions(o);
        engine.setTransferPool(&pool);
        pool.setConnections(connections);
        engine.localReader = [](const QString& folder, std::vector<LocalItem>* items,
                                QStringList*) {
            const QDir dir(folder);
            if (!dir.exists())
                return false;
            for (const QFileInfo& i :
                 dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
                items->push_back({i.fileName(), i.isDir(), i.isDir() ? 0 : i.size()});
            return true;
        };
        QObject::connect(&pool, &TransferPool::logLine, [this](const LogLine& l) { log << l; });
        QObject::connect(&session, &FtpSession::taskMarker,
                         [this](int kind, int, const QString& caption, quintptr) {
                             if (kind == 2)
                                 completed << caption;
                             order << QStringLiteral("marker ") + caption;
                         });
        QObject::connect(&engine, &ActionEngine::transferFailed,
                         [this](const TransferResult& r) { results << r; });
        QObject::connect(&engine, &ActionEngine::transferFinished,
                         [this](const TransferInfo& info, qint64, bool ok) {
                             order << QStringLiteral("file ") + QString::fromUtf8(info.fileName);
                             if (!ok)
                                 failed << QString::fromUtf8(info.fileName);
                         });
    }
    ~PoolRig() { session.closeConnection(); }

    bool login() {
        session.connectNew();
        return waitUntil([this] { return session.loggedIn() && session.queue().isEmpty(); },
                         kLoginMs);
    }
    // Runs until the task said it completed and nothing is left anywhere.
    bool finish(int count = 1) {
        return waitUntil(
            [this, count] {
                return completed.size() >= count && session.queue().isEmpty() && !pool.busy();
            },
            kTreeMs);
    }
    // The sent lines of a connection (0: all), without their tags.
    QStringList sent(int connection = 0) const {
        QStringList out;
        for (const LogLine& l : log)
            if (l.channel == LogChannel::Sent && (connection == 0 || l.connection == connection ||
                                                  (connection == 1 && l.connection == 0)))
                out << l.text;
        return out;
    }
    QString transcript() const {
        QString t;
        for (const LogLine& l : log)
            t += QStringLiteral("[%1] %2: %3\n")
                     .arg(l.connection)
                     .arg(QLatin1String(channelName(l.channel)), l.text);
        return t;
    }
    QSet<int> connectionsThat(const QString& command) const {
        QSet<int> found;
        for (const LogLine& l : log)
            if (l.channel == LogChannel::Sent && l.text.startsWith(command))
                found << l.connection;
        return found;
    }

    TcpTransportFactory factory;
    FtpSession session;
    ActionEngine engine;
    TransferPool pool;
    QList<LogLine> log;
    QStringList completed;
    QStringList order;
    QStringList failed;
    QList<TransferResult> results;      // what did not finish, with why
    FailedTransfers retryList{engine};  // what the user sees of them
};

struct Flavour {
    const char* name;
    std::function<std::unique_ptr<FtpServerProcess>()> make;
};

std::vector<Flavour> flavours() {
    return {
        {"pyftpdlib threaded",
         [] {
             PyftpdlibServer::Options o;
             o.threaded = true;
             return std::make_unique<PyftpdlibServer>(o);
         }},
        {"vsftpd", [] { return std::make_unique<VsftpdServer>(); }},
    };
}

QString remoteRel(const FtpServerProcess& s, const QString& rel) {
    return QString::fromUtf8(s.writableFolder()).mid(1) +
           (s.writableFolder() == "/" ? QString() : QStringLiteral("/")) + rel;
}

TEST(TransferPool, TreesDownAndUpOnFourConnectionsArriveWhole) {
    for (const Flavour& f : flavours()) {
        SCOPED_TRACE(f.name);
        std::unique_ptr<FtpServerProcess> server = f.make();
        ASSERT_TRUE(server->start()) << str(server->lastError());
        ASSERT_TRUE(buildTree([&](const QString& rel, const QByteArray& bytes) {
            return server->writeFile(remoteRel(*server, rel), bytes);
        }));
        const QString served = server->localPath(remoteRel(*server, QStringLiteral("tree")));
        const auto original = snapshot(served);
        QTemporaryDir local;

        PoolRig rig(*server, 4);
        ASSERT_TRUE(rig.login()) << str(rig.transcript());
        const QByteArray base = server->writableFolder();
        TransferStarters(rig.engine).download(base, local.path(), chosen(0, "tree"));
        ASSERT_TRUE(rig.finish()) << str(rig.transcript());
        EXPECT_EQ(snapshot(local.filePath(QStringLiteral("tree"))), original);
        // Transfer connections moved the files side by side; the main one only listed.
        const QSet<int> retrieving = rig.connectionsThat(QStringLiteral("RETR"));
        EXPECT_GE(retrieving.size(), 2) << str(rig.transcript());
        EXPECT_TRUE((retrieving - QSet<int>{2, 3, 4, 5}).isEmpty()) << str(rig.transcript());
        EXPECT_TRUE(rig.failed.isEmpty()) << str(rig.failed.join(' '));
        // The task ends after its last file.
        EXPECT_EQ(rig.order.last(), QStringLiteral("marker Downloading files completed"));

        LocalFolderRecord up;
        up.path = local.path();
        up.items.push_back({QStringLiteral("tree"), true, 0});
        ASSERT_TRUE(server->makeDir(remoteRel(*server, QStringLiteral("up"))));
        TransferStarters(rig.engine).uploadNormal(up, base + (base == "/" ? "" : "/") + "up");
        ASSERT_TRUE(rig.finish(2)) << str(rig.transcript());
        EXPECT_EQ(snapshot(server->localPath(remoteRel(*server, QStringLiteral("up/tree")))),
                  original);
        const QSet<int> storing = rig.connectionsThat(QStringLiteral("STOR"));
        EXPECT_GE(storing.size(), 2) << str(rig.transcript());
        EXPECT_TRUE((storing - QSet<int>{2, 3, 4, 5}).isEmpty()) << str(rig.transcript());
        EXPECT_EQ(rig.order.last(), QStringLiteral("marker Uploading normal files completed"))
            << str(rig.order.join(QLatin1Char(10)));
    }
}

// Logins the server refuses leave fewer connections, one line each; none at
// all leaves the files to the main connection. The tree arrives either way.
TEST(TransferPool, RefusedLoginsShrinkThePoolAndLoseNothing) {
    struct Case {
        const char* name;
        std::function<std::unique_ptr<FtpServerProcess>()> make;
        QString last;          // the last refusal line ends so
        QSet<int> retrieving;  // connections that sent RETR
    };
    const std::vector<Case> cases = {
        {"vsftpd, two per address",
         [] {
             VsftpdServer::Options o;
             o.maxPerIp = 2;
             return std::make_unique<VsftpdServer>(o);
         },
         QStringLiteral("going on with 1 transfer connection"),
         {}},
        {"pyftpdlib, one per address",
         [] {
             PyftpdlibServer::Options o;
             o.threaded = true;
             o.maxConnectionsPerAddress = 1;
             return std::make_unique<PyftpdlibServer>(o);
         },
         QStringLiteral("transfers run on the main connection"),
         {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<FtpServerProcess> server = c.make();
        ASSERT_TRUE(server->start()) << str(server->lastError());
        ASSERT_TRUE(buildTree([&](const QString& rel, const QByteArray& bytes) {
            return server->writeFile(remoteRel(*server, rel), bytes);
        }));
        QTemporaryDir local;
        PoolRig rig(*server, 4);
        ASSERT_TRUE(rig.login()) << str(rig.transcript());
        TransferStarters(rig.engine)
            .download(
                server->writableFolder() + (server->writableFolder() == "/" ? "" : "/") + "tree",
                local.path());
        ASSERT_TRUE(rig.finish()) << str(rig.transcript());
        EXPECT_EQ(snapshot(local.path()),
                  snapshot(server->localPath(remoteRel(*server, QStringLiteral("tree")))));
        QStringList refusals;
        for (const LogLine& l : rig.log)
            if (l.text.startsWith(QLatin1String("The server refused another connection")))
                refusals << l.text;
        // One line for each login refused (how many were tried at once varies).
        ASSERT_FALSE(refusals.isEmpty()) << str(rig.transcript());
        EXPECT_TRUE(refusals.last().endsWith(c.last)) << str(refusals.last());
        const QSet<int> retrieving = rig.connectionsThat(QStringLiteral("RETR"));
        if (c.retrieving.isEmpty())
            EXPECT_EQ(retrieving.size(), 1) << str(rig.transcript());  // the one let in
        else
            EXPECT_EQ(retrieving, c.retrieving) << str(rig.transcript());
        EXPECT_FALSE(retrieving.contains(1));
        EXPECT_TRUE(rig.failed.isEmpty()) << str(rig.failed.join(' '));
    }
}

// A transfer connection that breaks halfway through a file: the file goes to
// the next free connection, the broken one is opened again, the tree is whole.
// An upload through a temporary goes on after what the temporary holds.
TEST(TransferPool, ALostConnectionGivesItsFileBackAndOpensAgain) {
    struct Row {
        const char* name;
        bool down;
        bool atomic;
    };
    for (const Row row : {Row{"download", true, false}, Row{"upload", false, false},
                          Row{"upload through a temporary", false, true}}) {
        SCOPED_TRACE(row.name);
        const bool down = row.down;
        PyftpdlibServer::Options o;
        o.threaded = true;
        o.dropOnce = QStringLiteral("big.bin");
        PyftpdlibServer server(o);
        ASSERT_TRUE(server.start()) << str(server.lastError());
        QTemporaryDir local;
        ASSERT_TRUE(buildTree([&](const QString& rel, const QByteArray& bytes) {
            return down ? server.writeFile(rel, bytes) : writeBelow(local, rel, bytes);
        }));
        PoolRig rig(server, down ? 1 : 2);
        rig.engine.publish.atomic = row.atomic;
        ASSERT_TRUE(rig.login()) << str(rig.transcript());
        if (down) {
            TransferStarters(rig.engine).download("/tree", local.filePath(QStringLiteral("got")));
        } else {
            LocalFolderRecord up;
            up.path = local.path();
            up.items.push_back({QStringLiteral("tree"), true, 0});
            TransferStarters(rig.engine).uploadNormal(up, "/");
        }
        ASSERT_TRUE(rig.finish()) << str(rig.transcript());
        EXPECT_EQ(snapshot(down ? local.filePath(QStringLiteral("got"))
                                : server.localPath(QStringLiteral("tree"))),
                  snapshot(down ? server.localPath(QStringLiteral("tree"))
                                : local.filePath(QStringLiteral("tree"))));
        EXPECT_TRUE(rig.failed.isEmpty()) << str(rig.failed.join(' '));
        const QRegularExpression command(
            down         ? QStringLiteral("^RETR big\\.bin$")
            : row.atomic ? QStringLiteral("^STOR \\.big\\.bin\\..*velmora-upload$")
                         : QStringLiteral("^STOR big\\.bin$"));
        const QStringList stores = rig.sent().filter(command);
        ASSERT_EQ(stores.size(), 2) << str(rig.transcript());
        if (row.atomic) {
            // The same temporary, from where it ended, and none left behind.
            EXPECT_EQ(stores[0], stores[1]);
            // On the connection that sent it: the others' lines come between.
            int by = 0;
            for (const LogLine& l : rig.log)
                if (l.channel == LogChannel::Sent && l.text == stores[1])
                    by = l.connection;
            const QStringList itsLines = rig.sent(by);
            const int second = int(itsLines.lastIndexOf(stores[1]));
            ASSERT_GT(second, 0) << str(rig.transcript());
            EXPECT_TRUE(itsLines[second - 1].contains(QRegularExpression("^REST [1-9]\\d*$")))
                << str(rig.transcript());
            EXPECT_TRUE(rig.transcript().contains(QStringLiteral("where its temporary ends")))
                << str(rig.transcript());
            EXPECT_TRUE(
                QDir(server.localPath(QStringLiteral("tree/a")))
                    .entryList({QStringLiteral("*.velmora-upload")}, QDir::Hidden | QDir::Files)
                    .isEmpty());
        }
        // Data the broken download kept (when any had come) is continued.
        if (rig.transcript().contains(QStringLiteral("kept for resuming"))) {
            EXPECT_GE(rig.sent().indexOf(QRegularExpression(QStringLiteral("REST [1-9]\\d*"))), 0)
                << str(rig.transcript());
        }
        EXPECT_TRUE(rig.transcript().contains(QRegularExpression(
            QStringLiteral("Transfer connection \\d lost; opening it again in 1 s"))))
            << str(rig.transcript());
        // The lost connection's last words name it, though it is closed and
        // (downloading over one) the main one is then the only one open.
        int lastWords = 0;
        for (const LogLine& l : rig.log) {
            if (l.text.startsWith(QStringLiteral("Connection closed, waiting"))) {
                ++lastWords;
                EXPECT_GE(l.connection, 2) << str(rig.transcript());
            }
        }
        EXPECT_GE(lastWords, 1) << str(rig.transcript());
    }
}

// The server killed in the middle of a tree's upload or download: once the
// transfer connections give up, every file is on its target or named in the
// list of transfers to retry (itself or its folder), and after the server is
// back, Re-connect and Retry of the whole list bring every file whole.
struct CutShortRow {
    const char* name;
    bool upload;
};

class TreeCutShort : public ::testing::TestWithParam<CutShortRow> {};

TEST_P(TreeCutShort, EveryFileIsAccountedForAndRetryBringsItWhole) {
    const bool upload = GetParam().upload;
    PyftpdlibServer::Options o;
    o.threaded = true;
    o.sendRate = o.receiveRate = 200 * 1000;
    o.replyDelayMs = 20;
    PyftpdlibServer server(o);
    ASSERT_TRUE(server.start()) << str(server.lastError());
    QTemporaryDir local;
    // Folders at several depths, so that some are not listed yet when the server goes.
    const auto write = [&](const QString& rel, const QByteArray& bytes) {
        return upload ? writeBelow(local, rel, bytes) : server.writeFile(rel, bytes);
    };
    for (int d = 0; d < 12; ++d)
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(write(QStringLiteral("tree/d%1/s%2/f%3.bin").arg(d % 4).arg(d).arg(i),
                              pattern(30000 + 100 * i, d * 10 + i)));
    const QString source = upload ? local.path() : server.rootPath();
    const QString target = upload ? server.rootPath() : local.path();
    PoolRig rig(server, 3);
    rig.pool.setTiming({60000, {50, 50}});
    ASSERT_TRUE(rig.login()) << str(rig.transcript());
    if (upload) {
        LocalFolderRecord up;
        up.path = local.path();
        up.items.push_back({QStringLiteral("tree"), true, 0});
        TransferStarters(rig.engine).uploadNormal(up, "/");
    } else {
        TransferStarters(rig.engine).download("/", local.path(), chosen('d', "tree"));
    }
    const QString command = upload ? QStringLiteral("STOR") : QStringLiteral("RETR");
    ASSERT_TRUE(waitUntil([&] { return rig.sent().filter(command).size() >= 4; }, kLoginMs))
        << str(rig.transcript());
    o.port = server.port();
    server.stop();
    // The transfer connections give up; the main queue keeps its work until
    // the user connects again, which empties it.
    ASSERT_TRUE(waitUntil(
        [&] {
            return rig.transcript().count(QStringLiteral("given up")) == 3 &&
                   rig.pool.queuedTransfers() == 0 && rig.pool.runningTransfers() == 0;
        },
        kTreeMs))
        << str(rig.transcript());
    server.setOptions(o);
    ASSERT_TRUE(server.start()) << str(server.lastError());
    rig.session.reconnect();
    ASSERT_TRUE(waitUntil(
        [&] { return rig.session.loggedInNow() && rig.session.queue().isEmpty(); }, kLoginMs))
        << str(rig.transcript());
    const auto accounted = [&](const QString& path) {
        for (int i = 0; i < rig.retryList.count(); ++i) {
            const FailedTransfer& f = rig.retryList.at(i);
            if (f.folder ? path.startsWith(f.result.info.localPath + QLatin1Char('/'))
                         : f.result.info.localPath == path)
                return true;
        }
        return false;
    };
    QStringList missing;
    QDirIterator it(QDir(source).filePath(QStringLiteral("tree")), QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = QDir(source).relativeFilePath(path);
        const QString there = QDir(target).filePath(rel);
        if (QFileInfo(there).size() != QFileInfo(path).size() && !accounted(upload ? path : there))
            missing << rel;
    }
    QStringList listed;
    for (int i = 0; i < rig.retryList.count(); ++i)
        listed << FailedTransfers::describe(rig.retryList.at(i)) + QStringLiteral(" @ ") +
                      rig.retryList.at(i).result.info.localPath;
    EXPECT_TRUE(missing.isEmpty()) << str(missing.join(' ')) << "\n"
                                   << str(listed.join('\n')) << "\n"
                                   << str(rig.transcript());
    EXPECT_GT(rig.retryList.count(), 0);

    std::vector<int> all(size_t(rig.retryList.count()));
    std::iota(all.begin(), all.end(), 0);
    rig.retryList.retry(all);
    ASSERT_TRUE(
        waitUntil([&] { return rig.session.queue().isEmpty() && !rig.pool.busy(); }, kTreeMs))
        << str(rig.transcript());
    QStringList wrong;
    auto arrived = snapshot(QDir(target).filePath(QStringLiteral("tree")));
    for (const auto& [rel, digest] : snapshot(QDir(source).filePath(QStringLiteral("tree"))))
        if (arrived[rel] != digest)
            wrong << rel;
    EXPECT_TRUE(wrong.isEmpty()) << str(wrong.join(' ')) << "\n" << str(rig.transcript());
    EXPECT_EQ(rig.retryList.count(), 0) << str(rig.transcript());
}

INSTANTIATE_TEST_SUITE_P(TransferPool, TreeCutShort,
                         ::testing::Values(CutShortRow{"Upload", true},
                                           CutShortRow{"Download", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Idle transfer connections the server drops are not opened again: on a
// server counting connections they would take the main one's place.
TEST(TransferPool, IdleConnectionsDroppedByTheServerStayClosed) {
    PyftpdlibServer::Options o;
    o.threaded = true;
    PyftpdlibServer server(o);
    ASSERT_TRUE(server.start()) << str(server.lastError());
    PoolRig rig(server, 2);
    ASSERT_TRUE(rig.login()) << str(rig.transcript());
    rig.pool.warmUp();
    ASSERT_TRUE(waitUntil([&] { return rig.pool.openConnections() == 3; }, kLoginMs))
        << str(rig.transcript());
    server.stop();
    ASSERT_TRUE(waitUntil(
        [&] { return rig.transcript().count(QStringLiteral("no work left for it")) == 2; },
        kLoginMs))
        << str(rig.transcript());
    EXPECT_FALSE(rig.transcript().contains(QStringLiteral("opening it again")))
        << str(rig.transcript());
    // Each line about a transfer connection carries its tag, not the main one's.
    QSet<int> tags;
    for (const LogLine& l : rig.log)
        if (l.text.contains(QStringLiteral("no work left for it")))
            tags << l.connection;
    EXPECT_EQ(tags, (QSet<int>{2, 3})) << str(rig.transcript());
}

// The server gone for good while a transfer connection carries a file: once
// no connection is left, the file fails with what arrived, not as stopped by
// the user, and the task ends instead of waiting for ever.
TEST(TransferPool, AFileNoConnectionIsLeftForFailsWithItsData) {
    PyftpdlibServer::Options o;
    o.sendRate = 256 * 1024;
    PyftpdlibServer server(o);
    ASSERT_TRUE(server.start()) << str(server.lastError());
    ASSERT_TRUE(server.writeFile(QStringLiteral("big.bin"), pattern(2 * 1024 * 1024, 5)));
    QTemporaryDir local;
    PoolRig rig(server, 1);
    rig.pool.setTiming({60000, {50}});
    ASSERT_TRUE(rig.login()) << str(rig.transcript());
    TransferStarters(rig.engine).download("/", local.path(), chosen('-', "big.bin"));
    const QString part = local.filePath(QStringLiteral(".big.bin.velmora-part"));
    ASSERT_TRUE(waitUntil([&] { return QFileInfo(part).size() > 64 * 1024; }, kLoginMs))
        << str(rig.transcript());
    server.stop();
    ASSERT_TRUE(rig.finish()) << str(rig.transcript());
    ASSERT_EQ(rig.results.size(), 1) << str(rig.transcript());
    EXPECT_FALSE(rig.results[0].stopped);
    EXPECT_GT(rig.results[0].position, 0);
    EXPECT_TRUE(rig.results[0].error.contains("could not be opened again"))
        << str(rig.results[0].error);
}

// The trust given on the main connection covers its certificate only: a
// transfer connection showing another is refused before any account is sent,
// and the files go over the main connection.
TEST(TransferPool, AnotherCertificateOnATransferConnectionIsRefused) {
    ChangingCertificateServer changing;
    QString error;
    ASSERT_TRUE(changing.start(&error)) << str(error);
    PyftpdlibServer& server = *changing.server;
    const TestCertificate& first = changing.first;
    ASSERT_TRUE(buildTree(
        [&](const QString& rel, const QByteArray& bytes) { return server.writeFile(rel, bytes); }));
    QTemporaryDir local;
    PoolRig rig(server, 2, TlsMode::Require);
    TrustingJudge judge;
    rig.session.setCertificateJudge(&judge);
    QStringList failures;
    QObject::connect(&rig.pool, &TransferPool::connectionRefused,
                     [&](const QString& text) { failures << text; });
    ASSERT_TRUE(rig.login()) << str(rig.transcript());
    TransferStarters(rig.engine).download("/tree", local.path());
    ASSERT_TRUE(rig.finish()) << str(rig.transcript());
    EXPECT_EQ(snapshot(local.path()), snapshot(server.localPath(QStringLiteral("tree"))));
    EXPECT_EQ(judge.asked, QList<QByteArray>{first.sha256});
    EXPECT_TRUE(rig.transcript().contains(QStringLiteral("Certificate refused")))
        << str(rig.transcript());
    // Velmora refused it, not the server: a failure, never "the server refused".
    EXPECT_FALSE(rig.transcript().contains(QStringLiteral("The server refused another")))
        << str(rig.transcript());
    ASSERT_FALSE(failures.isEmpty());
    EXPECT_TRUE(failures[0].contains(QStringLiteral("Certificate refused"))) << str(failures[0]);
    for (int connection : {2, 3})
        EXPECT_FALSE(rig.sent(connection).join('\n').contains(QStringLiteral("USER")))
            << str(rig.transcript());
    EXPECT_TRUE(rig.connectionsThat(QStringLiteral("RETR")).contains(0) ||
                rig.connectionsThat(QStringLiteral("RETR")).contains(1));
}

// Each file's whole chain (temporary name, checksum, time, rename) runs on the
// connection that stored it, as it would on the main one; a file that fails
// there reaches the list of transfers to retry with its reason.
TEST(TransferPool, PublishingRunsWholeOnEachConnectionAndFailuresSayWhy) {
    for (const bool corrupt : {false, true}) {
        SCOPED_TRACE(corrupt ? "server changes bytes" : "server keeps bytes");
        PyftpdlibServer::Options o;
        o.threaded = true;
        o.hash = true;
        o.corrupt = corrupt;
        PyftpdlibServer server(o);
        ASSERT_TRUE(server.start()) << str(server.lastError());
        QTemporaryDir local;
        ASSERT_TRUE(buildLocalTree(local));
        PoolRig rig(server, 2);
        rig.engine.publish.atomic = true;
        rig.engine.publish.keepTimes = true;
        rig.engine.publish.verify = true;
        ASSERT_TRUE(rig.login()) << str(rig.transcript());
        LocalFolderRecord up;
        up.path = local.path();
        up.items.push_back({QStringLiteral("tree"), true, 0});
        TransferStarters(rig.engine).uploadNormal(up, "/");
        ASSERT_TRUE(rig.finish()) << str(rig.transcript());

        const int files = int(snapshot(local.filePath(QStringLiteral("tree"))).size());
        const QSet<int> storing = rig.connectionsThat(QStringLiteral("STOR"));
        EXPECT_TRUE(!storing.isEmpty() && (storing - QSet<int>{2, 3}).isEmpty())
            << str(rig.transcript());
        int stored = 0;
        for (int c : storing) {
            const QStringList sent = rig.sent(c);
            const auto count = [&](const char* word) {
                return int(std::count_if(sent.begin(), sent.end(), [&](const QString& line) {
                    return line.startsWith(QLatin1String(word));
                }));
            };
            const int stores = count("STOR .");
            stored += stores;
            EXPECT_EQ(count("HASH ."), stores) << str(rig.transcript());
            if (!corrupt) {
                EXPECT_EQ(count("MFMT "), stores) << str(rig.transcript());
                EXPECT_EQ(count("RNTO "), stores) << str(rig.transcript());
            } else {
                EXPECT_EQ(count("RNTO "), 0) << str(rig.transcript());
            }
        }
        EXPECT_EQ(stored, files) << str(rig.transcript());
        if (!corrupt) {
            EXPECT_EQ(snapshot(server.localPath(QStringLiteral("tree"))),
                      snapshot(local.filePath(QStringLiteral("tree"))));
            EXPECT_TRUE(rig.results.isEmpty());
        } else {
            ASSERT_EQ(rig.results.size(), files) << str(rig.transcript());
            for (const TransferResult& r : rig.results)
                EXPECT_TRUE(r.error.startsWith(QLatin1String("Checksum differs"))) << str(r.error);
        }
    }
}

// A direct upload asks nothing more of the server per file than its store:
// the stored sizes are checked by the listing of each folder after its files,
// and the files are told done once that listing saw them whole.
TEST(TransferPool, DirectUploadsAreCheckedByTheirFolderListing) {
    for (const Flavour& f : flavours()) {
        for (const int connections : {4, 0}) {
            SCOPED_TRACE(std::string(f.name) + ", connections " + std::to_string(connections));
            std::unique_ptr<FtpServerProcess> server = f.make();
            ASSERT_TRUE(server->start()) << str(server->lastError());
            QTemporaryDir local;
            ASSERT_TRUE(buildLocalTree(local));
            const auto original = snapshot(local.filePath(QStringLiteral("tree")));
            PoolRig rig(*server, connections);
            rig.engine.publish.atomic = false;
            ASSERT_TRUE(rig.login()) << str(rig.transcript());
            LocalFolderRecord up;
            up.path = local.path();
            up.items.push_back({QStringLiteral("tree"), true, 0});
            TransferStarters(rig.engine).uploadNormal(up, server->writableFolder());
            ASSERT_TRUE(rig.finish()) << str(rig.transcript());
            EXPECT_EQ(snapshot(server->localPath(remoteRel(*server, QStringLiteral("tree")))),
                      original);
            EXPECT_TRUE(rig.failed.isEmpty()) << str(rig.failed.join(' '));
            int told = 0;
            for (const QString& o : rig.order)
                told += o.startsWith(QLatin1String("file ")) ? 1 : 0;
            EXPECT_EQ(told, int(original.size()));

            // Per file, on whichever connection stored it: PASV and STOR, nothing else.
            int stores = 0;
            for (int c : rig.connectionsThat(QStringLiteral("STOR"))) {
                QStringList perFile;
                for (const QString& line : rig.sent(c)) {
                    const QString verb = line.section(QLatin1Char(' '), 0, 0);
                    if (verb == QLatin1String("STOR"))
                        ++stores;
                    if (verb == QLatin1String("SIZE") ||
                        (connections > 0 && verb != QLatin1String("PASV") &&
                         verb != QLatin1String("STOR") && verb != QLatin1String("CWD") &&
                         verb != QLatin1String("USER") && verb != QLatin1String("PASS") &&
                         verb != QLatin1String("TYPE")))
                        perFile << line;
                }
                EXPECT_TRUE(perFile.isEmpty()) << str(perFile.join(QLatin1Char('\n')));
            }
            EXPECT_EQ(stores, int(original.size())) << str(rig.transcript());
        }
    }
}

// "Remove all tasks" while files wait for a connection: those never begun are
// kept to retry like the one running, as stopped, not dropped unsaid.
TEST(TransferPool, FilesStillWaitingWhenAllIsRemovedAreKeptToRetry) {
    PyftpdlibServer::Options o;
    o.threaded = true;
    o.replyDelayMs = 40;
    PyftpdlibServer server(o);
    ASSERT_TRUE(server.start()) << str(server.lastError());
    ASSERT_TRUE(buildTree(
        [&](const QString& rel, const QByteArray& bytes) { return server.writeFile(rel, bytes); }));
    QTemporaryDir local;
    PoolRig rig(server, 1);
    ASSERT_TRUE(rig.login()) << str(rig.transcript());
    TransferStarters(rig.engine).download("/tree/a", local.path());
    ASSERT_TRUE(waitUntil(
        [&] { return rig.pool.runningTransfers() == 1 && rig.pool.queuedTransfers() > 0; },
        kTreeMs))
        << str(rig.transcript());
    const int inHand = rig.pool.runningTransfers() + rig.pool.queuedTransfers();
    rig.pool.clearAll();
    ASSERT_TRUE(
        waitUntil([&] { return !rig.pool.busy() && int(rig.results.size()) >= inHand; }, kTreeMs))
        << str(rig.transcript());
    EXPECT_EQ(int(rig.results.size()), inHand);
    for (const TransferResult& r : rig.results)
        EXPECT_TRUE(r.stopped) << str(QString::fromUtf8(r.info.fileName));
}

}  // namespace

// On a link slower than the disk, an upload's progress counts what the server
// has, not what waits in our buffers and the kernel's: at every report the
// server already holds all but what its own receive buffer may keep, and the
// last report, after the data ended, is the whole file.
struct ProgressRow {
    const char* name;
    int connections;
};

class UploadProgress : public ::testing::TestWithParam<ProgressRow> {};

TEST_P(UploadProgress, CountsWhatTheServerHas) {
    const ProgressRow row = GetParam();
    PyftpdlibServer::Options o;
    o.receiveRate = 512 * 1024;
    o.receiveBuffer = 64 * 1024;
    PyftpdlibServer server(o);
    ASSERT_TRUE(server.start()) << str(server.lastError());
    QTemporaryDir local;
    const qint64 size = 2 * 1024 * 1024;
    ASSERT_TRUE(writeBelow(local, QStringLiteral("up/big.bin"), pattern(int(size), 3)));
    PoolRig rig(server, row.connections);
    ASSERT_TRUE(rig.login()) << str(rig.transcript());
    const auto onServer = [&] {
        qint64 total = 0;
        QDirIterator it(server.rootPath(), QDir::Files | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            total += QFileInfo(it.next()).size();
        return total;
    };
    qint64 worstAhead = 0;
    QList<qint64> reports;
    const auto seen = [&](const SocketGroup*, qint64 position) {
        reports << position;
        worstAhead = qMax(worstAhead, position - onServer());
    };
    QObject::connect(&rig.session, &FtpSession::transferProgressSignal, seen);
    QObject::connect(&rig.pool, &TransferPool::transferProgress, seen);
    LocalFolderRecord up;
    up.path = local.filePath(QStringLiteral("up"));
    up.items.push_back({QStringLiteral("big.bin"), false, size});
    TransferStarters(rig.engine).uploadNormal(up, "/");
    ASSERT_TRUE(rig.finish()) << str(rig.transcript());
    EXPECT_TRUE(rig.failed.isEmpty()) << str(rig.transcript());
    EXPECT_EQ(QFileInfo(server.localPath(QStringLiteral("big.bin"))).size(), size);
    ASSERT_FALSE(reports.isEmpty());
    EXPECT_EQ(reports.last(), size);
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    // The server's receive buffer and the block it reads at a time; our own
    // send window alone is twice that.
    EXPECT_LT(worstAhead, 256 * 1024) << worstAhead;
}

INSTANTIATE_TEST_SUITE_P(, UploadProgress,
                         ::testing::Values(ProgressRow{"MainConnection", 0},
                                           ProgressRow{"TransferConnection", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// Files of several tasks share the connections: a small task started behind a
// long one goes at the next free connection, and a file queued twice never
// moves twice at once, so the copy queued last is the one that stays.
TEST(TransferPool, ASmallTaskGoesBeforeALongOneEndsAndTheLastCopyOfAFileStays) {
    PyftpdlibServer::Options o;
    o.threaded = true;
    o.receiveRate = 256 * 1024;
    PyftpdlibServer server(o);
    ASSERT_TRUE(server.start()) << str(server.lastError());
    ASSERT_TRUE(server.writeFile(QStringLiteral("smalls/small.txt"), "small"));
    QTemporaryDir local;
    LocalFolderRecord many;
    many.path = local.filePath(QStringLiteral("many"));
    for (int i = 0; i < 12; ++i) {
        const QString name = QStringLiteral("f%1.bin").arg(i, 2, 10, QLatin1Char('0'));
        ASSERT_TRUE(writeBelow(local, QStringLiteral("many/") + name, pattern(100 * 1024, i)));
        many.items.push_back({name, false, 100 * 1024});
    }
    ASSERT_TRUE(writeBelow(local, QStringLiteral("old/same.bin"), pattern(768 * 1024, 1)));
    ASSERT_TRUE(writeBelow(local, QStringLiteral("new/same.bin"), "the newer copy"));
    LocalFolderRecord oldCopy{local.filePath(QStringLiteral("old")),
                              {{"same.bin", false, 768 * 1024}}};
    LocalFolderRecord newCopy{local.filePath(QStringLiteral("new")), {{"same.bin", false, 14}}};

    PoolRig rig(server, 2);
    ASSERT_TRUE(rig.login()) << str(rig.transcript());
    TransferStarters(rig.engine).uploadNormal(many, "/");
    ASSERT_TRUE(waitUntil([&] { return rig.pool.queuedTransfers() >= 8; }, kLoginMs))
        << str(rig.transcript());
    TransferStarters(rig.engine)
        .download("/", local.filePath(QStringLiteral("got")), chosen('d', "smalls"));
    ASSERT_TRUE(rig.finish(2)) << str(rig.transcript());
    EXPECT_LT(rig.order.indexOf(QStringLiteral("file small.txt")),
              rig.order.indexOf(QStringLiteral("file f11.bin")))
        << str(rig.order.join('\n'));

    rig.engine.publish.atomic = true;
    TransferStarters(rig.engine).uploadNormal(oldCopy, "/");
    TransferStarters(rig.engine).uploadNormal(newCopy, "/");
    ASSERT_TRUE(rig.finish(4)) << str(rig.transcript());
    EXPECT_TRUE(rig.failed.isEmpty()) << str(rig.transcript());
    EXPECT_EQ(server.readFile(QStringLiteral("same.bin")), "the newer copy");
}
