// The task panel with transfer connections, on a real server whose every
// reply takes 40 ms: several boxes run at once and are counted, and taking one
// box out stops only its own connection. (Browsing during a large download is
// a journey: tests/journeys.)
#include "remote/action_engine.h"
#include "remote/failed_transfers.h"
#include "remote/task_list.h"
#include "remote/task_menu_rules.h"
#include "remote/task_status.h"
#include "remote/transfer_counts.h"
#include "remote/transfer_pool.h"
#include "remote/transfer_starters.h"
#include "remote/ui/remote_explorer.h"
#include "remote/ui/remote_tree_model.h"
#include "remote/ui/task_box_model.h"
#include "remote/ui/task_panel.h"
#include "remote/ui/task_status_line.h"
#include "session/ftp_session.h"
#include "session/tcp_transport.h"
#include "support/pyftpdlib_server.h"
#include "support/scripted_prompter.h"
#include "support/server_account.h"
#include "support/wait_until.h"

#include "platform/help_viewer.h"
#include "platform/ui/explorer_host.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

namespace {

class Host : public ExplorerHost, public HelpViewer {
public:
    Prompter& prompter() override { return prompts; }
    HelpViewer& help() override { return *this; }
    void showTopic(const QString&) override {}
    QString localProjectFolder() const override { return {}; }
    QString remoteProjectFolder() const override { return {}; }
    void storeLocalProjectFolder(const QString&) override {}
    void storeRemoteProjectFolder(const QString&) override {}
    void storeConcernedFile(const QString&) override {}
    void fillViewEditMenu(QMenu*, bool, bool, const QString&) override {}
    QString httpAddress(const QString& p) const override { return p; }
    bool loopAvailable(Loop) const override { return false; }
    void startLoop(Loop, const QByteArray&) override {}
    ScriptedPrompter prompts;
};

// The pieces of the window that take part, over real sockets.
struct Window {
    explicit Window(const FtpServerProcess& server, int connections)
        : session(&transports),
          engine(session),
          pool(engine, &transports),
          failed(engine),
          counts(session, engine, tasks, &pool, failed),
          panel(tasks, status, session, &pool, &counts),
          explorer(engine, session, host, RemoteExplorer::Role::Normal) {
        engine.setTransferPool(&pool);
        engine.downloadOptions.showAlert = 0;
        pool.setConnections(connections);
        tasks.connectTo(session);
        tasks.connectTo(pool);
        status.connectTo(session);
        explorer.setLocalFolderSource([this] { return local.path(); });
        explorer.resize(900, 400);
        explorer.show();
        panel.resize(400, 400);
        panel.show();
        session.setOptions(SessionOptionsFor(server));
        QObject::connect(&pool, &TransferPool::logLine, [this](const LogLine& l) { log << l; });
    }
    ~Window() { session.closeConnection(); }

    bool login() {
        session.connectNew();
        return waitUntil(
            [this] {
                return session.loggedIn() && session.queue().isEmpty() &&
                       explorer.treeModel()->hasRoot();
            },
            20000);
    }
    QString transcript() const {
        QString t;
        for (const LogLine& l : log)
            t += QStringLiteral("[%1] %2\n").arg(l.connection).arg(l.text);
        return t;
    }

    QTemporaryDir local;
    TcpTransportFactory transports;
    FtpSession session;
    ActionEngine engine;
    TransferPool pool;
    TaskList tasks;
    TaskStatus status;
    FailedTransfers failed;
    TransferCounts counts;
    TaskPanel panel;
    Host host;
    RemoteExplorer explorer;
    QList<LogLine> log;
};

PyftpdlibServer::Options distant(int rate) {
    PyftpdlibServer::Options o;
    o.threaded = true;
    o.replyDelayMs = 40;
    o.sendRate = rate;
    return o;
}

TEST(TransferConnectionsLive, SeveralBoxesRunAndOneIsTakenOutAlone) {
    PyftpdlibServer server(distant(1000 * 1000));
    for (const char* name : {"f1.bin", "f2.bin", "f3.bin"})
        ASSERT_TRUE(server.writeFile(QStringLiteral("many/") + QLatin1String(name),
                                     QByteArray(3 * 1000 * 1000, name[1])));
    ASSERT_TRUE(server.start()) << server.lastError().toStdString();
    Window w(server, 2);
    ASSERT_TRUE(w.login());

    TransferStarters(w.engine).download("/many", w.local.path());
    // Two boxes at once, one file waiting for a connection.
    ASSERT_TRUE(waitUntil(
        [&] {
            return w.panel.model()->rowCount() == 2 && w.tasks.at(0).position > 0 &&
                   w.tasks.at(1).position > 0;
        },
        20000))
        << w.transcript().toStdString();
    EXPECT_EQ(w.counts.running(), 2);
    EXPECT_EQ(w.counts.queued(), 1);
    EXPECT_TRUE(w.panel.statusLine()->describe().contains(QStringLiteral("2 running, 1 queued")));

    // The second box is taken out: ABOR on its connection, the first goes on.
    const SocketGroup* kept = w.tasks.at(0).group;
    const qint64 keptAt = w.tasks.at(0).position;
    const int abortsBefore = w.transcript().count(QStringLiteral("ABOR"));
    ASSERT_TRUE(w.panel.runTaskCommand(kRemoveSelectedTask, 1));
    ASSERT_TRUE(waitUntil(
        [&] { return w.transcript().count(QStringLiteral("ABOR")) > abortsBefore; }, 10000));
    ASSERT_TRUE(waitUntil(
        [&] {
            const int i = w.tasks.indexOf(kept);
            return i < 0 || w.tasks.at(i).position > keptAt;
        },
        10000))
        << "the other transfer moves on";
    ASSERT_TRUE(waitUntil([&] { return !w.pool.busy() && w.tasks.isEmpty(); }, 30000))
        << w.transcript().toStdString();
    // Two files arrived whole; the one taken out left no half file under its
    // name, only its hidden part to continue.
    EXPECT_EQ(QDir(w.local.path()).entryList(QDir::Files).size(), 2);
    // The one taken out is counted as the Failed list holds it.
    EXPECT_EQ(w.counts.failed(), 1);
    EXPECT_EQ(w.failed.count(), 1);
    EXPECT_TRUE(w.session.isConnected());
}

}  // namespace
