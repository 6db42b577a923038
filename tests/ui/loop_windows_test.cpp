// The three loop windows against a real server: they run their loops, show
// what came back, end with the time used and refuse bad input through the
// prompter. With VELMORA_SCREENSHOT_DIR set they also leave pictures there.
#include "cli/tree_snapshot.h"
#include "header_click.h"
#include "remote/action_engine.h"
#include "remote/remote_path.h"
#include "remote/task_status.h"
#include "session/ftp_session.h"
#include "session/tcp_transport.h"
#include "support/desktop_recorders.h"
#include "support/pyftpdlib_suite.h"
#include "support/scripted_prompter.h"
#include "workbench_harness.h"
#include "workspace/compare_view_choice.h"
#include "workspace/ui/change_case_window.h"
#include "workspace/ui/compare_window.h"
#include "workspace/ui/loop_result_models.h"
#include "workspace/ui/search_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

namespace {

class LoopWindowsTest : public PyftpdlibSuite<LoopWindowsTest> {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(PyftpdlibSuite::SetUp());
        SessionOptions o;
        o.host = QStringLiteral("127.0.0.1");
        o.port = server_->port();
        o.user = server_->user();
        o.password = server_->password();
        o.keepAliveInterval = 0;
        session_.setOptions(o);
        status_.connectTo(session_);
        session_.connectNew();
        ASSERT_TRUE(WorkbenchHarness::waitFor(
            [this] { return session_.loggedIn() && session_.queue().isEmpty(); }, 10000));
    }
    void TearDown() override { session_.closeConnection(); }

    // Clicks the start button and waits for the end line.
    static bool run(LoopWindow& w) {
        w.startButton()->click();
        return WorkbenchHarness::waitFor(
            [&w] { return !w.running() && w.statusLabel()->text().contains("time used"); }, 15000);
    }
    static void picture(QWidget& w, const char* name) {
        const QString dir = qEnvironmentVariable("VELMORA_SCREENSHOT_DIR");
        if (dir.isEmpty())
            return;
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            return;
        w.grab().save(dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
    }

    TcpTransportFactory transports_;
    FtpSession session_{&transports_};
    ActionEngine engine_{session_};
    TaskStatus status_;
    ScriptedPrompter prompter_;
    RecordingHelp help_;
    const LoopContext context_{engine_, status_, prompter_, help_};
};

}  // namespace

