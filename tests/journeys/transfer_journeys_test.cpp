// Downloads and uploads as a user starts them: drops from the desktop and
// between the two sides, and the menus, against each real server.
#include "journeys/journey.h"

#include "app/command_ids.h"
#include "app/ui/general_options_sheet.h"
#include "app/ui/main_frame.h"
#include "platform/trash_can.h"
#include "remote/remote_command_ids.h"
#include "remote/ui/explorer_item_view.h"
#include "remote/ui/remote_explorer.h"
#include "remote/ui/remote_tree_model.h"
#include "support/ftp_server_process.h"
#include "support/qt_printers.h"
#include "workspace/ui/local_explorer.h"
#include "workspace/ui/local_list_view.h"
#include "workspace/ui/local_tree_view.h"

#include "workspace/local_menu_rules.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>

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

// Enter on a selection of files downloads every one of them, not only the
// row with the focus.
TEST_P(TransferJourney, EnterOnSelectedFilesDownloadsThemAll) {
    Journey j(options());
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    const QByteArray a = Journey::bytes(5000, 5), b = Journey::bytes(7000, 6);
    ASSERT_TRUE(j.server().writeFile(QString::fromUtf8(j.remote("a.html")).mid(1), a));
    ASSERT_TRUE(j.server().writeFile(QString::fromUtf8(j.remote("b.html")).mid(1), b));
    ASSERT_TRUE(j.server().writeFile(QString::fromUtf8(j.remote("c.html")).mid(1), "c"));
    ASSERT_TRUE(j.logIn());
    ASSERT_TRUE(j.openLocalFolder(j.local()));
    ASSERT_TRUE(j.openRemoteFolder(j.home()));
    j.selectRemote({QStringLiteral("a.html"), QStringLiteral("b.html")});
    j.press(j.remoteSide().listView(), Qt::Key_Return);
    ASSERT_TRUE(j.waitFor([&] {
        return j.localNames().contains("a.html") && j.localNames().contains("b.html");
    })) << j.chatText().toStdString();
    ASSERT_TRUE(j.waitIdle());
    EXPECT_EQ(Journey::readFile(j.local("a.html")), a);
    EXPECT_EQ(Journey::readFile(j.local("b.html")), b);
    EXPECT_FALSE(j.localNames().contains("c.html"));
}

TEST_P(TransferJourney, FileDroppedOnTheLocalListIsDownloaded) {
    Journey j(options());
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    const QByteArray content = Journey::bytes(70000, 3);
    ASSERT_TRUE(j.server().writeFile(QString::fromUtf8(j.remote("page.html")).mid(1), content));
    ASSERT_TRUE(j.logIn());
    ASSERT_TRUE(j.openRemoteFolder(j.home()));
    ASSERT_TRUE(j.remoteNames().contains("page.html")) << j.remoteNames().join(',').toStdString();

    // Nothing of that name here yet: no question.
    const auto data = Journey::dragOut(j.remoteSide().listView(), {j.remoteRow("page.html")});
    j.drop(j.frame().localExplorer()->list(), QModelIndex(), *data);
    ASSERT_TRUE(j.waitFor([&] { return j.localNames().contains("page.html"); }))
        << j.chatText().toStdString();
    ASSERT_TRUE(j.waitIdle());
    EXPECT_EQ(Journey::readFile(j.local("page.html")), content);
    EXPECT_EQ(j.taskLine(), "Downloading files completed");
    EXPECT_EQ(j.dialogsAnswered(), 0);

    // Dropped again: the question names the file with both sizes.
    const QByteArray newer = Journey::bytes(70001, 4);
    ASSERT_TRUE(j.server().writeFile(QString::fromUtf8(j.remote("page.html")).mid(1), newer));
    QStringList row;
    j.whenDialogOpens([&](QDialog* dialog) {
        if (auto* list = dialog->findChild<QTreeWidget*>())
            for (int c = 0; c < 4; ++c)
                row << list->topLevelItem(0)->text(c);
        for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
            if (b->text() == "Overwite always")
                b->click();
        for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
            if (b->text() == "Apply")
                b->click();
    });
    j.drop(j.frame().localExplorer()->list(), QModelIndex(), *data);
    ASSERT_TRUE(j.waitFor([&] { return Journey::readFile(j.local("page.html")) == newer; }))
        << j.chatText().toStdString();
    ASSERT_TRUE(j.waitIdle());
    EXPECT_EQ(j.dialogsAnswered(), 1);
    ASSERT_EQ(row.size(), 4);
    EXPECT_EQ(row[0], "page.html");
    EXPECT_EQ(row[1], "70,000");  // what the list showed when the drag began
    EXPECT_EQ(row[3], "70,000");

    // Edited here after the server's copy: dropped again, the edit goes to the
    // trash before the server's copy takes its place, and the window says so.
    ASSERT_TRUE(j.writeLocal("page.html", "my edit"));
    QFile edited(j.local("page.html"));
    ASSERT_TRUE(edited.open(QIODevice::ReadWrite) &&
                edited.setFileTime(QDateTime::currentDateTime().addSecs(3600),
                                   QFileDevice::FileModificationTime));
    edited.close();
    j.applyFileAction("Overwite always");
    j.drop(j.frame().localExplorer()->list(), QModelIndex(), *data);
    ASSERT_TRUE(j.waitFor([&] { return Journey::readFile(j.local("page.html")) == newer; }))
        << j.chatText().toStdString();
    ASSERT_TRUE(j.waitIdle());
    EXPECT_EQ(Journey::readFile(TrashCan::homeTrash() + "/files/page.html"), "my edit");
    EXPECT_TRUE(j.frame().statusBar()->currentMessage().contains("the old file is in the trash"))
        << j.frame().statusBar()->currentMessage().toStdString();
}

