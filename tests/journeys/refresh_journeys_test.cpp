// Whatever changes a folder shows in the lists that show it, without the user
// asking for a refresh: renames (the renamed entry stays chosen), deletes and
// change case on the server, and renames, deletes and other programs' files on
// the local disk.
#include "journeys/journey.h"

#include "app/ui/main_frame.h"
#include "remote/remote_menu_rules.h"
#include "remote/ui/explorer_item_view.h"
#include "remote/ui/remote_explorer.h"
#include "remote/ui/remote_tree_model.h"
#include "support/ftp_server_process.h"
#include "support/qt_printers.h"
#include "workspace/local_menu_rules.h"
#include "workspace/ui/change_case_window.h"
#include "workspace/ui/local_explorer.h"
#include "workspace/ui/local_list_model.h"
#include "workspace/ui/local_list_pane.h"
#include "workspace/ui/local_list_view.h"
#include "workspace/ui/local_tree_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class RefreshJourney : public ::testing::TestWithParam<Journey::Server> {
protected:
    Journey::Options options() const {
        Journey::Options o;
        o.server = GetParam();
        return o;
    }
};

// F2, the new name typed, Enter.
void RenameInPlace(QAbstractItemView* view, const QString& text) {
    Journey::press(view, Qt::Key_F2);
    auto* editor = view->findChild<QLineEdit*>();
    ASSERT_TRUE(editor) << "no editor opened";
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
}

TEST_P(RefreshJourney, RenameDeleteAndChangeCaseShowInTheRemoteList) {
    Journey j(options());
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    for (const char* rel : {"Old.txt", "Gone.txt", "MIXED.html", "Docs/Read.ME"}) {
        const QString path = QString::fromUtf8(j.remote(rel)).mid(1);
        ASSERT_TRUE(j.server().writeFile(path, Journey::bytes(100, 1)));
    }
    ASSERT_TRUE(j.logIn());
    ASSERT_TRUE(j.openRemoteFolder(j.home()));
    ExplorerItemView* list = j.remoteSide().listView();

    j.selectRemote({"Old.txt"});
    RenameInPlace(list, "New.txt");
    ASSERT_TRUE(j.waitIdle());
    EXPECT_TRUE(j.waitFor([&] { return j.remoteNames().contains("New.txt"); }))
        << j.remoteNames().join(",").toStdString();
    EXPECT_FALSE(j.remoteNames().contains("Old.txt"));
    // The entry stays chosen under its new name.
    const QModelIndexList chosen = list->selectionModel()->selectedRows();
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen.first().data().toString(), QStringLiteral("New.txt"));
    EXPECT_EQ(list->currentIndex().row(), chosen.first().row());

    j.selectRemote({"Gone.txt"});
    j.prompter().expectQuestion("Delete the selected items?", true);
    Journey::press(list, Qt::Key_Delete);
    ASSERT_TRUE(j.waitIdle());
    EXPECT_TRUE(j.waitFor([&] { return !j.remoteNames().contains("Gone.txt"); }))
        << j.remoteNames().join(",").toStdString();
    EXPECT_FALSE(QFile::exists(j.serverPath("Gone.txt")));

    // Change case of everything below the folder, through its window.
    RemoteTreeModel* tree = j.remoteSide().treeModel();
    std::unique_ptr<QMenu> menu(
        j.remoteSide().buildTreeMenu(tree->indexOf(j.remoteFolder()), nullptr));
    ASSERT_TRUE(Journey::choose(menu.get(), RemoteMenuId::kTreeChangeCase));
    ChangeCaseWindow* window = j.frame().findChild<ChangeCaseWindow*>();
    ASSERT_TRUE(window);
    window->findChild<QRadioButton*>()->setChecked(true);  // "Lower case"
    for (int bit : {0x01, 0x02, 0x40})
        window->optionBox(bit)->setChecked(true);
    // The renames are listed first and sent only after yes.
    j.prompter().expectQuestion("Rename the 4 items as listed?", true);
    window->startButton()->click();
    ASSERT_TRUE(j.waitFor([&] { return !window->running(); })) << j.chatText().toStdString();
    ASSERT_TRUE(j.waitIdle());
    const QStringList lower{"docs", "mixed.html", "new.txt"};
    EXPECT_TRUE(j.waitFor([&] {
        QStringList names = j.remoteNames();
        names.sort();
        return names == lower;
    })) << j.remoteNames().join(",").toStdString();
    EXPECT_TRUE(QFile::exists(j.serverPath("docs/read.me")));
    window->close();
    ASSERT_TRUE(j.openRemoteFolder(j.remote("docs")));
    EXPECT_EQ(j.remoteNames(), QStringList{"read.me"});

    // The folder shown, renamed in the tree, stays shown under its new name.
    ExplorerItemView* treeView = j.remoteSide().treeView();
    ASSERT_EQ(tree->pathOf(treeView->currentIndex()), j.remote("docs"));
    RenameInPlace(treeView, "guide");
    ASSERT_TRUE(j.waitIdle());
    EXPECT_TRUE(j.waitFor([&] {
        return j.remoteSide().listModel()->folder() == j.remote("guide") &&
               j.remoteNames() == QStringList{"read.me"};
    })) << j.remoteNames().join(",").toStdString();
    EXPECT_EQ(tree->pathOf(treeView->currentIndex()), j.remote("guide"));
    EXPECT_TRUE(QFile::exists(j.serverPath("guide/read.me")));
}

