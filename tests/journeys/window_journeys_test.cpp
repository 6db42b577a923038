// Journeys through the window's own tools: the quick-connect bar, the concerned
// file page and the change-case window, each from the user's keys and clicks
// to what the server holds.
#include "journeys/journey.h"

#include "app/command_ids.h"
#include "app/site_rules.h"
#include "app/ui/main_frame.h"
#include "app/ui/main_view.h"
#include "app/ui/quick_connect_bar.h"
#include "app/ui/site_name_dialog.h"
#include "app/ui/site_pages.h"
#include "extras/content_rules.h"
#include "extras/ui/concerned_file_page.h"
#include "extras/ui/ftp_wizard_window.h"
#include "extras/ui/wizard_registry.h"
#include "remote/remote_menu_rules.h"
#include "remote/ui/remote_explorer.h"
#include "remote/ui/remote_tree_model.h"
#include "support/ftp_server_process.h"
#include "workspace/ui/change_case_window.h"
#include "workspace/ui/loop_result_models.h"
#include "workspace/ui/search_window.h"
#include "workspace/workspace_command_ids.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(WindowJourney, QuickConnectThenKeepTheConnectionAsASite) {
    Journey j;
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    ASSERT_TRUE(j.server().writeFile("welcome.txt", "hi"));
    QuickConnectBar* bar = j.frame().quickConnectBar();
    QTest::keyClicks(bar->hostEdit(), j.server().host());
    QTest::keyClicks(bar->userEdit(), j.server().user());
    QTest::keyClicks(bar->passwordEdit(), j.server().password());
    QTest::keyClicks(bar->portEdit(), QString::number(j.server().port()));
    Journey::press(bar->portEdit(), Qt::Key_Return);
    ASSERT_TRUE(j.waitFor([&] { return j.remoteNames().contains("welcome.txt"); }))
        << j.chatText().toStdString();
    EXPECT_TRUE(j.workbench().sites().Records.empty());
    EXPECT_TRUE(j.frame().windowTitle().startsWith("Velmora - 127.0.0.1"));

    j.whenDialogOpens([](QDialog* d) {
        auto* name = qobject_cast<SiteNameDialog*>(d);
        ASSERT_TRUE(name);
        name->setTexts("From the bar", "");
        name->okButton()->click();
    });
    ASSERT_TRUE(j.menuCommand(kCmdSaveAsSite));
    ASSERT_EQ(j.workbench().sites().Records.size(), 1u);
    EXPECT_EQ(j.workbench().sites().Records[0].Host, j.server().host());

    // The Site connect dialog now lists it. An address typed there and the
    // dialog closed with Escape: the edit is offered to the site, not lost.
    QStringList listed;
    j.whenDialogOpens([&](QDialog* d) {
        auto* table = d->findChild<QTableView*>();
        ASSERT_TRUE(table);
        for (int r = 0; r < table->model()->rowCount(); ++r)
            listed << table->model()->index(r, 0).data().toString();
        auto* pages = d->findChild<SitePages*>();
        ASSERT_TRUE(pages);
        QTest::keyClicks(pages->httpBaseEdit(), "www.example.org");
        QTest::keyClick(d, Qt::Key_Escape);
    });
    j.prompter().expectQuestion("Save the changes made to the site \"From the bar\" first?", true);
    j.prompter().expectQuestion(SiteMessages::kChangingCurrentQuestion, true);
    ASSERT_TRUE(j.menuCommand(kCmdConnect));
    EXPECT_EQ(listed, QStringList{"From the bar"});
    EXPECT_EQ(j.workbench().sites().Records[0].HttpBase, "www.example.org");
}

// The page's Upload over a change on the server: refused first, in red,
// saying what changed; the same click again replaces the change.
void UploadOverAChange(Journey& j, ConcernedFilePage* page, const QString& change) {
    const QByteArray before = Journey::readFile(j.serverPath("error_log"));
    for (int attempt = 0; attempt < 2; ++attempt) {
        j.prompter().expectQuestion("Upload the concerned file?", true);
        for (QPushButton* b : page->findChildren<QPushButton*>())
            if (b->text() == "Upload")
                b->click();
        ASSERT_TRUE(j.waitIdle());
        if (attempt == 0) {
            EXPECT_TRUE(
                j.taskLine().contains("changed on the server since it was fetched " + change))
                << j.taskLine().toStdString();
            EXPECT_EQ(j.taskLineColor(), QColor(255, 0, 0));
            EXPECT_EQ(Journey::readFile(j.serverPath("error_log")), before);
        }
    }
}

