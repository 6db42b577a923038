// The session and the action engine on real TCP against real servers: login,
// what the server announced, the initial listing and refreshes.
#include "remote/action_engine.h"
#include "session/ftp_session.h"
#include "session/tcp_transport.h"
#include "support/pyftpdlib_server.h"
#include "support/qt_printers.h"
#include "support/server_account.h"
#include "support/vsftpd_server.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

namespace {

constexpr int kLoginMs = 8000;
constexpr int kListingMs = 5000;
// pyftpdlib answers a wrong password only after a pause of its own.
constexpr int kRefusalMs = 10000;

std::string str(const QString& text) {
    return text.toStdString();
}

using Key = std::tuple<QByteArray, char, qint64>;

std::set<Key> keys(const RemoteItemList& items) {
    std::set<Key> result;
    for (const RemoteItem& item : items)
        result.insert({item.name, item.kind, item.size});
    return result;
}

QList<QByteArray> itemNames(const RemoteItemList& items) {
    QList<QByteArray> result;
    for (const RemoteItem& item : items)
        result << item.name;
    return result;
}

// A session with its engine on real sockets, and what they told.
class LiveSession {
public:
    LiveSession(const FtpServerProcess& server, bool preferMlsd = true,
                const QString& password = QString())
        : session(&factory), engine(session) {
        SessionOptions o = SessionOptionsFor(server);
        if (!password.isEmpty())
            o.password = password;
        o.siteName = QStringLiteral("test");
        o.preferMlsd = preferMlsd;
        session.setOptions(o);
        QObject::connect(&session, &FtpSession::logLine, [this](const LogLine& line) {
            log << line;
            if (line.channel == LogChannel::Sent)
                sent << line.text;
        });
        QObject::connect(&session, &FtpSession::disconnected, [this] { broken = true; });
        QObject::connect(&session, &FtpSession::connectFailed, [this] { broken = true; });
        QObject::connect(&session, &FtpSession::commandRefused,
                         [this](const QByteArray& command, int code) {
                             refused << command + ' ' + QByteArray::number(code);
                         });
        QObject::connect(&engine, &ActionEngine::rootFound,
                         [this](const QByteArray& folder, const RemoteItemList& items) {
                             rootFolder = folder;
                             rootItems = items;
                             ++rootCount;
                         });
        QObject::connect(&engine, &ActionEngine::refreshDelivered,
                         [this](quintptr window, quint8, const QByteArray& folder,
                                const RemoteItemList& items, RefreshMode) {
                             deliveries.push_back({window, folder, items});
                         });
    }

    ~LiveSession() { session.closeConnection(); }

    // Connects and waits for the login, the start-up commands and the initial
    // listing.
    bool login() {
        session.connectNew();
        return waitUntil(
                   [this] {
                       return broken ||
                              (session.loggedIn() && session.queue().isEmpty() && rootCount);
                   },
                   kLoginMs) &&
               !broken;
    }

    // Refreshes a folder and waits until the queue is done with it; the items
    // delivered, or nothing.
    std::optional<RemoteItemList> refresh(const QByteArray& folder) {
        const quintptr token = ++lastToken_;
        RefreshTarget target;
        target.window = token;
        engine.refresh(folder, target);
        if (!waitUntil([this] { return broken || session.queue().isEmpty(); }, kListingMs))
            return std::nullopt;
        for (const Delivery& d : deliveries) {
            if (d.window == token && d.folder == folder)
                return d.items;
        }
        return std::nullopt;
    }

    QString describe() const {
        QString text;
        for (const LogLine& line : log)
            text += QLatin1String(channelName(line.channel)) + QStringLiteral(": ") + line.text +
                    QLatin1Char('\n');
        return text;
    }

    struct Delivery {
        quintptr window;
        QByteArray folder;
        RemoteItemList items;
    };

