// Comparing the project folders, then putting differences right from the
// results: the server gets the local files, the results and the remote
// project list follow.
#include "journeys/journey.h"

#include "app/ui/main_frame.h"
#include "app/ui/main_view.h"
#include "remote/remote_menu_rules.h"
#include "remote/ui/explorer_item_view.h"
#include "remote/ui/remote_explorer.h"
#include "remote/ui/remote_list_model.h"
#include "remote/ui/remote_tree_model.h"
#include "support/ftp_server_process.h"
#include "support/qt_printers.h"
#include "workspace/compare_tree.h"
#include "workspace/folder_compare.h"
#include "workspace/ui/compare_window.h"
#include "workspace/ui/loop_result_models.h"

#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

QStringList RemoteProjectNames(const Journey& j) {
    QStringList names;
    const RemoteListModel* m = j.frame().remoteProjectExplorer()->listModel();
    for (int row = 0; row < m->rowCount(); ++row)
        names << QString::fromUtf8(m->itemAt(row).name);
    return names;
}

// The Remote project page: "Compare" on a folder of its tree (its top folder
// when none is named).
CompareWindow* OpenCompare(Journey& j, const QByteArray& folder = {}) {
    j.frame().view()->showPage(MainView::RemoteProject);
    RemoteExplorer* project = j.frame().remoteProjectExplorer();
    RemoteTreeModel* tree = project->treeModel();
    if (!j.waitFor([&] { return tree->hasRoot() && tree->isListed(tree->rootIndex()); }))
        return nullptr;
    const QModelIndex node = folder.isEmpty() ? tree->rootIndex() : tree->indexOf(folder);
    if (!node.isValid())
        return nullptr;
    std::unique_ptr<QMenu> menu(project->buildTreeMenu(node, nullptr));
    if (!Journey::choose(menu.get(), RemoteMenuId::kTreeCompare))
        return nullptr;
    return j.frame().findChild<CompareWindow*>();
}

TEST(CompareJourney, ResultsUploadLocalFilesAndTheViewsFollow) {
    Journey j;
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    const QByteArray logo = Journey::bytes(500, 5);
    ASSERT_TRUE(j.writeLocal("proj/index.html", Journey::bytes(2000, 1)));
    ASSERT_TRUE(j.writeLocal("proj/new.html", Journey::bytes(700, 2)));
    ASSERT_TRUE(j.writeLocal("proj/img/logo.png", logo));
    ASSERT_TRUE(j.writeLocal("proj/img/new.png", Journey::bytes(300, 6)));
    ASSERT_TRUE(j.server().writeFile("live/index.html", Journey::bytes(1000, 3)));
    ASSERT_TRUE(j.server().writeFile("live/old.html", Journey::bytes(10, 4)));
    ASSERT_TRUE(j.server().writeFile("live/img/logo.png", logo));
    ASSERT_TRUE(j.logIn(j.local("proj"), "/live"));

    CompareWindow* window = OpenCompare(j);
    ASSERT_TRUE(window);
    window->optionBox(CompareOptions::FileSize)->setChecked(true);
    window->optionBox(CompareOptions::SubFolders)->setChecked(true);
    window->startButton()->click();
    ASSERT_TRUE(j.waitFor([&] { return !window->running(); })) << j.chatText().toStdString();
    CompareTree& results = window->model()->tree();
    for (const char* differs : {"index.html", "new.html", "old.html", "img/new.png"})
        EXPECT_TRUE(results.find(differs)) << differs;
    EXPECT_FALSE(results.find("img/logo.png"));

    // "Upload" on a file only the local side has; then two results chosen with
    // the mouse and Ctrl, one local only and one that differs, by one "Upload".
    const std::vector<std::vector<const char*>> rounds = {{"new.html"},
                                                          {"img/new.png", "index.html"}};
    for (const auto& names : rounds) {
        SCOPED_TRACE(names.front());
        QTreeView* view = window->view();
        for (const char* name : names) {
            CompareNode* node = results.find(name);
            ASSERT_TRUE(node);
            const QModelIndex row = window->model()->indexOf(node);
            view->scrollTo(row);
            QTest::mouseClick(view->viewport(), Qt::LeftButton,
                              name == names.front() ? Qt::NoModifier : Qt::ControlModifier,
                              view->visualRect(row).center());
        }
        EXPECT_EQ(view->selectionModel()->selectedRows().size(), qsizetype(names.size()));
        j.whenMenuOpens(34225);
        Journey::rightClick(view, window->model()->indexOf(results.find(names.back())));
        for (const char* name : names) {
            ASSERT_TRUE(j.waitFor([&] { return !results.find(name); }))
                << name << j.chatText().toStdString();
            ASSERT_TRUE(j.waitIdle());
            EXPECT_EQ(Journey::readFile(j.serverPath(QStringLiteral("live/") + name)),
                      Journey::readFile(j.local(QStringLiteral("proj/") + name)));
        }
    }
    EXPECT_EQ(j.menusAnswered(), 2);
    EXPECT_EQ(j.taskLine(), "Uploading project files completed");
    EXPECT_TRUE(j.waitFor([&] { return RemoteProjectNames(j).contains("new.html"); }))
        << RemoteProjectNames(j).join(",").toStdString();

    // From the keyboard: "From" clicked, Ctrl+A, Shift+F10, "Download": the file
    // only the server has comes down.
    QTreeView* view = window->view();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(window->model()->index(0, 0, {})).center());
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    j.whenMenuOpens(34226);
    QTest::keyClick(view, Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(j.waitFor([&] { return !results.find("old.html"); })) << j.chatText().toStdString();
    ASSERT_TRUE(j.waitIdle());
    EXPECT_EQ(Journey::readFile(j.local("proj/old.html")), Journey::bytes(10, 4));
    EXPECT_EQ(j.menusAnswered(), 3);
    window->close();
}