TEST(WindowJourney, ConcernedFileEditedUploadedAndRefreshed) {
    Journey j;
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    ASSERT_TRUE(j.server().writeFile(QString::fromUtf8(j.remote("error_log")).mid(1),
                                     "PHP Warning: one\n"));
    ASSERT_TRUE(j.logIn());
    ASSERT_TRUE(j.openRemoteFolder(j.home()));
    j.selectRemote({"error_log"});
    std::unique_ptr<QMenu> menu(j.remoteSide().buildListMenu(nullptr));
    ASSERT_TRUE(Journey::choose(menu.get(), RemoteMenuId::kListConcernedFile));
    ConcernedFilePage* page = j.frame().concernedFilePage();
    j.frame().view()->showPage(MainView::ConcernedFile);
    ASSERT_TRUE(j.waitFor([&] { return page->pane()->toPlainText() == "PHP Warning: one\n"; }))
        << j.chatText().toStdString();
    ASSERT_TRUE(j.waitIdle());

    // Edited by keys, uploaded: the server holds the edit.
    page->pane()->setFocus();
    page->pane()->moveCursor(QTextCursor::End);
    QTest::keyClicks(page->pane(), "fixed");
    j.prompter().expectQuestion("Upload the concerned file?", true);
    for (QPushButton* b : page->findChildren<QPushButton*>())
        if (b->text() == "Upload")
            b->click();
    ASSERT_TRUE(j.waitFor([&] {
        return Journey::readFile(j.serverPath("error_log")) == "PHP Warning: one\nfixed";
    })) << j.chatText().toStdString();
    ASSERT_TRUE(j.waitIdle());

    // Someone else's fix of the same size, saved later: the next upload leaves
    // it and says so; uploading again, over that change, replaces it.
    ASSERT_TRUE(j.server().writeFile(QString::fromUtf8(j.remote("error_log")).mid(1),
                                     "PHP Warning: ONE\nfixed"));
    {
        QFile log(j.serverPath("error_log"));
        ASSERT_TRUE(log.open(QIODevice::ReadWrite));
        ASSERT_TRUE(log.setFileTime(QDateTime::currentDateTimeUtc().addSecs(3600),
                                    QFileDevice::FileModificationTime));
    }
    QTest::keyClicks(page->pane(), "!");
    UploadOverAChange(j, page, "(the same size, modified");
    EXPECT_EQ(Journey::readFile(j.serverPath("error_log")), "PHP Warning: one\nfixed!");

    // Refreshed after the upload: nothing to lose, no question; the server's
    // newer text shows.
    ASSERT_TRUE(j.server().writeFile(QString::fromUtf8(j.remote("error_log")).mid(1),
                                     "PHP Warning: two\n"));
    for (QPushButton* b : page->findChildren<QPushButton*>())
        if (b->text() == "Refresh")
            b->click();
    ASSERT_TRUE(j.waitFor([&] { return page->pane()->toPlainText() == "PHP Warning: two\n"; }));
    ASSERT_TRUE(j.waitIdle());

    // Changed on the server meanwhile (a new warning): the upload leaves it and
    // says why in red; uploading again, over that change, replaces it.
    ASSERT_TRUE(j.server().writeFile(QString::fromUtf8(j.remote("error_log")).mid(1),
                                     "PHP Warning: two\nPHP Warning: three\n"));
    page->pane()->moveCursor(QTextCursor::End);
    QTest::keyClicks(page->pane(), "y");
    UploadOverAChange(j, page, "(17 bytes then, 36 now)");
    EXPECT_EQ(Journey::readFile(j.serverPath("error_log")), "PHP Warning: two\ny");

    // Edited again and refreshed: the user is asked, and "No" keeps the edit.
    QTest::keyClicks(page->pane(), "x");
    j.prompter().expectQuestion(QString::fromLatin1(kDropEditsQuestion), false);
    for (QPushButton* b : page->findChildren<QPushButton*>())
        if (b->text() == "Refresh")
            b->click();
    EXPECT_TRUE(page->pane()->toPlainText().contains("x"));
    EXPECT_FALSE(j.workbench().session().isBusy());

    // The window closed with the edit: asked too; "No" keeps the window open.
    j.prompter().expectQuestion(QString::fromLatin1(kDropEditsQuestion), false);
    EXPECT_FALSE(j.frame().close());
    EXPECT_TRUE(j.frame().isVisible());
    j.prompter().expectQuestion(QString::fromLatin1(kDropEditsQuestion), true);
    EXPECT_TRUE(j.frame().close());
}