    TcpTransportFactory factory;
    FtpSession session;
    ActionEngine engine;
    QList<LogLine> log;
    QStringList sent;
    QList<QByteArray> refused;
    bool broken = false;
    QByteArray rootFolder;
    RemoteItemList rootItems;
    int rootCount = 0;
    std::vector<Delivery> deliveries;

private:
    quintptr lastToken_ = 0;
};

// Files and folders whose names sort differently by byte, by case and by kind.
bool buildTree(FtpServerProcess& server) {
    return server.writeFile(QStringLiteral("readme.txt"), "read me\n") &&
           server.makeSparseFile(QStringLiteral("huge.img"), 3000000000LL) &&
           server.writeFile(QStringLiteral("two words.txt"), QByteArray(321, 'w')) &&
           server.writeFile(QStringLiteral("docs/manual.txt"), QByteArray(77, 'm')) &&
           server.writeFile(QStringLiteral("order/b.txt"), "bb") &&
           server.writeFile(QStringLiteral("order/A.txt"), "a") &&
           server.writeFile(QStringLiteral("order/c.txt"), "ccc") &&
           server.makeDir(QStringLiteral("order/Zdir")) &&
           server.makeDir(QStringLiteral("order/adir")) &&
           server.makeDir(QStringLiteral("order/Mdir"));
}

// Folders first, then files; by name without regard to case within a kind.
const QList<QByteArray> kOrderSorted = {"adir", "Mdir", "Zdir", "A.txt", "b.txt", "c.txt"};

const std::set<Key> kRootKeysWithoutFolders = {
    {"readme.txt", '-', 8}, {"huge.img", '-', 3000000000LL}, {"two words.txt", '-', 321}};

std::set<Key> filesOnly(const RemoteItemList& items) {
    std::set<Key> result;
    for (const Key& k : keys(items)) {
        if (std::get<1>(k) != 'd')
            result.insert(k);
    }
    return result;
}

std::set<QByteArray> folderNames(const RemoteItemList& items) {
    std::set<QByteArray> result;
    for (const RemoteItem& item : items) {
        if (item.isFolder())
            result.insert(item.name);
    }
    return result;
}

class SessionPyftpdlibTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = std::make_unique<PyftpdlibServer>();
        if (!buildTree(*server_))
            error_ = QStringLiteral("cannot build the test tree");
        else if (!server_->start())
            error_ = server_->lastError();
    }
    static void TearDownTestSuite() { server_.reset(); }
    void SetUp() override {
        ASSERT_TRUE(error_.isEmpty()) << "pyftpdlib did not start: " << str(error_);
    }

    static inline std::unique_ptr<PyftpdlibServer> server_;
    static inline QString error_;
};

TEST_F(SessionPyftpdlibTest, LoginFindsTheRootAndItsItems) {
    LiveSession live(*server_);
    ASSERT_TRUE(live.login()) << str(live.describe());
    EXPECT_TRUE(live.session.loggedIn());
    EXPECT_EQ(live.rootCount, 1);
    EXPECT_EQ(live.rootFolder, "/");
    EXPECT_EQ(filesOnly(live.rootItems), kRootKeysWithoutFolders);
    EXPECT_EQ(folderNames(live.rootItems), (std::set<QByteArray>{"docs", "order"}));
    EXPECT_TRUE(live.refused.isEmpty());
}

TEST_F(SessionPyftpdlibTest, RefreshDeliversSortedItems) {
    for (bool preferMlsd : {true, false}) {
        SCOPED_TRACE(preferMlsd ? "MLSD" : "LIST");
        LiveSession live(*server_, preferMlsd);
        ASSERT_TRUE(live.login()) << str(live.describe());
        const auto items = live.refresh("/order");
        ASSERT_TRUE(items.has_value()) << str(live.describe());
        EXPECT_EQ(itemNames(*items), kOrderSorted);
        EXPECT_TRUE(live.sent.contains(QStringLiteral("CWD /order")));
        EXPECT_TRUE(
            live.sent.contains(preferMlsd ? QStringLiteral("MLSD") : QStringLiteral("LIST")));
    }
}

TEST_F(SessionPyftpdlibTest, BothGrammarsGiveTheSameItems) {
    LiveSession viaMlsd(*server_, true);
    LiveSession viaList(*server_, false);
    ASSERT_TRUE(viaMlsd.login()) << str(viaMlsd.describe());
    ASSERT_TRUE(viaList.login()) << str(viaList.describe());
    EXPECT_EQ(viaMlsd.session.listingCommand(), "MLSD");
    EXPECT_EQ(viaList.session.listingCommand(), "LIST");
    EXPECT_TRUE(viaList.sent.contains(QStringLiteral("LIST")));
    EXPECT_FALSE(viaList.sent.contains(QStringLiteral("MLSD")));

    EXPECT_EQ(keys(viaMlsd.rootItems), keys(viaList.rootItems));
    EXPECT_EQ(viaMlsd.rootItems.size(), 5);
    for (const QByteArray& folder : {QByteArray("/docs"), QByteArray("/order")}) {
        SCOPED_TRACE(folder.toStdString());
        const auto mlsd = viaMlsd.refresh(folder);
        const auto list = viaList.refresh(folder);
        ASSERT_TRUE(mlsd && list);
        EXPECT_FALSE(mlsd->isEmpty());
        EXPECT_EQ(keys(*mlsd), keys(*list));
    }
}