// Moving entries onto a tree folder, and renaming in place, never replace an
// entry that is there already: what would replace one stays where it is, the
// rest goes, and the task line says why in red.
TEST(RefreshJourney, MoveAndRenameNeverReplaceAnEntry) {
    Journey j;
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    ASSERT_TRUE(j.server().writeFile("page.html", "moved here"));
    ASSERT_TRUE(j.server().writeFile("other.html", "other"));
    ASSERT_TRUE(j.server().writeFile("news/page.html", "precious"));
    ASSERT_TRUE(j.server().writeFile("extra.html", "extra"));
    ASSERT_TRUE(j.logIn());
    ASSERT_TRUE(j.openRemoteFolder(j.home()));
    RemoteTreeModel* tree = j.remoteSide().treeModel();
    ASSERT_TRUE(j.waitFor([&] { return tree->indexOf(j.remote("news")).isValid(); }));

    const auto data = Journey::dragOut(j.remoteSide().listView(),
                                       {j.remoteRow("page.html"), j.remoteRow("other.html")});
    j.drop(j.remoteSide().treeView(), tree->indexOf(j.remote("news")), *data);
    ASSERT_TRUE(j.waitIdle()) << j.chatText().toStdString();
    EXPECT_EQ(Journey::readFile(j.serverPath("news/page.html")), "precious");
    EXPECT_EQ(Journey::readFile(j.serverPath("news/other.html")), "other");
    EXPECT_EQ(Journey::readFile(j.serverPath("page.html")), "moved here");
    EXPECT_TRUE(j.waitFor([&] {
        return j.remoteNames() == QStringList{"news", "extra.html", "page.html"};
    })) << j.remoteNames().join(",").toStdString();
    EXPECT_EQ(j.taskLine(), "Moving files failed: Not moved, page.html exists already in " +
                                QString::fromUtf8(j.remote("news")));
    EXPECT_EQ(j.taskLineColor(), QColor(255, 0, 0));

    j.selectRemote({"page.html"});
    RenameInPlace(j.remoteSide().listView(), "news");
    EXPECT_TRUE(j.waitFor([&] {
        return j.taskLine().startsWith("Rename failed: Not renamed, news exists already");
    })) << j.taskLine().toStdString();
    ASSERT_TRUE(j.waitIdle());
    EXPECT_EQ(Journey::readFile(j.serverPath("page.html")), "moved here");

    // Onto a folder row of the list: moved there as well.
    const auto extra = Journey::dragOut(j.remoteSide().listView(), {j.remoteRow("extra.html")});
    j.drop(j.remoteSide().listView(), j.remoteRow("news"), *extra);
    ASSERT_TRUE(j.waitIdle()) << j.chatText().toStdString();
    EXPECT_EQ(Journey::readFile(j.serverPath("news/extra.html")), "extra");
    EXPECT_TRUE(j.waitFor([&] {
        return j.remoteNames() == QStringList{"news", "page.html"};
    })) << j.remoteNames().join(",").toStdString();
}