// Files found in several folders, all chosen and fetched from one row's menu:
// each lands in its own folder's twin in the local project.
TEST(WindowJourney, ChosenSearchResultsComeDownIntoTheirTwins) {
    Journey j;
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    ASSERT_TRUE(j.server().writeFile("live/a/x.html", "x"));
    ASSERT_TRUE(j.server().writeFile("live/b/deep/y.html", "yy"));
    ASSERT_TRUE(j.logIn(j.local("proj"), "/live"));
    RemoteTreeModel* tree = j.remoteSide().treeModel();
    ASSERT_TRUE(j.waitFor([&] { return tree->hasRoot() && tree->isListed(tree->rootIndex()); }));
    std::unique_ptr<QMenu> menu(j.remoteSide().buildTreeMenu(tree->rootIndex(), nullptr));
    ASSERT_TRUE(Journey::choose(menu.get(), RemoteMenuId::kTreeSearch));
    auto* search = j.frame().findChild<SearchWindow*>();
    ASSERT_TRUE(search);
    QTest::keyClicks(search->nameEdit(), "*.html");
    search->kindBox(SearchCriteria::File)->setChecked(true);
    search->startButton()->click();
    SearchResultModel* results = search->model();
    ASSERT_TRUE(j.waitFor([&] { return !search->running() && results->rowCount() == 2; }))
        << j.chatText().toStdString();
    QTest::keyClick(search->resultList(), Qt::Key_A, Qt::ControlModifier);
    j.whenMenuOpens(kSearchDownload);
    Journey::rightClick(search->resultList(), results->index(1, 0));
    EXPECT_TRUE(j.waitFor([&] {
        return Journey::readFile(j.local("proj/a/x.html")) == "x" &&
               Journey::readFile(j.local("proj/b/deep/y.html")) == "yy";
    })) << j.chatText().toStdString();
    EXPECT_EQ(j.menusAnswered(), 1);
}

// A file found by a search, edited in the FTP wizard and uploaded: its row
// shows the new size, though no explorer has listed its folder.
TEST(WindowJourney, ASearchResultFollowsItsFileEditedInTheWizard) {
    Journey j;
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    const QString notes = QString::fromUtf8(j.remote("docs/deep/notes.txt")).mid(1);
    ASSERT_TRUE(j.server().writeFile(notes, "abc\n"));
    ASSERT_TRUE(j.logIn());
    RemoteTreeModel* tree = j.remoteSide().treeModel();
    ASSERT_TRUE(j.waitFor([&] { return tree->hasRoot() && tree->isListed(tree->rootIndex()); }));
    std::unique_ptr<QMenu> menu(j.remoteSide().buildTreeMenu(tree->rootIndex(), nullptr));
    ASSERT_TRUE(Journey::choose(menu.get(), RemoteMenuId::kTreeSearch));
    auto* search = j.frame().findChild<SearchWindow*>();
    ASSERT_TRUE(search);
    // Opened ready for typing the name.
    ASSERT_TRUE(j.waitFor([&] { return QApplication::focusWidget() == search->nameEdit(); }));
    QTest::keyClicks(search->nameEdit(), "notes.txt");
    search->kindBox(SearchCriteria::File)->setChecked(true);
    search->startButton()->click();
    SearchResultModel* results = search->model();
    ASSERT_TRUE(j.waitFor([&] { return !search->running() && results->rowCount() == 1; }))
        << j.chatText().toStdString();
    ASSERT_EQ(results->row(0).item.size, 4);

    ASSERT_TRUE(Journey::choose(search->rowMenu(0), kSearchFtpWizard));
    FtpWizardWindow* wizard = j.frame().wizards()->find(j.remote("docs/deep"), "notes.txt");
    ASSERT_TRUE(wizard);
    ASSERT_TRUE(j.waitFor([&] { return wizard->textView()->toPlainText() == "abc\n"; }));
    ASSERT_TRUE(j.waitIdle());
    wizard->textView()->moveCursor(QTextCursor::End);
    QTest::keyClicks(wizard->textView(), "defg");
    j.prompter().expectQuestion("Upload the wizard file?", true);
    wizard->action(FtpWizardWindow::Upload)->trigger();
    ASSERT_TRUE(j.waitFor([&] { return results->row(0).item.size == 8; }))
        << j.chatText().toStdString();
    EXPECT_EQ(Journey::readFile(j.serverPath("docs/deep/notes.txt")), "abc\ndefg");

    // Edited again, then a connection from the quick-connect bar (which may
    // reach another server): asked, the wizard and the search window close,
    // and the file stays as it was.
    QTest::keyClicks(wizard->textView(), "h");
    // Re-download asks before throwing the edit away; No keeps it.
    j.prompter().expectQuestion(
        "The text has changes that were not uploaded.\nDo you want to throw them away?", false);
    wizard->action(FtpWizardWindow::ReDownload)->trigger();
    EXPECT_EQ(wizard->textView()->toPlainText(), "abc\ndefgh");
    const QPointer<FtpWizardWindow> openWizard(wizard);
    const QPointer<SearchWindow> openSearch(search);
    QuickConnectBar* bar = j.frame().quickConnectBar();
    QTest::keyClicks(bar->hostEdit(), j.server().host());
    QTest::keyClicks(bar->userEdit(), j.server().user());
    QTest::keyClicks(bar->passwordEdit(), j.server().password());
    QTest::keyClicks(bar->portEdit(), QString::number(j.server().port()));
    j.prompter().expectQuestion(
        "The text has changes that were not uploaded.\nClose the wizard anyway?", true);
    Journey::press(bar->portEdit(), Qt::Key_Return);
    EXPECT_TRUE(j.waitFor([&] { return !openWizard && !openSearch; }));
    ASSERT_TRUE(j.waitFor([&] { return j.workbench().session().loggedIn(); }));
    ASSERT_TRUE(j.waitIdle());
    EXPECT_EQ(Journey::readFile(j.serverPath("docs/deep/notes.txt")), "abc\ndefg");
}

