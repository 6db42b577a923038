// Connecting as a user does: each folder the window shows after the login is
// listed once, the tree and the list of both pages sharing the listing.
#include "journeys/journey.h"

#include "app/ui/main_frame.h"
#include "remote/ui/explorer_item_view.h"
#include "remote/ui/remote_explorer.h"
#include "remote/ui/remote_list_model.h"
#include "remote/ui/remote_tree_model.h"
#include "session/ftp_session.h"
#include "support/ftp_server_process.h"

#include <QLineEdit>
#include <QTest>

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
        // The walk ends with the project folder chosen in the Normal page's tree.
        const ExplorerItemView* tree = j.remoteSide().treeView();
        EXPECT_EQ(j.remoteSide().treeModel()->pathOf(tree->currentIndex()), project);
        EXPECT_TRUE(tree->selectionModel()->isSelected(tree->currentIndex()));
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

namespace {

// Which folders the listing commands sent from now on listed.
class ListedFolders {
public:
    explicit ListedFolders(Journey& j) : folder_(j.remoteFolder()) {
        QObject::connect(&j.workbench().session(), &FtpSession::logLine, &j.frame(),
                         [this](const LogLine& line) {
                             if (line.channel != LogChannel::Sent)
                                 return;
                             const QByteArray text = line.text.toUtf8();
                             if (text.startsWith("CWD "))
                                 folder_ = text.mid(4);
                             else if (text.startsWith("MLSD") || text.startsWith("LIST"))
                                 listed_ << QString::fromUtf8(folder_);
                         });
    }
    QStringList take() { return std::exchange(listed_, {}); }

private:
    QByteArray folder_;
    QStringList listed_;
};

// Opening a folder from the list, by each way a user has, lists it once: the
// tree and the list share that listing. A folder already listed is not listed
// again.
class FolderVisitJourney : public ::testing::TestWithParam<Journey::Server> {};

TEST_P(FolderVisitJourney, EachWayIntoAFolderListsItOnce) {
    Journey::Options options;
    options.server = GetParam();
    Journey j(options);
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    ASSERT_TRUE(j.server().writeFile(QString::fromUtf8(j.remote("www/index.html")).mid(1), "x"));
    ASSERT_TRUE(j.server().writeFile(QString::fromUtf8(j.remote("www/img/a.png")).mid(1), "x"));
    ASSERT_TRUE(j.logIn());
    if (j.remoteFolder() != j.home()) {
        ASSERT_TRUE(j.openRemoteFolder(j.home()));
    }
    const QByteArray home = j.remoteFolder();
    const QByteArray www = j.remote(QStringLiteral("www"));
    const QByteArray img = j.remote(QStringLiteral("www/img"));
    ListedFolders listed(j);
    QAbstractItemView* list = j.remoteSide().listView();
    auto arrived = [&](const QByteArray& folder) {
        return j.waitFor([&] {
            const RemoteTreeModel* tree = j.remoteSide().treeModel();
            return j.remoteFolder() == folder && tree->isListed(tree->indexOf(folder)) &&
                   j.waitIdle(0);
        });
    };
    auto doubleClick = [&](const QString& name) {
        const QModelIndex row = name == QLatin1String("..")
                                    ? j.remoteSide().listModel()->index(0, 0)
                                    : j.remoteRow(name);
        ASSERT_TRUE(row.isValid()) << name.toStdString();
        const QPoint at = list->visualRect(row).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    };

    doubleClick(QStringLiteral("www"));
    ASSERT_TRUE(arrived(www));
    EXPECT_EQ(listed.take(), QStringList{QString::fromUtf8(www)}) << "double-click";

    j.selectRemote({QStringLiteral("img")});
    j.press(list, Qt::Key_Return);
    ASSERT_TRUE(arrived(img));
    EXPECT_EQ(listed.take(), QStringList{QString::fromUtf8(img)}) << "Enter";

    // Back up and in again through folders listed already: nothing is sent.
    // Up lands on the folder it came from.
    doubleClick(QStringLiteral(".."));
    ASSERT_TRUE(arrived(www));
    EXPECT_EQ(list->currentIndex().data().toString(), QStringLiteral("img"));
    doubleClick(QStringLiteral(".."));
    ASSERT_TRUE(arrived(home));
    EXPECT_EQ(listed.take(), QStringList()) << "..";

    QLineEdit* pathBar = j.remoteSide().findChild<QLineEdit*>(QStringLiteral("remotePathBar"));
    ASSERT_TRUE(pathBar);
    ASSERT_TRUE(j.server().writeFile(QString::fromUtf8(j.remote("www/img/b/c.txt")).mid(1), "x"));
    const QByteArray b = j.remote(QStringLiteral("www/img/b"));
    pathBar->setFocus();
    pathBar->selectAll();
    QTest::keyClicks(pathBar, QString::fromUtf8(b));
    j.press(pathBar, Qt::Key_Return);
    ASSERT_TRUE(j.waitFor([&] { return j.remoteFolder() == b && j.waitIdle(0); }));
    ASSERT_TRUE(j.waitFor([&] { return j.remoteSide().listModel()->rowCount() > 1; }));
    EXPECT_EQ(listed.take(), QStringList{QString::fromUtf8(b)}) << "path bar";
}

INSTANTIATE_TEST_SUITE_P(Servers, FolderVisitJourney,
                         ::testing::Values(Journey::Server::Pyftpdlib, Journey::Server::Vsftpd),
                         [](const auto& info) {
                             return std::string(
                                 info.param == Journey::Server::Vsftpd ? "vsftpd" : "pyftpdlib");
                         });

}  // namespace
