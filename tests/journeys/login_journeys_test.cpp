// Logging in and in again: the server's folder shows each time, and a refused
// login says why and leaves no other site's files on screen.
#include "journeys/journey.h"

#include "app/command_ids.h"
#include "app/ui/main_frame.h"
#include "remote/ui/explorer_item_view.h"
#include "remote/ui/remote_explorer.h"
#include "remote/ui/remote_list_model.h"
#include "remote/ui/remote_tree_model.h"
#include "support/ftp_server_process.h"
#include "support/qt_printers.h"
#include "support/test_certificate.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class LoginJourney : public ::testing::TestWithParam<Journey::Server> {
protected:
    Journey::Options options() const {
        Journey::Options o;
        o.server = GetParam();
        return o;
    }
};

// The server goes away; while it is gone the user clicks another folder
// (nothing can list it) and files change there; once it is back, Re-connect
// shows that folder as it is now.
TEST(ReconnectJourney, ListShowsTheFolderTheTreeShowsAsItIsNow) {
    Journey j;
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    ASSERT_TRUE(j.server().writeFile("index.html", "<p>"));
    ASSERT_TRUE(j.server().writeFile("docs/a.html", "<p>"));
    ASSERT_TRUE(j.logIn());
    RemoteExplorer& r = j.remoteSide();
    const QModelIndex docs = r.treeModel()->indexOf("/docs");
    ASSERT_TRUE(docs.isValid());

    const quint16 port = j.server().port();
    j.server().stop();
    ASSERT_TRUE(j.waitFor([&] { return !j.workbench().session().isConnected(); }));
    r.treeView()->setCurrentIndex(docs);
    ASSERT_TRUE(j.server().writeFile("docs/b.html", "<p>"));
    PyftpdlibServer::Options again = j.pyftpdlib()->options();
    again.port = port;
    j.pyftpdlib()->setOptions(again);
    ASSERT_TRUE(j.server().start()) << j.server().lastError().toStdString();

    ASSERT_TRUE(j.menuCommand(kCmdReconnect));
    ASSERT_TRUE(j.waitFor([&] { return j.workbench().session().isConnected(); }));
    ASSERT_TRUE(j.waitFor([&] {
        return j.remoteNames() == QStringList{"a.html", "b.html"} &&
               j.workbench().session().queue().isEmpty();
    })) << j.remoteNames().join(",").toStdString();
    EXPECT_EQ(r.treeModel()->pathOf(r.treeView()->currentIndex()), QByteArray("/docs"));
    EXPECT_EQ(j.remoteFolder(), QByteArray("/docs"));
}

// Site > Close connection (Ctrl+W): the server's files leave the screen with
// the connection, so nothing shown is taken for what the server holds now.
TEST(CloseConnectionJourney, ClearsTheRemoteViews) {
    Journey j;
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    ASSERT_TRUE(j.server().writeFile("docs/a.html", "<p>"));
    ASSERT_TRUE(j.logIn());
    ASSERT_TRUE(j.openRemoteFolder("/docs"));
    ASSERT_EQ(j.remoteNames(), QStringList{"a.html"});

    ASSERT_TRUE(j.menuCommand(kCmdCloseConnection));
    ASSERT_TRUE(j.waitFor([&] { return !j.workbench().session().isConnected(); }));
    RemoteExplorer& r = j.remoteSide();
    EXPECT_EQ(r.listModel()->rowCount(), 0);
    EXPECT_FALSE(r.treeModel()->hasRoot());
    EXPECT_EQ(j.frame().windowTitle(), "Velmora");
}

