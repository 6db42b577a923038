// Connecting as a user does: each folder the window shows after the login is
// listed once, the tree and the list of both pages sharing the listing.
#include "journeys/journey.h"

#include "app/ui/main_frame.h"
#include "remote/ui/remote_explorer.h"
#include "remote/ui/remote_list_model.h"
#include "remote/ui/remote_tree_model.h"
#include "session/ftp_session.h"
#include "support/ftp_server_process.h"

#include <gtest/gtest.h>

namespace {

struct ConnectCase {
    Journey::Server server;
    const char* project;  // the remote project folder below home(); "-": none
};

class ListingJourney : public ::testing::TestWithParam<ConnectCase> {};

TEST_P(ListingJourney, ConnectListsEachFolderOnce) {
    const ConnectCase& c = GetParam();
    Journey::Options options;
    options.server = c.server;
    Journey j(options);
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    ASSERT_TRUE(j.server().writeFile(QString::fromUtf8(j.remote("www/index.html")).mid(1), "x"));
    // Which folder each listing command listed: the folder of the last CWD,
    // or the start folder before any.
    QList<QByteArray> sent;
    QObject::connect(&j.workbench().session(), &FtpSession::logLine, &j.frame(),
                     [&sent](const LogLine& line) {
                         if (line.channel == LogChannel::Sent)
                             sent << line.text.toUtf8();
                     });
    const QByteArray project = QByteArray(c.project) == "-"      ? QByteArray()
                               : QByteArray(c.project).isEmpty() ? j.home()
                                                                 : j.remote(c.project);
    ASSERT_TRUE(j.logIn(QString(), project));
    RemoteExplorer* projectSide = j.frame().remoteProjectExplorer();
    if (!project.isEmpty()) {
        ASSERT_TRUE(j.waitFor([&] {
            return projectSide->treeModel()->isListed(projectSide->treeModel()->rootIndex());
        }));
    }
    ASSERT_TRUE(j.waitIdle());

    QByteArray folder = j.remoteSide().treeModel()->pathOf(j.remoteSide().treeModel()->rootIndex());
    QList<QByteArray> listed;
    for (const QByteArray& line : sent) {
        if (line.startsWith("CWD "))
            folder = line.mid(4);
        else if (line.startsWith("MLSD") || line.startsWith("LIST"))
            listed << folder;
    }
    const QStringList shown = [&] {
        QStringList l;
        for (const QByteArray& f : listed)
            l << QString::fromUtf8(f);
        return l;
    }();
    for (const QByteArray& f : listed)
        EXPECT_EQ(listed.count(f), 1) << f.toStdString() << " in " << shown.join(' ').toStdString();
    if (!project.isEmpty()) {
        EXPECT_TRUE(listed.contains(project)) << shown.join(' ').toStdString();
        EXPECT_EQ(projectSide->listModel()->folder(), project);
        EXPECT_EQ(projectSide->listModel()->rowCount() > 0, true);
    }
    EXPECT_GT(j.remoteSide().listModel()->rowCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Servers, ListingJourney,
                         ::testing::Values(ConnectCase{Journey::Server::Pyftpdlib, "-"},
                                           ConnectCase{Journey::Server::Pyftpdlib, ""},
                                           ConnectCase{Journey::Server::Pyftpdlib, "www"},
                                           ConnectCase{Journey::Server::Vsftpd, ""},
                                           ConnectCase{Journey::Server::Vsftpd, "www"}),
                         [](const auto& info) {
                             const QByteArray project = info.param.project;
                             return std::string(info.param.server == Journey::Server::Vsftpd
                                                    ? "vsftpd"
                                                    : "pyftpdlib") +
                                    (project == "-"      ? "_NoProject"
                                     : project.isEmpty() ? "_ProjectAtHome"
                                                         : "_ProjectBelow");
                         });

}  // namespace
