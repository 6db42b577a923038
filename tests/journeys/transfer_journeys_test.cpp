// Downloads and uploads as a user starts them: drops from the desktop and
// between the two sides, and the menus, against each real server.
#include "journeys/journey.h"

#include "app/command_ids.h"
#include "app/ui/general_options_sheet.h"
#include "app/ui/main_frame.h"
#include "remote/ui/explorer_item_view.h"
#include "remote/ui/remote_explorer.h"
#include "support/ftp_server_process.h"
#include "workspace/ui/local_explorer.h"
#include "workspace/ui/local_list_view.h"

#include <QCheckBox>
#include <QMimeData>
#include <QPushButton>

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

// A file dropped from the desktop onto the remote list replaces a live file:
// a poller of the server's file sees the old bytes or the new ones, and a
// temporary another upload left behind never shows in the list. With the
// option off in the General sheet the file goes straight to its name.
TEST_P(TransferJourney, FileDroppedOnTheRemoteListReplacesTheLiveFileWhole) {
    Journey::Options o = options();
    o.pyftpdlib.receiveRate = 256 * 1024;
    Journey j(o);
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    const QByteArray old(20000, 'o');
    // Past twice the rate: the server holds the rest back for a while.
    const QByteArray fresh = Journey::bytes(768 * 1024, 5);
    const QString rel = QString::fromUtf8(j.remote("site.css")).mid(1);
    ASSERT_TRUE(j.server().writeFile(rel, old));
    ASSERT_TRUE(j.server().writeFile(QString::fromUtf8(j.remote(".old.css.velmora-upload")).mid(1),
                                     "half"));
    ASSERT_TRUE(j.writeLocal("site.css", fresh));
    ASSERT_TRUE(j.logIn());
    ASSERT_TRUE(j.openRemoteFolder(j.home()));
    EXPECT_EQ(j.remoteNames(), QStringList{"site.css"});

    j.applyFileAction(QStringLiteral("Overwite always"));
    j.dropFiles(j.remoteSide().listView(), QModelIndex(), {j.local("site.css")});
    int partial = 0, polls = 0;
    ASSERT_TRUE(j.waitFor([&] {
        const QByteArray seen = j.server().readFile(rel);
        ++polls;
        partial += seen != old && seen != fresh;
        return seen == fresh && j.workbench().session().queue().isEmpty();
    })) << j.chatText().toStdString();
    EXPECT_EQ(partial, 0) << "of " << polls << " polls";
    if (GetParam() == Journey::Server::Pyftpdlib) {
        EXPECT_GT(polls, 20) << "the upload was watched while it ran";
    }
    EXPECT_TRUE(j.chatText().contains("RNTO site.css")) << j.chatText().toStdString();
    EXPECT_EQ(j.remoteNames(), QStringList{"site.css"});

    // "Replace server files atomically" switched off.
    j.whenDialogOpens([](QDialog* dialog) {
        auto* sheet = qobject_cast<GeneralOptionsSheet*>(dialog);
        ASSERT_TRUE(sheet);
        EXPECT_TRUE(sheet->atomicBox()->isChecked());
        sheet->atomicBox()->setChecked(false);
        sheet->applyButton()->click();
    });
    ASSERT_TRUE(j.menuCommand(kCmdGeneralOptions));
    EXPECT_FALSE(j.workbench().engine().publish.atomic);
    ASSERT_TRUE(j.writeLocal("site.css", old));
    j.applyFileAction(QStringLiteral("Overwite always"));
    j.dropFiles(j.remoteSide().listView(), QModelIndex(), {j.local("site.css")});
    ASSERT_TRUE(j.waitFor([&] { return j.server().readFile(rel) == old; }));
    ASSERT_TRUE(j.waitIdle());
    EXPECT_EQ(j.chatText().count("STOR site.css"), 1) << j.chatText().toStdString();
    EXPECT_EQ(j.dialogsAnswered(), 3);
}

INSTANTIATE_TEST_SUITE_P(Servers, TransferJourney,
                         ::testing::Values(Journey::Server::Pyftpdlib, Journey::Server::Vsftpd),
                         [](const auto& info) {
                             return info.param == Journey::Server::Vsftpd ? "vsftpd" : "pyftpdlib";
                         });

}  // namespace