// A page edited here to the size the server's has, compared by date from a
// folder below the project's: "Download" asks before putting the older copy
// over it; "Upload" replaces the server's copy (no file action skips it for
// its size), and the result goes once the server has it.
TEST(CompareJourney, ANewerFileOfTheSameSizeGoesUp) {
    Journey j;
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    ASSERT_TRUE(j.writeLocal("proj/sub/page.html", "new text"));
    ASSERT_TRUE(j.server().writeFile("live/sub/page.html", "old text"));
    ASSERT_TRUE(j.server().writeFile("live/sub/extra.html", "only there"));
    QFile served(j.serverPath("live/sub/page.html"));
    ASSERT_TRUE(served.open(QIODevice::ReadWrite));
    ASSERT_TRUE(served.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-7200),
                                   QFileDevice::FileModificationTime));
    served.close();
    ASSERT_TRUE(j.logIn(j.local("proj"), "/live"));
    CompareWindow* window = OpenCompare(j, "/live/sub");
    ASSERT_TRUE(window);
    window->optionBox(CompareOptions::FileSize)->setChecked(true);
    window->datesBox()->setChecked(true);
    window->startButton()->click();
    ASSERT_TRUE(j.waitFor([&] { return !window->running(); })) << j.chatText().toStdString();
    CompareTree& results = window->model()->tree();
    CompareNode* page = results.find("sub/page.html");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->item.newer, CompareItem::Newer::Local);

    // "Download" of everything would put the older copy over the one edited
    // here: asked, and No keeps it and fetches the rest.
    QTreeView* view = window->view();
    view->setCurrentIndex(window->model()->index(0, 0, {}));
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    j.prompter().expectChoice(
        "sub/page.html was changed later here than the copy that would "
        "replace it. Replace it with the older copy from the server? No fetches only the other "
        "chosen items.",
        PromptAnswer::No);
    j.whenMenuOpens(34226);
    Journey::rightClick(view, window->model()->indexOf(page));
    ASSERT_TRUE(j.waitFor([&] { return j.prompter().pendingAnswers() == 0; }));
    ASSERT_TRUE(j.waitFor([&] { return !results.find("sub/extra.html"); }))
        << j.chatText().toStdString();
    ASSERT_TRUE(j.waitIdle());
    EXPECT_EQ(Journey::readFile(j.local("proj/sub/extra.html")), "only there");
    EXPECT_EQ(Journey::readFile(j.local("proj/sub/page.html")), "new text");

    j.whenMenuOpens(34225);
    Journey::rightClick(window->view(), window->model()->indexOf(page));
    EXPECT_TRUE(j.waitFor([&] {
        return Journey::readFile(j.serverPath("live/sub/page.html")) == "new text";
    })) << j.chatText().toStdString();
    EXPECT_TRUE(j.waitFor([&] { return !results.find("sub/page.html"); }));
    // Compared again, the run says that nothing differs.
    ASSERT_TRUE(j.waitIdle());
    window->startButton()->click();
    ASSERT_TRUE(j.waitFor([&] { return !window->running(); })) << j.chatText().toStdString();
    EXPECT_TRUE(window->statusLabel()->text().endsWith("\nNo differences."))
        << window->statusLabel()->text().toStdString();
    window->close();
}