// A small site: files at the top, in a folder and in a folder below that,
// and an empty folder.
void WriteSite(const Journey& j, const QString& top) {
    ASSERT_TRUE(j.writeLocal(top + "/index.html", Journey::bytes(1200, 1)));
    ASSERT_TRUE(j.writeLocal(top + "/css/site.css", Journey::bytes(300, 2)));
    ASSERT_TRUE(j.writeLocal(top + "/img/icons/logo.png", Journey::bytes(90000, 3)));
    ASSERT_TRUE(QDir().mkpath(j.local(top + "/empty")));
}

TEST_P(TransferJourney, FolderDroppedOnTheRemoteListIsUploadedWhole) {
    Journey j(options());
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    WriteSite(j, "site");
    // What a download that stopped short left beside its file: never shown,
    // never published, though hidden files are shown and uploaded.
    const QString part = "site/css/.site.css.velmora-part";
    ASSERT_TRUE(j.writeLocal(part, Journey::bytes(100, 4)));
    ASSERT_TRUE(j.writeLocal("site/css/.htaccess", Journey::bytes(10, 5)));
    ASSERT_TRUE(j.logIn());
    ASSERT_TRUE(j.openLocalFolder(j.local("site/css")));
    EXPECT_TRUE(j.waitFor([&] { return j.localNames().contains(".htaccess"); }));
    EXPECT_FALSE(j.localNames().contains(".site.css.velmora-part"));
    ASSERT_TRUE(j.openRemoteFolder(j.home()));

    // Nothing of that name is on the server: no question.
    j.dropFiles(j.remoteSide().listView(), QModelIndex(), {j.local("site")});
    ASSERT_TRUE(j.waitIdle()) << j.chatText().toStdString();
    EXPECT_EQ(j.dialogsAnswered(), 0);
    EXPECT_FALSE(QFileInfo::exists(j.serverPath(part)));
    ASSERT_TRUE(QFile::remove(j.local(part)));
    EXPECT_EQ(Journey::tree(j.serverPath("site")), Journey::tree(j.local("site")))
        << j.chatText().toStdString();
    EXPECT_TRUE(j.waitFor([&] { return j.remoteNames().contains("site"); }));
    EXPECT_EQ(j.taskLine(), "Uploading normal files completed");
    EXPECT_FALSE(j.chatText().contains("Can not read local folder"));
}