TEST_F(LoopWindowsTest, SearchFindsValidatesAndDownloads) {
    ASSERT_TRUE(writeServerTree(*server_, "find",
                                {{"index.html", "<p>"},
                                 {"a/index.php", "<?php"},
                                 {"a/b/notes.txt", "n"},
                                 {"a/b/index.htm", "x"}}));
    QTemporaryDir local;
    SearchCriteria stored;
    stored.kinds = SearchCriteria::File;
    auto* w = new SearchWindow(context_, {local.path(), "/find"}, "/find", stored, {}, nullptr);
    QPointer<SearchWindow> guard(w);
    QSignalSpy storedSpy(w, &SearchWindow::criteriaStored);
    EXPECT_EQ(w->windowTitle(), "Serch in      /find");

    // Refused input never starts anything.
    for (const char* bad : {"*.*", "a**", ""}) {
        w->nameEdit()->setText(QString::fromLatin1(bad));
        w->startButton()->click();
    }
    EXPECT_EQ(prompter_.messages(), (QStringList{"Error: searching for all files is not allowed.",
                                                 "Error: file title is incorrect.",
                                                 "Pease specify file name for search."}));
    EXPECT_FALSE(w->running());
    EXPECT_EQ(storedSpy.count(), 0);

    w->nameEdit()->setText("index.*");
    ASSERT_TRUE(run(*w));
    EXPECT_TRUE(w->statusLabel()->text().startsWith("Search ended, time used :  "));
    EXPECT_EQ(w->startButton()->text(), "Search");
    ASSERT_EQ(storedSpy.count(), 1);
    SearchResultModel* m = w->model();
    ASSERT_EQ(m->rowCount(), 3);
    QStringList rows;
    for (int r = 0; r < 3; ++r)
        rows << m->index(r, 0).data().toString() + "|" + m->index(r, 6).data().toString();
    EXPECT_EQ(rows, (QStringList{"index.htm|/find/a/b", "index.html|/find", "index.php|/find/a"}));
    EXPECT_EQ(m->index(1, 2).data().toString(), "html");
    // Narrow, the window cuts names and paths, never sizes or dates.
    w->show();
    w->resize(420, 400);
    QTreeView* list = w->findChild<QTreeView*>();
    ASSERT_TRUE(list);
    const auto fits = [&](int column) {
        return list->header()->sectionSize(column) >=
               static_cast<QAbstractItemView*>(list)->sizeHintForColumn(column);
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return fits(1) && fits(3); }, 5000));

    QMenu* menu = w->rowMenu(0);
    ASSERT_TRUE(menu);
    QAction* download = nullptr;
    for (QAction* a : menu->actions())
        if (a->data().toInt() == 34211)
            download = a;
    ASSERT_TRUE(download);
    EXPECT_EQ(download->text(), "Download to \t(Local project Folder)/a/b");
    picture(*w, "search");
    // The rows move under the open menu: it still fetches its own entry.
    w->setListSort({0, true});
    ASSERT_EQ(m->index(0, 0).data().toString(), "index.php");
    download->trigger();
    ASSERT_TRUE(WorkbenchHarness::waitFor([&] { return session_.queue().isEmpty(); }));
    EXPECT_EQ(readLocalFile(local.filePath("a/b/index.htm")), "x");
    // With rows chosen, the clicked one among them, every chosen row comes
    // down into its own folder's twin.
    w->resultList()->selectAll();
    for (QAction* a : w->rowMenu(1)->actions())
        if (a->data().toInt() == 34211)
            a->trigger();
    ASSERT_TRUE(WorkbenchHarness::waitFor([&] { return session_.queue().isEmpty(); }));
    EXPECT_EQ(readLocalFile(local.filePath("index.html")), "<p>");
    EXPECT_EQ(readLocalFile(local.filePath("a/index.php")), "<?php");
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
}