TEST_F(SessionPyftpdlibTest, RefusedFolderLeavesTheSessionUsable) {
    LiveSession live(*server_);
    ASSERT_TRUE(live.login()) << str(live.describe());
    EXPECT_FALSE(live.refresh("/no such folder").has_value());
    EXPECT_EQ(live.refused, (QList<QByteArray>{"CWD /no such folder 550"}));
    EXPECT_TRUE(live.session.queue().isEmpty());
    // The refused group is gone; the next listing goes out and arrives.
    const auto docs = live.refresh("/docs");
    ASSERT_TRUE(docs.has_value()) << str(live.describe());
    EXPECT_EQ(keys(*docs), (std::set<Key>{{"manual.txt", '-', 77}}));
}

TEST_F(SessionPyftpdlibTest, RefusedLoginStaysLoggedOut) {
    LiveSession live(*server_, true, QStringLiteral("not-the-password"));
    live.session.connectNew();
    auto refusedReply = [&live] {
        for (const LogLine& line : live.log) {
            if (line.channel == LogChannel::Reply && line.text.startsWith(QLatin1String("530")))
                return true;
        }
        return false;
    };
    ASSERT_TRUE(waitUntil(refusedReply, kRefusalMs)) << str(live.describe());
    // Whatever else arrives must not log us in.
    waitUntil([] { return false; }, 200);
    EXPECT_FALSE(live.session.loggedIn());
    EXPECT_EQ(live.rootCount, 0);
    EXPECT_FALSE(live.sent.contains(QStringLiteral("TYPE I")));
    EXPECT_FALSE(live.sent.contains(QStringLiteral("FEAT")));
    EXPECT_TRUE(live.session.featIndex().isEmpty());
}

TEST(SessionCapabilityTest, LoginRecordsWhatTheServerAnnounced) {
    struct Case {
        const char* label;
        std::function<std::unique_ptr<FtpServerProcess>()> make;
        bool mlsd;
        bool rest;
        QByteArray listingCommand;
    };
    const std::vector<Case> cases = {
        {"pyftpdlib", [] { return std::make_unique<PyftpdlibServer>(); }, true, true, "MLSD"},
        {"pyftpdlib without MLSD",
         [] {
             PyftpdlibServer::Options options;
             options.noMlsd = true;
             return std::make_unique<PyftpdlibServer>(options);
         },
         false, true, "LIST"},
        // vsftpd names REST STREAM in its FEAT answer but no MLSD or MLST.
        {"vsftpd", [] { return std::make_unique<VsftpdServer>(); }, false, true, "LIST"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::unique_ptr<FtpServerProcess> server = c.make();
        ASSERT_TRUE(server->start()) << str(server->lastError());
        LiveSession live(*server);
        ASSERT_TRUE(live.login()) << str(live.describe());

        EXPECT_EQ(live.session.serverSupportsMlsd(), c.mlsd);
        EXPECT_EQ(live.session.serverSupportsRest(), c.rest);
        EXPECT_EQ(bool(live.session.capabilities() & FtpSession::AnnouncedMlsd), c.mlsd);
        EXPECT_EQ(bool(live.session.capabilities() & FtpSession::AnnouncedRest), c.rest);
        EXPECT_EQ(live.session.listingCommand(), c.listingCommand);
        EXPECT_TRUE(live.sent.contains(QString::fromLatin1(c.listingCommand)));

        const CommandIndex& feat = live.session.featIndex();
        const CommandIndex& help = live.session.helpIndex();
        EXPECT_FALSE(feat.isEmpty());
        EXPECT_EQ(contains(feat, "MLST"), c.mlsd);
        EXPECT_TRUE(contains(feat, "REST"));
        EXPECT_TRUE(contains(feat, "SIZE"));
        EXPECT_FALSE(contains(feat, "RETR"));  // FEAT names features, not commands
        EXPECT_TRUE(contains(help, "RETR"));
        EXPECT_TRUE(contains(help, "STOR"));
        EXPECT_EQ(contains(help, "MLSD"), c.mlsd);
        // The replies themselves are kept whole.
        EXPECT_EQ(live.session.featReply().code(), 211);
        EXPECT_EQ(live.session.helpReply().code(), 214);
    }
}

}  // namespace