// "Upload to" of the local list: outside the project folders into the folder
// open remotely, inside them to the same place below the remote project folder.
TEST_P(TransferJourney, FolderUploadedFromTheLocalListMenu) {
    for (const bool project : {false, true}) {
        SCOPED_TRACE(project ? "in the project" : "outside the project");
        Journey j(options());
        ASSERT_TRUE(j.open()) << j.error().toStdString();
        WriteSite(j, "work/site");
        ASSERT_TRUE(j.server().makeDir(QString::fromUtf8(j.remote("live")).mid(1)));
        if (project)
            ASSERT_TRUE(j.logIn(j.local("work"), j.remote("live")));
        else
            ASSERT_TRUE(j.logIn());
        ASSERT_TRUE(j.openRemoteFolder(j.home()));
        ASSERT_TRUE(j.openLocalFolder(j.local("work")));
        j.selectLocal({"site"});

        // Nothing of that name at the target: no question.
        const auto menu = j.frame().localExplorer()->list()->contextMenu();
        ASSERT_TRUE(Journey::choose(menu.get(), kLocalListUpload));
        ASSERT_TRUE(j.waitIdle()) << j.chatText().toStdString();
        const QString landed = project ? "live/site" : "site";
        EXPECT_EQ(Journey::tree(j.serverPath(landed)), Journey::tree(j.local("work/site")))
            << j.chatText().toStdString();
        EXPECT_EQ(j.taskLine(), project ? "Uploading project files completed"
                                        : "Uploading normal files completed");
        EXPECT_EQ(j.dialogsAnswered(), 0);
    }
}

// "Download to (Local project Folder)/live/site" on a folder of the remote
// tree puts the folder there, whole, not one level deeper inside it.
TEST_P(TransferJourney, TreeFolderInTheProjectIsDownloadedToItsTwin) {
    Journey j(options());
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    for (const auto& [rel, seed] :
         {std::pair{"live/site/index.html", 1}, {"live/site/css/a.css", 2}})
        ASSERT_TRUE(j.server().writeFile(QString::fromUtf8(j.remote(rel)).mid(1),
                                         Journey::bytes(seed * 30000, seed)));
    ASSERT_TRUE(QDir().mkpath(j.local("work")));
    ASSERT_TRUE(j.logIn(j.local("work"), j.remote("live")));
    ASSERT_TRUE(j.openRemoteFolder(j.remote("live/site")));
    RemoteExplorer& remote = j.remoteSide();
    const QModelIndex node = remote.treeModel()->indexOf(j.remote("live/site"));
    ASSERT_TRUE(node.isValid());
    std::unique_ptr<QMenu> menu(remote.buildTreeMenu(node, nullptr));
    ASSERT_TRUE(Journey::choose(menu.get(), RemoteMenuId::kTreeDownload));
    ASSERT_TRUE(j.waitIdle()) << j.chatText().toStdString();
    EXPECT_EQ(Journey::tree(j.local("work/site")), Journey::tree(j.serverPath("live/site")))
        << j.chatText().toStdString();
    EXPECT_FALSE(QFileInfo::exists(j.local("work/site/site")));
}

// A remote folder dragged from the remote list onto a folder of the local
// tree lands inside that folder, whole.
TEST_P(TransferJourney, FolderDroppedOnTheLocalTreeIsDownloaded) {
    Journey j(options());
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    for (const auto& [rel, seed] :
         {std::pair{"site/index.html", 1}, {"site/css/a.css", 2}, {"site/img/big/photo.jpg", 3}}) {
        const QString path = QString::fromUtf8(j.remote(rel)).mid(1);
        ASSERT_TRUE(j.server().writeFile(path, Journey::bytes(seed * 40000, seed)));
    }
    ASSERT_TRUE(QDir().mkpath(j.local("backup")));
    ASSERT_TRUE(j.logIn());
    ASSERT_TRUE(j.openRemoteFolder(j.home()));
    LocalTreeView* tree = j.frame().localExplorer()->tree();
    ASSERT_TRUE(j.openLocalFolder(j.local("backup")));
    const QModelIndex backup = tree->currentIndex();

    const auto data = Journey::dragOut(j.remoteSide().listView(), {j.remoteRow("site")});
    // Nothing of that name is in the local folder: no question.
    j.drop(tree, backup, *data);
    ASSERT_TRUE(j.waitFor([&] {
        return Journey::tree(j.local("backup/site")) == Journey::tree(j.serverPath("site"));
    }));
    ASSERT_TRUE(j.waitIdle()) << j.chatText().toStdString();
    EXPECT_EQ(j.dialogsAnswered(), 0);
    EXPECT_EQ(Journey::tree(j.local("backup/site")), Journey::tree(j.serverPath("site")));
    EXPECT_EQ(j.taskLine(), "Downloading files completed");
    EXPECT_TRUE(j.waitFor([&] { return j.localNames().contains("site"); }));
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