// A folder only one side has goes across whole from its result, up or down,
// and its result goes once the task has ended with nothing failed; a file
// only the server has goes at the Delete key.
TEST(CompareJourney, AFolderOneSideLacksGoesAcrossWhole) {
    Journey j;
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    ASSERT_TRUE(j.writeLocal("proj/index.html", "same"));
    ASSERT_TRUE(j.writeLocal("proj/blog/a.html", Journey::bytes(900, 1)));
    ASSERT_TRUE(j.writeLocal("proj/blog/2026/b.html", Journey::bytes(400, 2)));
    ASSERT_TRUE(j.server().writeFile("live/index.html", "same"));
    ASSERT_TRUE(j.server().writeFile("live/archive/x.html", Journey::bytes(300, 3)));
    ASSERT_TRUE(j.server().writeFile("live/archive/old/y.html", Journey::bytes(200, 4)));
    ASSERT_TRUE(j.server().writeFile("live/stale.html", "gone"));
    ASSERT_TRUE(j.logIn(j.local("proj"), "/live"));
    CompareWindow* window = OpenCompare(j);
    ASSERT_TRUE(window);
    // Enter on an option starts the run; Enter on a result does not start another.
    QCheckBox* subFolders = window->optionBox(CompareOptions::SubFolders);
    subFolders->setChecked(true);
    QTest::keyClick(subFolders, Qt::Key_Return);
    ASSERT_TRUE(window->running());
    ASSERT_TRUE(j.waitFor([&] { return !window->running(); })) << j.chatText().toStdString();
    CompareTree& results = window->model()->tree();
    ASSERT_TRUE(results.find("blog") && results.find("archive"));
    QTest::keyClick(window->view(), Qt::Key_Return);
    EXPECT_FALSE(window->running());

    for (const auto& [name, id] : {std::pair{"blog", 34225}, std::pair{"archive", 34226}}) {
        SCOPED_TRACE(name);
        j.whenMenuOpens(id);
        Journey::rightClick(window->view(), window->model()->indexOf(results.find(name)));
        ASSERT_TRUE(j.waitFor([&] { return !results.find(name); }))
            << name << j.chatText().toStdString();
        ASSERT_TRUE(j.waitIdle());
    }
    EXPECT_EQ(j.menusAnswered(), 2);

    // A file only the server has, chosen and deleted with the Delete key.
    QTreeView* view = window->view();
    const QModelIndex stale = window->model()->indexOf(results.find("stale.html"));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(stale).center());
    j.prompter().expectQuestion("Delete the server file?", true);
    QTest::keyClick(view, Qt::Key_Delete);
    ASSERT_TRUE(j.waitFor([&] { return !results.find("stale.html"); }))
        << j.chatText().toStdString();
    EXPECT_FALSE(QFile::exists(j.serverPath("live/stale.html")));
    EXPECT_EQ(Journey::tree(j.serverPath("live/blog")), Journey::tree(j.local("proj/blog")));
    EXPECT_EQ(Journey::tree(j.local("proj/archive")), Journey::tree(j.serverPath("live/archive")));
    EXPECT_EQ(Journey::readFile(j.serverPath("live/blog/2026/b.html")), Journey::bytes(400, 2));
    EXPECT_EQ(Journey::readFile(j.local("proj/archive/old/y.html")), Journey::bytes(200, 4));
    EXPECT_EQ(window->model()->tree().root()->children.size(), 0u);
    window->close();
}

}  // namespace
