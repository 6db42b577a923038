#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/ui/main_frame.h"
#include "header_click.h"
#include "live_frame.h"
#include "remote/remote_list_columns.h"
#include "remote/ui/explorer_item_view.h"
#include "remote/ui/remote_explorer.h"
#include "remote/ui/remote_list_model.h"
#include "support/scripted_prompter.h"
#include "workbench_harness.h"
#include "workspace/local_list_columns.h"
#include "workspace/ui/local_explorer.h"
#include "workspace/ui/local_list_model.h"
#include "workspace/ui/local_list_view.h"
#include "workspace/ui/loop_result_models.h"
#include "workspace/ui/search_window.h"

namespace {

QStringList RowNames(const QAbstractItemModel* model) {
    QStringList names;
    for (int r = 0; r < model->rowCount(); ++r)
        names << model->index(r, 0).data().toString();
    return names;
}

RemoteItem File(const char* name, qint64 size) {
    RemoteItem i;
    i.kind = '-';
    i.name = name;
    i.size = size;
    return i;
}

std::shared_ptr<const RemoteItemList> Listing(qint64 bigSize) {
    RemoteItemList list;
    for (const RemoteItem& i : {File("big", bigSize), File("small", 1), File("mid", 50)})
        list.append(i);
    RemoteItem folder;
    folder.kind = 'd';
    folder.name = "zz";
    list.append(folder);
    list.sort();
    return std::make_shared<const RemoteItemList>(list);
}

// The lists of the window sort by the clicked column, reverse on a second
// click, keep folders on top, follow the selection, keep their order over a
// refresh, and find it again in a new window.
TEST(ListSort, HeaderClicksSortKeepTheOrderAndSurviveARestart) {
    QTemporaryDir disk;
    for (const auto& [name, size] : {std::pair{"big", 900}, {"small", 1}, {"mid", 50}}) {
        QFile f(disk.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(size, 'x'));
    }
    ASSERT_TRUE(QDir(disk.path()).mkdir(QStringLiteral("zz")));

    WorkbenchHarness h;
    ScriptedPrompter prompter;
    MainFrame::Services services;
    services.prompter = &prompter;
    {
        MainFrame frame(*h.workbench, services);
        frame.resize(1400, 900);
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));

        RemoteExplorer* remote = frame.remoteExplorer();
        RemoteListModel* remoteRows = remote->listModel();
        remoteRows->setFolder("/www", Listing(900));
        ASSERT_EQ(RowNames(remoteRows), (QStringList{"zz", "big", "mid", "small"}));
        ClickHeader(remote->listView(), int(RemoteListColumn::Size));
        EXPECT_EQ(RowNames(remoteRows), (QStringList{"zz", "small", "mid", "big"}));
        remote->listView()->setCurrentIndex(remoteRows->index(remoteRows->rowOf("mid"), 0));
        ClickHeader(remote->listView(), int(RemoteListColumn::Size));
        EXPECT_EQ(RowNames(remoteRows), (QStringList{"zz", "big", "mid", "small"}));
        EXPECT_EQ(remote->listView()->currentIndex().data().toString(), QStringLiteral("mid"));
        EXPECT_EQ(remote->listView()->header()->sortIndicatorSection(),
                  int(RemoteListColumn::Size));
        EXPECT_EQ(remote->listView()->header()->sortIndicatorOrder(), Qt::DescendingOrder);
        // A refresh brings a new listing: the order stays.
        remoteRows->setFolder("/www", Listing(2));
        EXPECT_EQ(RowNames(remoteRows), (QStringList{"zz", "mid", "big", "small"}));

        LocalListView* local = frame.localExplorer()->list();
        local->showFolder(disk.path());
        ASSERT_TRUE(WorkbenchHarness::waitFor([&] {
            return !local->listModel()->isLoading() && local->listModel()->rowCount() == 5;
        }));
        ClickHeader(local, kColSize);
        EXPECT_EQ(RowNames(local->listModel()), (QStringList{"..", "zz", "small", "mid", "big"}));
        ClickHeader(local, kColSize);
        EXPECT_EQ(RowNames(local->listModel()), (QStringList{"..", "zz", "big", "mid", "small"}));
    }
    {
        MainFrame again(*h.workbench, services);
        EXPECT_EQ(again.remoteExplorer()->listSort(),
                  (ListSort{int(RemoteListColumn::Size), true}));
        EXPECT_EQ(again.remoteExplorer()->listView()->header()->sortIndicatorOrder(),
                  Qt::DescendingOrder);
        EXPECT_EQ(again.remoteProjectExplorer()->listSort(), ListSort());
        LocalListView* local = again.localExplorer()->list();
        EXPECT_EQ(local->listModel()->sort(), (ListSort{kColSize, true}));
        EXPECT_EQ(local->header()->sortIndicatorSection(), kColSize);
        // Back to the first column for the windows of other tests.
        again.resize(1400, 900);
        again.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
        ClickHeader(again.remoteExplorer()->listView(), 0);
        ClickHeader(local, 0);
        EXPECT_EQ(again.remoteExplorer()->listSort(), ListSort());
        EXPECT_EQ(local->listModel()->sort(), ListSort());
    }
}