TEST_F(LoopWindowsTest, SearchDeletesFoundEntriesAfterTheQuestion) {
    ASSERT_TRUE(writeServerTree(*server_, "found",
                                {{"old.log", "1"},
                                 {"a/old.log", "2"},
                                 {"a/keep.txt", "3"},
                                 {"project/site/old.log", "4"}}));
    auto* w = new SearchWindow(context_, {"", "/found/project/site"}, "/found", SearchCriteria(),
                               {}, nullptr);
    std::unique_ptr<SearchWindow> owned(w);
    SearchResultModel* m = w->model();
    auto names = [m] {
        QStringList out;
        for (int r = 0; r < m->rowCount(); ++r)
            out << QString::fromUtf8(joinRemotePath(m->row(r).folder, m->row(r).item.name));
        return out;
    };
    auto select = [&](std::initializer_list<int> rows) {
        w->resultList()->clearSelection();
        for (int r : rows)
            w->resultList()->selectionModel()->select(
                m->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    };
    auto deleteAction = [&](int row) -> QAction* {
        for (QAction* a : w->rowMenu(row)->actions())
            if (a->text() == "Delete")
                return a;
        return nullptr;
    };

    // The parent of the project folder is guarded.
    w->kindBox(SearchCriteria::Folder)->setChecked(true);
    w->nameEdit()->setText("proj*");
    ASSERT_TRUE(run(*w));
    ASSERT_EQ(names(), QStringList{"/found/project"});
    select({0});
    ASSERT_TRUE(deleteAction(0));
    deleteAction(0)->trigger();
    EXPECT_EQ(prompter_.messages().value(0),
              "Can not delete, because it is parent of project Folder.");
    EXPECT_FALSE(session_.isBusy());

    // A "No" sends nothing.
    w->kindBox(SearchCriteria::Folder)->setChecked(false);
    w->kindBox(SearchCriteria::File)->setChecked(true);
    w->nameEdit()->setText("old.*");
    ASSERT_TRUE(run(*w));
    ASSERT_EQ(names(),
              (QStringList{"/found/old.log", "/found/a/old.log", "/found/project/site/old.log"}));
    select({0, 1});
    prompter_.expectQuestion("Delete the selected items?", false);
    deleteAction(0)->trigger();
    EXPECT_FALSE(session_.isBusy());

    // "Yes", from the Delete key: both files leave the server, and their rows the list.
    prompter_.expectQuestion("Delete the selected items?", true);
    QTest::keyClick(w->resultList(), Qt::Key_Delete);
    ASSERT_TRUE(
        WorkbenchHarness::waitFor([&] { return !session_.isBusy() && m->rowCount() == 1; }));
    EXPECT_FALSE(server_->exists("found/old.log"));
    EXPECT_FALSE(server_->exists("found/a/old.log"));
    EXPECT_TRUE(server_->exists("found/a/keep.txt"));
    EXPECT_EQ(names(), QStringList{"/found/project/site/old.log"});
}

TEST_F(LoopWindowsTest, ChangeCaseShowsThePlanAndRenamesOnlyAfterYes) {
    ASSERT_TRUE(writeServerTree(*server_, "case",
                                {{"ReadMe.TXT", "r"},
                                 {"README.TXT", "R"},
                                 {"Img/Logo.GIF", "g"},
                                 {"Img/a.png", "a"},
                                 {"upper", "u"}}));
    ChangeCaseOptions stored;
    stored.target = ChangeCaseOptions::Upper;
    auto* w = new ChangeCaseWindow(context_, "/case", stored);
    EXPECT_EQ(w->windowTitle(), "change case in      /case");
    // The narrow image column orders nothing: the header's arrow stands on the
    // old name and stays there when the image column is clicked.
    w->show();
    auto* view = w->findChild<QTreeView*>();
    QSignalSpy sortSpy(w, &LoopWindow::listSortChanged);
    ClickHeader(view, 0);
    EXPECT_EQ(view->header()->sortIndicatorSection(), 1);
    EXPECT_EQ(view->header()->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(w->listSort(), (ListSort{1, false}));
    EXPECT_EQ(sortSpy.count(), 0);
    w->startButton()->click();
    EXPECT_EQ(prompter_.messages(), QStringList{"Please select items to change"});

    for (int bit :
         {ChangeCaseOptions::File, ChangeCaseOptions::Folder, ChangeCaseOptions::SubFolders})
        w->optionBox(bit)->setChecked(true);
    QSignalSpy storedSpy(w, &ChangeCaseWindow::optionsStored);
    ChangeCaseModel* m = w->model();
    auto rows = [m] {
        QStringList out;
        for (int r = 0; r < m->rowCount(); ++r)
            out << m->index(r, 1).data().toString() + ">" + m->index(r, 2).data().toString() + "|" +
                       m->index(r, 3).data().toString();
        return out;
    };
    const QString question =
        "Rename the 4 items as listed?\n\nOne item keeps its name: its new name is taken.";

    // The plan first: the taken name is marked, nothing goes to the server
    // when the answer is No.
    QStringList planShown;
    prompter_.expectQuestion(question, false);
    QObject::connect(&status_, &TaskStatus::loopEnded, w, [&] { planShown = rows(); });
    w->startButton()->click();
    ASSERT_TRUE(WorkbenchHarness::waitFor([&] { return !w->running(); }, 15000));
    EXPECT_EQ(w->statusLabel()->text(), "Nothing was renamed.");
    // Folders first, then by old name.
    EXPECT_EQ(planShown,
              (QStringList{"Img>IMG|/case", "a.png>A.PNG|/case/Img", "Logo.GIF>LOGO.GIF|",
                           "ReadMe.TXT>README.TXT  (taken: not renamed)|/case", "upper>UPPER|"}));
    EXPECT_EQ(m->mark(3), CaseRowMark::Taken);
    EXPECT_EQ(m->mark(0), CaseRowMark::Planned);
    EXPECT_EQ(m->index(3, 2).data(Qt::ToolTipRole).toString(),
              "The new name is taken in this folder: not renamed.");
    EXPECT_TRUE(server_->exists("case/Img/Logo.GIF"));
    EXPECT_TRUE(server_->exists("case/upper"));

    // Yes: the same plan is carried out and the list shows what was renamed.
    prompter_.expectQuestion(question, true);
    ASSERT_TRUE(run(*w));
    EXPECT_TRUE(w->statusLabel()->text().startsWith("changing case ended, time used :  "));
    EXPECT_EQ(storedSpy.count(), 2);
    EXPECT_EQ(rows(),
              (QStringList{"Img>IMG|/case", "a.png>A.PNG|/case/IMG", "Logo.GIF>LOGO.GIF|",
                           "ReadMe.TXT>README.TXT  (taken: not renamed)|/case", "upper>UPPER|"}));
    EXPECT_TRUE(server_->exists("case/IMG/LOGO.GIF"));
    EXPECT_TRUE(server_->exists("case/ReadMe.TXT"));
    picture(*w, "changecase");

    // Nothing left to rename: no question at all.
    w->startButton()->click();
    ASSERT_TRUE(WorkbenchHarness::waitFor([&] { return !w->running(); }, 15000));
    EXPECT_EQ(w->statusLabel()->text(), "Nothing needs renaming.");
    delete w;
}

TEST_F(LoopWindowsTest, CompareShowsDifferencesOnlyAndTheirProperties) {
    QTemporaryDir local;
    ASSERT_TRUE(writeLocalTree(local.path(), {{"same.txt", "s"},
                                              {"new.html", "new"},
                                              {"quiet/a.txt", "a"},
                                              {"deep/er/changed.txt", "12345"}}));
    ASSERT_TRUE(writeServerTree(*server_, "cmp",
                                {{"same.txt", "s"},
                                 {"old.html", "old"},
                                 {"quiet/a.txt", "a"},
                                 {"deep/er/changed.txt", "1234"}}));
    auto* w = new CompareWindow(context_, {local.path(), "/cmp"}, "/cmp",
                                CompareOptions::FileSize | CompareOptions::SubFolders);
    EXPECT_EQ(w->windowTitle(), "Comparing from - project root");
    EXPECT_EQ(w->statusLabel()->text(),
              "After seaching, right click an item to see its properties.");
    // Stopped at once, the run says that what it lists is partial.
    w->startButton()->click();
    w->startButton()->click();
    ASSERT_TRUE(WorkbenchHarness::waitFor(
        [&] { return !w->running() && w->statusLabel()->text().contains("time used"); }, 15000));
    EXPECT_TRUE(w->statusLabel()->text().endsWith(
        "\nStopped before the end: the list holds only what was reached."))
        << w->statusLabel()->text().toStdString();
    ASSERT_TRUE(run(*w));
    EXPECT_TRUE(w->statusLabel()->text().startsWith("Comparing ended, time used :  "));
    QStringList shown;
    std::function<void(const QModelIndex&, const QString&)> walk = [&](const QModelIndex& p,
                                                                       const QString& prefix) {
        for (int r = 0; r < w->model()->rowCount(p); ++r) {
            const QModelIndex i = w->model()->index(r, 0, p);
            shown << prefix + i.data().toString();
            walk(i, prefix + i.data().toString() + "/");
        }
    };
    walk({}, "");
    EXPECT_EQ(shown, (QStringList{"From", "From/deep", "From/deep/er", "From/deep/er/changed.txt",
                                  "From/new.html", "From/old.html"}));
    // The side in words beside the colour, and a legend.
    QStringList where;
    const QModelIndex from = w->model()->index(0, 0, {});
    for (int r = 0; r < w->model()->rowCount(from); ++r)
        where << w->model()->index(r, 1, from).data().toString();
    EXPECT_EQ(where, (QStringList{"folder on both sides", "local only", "server only"}));
    // Sorted by where, reversed: the folder stays on top, held rows follow.
    const QPersistentModelIndex held = w->model()->index(1, 0, from);
    w->setListSort({1, true});
    where.clear();
    for (int r = 0; r < w->model()->rowCount(from); ++r)
        where << w->model()->index(r, 1, from).data().toString();
    EXPECT_EQ(where, (QStringList{"folder on both sides", "server only", "local only"}));
    EXPECT_EQ(held.data().toString(), "new.html");
    EXPECT_EQ(held.row(), 2);
    EXPECT_EQ(w->view()->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    w->setListSort({});
    const QModelIndex er = w->model()->index(0, 0, w->model()->index(0, 0, from));
    EXPECT_EQ(w->model()->index(0, 1, er).data().toString(), "sizes differ");
    EXPECT_EQ(w->model()->index(1, 0, from).data(Qt::AccessibleTextRole).toString(),
              "new.html, local only");
    EXPECT_TRUE(w->legend()->text().contains("local only"));
    picture(*w, "compare");

    CompareNode* changed = w->model()->tree().find("deep/er")->children[0].get();
    QMenu* menu = w->itemMenu(changed);
    ASSERT_TRUE(menu);
    QStringList enabled;
    for (QAction* a : menu->actions())
        if (a->isEnabled() && a->data().isValid())
            enabled << a->text();
    EXPECT_EQ(enabled, (QStringList{"Upload", "Download", "Properties"}));
    for (QAction* a : menu->actions())
        if (a->data().toInt() == 34213)
            a->trigger();
    ASSERT_FALSE(prompter_.messages().isEmpty());
    EXPECT_TRUE(prompter_.messages().last().startsWith(
        "To compring from\tdeep/er/changed.txt\nTo project root\tdeep/er/changed.txt\n"));

    // Listed again, the folder's rows are compared again in place, and the view
    // hears of it.
    ASSERT_TRUE(writeServerTree(*server_, "cmp", {{"deep/er/changed.txt", "123"}}));
    QSignalSpy rewritten(w->model(), &QAbstractItemModel::dataChanged);
    engine_.refresh("/cmp/deep/er");
    EXPECT_TRUE(WorkbenchHarness::waitFor([&] { return rewritten.count() > 0; }, 15000));
    EXPECT_EQ(changed->item.remoteSize, 3);

    // A viewing tool asks which side first; its target follows the answer.
    std::optional<CompareWindow::ViewTarget> opened;
    w->setToolMenuFiller([&](QMenu* view, bool remoteFile, const CompareWindow::TargetChooser& c) {
        EXPECT_FALSE(remoteFile);
        view->addAction(QStringLiteral("Tool"), [&opened, c] { opened = c(); });
    });
    const struct {
        PromptAnswer answer;
        std::optional<QString> path;
    } sides[] = {{PromptAnswer::Yes, QStringLiteral("/cmp/deep/er/changed.txt")},
                 {PromptAnswer::No, local.path() + "/deep/er/changed.txt"},
                 {PromptAnswer::Cancel, std::nullopt}};
    for (const auto& side : sides) {
        prompter_.expectChoice(QString::fromLatin1(kCompareViewQuestion), side.answer);
        opened.reset();
        for (QAction* a : w->itemMenu(changed)->actions())
            if (a->menu())
                for (QAction* tool : a->menu()->actions())
                    if (tool->text() == QLatin1String("Tool"))
                        tool->trigger();
        EXPECT_EQ(opened ? std::optional<QString>(opened->path) : std::nullopt, side.path);
        if (opened) {
            EXPECT_EQ(opened->remote, side.answer == PromptAnswer::Yes);
        }
    }

    // Uploading the changed file makes it agree: it leaves the tree.
    for (QAction* a : w->itemMenu(changed)->actions())
        if (a->data().toInt() == 34225)
            a->trigger();
    ASSERT_TRUE(WorkbenchHarness::waitFor([&] { return !w->model()->tree().find("deep"); }));
    EXPECT_EQ(server_->readFile("cmp/deep/er/changed.txt"), "12345");
    delete w;
}

TEST_F(LoopWindowsTest, ACompareWindowClosedMidRunDropsItsWork) {
    QTemporaryDir local;
    std::vector<TreeEntry> tree;
    for (int i = 0; i < 30; ++i)
        tree.push_back({QStringLiteral("f%1/x.txt").arg(i), "x"});
    ASSERT_TRUE(writeLocalTree(local.path(), tree));
    ASSERT_TRUE(writeServerTree(*server_, "closing", tree));
    auto* w = new CompareWindow(context_, {local.path(), "/closing"}, "/closing",
                                CompareOptions::SubFolders);
    w->startButton()->click();
    ASSERT_TRUE(WorkbenchHarness::waitFor(
        [&] { return w->model()->rowCount(w->model()->index(0, 0, {})) > 0; }));
    delete w;
    ASSERT_TRUE(WorkbenchHarness::waitFor([&] { return session_.queue().isEmpty(); }));
    EXPECT_TRUE(prompter_.messages().isEmpty());
}