// The status bar says how the conversation travels: "Not encrypted" over
// plain FTP, "TLS" once the server's certificate was shown and trusted, and
// nothing once the connection is closed.
TEST(SecurityJourney, TheStatusBarSaysWhetherTheConnectionIsEncrypted) {
    QTemporaryDir certificates;
    TestCertificate certificate;
    QString why;
    ASSERT_TRUE(TestCertificate::make(certificates.path(), &certificate, &why))
        << why.toStdString();
    for (const bool tls : {false, true}) {
        SCOPED_TRACE(tls ? "tls" : "plain");
        Journey::Options o;
        if (tls) {
            o.pyftpdlib.tlsCertificate = certificate.certificatePath;
            o.pyftpdlib.tlsKey = certificate.keyPath;
            o.tlsRequired = true;
        }
        Journey j(o);
        ASSERT_TRUE(j.open()) << j.error().toStdString();
        QLabel* label = j.frame().securityLabel();
        EXPECT_FALSE(label->isVisibleTo(&j.frame()));
        if (tls) {
            j.whenDialogOpens([](QDialog* dialog) {
                for (QPushButton* b : dialog->findChildren<QPushButton*>())
                    if (b->text() == QLatin1String("Trust once"))
                        b->click();
            });
        }
        ASSERT_TRUE(j.logIn()) << j.chatText().toStdString();
        EXPECT_TRUE(label->isVisibleTo(&j.frame()));
        EXPECT_EQ(label->text(), tls ? "TLS, certificate not verified" : "Not encrypted");
        EXPECT_TRUE(label->toolTip().contains(tls ? certificate.fingerprint()
                                                  : QStringLiteral("travel in clear")))
            << label->toolTip().toStdString();

        ASSERT_TRUE(j.menuCommand(kCmdCloseConnection));
        ASSERT_TRUE(j.waitFor([&] { return !j.workbench().session().isConnected(); }));
        EXPECT_FALSE(label->isVisibleTo(&j.frame()));
    }
}

// Site > Connect, a site whose password the server refuses.
TEST_P(LoginJourney, RefusedLoginSaysWhyAndClearsTheRemoteViews) {
    Journey j(options());
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    ASSERT_TRUE(j.server().writeFile(QString::fromUtf8(j.remote("secret.txt")).mid(1), "x"));
    ASSERT_TRUE(j.logIn());
    ASSERT_TRUE(j.openRemoteFolder(j.home()));
    ASSERT_TRUE(j.remoteNames().contains("secret.txt"));

    SiteRecord wrong = j.site();
    wrong.Name = QStringLiteral("Wrong");
    // vsftpd takes any password from anonymous: another user is refused there.
    wrong.User =
        GetParam() == Journey::Server::Vsftpd ? QStringLiteral("nobody-here") : j.server().user();
    wrong.Password = QStringLiteral("not-the-password");
    wrong.Id = j.workbench().sites().FreshId();
    j.workbench().sites().Records.push_back(wrong);

    j.whenDialogOpens([](QDialog* dialog) {
        auto* view = dialog->findChild<QTableView*>();
        const QAbstractItemModel* m = view->model();
        for (int row = 0; row < m->rowCount(); ++row)
            if (m->index(row, 0).data().toString() == QLatin1String("Wrong"))
                view->setCurrentIndex(m->index(row, 0));
        for (QPushButton* b : dialog->findChildren<QPushButton*>())
            if (b->text() == QLatin1String("Connect"))
                b->click();
    });
    ASSERT_TRUE(j.menuCommand(kCmdConnect));
    ASSERT_TRUE(j.waitFor([&] { return !j.prompter().messages().isEmpty(); }))
        << j.chatText().toStdString();
    const QString message = j.prompter().messages().front();
    EXPECT_TRUE(message.contains("530")) << message.toStdString();
    EXPECT_TRUE(message.startsWith("The server refused the login")) << message.toStdString();

    RemoteExplorer& r = j.remoteSide();
    EXPECT_EQ(r.listModel()->rowCount(), 0);
    EXPECT_FALSE(r.treeModel()->hasRoot());
    EXPECT_FALSE(j.workbench().session().loggedIn());
    const QString chat = j.chatText();
    EXPECT_FALSE(chat.contains("un-switched responding number")) << chat.toStdString();
    EXPECT_EQ(j.frame().windowTitle(), "Velmora");
}

INSTANTIATE_TEST_SUITE_P(Servers, LoginJourney,
                         ::testing::Values(Journey::Server::Pyftpdlib, Journey::Server::Vsftpd),
                         [](const auto& info) {
                             return info.param == Journey::Server::Vsftpd ? "vsftpd" : "pyftpdlib";
                         });

}  // namespace