// ".." stays the first row whatever the order; the rows, rowOf and indexes
// held over a new order all count it.
TEST(ListSort, TheParentRowStaysFirstInEveryOrder) {
    const int size = int(RemoteListColumn::Size);
    const struct {
        bool parentRow;
        ListSort sort;
        QStringList rows;
    } cases[] = {
        {false, {size, false}, {"zz", "small", "mid", "big"}},
        {true, {}, {"..", "zz", "big", "mid", "small"}},
        {true, {0, true}, {"..", "zz", "small", "mid", "big"}},
        {true, {size, false}, {"..", "zz", "small", "mid", "big"}},
        {true, {size, true}, {"..", "zz", "big", "mid", "small"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rows.join(' ').toStdString());
        RemoteListModel model;
        model.setFolder("/www", Listing(900), c.parentRow);
        const QPersistentModelIndex first = model.index(0, 0);
        const QPersistentModelIndex mid = model.index(model.rowOf("mid"), 0);
        ASSERT_EQ(mid.data().toString(), QStringLiteral("mid"));
        model.setSort(c.sort);
        EXPECT_EQ(RowNames(&model), c.rows);
        EXPECT_EQ(first.row(), 0);
        EXPECT_EQ(first.data().toString(), c.parentRow ? QStringLiteral("..") : "zz");
        EXPECT_EQ(mid.data().toString(), QStringLiteral("mid"));
        for (int row = 0; row < model.rowCount(); ++row) {
            EXPECT_EQ(QString::fromUtf8(model.nameAt(row).toByteArray()), c.rows[row]);
            if (!model.isParentRow(row)) {
                EXPECT_EQ(model.rowOf(model.itemAt(row).name), row);
            }
        }
        // A new listing of the folder keeps the order below "..".
        model.setFolder("/www", Listing(900), c.parentRow);
        EXPECT_EQ(RowNames(&model), c.rows);
    }
}

// The search window's results sort by a clicked header, folders on top; the
// order holds while results arrive and is found again by the next window.
TEST(ListSort, LoopWindowsSortAndKeepTheirOrder) {
    LiveFrame live;
    for (const auto& [path, size] : {std::pair{"found/big.txt", 900},
                                     {"found/a/small.txt", 1},
                                     {"found/b/mid.txt", 50},
                                     {"found/z.txt/keep", 3}}) {
        ASSERT_TRUE(live.server.writeFile(QString::fromLatin1(path), QByteArray(size, 'x')));
    }
    ASSERT_TRUE(live.connect());
    ASSERT_TRUE(live.showRemoteFolder("/found"));
    RemoteTreeModel* tree = live.remote()->treeModel();
    auto open = [&] {
        std::unique_ptr<QMenu> menu(live.remote()->buildTreeMenu(tree->indexOf("/found"), nullptr));
        if (QAction* a = FindMenuAction(menu.get(), QStringLiteral("Search")))
            a->trigger();
        return live.frame->findChild<SearchWindow*>();
    };
    auto search = [&](SearchWindow* w) {
        w->nameEdit()->setText(QStringLiteral("*.txt"));
        w->kindBox(SearchCriteria::File)->setChecked(true);
        w->kindBox(SearchCriteria::Folder)->setChecked(true);
        w->startButton()->click();
        return WorkbenchHarness::waitFor(
            [&] { return !w->running() && w->model()->rowCount() == 4; });
    };

    auto* w = open();
    ASSERT_TRUE(w);
    ASSERT_TRUE(search(w));
    auto* view = w->findChild<QTreeView*>();
    EXPECT_EQ(RowNames(w->model()), (QStringList{"z.txt", "big.txt", "mid.txt", "small.txt"}));
    ClickHeader(view, 1);
    EXPECT_EQ(RowNames(w->model()), (QStringList{"z.txt", "small.txt", "mid.txt", "big.txt"}));
    view->setCurrentIndex(w->model()->index(2, 0));
    ClickHeader(view, 1);
    EXPECT_EQ(RowNames(w->model()), (QStringList{"z.txt", "big.txt", "mid.txt", "small.txt"}));
    EXPECT_EQ(view->currentIndex().data().toString(), QStringLiteral("mid.txt"));
    // Each row names its folder, the rows of one folder no longer being together.
    EXPECT_EQ(w->model()->index(2, 6).data().toString(), QStringLiteral("/found/b"));
    w->close();
    ASSERT_TRUE(WorkbenchHarness::waitFor([&] { return !live.frame->findChild<SearchWindow*>(); }));

    // Opened again: the same order, for results that come in anew.
    w = open();
    ASSERT_TRUE(w);
    view = w->findChild<QTreeView*>();
    EXPECT_EQ(view->header()->sortIndicatorSection(), 1);
    EXPECT_EQ(view->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    ASSERT_TRUE(search(w));
    EXPECT_EQ(RowNames(w->model()), (QStringList{"z.txt", "big.txt", "mid.txt", "small.txt"}));
    // Back to the first column for the windows of other tests.
    ClickHeader(view, 0);
    w->close();
}

}  // namespace
