// Downloads and uploads as a user starts them: drops from the desktop and
// between the two sides, and the menus, against each real server.
#include "journeys/journey.h"

#include "app/ui/main_frame.h"
#include "remote/ui/explorer_item_view.h"
#include "remote/ui/remote_explorer.h"
#include "support/ftp_server_process.h"
#include "workspace/ui/local_explorer.h"
#include "workspace/ui/local_list_view.h"

#include <QMimeData>

#include <gtest/gtest.h>

namespace {

class TransferJourney : public ::testing::TestWithParam<Journey::Server> {
protected:
    Journey::Options options() const {
        Journey::Options o;
        o.server = GetParam();
        return o;
    }
};

TEST_P(TransferJourney, FileDroppedOnTheLocalListIsDownloaded) {
    Journey j(options());
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    const QByteArray content = Journey::bytes(70000, 3);
    ASSERT_TRUE(j.server().writeFile(QString::fromUtf8(j.remote("page.html")).mid(1), content));
    ASSERT_TRUE(j.logIn());
    ASSERT_TRUE(j.openRemoteFolder(j.home()));
    ASSERT_TRUE(j.remoteNames().contains("page.html")) << j.remoteNames().join(',').toStdString();

    const auto data = Journey::dragOut(j.remoteSide().listView(), {j.remoteRow("page.html")});
    j.applyFileAction();
    j.drop(j.frame().localExplorer()->list(), QModelIndex(), *data);
    ASSERT_TRUE(j.waitFor([&] { return j.localNames().contains("page.html"); }))
        << j.chatText().toStdString();
    ASSERT_TRUE(j.waitIdle());
    EXPECT_EQ(Journey::readFile(j.local("page.html")), content);
    EXPECT_EQ(j.taskLine(), "Downloading files completed");
    EXPECT_EQ(j.dialogsAnswered(), 1);
}

INSTANTIATE_TEST_SUITE_P(Servers, TransferJourney,
                         ::testing::Values(Journey::Server::Pyftpdlib, Journey::Server::Vsftpd),
                         [](const auto& info) {
                             return info.param == Journey::Server::Vsftpd ? "vsftpd" : "pyftpdlib";
                         });

}  // namespace