TEST(WindowJourney, ChangeCaseShowsItsPlanAndRenamesAfterYes) {
    Journey j;
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    for (const char* name : {"site/Index.HTML", "site/IMG/Logo.PNG", "site/readme.txt"})
        ASSERT_TRUE(j.server().writeFile(
            QString::fromUtf8(j.remote(QString::fromLatin1(name))).mid(1), "x"));
    ASSERT_TRUE(j.logIn());
    const QByteArray site = j.remote("site");
    ASSERT_TRUE(j.openRemoteFolder(site));

    // The tree's menu opens the window on the folder.
    RemoteExplorer& r = j.remoteSide();
    std::unique_ptr<QMenu> menu(r.buildTreeMenu(r.treeModel()->indexOf(site), nullptr));
    ASSERT_TRUE(Journey::choose(menu.get(), RemoteMenuId::kTreeChangeCase));
    auto* window = j.frame().findChild<ChangeCaseWindow*>();
    ASSERT_TRUE(window);
    for (QRadioButton* b : window->findChildren<QRadioButton*>())
        if (b->text() == "Lower case")
            b->setChecked(true);
    for (QCheckBox* box : window->findChildren<QCheckBox*>())
        box->setChecked(box->text() == "File" || box->text() == "Folder" ||
                        box->text() == "Include sub folders");

    // "No" after the plan: the server is untouched.
    j.prompter().expectQuestion("Rename the 3 items as listed?", false);
    window->startButton()->click();
    ASSERT_TRUE(j.waitFor([&] { return !window->running(); }));
    EXPECT_EQ(window->statusLabel()->text(), "Nothing was renamed.");
    EXPECT_EQ(window->model()->rowCount(), 3);
    EXPECT_TRUE(QFile::exists(j.serverPath("site/IMG/Logo.PNG")));

    // "Yes": the same renames reach the server.
    j.prompter().expectQuestion("Rename the 3 items as listed?", true);
    window->startButton()->click();
    ASSERT_TRUE(j.waitFor([&] {
        return !window->running() && window->statusLabel()->text().contains("time used");
    })) << j.chatText().toStdString();
    EXPECT_TRUE(QFile::exists(j.serverPath("site/index.html")));
    EXPECT_TRUE(QFile::exists(j.serverPath("site/img/logo.png")));
    EXPECT_TRUE(QFile::exists(j.serverPath("site/readme.txt")));
    window->close();
}

}  // namespace