TEST(LocalRefreshJourney, ChangesShowInTheLocalList) {
    Journey j;
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    ASSERT_TRUE(j.writeLocal("work/keep.txt", "keep"));
    ASSERT_TRUE(j.writeLocal("work/old.txt", "old"));
    ASSERT_TRUE(j.openLocalFolder(j.local("work")));
    EXPECT_EQ(j.localNames(), (QStringList{"keep.txt", "old.txt"}));

    // A delete from the list's menu.
    j.selectLocal({"old.txt"});
    const auto menu = j.frame().localExplorer()->list()->contextMenu();
    j.prompter().expectQuestion("Delete selected file/folder?", true);
    ASSERT_TRUE(Journey::choose(menu.get(), kLocalListDelete));
    EXPECT_TRUE(j.waitFor([&] { return j.localNames() == QStringList{"keep.txt"}; }))
        << j.localNames().join(",").toStdString();

    // Another program writes into the folder, and grows a file.
    ASSERT_TRUE(j.writeLocal("work/new.txt", Journey::bytes(5000)));
    EXPECT_TRUE(j.waitFor([&] { return j.localNames().contains("new.txt"); }))
        << j.localNames().join(",").toStdString();
    const QString before = j.localSizeText("keep.txt");
    ASSERT_TRUE(j.writeLocal("work/keep.txt", Journey::bytes(300000)));
    EXPECT_TRUE(j.waitFor([&] { return j.localSizeText("keep.txt") != before; }))
        << j.localSizeText("keep.txt").toStdString();
    // And removes one.
    ASSERT_TRUE(QFile::remove(j.local("work/new.txt")));
    EXPECT_TRUE(j.waitFor([&] { return !j.localNames().contains("new.txt"); }))
        << j.localNames().join(",").toStdString();

    // A rename in place: the row stays chosen under its new name.
    LocalListView* list = j.frame().localExplorer()->list();
    j.selectLocal({"keep.txt"});
    RenameInPlace(list, "kept.txt");
    EXPECT_TRUE(j.waitFor([&] { return j.localNames() == QStringList{"kept.txt"}; }))
        << j.localNames().join(",").toStdString();
    const QModelIndexList chosen = list->selectionModel()->selectedRows();
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen.first().data().toString(), QStringLiteral("kept.txt"));
    EXPECT_EQ(list->currentIndex().row(), chosen.first().row());

    // The project folder renamed away by another program (a branch switched),
    // then back: the Local project page's list says it can not read it, then
    // shows it again.
    ASSERT_TRUE(j.logIn(j.local("work"), j.home()));
    LocalListView* project = nullptr;
    for (LocalListView* l : j.frame().findChildren<LocalListView*>())
        if (l->tree() && l->tree()->kind() == LocalTreeView::Kind::Project)
            project = l;
    ASSERT_TRUE(project);
    const auto projectNames = [project] {
        QStringList names;
        for (int r = 0; r < project->listModel()->rowCount(); ++r)
            if (project->listModel()->rowAt(r)->kind != LocalRowKind::Parent)
                names << project->listModel()->rowAt(r)->name;
        return names;
    };
    ASSERT_TRUE(j.waitFor([&] { return projectNames() == QStringList{"kept.txt"}; }))
        << projectNames().join(",").toStdString();
    QLabel* status = qobject_cast<LocalListPane*>(project->parentWidget())->statusLine();
    ASSERT_TRUE(QDir().rename(j.local("work"), j.local("work-away")));
    EXPECT_TRUE(j.waitFor([&] { return status->text() == "This folder can not be read"; }))
        << status->text().toStdString();
    EXPECT_TRUE(projectNames().isEmpty());
    ASSERT_TRUE(QDir().rename(j.local("work-away"), j.local("work")));
    EXPECT_TRUE(j.waitFor([&] { return projectNames() == QStringList{"kept.txt"}; }))
        << projectNames().join(",").toStdString();

    // Deleting the project folder from the list above it is refused, as in a tree.
    ASSERT_TRUE(j.openLocalFolder(j.local()));
    j.selectLocal({"work"});
    ASSERT_TRUE(Journey::choose(list->contextMenu().get(), kLocalListDelete));
    EXPECT_EQ(j.prompter().messages().value(0),
              "Can not delete the Folder, because it is parent of project Folder.");
    EXPECT_TRUE(QFile::exists(j.local("work/kept.txt")));
}

INSTANTIATE_TEST_SUITE_P(Servers, RefreshJourney,
                         ::testing::Values(Journey::Server::Pyftpdlib, Journey::Server::Vsftpd),
                         [](const auto& info) {
                             return info.param == Journey::Server::Vsftpd ? "vsftpd" : "pyftpdlib";
                         });

}  // namespace
