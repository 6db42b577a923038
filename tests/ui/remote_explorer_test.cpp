#include "remote/ui/remote_explorer.h"

#include "platform/help_viewer.h"
#include "platform/ui/explorer_host.h"
#include "remote/action_engine.h"
#include "remote/download_actions.h"
#include "remote/folder_actions.h"
#include "remote/remote_drag_data.h"
#include "remote/remote_list_columns.h"
#include "remote/remote_menu_rules.h"
#include "remote/ui/explorer_item_view.h"
#include "remote/ui/remote_list_model.h"
#include "remote/ui/remote_tree_model.h"
#include "session/ftp_session.h"
#include "session/tcp_transport.h"
#include "support/fake_transport.h"
#include "support/pyftpdlib_server.h"
#include "support/scripted_prompter.h"
#include "support/server_account.h"
#include "support/wait_until.h"

#include "screen_reader_menu.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPaintEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using namespace RemoteMenuId;

class NoHelp : public HelpViewer {
public:
    void showTopic(const QString&) override {}
};

// The window as the explorer sees it: scripted answers, stored folders, and a
// record of the loops and tool menus asked for.
class FakeHost : public ExplorerHost {
public:
    ScriptedPrompter prompts;
    NoHelp helpViewer;
    QString localProject, remoteProject, concerned;
    bool loopsAvailable = true;
    QList<QPair<int, QByteArray>> loops;
    QStringList viewEditPaths;

    Prompter& prompter() override { return prompts; }
    HelpViewer& help() override { return helpViewer; }
    QString localProjectFolder() const override { return localProject; }
    QString remoteProjectFolder() const override { return remoteProject; }
    void storeLocalProjectFolder(const QString& f) override { localProject = f; }
    void storeRemoteProjectFolder(const QString& f) override { remoteProject = f; }
    void storeConcernedFile(const QString& p) override { concerned = p; }
    void fillViewEditMenu(QMenu* menu, bool remote, bool single, const QString& path) override {
        EXPECT_TRUE(remote);
        menu->addAction(QStringLiteral("Tool"))->setEnabled(single);
        menu->setEnabled(single);
        viewEditPaths << path;
    }
    QString httpAddress(const QString& p) const override {
        return QStringLiteral("http://example.org") + p;
    }
    bool loopAvailable(Loop) const override { return loopsAvailable; }
    void startLoop(Loop loop, const QByteArray& folder) override {
        loops.append({int(loop), folder});
    }
};

RemoteItem item(char kind, const QByteArray& name, const QByteArray& permissions = "rwxr-x---",
                qint64 size = 0) {
    RemoteItem i;
    i.kind = kind;
    i.name = name;
    i.permissions = permissions;
    i.size = size;
    return i;
}

RemoteItemList listOf(std::initializer_list<RemoteItem> items) {
    RemoteItemList list;
    for (const RemoteItem& i : items)
        list.append(i);
    list.sort();
    return list;
}

// An explorer over a session whose server never answers: the engine's signals are
// played by hand and the queue shows what would be sent.
struct OfflineExplorer {
    FakeTransportFactory transports;
    FtpSession session{&transports};
    ActionEngine engine{session};
    FakeHost host;
    RemoteExplorer explorer;

    explicit OfflineExplorer(RemoteExplorer::Role role = RemoteExplorer::Role::Normal)
        : explorer(engine, session, host, role) {
        session.connectNew();
        explorer.resize(900, 400);
        explorer.setLocalFolderSource([] { return QStringLiteral("/home/u/down"); });
        engine.downloadOptions.showAlert = 0;
        engine.uploadOptions.showAlert = 0;
        RemoteItem link = item('l', "lnk");
        link.linkTarget = "/usr/lib";
        engine.announceRoot("/", listOf({item('d', "www"), item('d', "pub"), link,
                                         item('-', "a.txt", "rw-r--r--", 1500)}));
    }

    QModelIndex node(const QByteArray& path) { return explorer.treeModel()->indexOf(path); }
    void listFolder(const QByteArray& folder, const RemoteItemList& items) {
        // What a refresh of the folder delivers to the views.
        explorer.treeModel()->applyListing(folder, std::make_shared<const RemoteItemList>(items));
        explorer.treeView()->setCurrentIndex(node(folder));
    }
    void selectRows(const QList<QByteArray>& names) {
        auto* list = explorer.listView();
        list->clearSelection();
        for (const QByteArray& name : names) {
            const int row = explorer.listModel()->rowOf(name);
            list->selectionModel()->select(explorer.listModel()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
            list->selectionModel()->setCurrentIndex(explorer.listModel()->index(row, 0),
                                                    QItemSelectionModel::NoUpdate);
        }
    }
    int queued() const { return session.queue().size(); }
};

std::vector<std::pair<int, bool>> menuState(QMenu* menu) {
    std::vector<std::pair<int, bool>> out;
    for (QAction* a : menu->actions()) {
        if (a->menu()) {
            for (QAction* sub : a->menu()->actions()) {
                if (sub->data().toInt())
                    out.push_back({sub->data().toInt(), sub->isEnabled() && a->isEnabled()});
            }
        } else if (a->data().toInt()) {
            out.push_back({a->data().toInt(), a->isEnabled()});
        }
    }
    return out;
}

TEST(RemoteListModel, ColumnsOfARow) {
    RemoteListModel model;
    RemoteItem file = item('-', "report.pdf", "rwxr-x---", 1234567);
    file.owner = "u";
    file.group = "g";
    file.year = 2020;
    file.month = 1;
    file.day = 2;
    model.setFolder("/docs", std::make_shared<const RemoteItemList>(listOf(
                                 {item('d', "b"), item('d', "a"), file, item('-', "README")})));
    model.setSizeStyle(2);
    ASSERT_EQ(model.rowCount(), 4);
    const int row = model.rowOf("report.pdf");
    struct Cell {
        int column;
        QVariant text;
    };
    const Cell cells[] = {{0, QStringLiteral("report.pdf")},
                          {1, QStringLiteral("1,234,567")},
                          {2, QStringLiteral("pdf")},
                          {3, QStringLiteral("2020-01-02")},
                          {4, QStringLiteral("rwxr-x---")},
                          {5, QStringLiteral("u/g")},
                          {6, 2}};
    for (const Cell& c : cells)
        EXPECT_EQ(model.index(row, c.column).data(), c.text) << c.column;
    EXPECT_EQ(model.index(0, 0).data().toString(), QStringLiteral("a"));
    EXPECT_EQ(model.index(1, 6).data().toInt(), 2);
    EXPECT_EQ(model.index(row, 1).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight,
              Qt::AlignRight);

    model.setNumericPermissions(true);
    EXPECT_EQ(model.index(row, 4).data().toString(), QStringLiteral("750"));
    EXPECT_TRUE(model.index(row, 4).data(Qt::FontRole).value<QFont>().fixedPitch() ||
                model.index(row, 4).data(Qt::FontRole).isValid());
    EXPECT_FALSE(model.index(row, 0).data(Qt::DecorationRole).value<QIcon>().isNull());

    // Editing a name asks for a rename; the row keeps its name until listed.
    QSignalSpy renames(&model, &RemoteListModel::renameRequested);
    EXPECT_FALSE(model.setData(model.index(row, 0), QStringLiteral("new.pdf"), Qt::EditRole));
    ASSERT_EQ(renames.size(), 1);
    EXPECT_EQ(renames[0][1].toString(), QStringLiteral("new.pdf"));
    EXPECT_EQ(model.index(row, 0).data().toString(), QStringLiteral("report.pdf"));
}

TEST(RemoteExplorer, TreeKeepsSubtreesAcrossRelistings) {
    OfflineExplorer o;
    o.listFolder("/www", listOf({item('d', "site"), item('-', "index.html")}));
    o.listFolder("/www/site", listOf({item('d', "img")}));
    ASSERT_TRUE(o.node("/www/site/img").isValid());
    // A new listing of /www with one more folder keeps site's subtree.
    o.listFolder("/www", listOf({item('d', "site"), item('d', "new")}));
    EXPECT_TRUE(o.node("/www/site/img").isValid());
    EXPECT_TRUE(o.node("/www/new").isValid());
    o.listFolder("/www", listOf({item('d', "new")}));
    EXPECT_FALSE(o.node("/www/site").isValid());
    // Selecting a folder never listed clears the list (but for "..") and
    // asks for it.
    const int before = o.queued();
    o.explorer.treeView()->setCurrentIndex(o.node("/pub"));
    EXPECT_EQ(o.explorer.listModel()->rowCount(), 1);
    EXPECT_TRUE(o.explorer.listModel()->isParentRow(0));
    EXPECT_EQ(o.explorer.currentFolder(), QByteArray("/pub"));
    EXPECT_EQ(o.queued(), before + 1);
}

TEST(RemoteExplorer, MenusCarryIdsAndRules) {
    OfflineExplorer o;
    o.host.loopsAvailable = false;
    struct Case {
        const char* what;
        QByteArray node;
        std::vector<std::pair<int, bool>> items;
    };
    const Case cases[] = {
        {"root",
         "/",
         {{kTreeDownload, true},
          {kTreeRename, false},
          {kTreeDelete, false},
          {kTreePermissions, true},
          {kTreeChangeCase, false},
          {kTreeSearch, false},
          {kTreeViewPath, true},
          {kTreeSetProject, false},
          {kTreeRefresh, true},
          {kTreeReset, true},
          {kTreeCreateFolder, true}}},
        {"link (links pass the default filter)",
         "/lnk",
         {{kTreeDownload, true},
          {kTreeRename, true},
          {kTreeDelete, true},
          {kTreePermissions, true},
          {kTreeLinkInfo, true},
          {kTreeChangeCase, false},
          {kTreeSearch, false},
          {kTreeViewPath, true},
          {kTreeSetProject, true},
          {kTreeRefresh, true},
          {kTreeReset, true},
          {kTreeCreateFolder, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<QMenu> menu(o.explorer.buildTreeMenu(o.node(c.node), nullptr));
        EXPECT_EQ(menuState(menu.get()), c.items);
        EXPECT_EQ(menu->actions().first()->text(), QStringLiteral("Download to \t/home/u/down"));
    }
    o.explorer.setServerKindFlags(0);
    o.explorer.setLocalFolderSource({});
    std::unique_ptr<QMenu> filtered(o.explorer.buildTreeMenu(o.node("/lnk"), nullptr));
    const auto state = menuState(filtered.get());
    EXPECT_EQ(state[0], std::make_pair(kTreeDownload, false));
    EXPECT_EQ(state[2], std::make_pair(kTreeDelete, false));

    // The list: one file selected fills "View/edit by" with its server path.
    o.explorer.treeView()->setCurrentIndex(o.node("/"));
    o.selectRows({"a.txt"});
    std::unique_ptr<QMenu> list(o.explorer.buildListMenu(nullptr));
    EXPECT_EQ(menuState(list.get()),
              (std::vector<std::pair<int, bool>>{{kListFtpWizard, true},
                                                 {kListToolHelp, true},
                                                 {kListDownload, false},
                                                 {kListRename, true},
                                                 {kListDelete, true},
                                                 {kListPermissions, true},
                                                 {kListViewPath, true},
                                                 {kListConcernedFile, true}}));
    EXPECT_EQ(o.host.viewEditPaths, QStringList{QStringLiteral("/a.txt")});
    EXPECT_EQ(list->actions().first()->text(), QStringLiteral("View/edit by"));
}

TEST(RemoteExplorer, GuardsAndQuestionsComeFirst) {
    OfflineExplorer o;
    o.host.remoteProject = QStringLiteral("/www/site");
    o.listFolder("/www", listOf({item('d', "site")}));
    o.explorer.treeView()->setCurrentIndex(o.node("/"));
    const int idle = o.queued();

    // The parent of the project folder: refused before any question.
    o.selectRows({"www", "a.txt"});
    o.explorer.runListCommand(kListDelete);
    o.explorer.runTreeCommand(kTreeDelete, o.node("/www/site"));
    o.explorer.renameListRow(o.explorer.listModel()->rowOf("www"), QStringLiteral("w2"));
    EXPECT_EQ(
        o.host.prompts.messages(),
        (QStringList{QStringLiteral("Can not delete, because it is parent of project Folder."),
                     QStringLiteral("Can not delete, because it is parent of project Folder."),
                     QStringLiteral("Can not rename, because it is parent of project Folder")}));
    EXPECT_TRUE(o.host.prompts.questions().isEmpty());
    EXPECT_EQ(o.queued(), idle);

    // Other entries are asked about; No keeps everything.
    o.selectRows({"a.txt"});
    o.host.prompts.expectQuestion(QStringLiteral("Delete the selected items?"), false);
    o.explorer.runListCommand(kListDelete);
    o.host.prompts.expectQuestion(QStringLiteral("Delete the selected item?"), false);
    o.explorer.runTreeCommand(kTreeDelete, o.node("/pub"));
    EXPECT_EQ(o.queued(), idle);
    o.host.prompts.expectQuestion(QStringLiteral("Delete the selected items?"), true);
    o.explorer.runListCommand(kListDelete);
    EXPECT_GT(o.queued(), idle);

    // Renames that send nothing.
    const int before = o.queued();
    for (const char* text : {"", "a.txt", ".", "..", "x/y"})
        o.explorer.renameListRow(o.explorer.listModel()->rowOf("a.txt"), QString::fromLatin1(text));
    EXPECT_EQ(o.queued(), before);
    EXPECT_TRUE(o.host.prompts.messages().size() == 3);
}

TEST(RemoteExplorer, ProjectPageSkipsTheGuards) {
    OfflineExplorer o(RemoteExplorer::Role::Project);
    o.host.remoteProject = QStringLiteral("/");
    o.explorer.setProjectFolder(QStringLiteral("/"));
    o.listFolder("/", listOf({item('d', "www"), item('-', "a.txt")}));
    std::unique_ptr<QMenu> menu(o.explorer.buildTreeMenu(o.node("/www"), nullptr));
    const auto state = menuState(menu.get());
    EXPECT_NE(std::find(state.begin(), state.end(), std::make_pair(kTreeCompare, true)),
              state.end());
    o.explorer.runTreeCommand(kTreeCompare, o.node("/www"));
    ASSERT_EQ(o.host.loops.size(), 1);
    EXPECT_EQ(o.host.loops[0].second, QByteArray("/www"));
    o.host.prompts.expectQuestion(QStringLiteral("Delete the selected item?"), false);
    o.explorer.runTreeCommand(kTreeDelete, o.node("/www"));
    EXPECT_TRUE(o.host.prompts.messages().isEmpty());

    o.host.prompts.expectQuestion(
        QStringLiteral("Remove project Folder?\n\nThe action does not affect server files."), true);
    EXPECT_TRUE(o.explorer.clearProjectFolder());
    EXPECT_TRUE(o.host.remoteProject.isEmpty());
    EXPECT_FALSE(o.explorer.treeModel()->hasRoot());
}

TEST(RemoteExplorer, ProjectFolderConcernedFileAndLoops) {
    OfflineExplorer o;
    QSignalSpy changed(&o.explorer, &RemoteExplorer::remoteProjectFolderChanged);
    o.explorer.runTreeCommand(kTreeSetProject, o.node("/www"));  // none set: no question
    EXPECT_EQ(o.host.remoteProject, QStringLiteral("/www"));
    EXPECT_EQ(o.engine.remoteProjectFolder(), QByteArray("/www"));
    o.host.remoteProject = QStringLiteral("/WWW");
    o.explorer.runTreeCommand(kTreeSetProject, o.node("/www"));  // same, other case
    o.host.prompts.expectQuestion(QStringLiteral("Do you want to change remote project Folder?"),
                                  false);
    o.explorer.runTreeCommand(kTreeSetProject, o.node("/pub"));
    EXPECT_EQ(o.host.remoteProject, QStringLiteral("/WWW"));
    EXPECT_EQ(changed.size(), 1);

    o.explorer.treeView()->setCurrentIndex(o.node("/"));
    o.selectRows({"a.txt"});
    o.explorer.setConcernedFileSource([&] { return o.host.concerned; });
    o.explorer.runListCommand(kListConcernedFile);
    EXPECT_EQ(o.host.concerned, QStringLiteral("/a.txt"));
    o.explorer.runListCommand(kListConcernedFile);  // already it: nothing asked
    o.host.concerned = QStringLiteral("/other.txt");
    o.host.prompts.expectQuestion(QStringLiteral("Replace concerned file?"), true);
    o.explorer.runListCommand(kListConcernedFile);
    EXPECT_EQ(o.host.concerned, QStringLiteral("/a.txt"));

    // Search in a listed empty folder, then while busy.
    o.listFolder("/pub", RemoteItemList());
    o.explorer.runTreeCommand(kTreeSearch, o.node("/pub"));
    o.explorer.runTreeCommand(kTreeLinkInfo, o.node("/lnk"));
    o.explorer.runTreeCommand(kTreeSearch, o.node("/www"));
    EXPECT_EQ(o.host.loops.size(), 1);
    o.engine.refresh("/www");
    o.explorer.runTreeCommand(kTreeChangeCase, o.node("/www"));
    EXPECT_EQ(o.host.prompts.messages(),
              (QStringList{QStringLiteral("Can not start searching in empty directory"),
                           QStringLiteral("The link pointers to\n\n/usr/lib\n\n"),
                           QStringLiteral("Server is busy, ncan not start changing now.")}));
}

// "Download to (Local project Folder)/www/site" puts the folder there, not
// inside it; outside the project the folder goes into the open local folder.
TEST(RemoteExplorer, TreeDownloadLandsWhereItsMenuSays) {
    OfflineExplorer o;
    o.host.localProject = QStringLiteral("/home/u/proj");
    o.host.remoteProject = QStringLiteral("/www");
    o.listFolder("/www", listOf({item('d', "site")}));
    const struct {
        QByteArray node;
        QByteArray remoteFolder;
        QByteArray selected;  // empty: the folder's entries
        QString localFolder;
    } cases[] = {
        {"/www/site", "/www/site", "", "/home/u/proj/site"},
        {"/www", "/www", "", "/home/u/proj"},
        {"/pub", "/", "pub", "/home/u/down"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.node.constData());
        o.session.clearQueue();
        o.explorer.runTreeCommand(kTreeDownload, o.node(c.node));
        const DownloadAction* action = nullptr;
        for (int i = 0; i < o.session.queue().size() && !action; ++i)
            action = dynamic_cast<const DownloadAction*>(o.session.queue().at(i));
        ASSERT_TRUE(action);
        EXPECT_EQ(action->folder, c.remoteFolder);
        EXPECT_EQ(action->localFolder, c.localFolder);
        EXPECT_EQ(action->selection.size(), c.selected.isEmpty() ? 0 : 1);
        if (!c.selected.isEmpty() && action->selection.size() == 1) {
            EXPECT_EQ(action->selection.at(0).name, c.selected);
        }
    }
}

TEST(RemoteExplorer, DropsOnTheTree) {
    OfflineExplorer o;
    o.listFolder("/www", listOf({item('d', "site")}));
    const int idle = o.queued();
    auto mimeOf = [](const RemoteDragData& drag) {
        auto* mime = new QMimeData;
        mime->setData(QString::fromLatin1(kRemoteDragMimeType), EncodeRemoteDrag(drag));
        return std::unique_ptr<QMimeData>(mime);
    };
    // A node onto its own child.
    auto node = mimeOf({"/", {item('d', "www")}});
    o.explorer.dropOnTree(node.get(), o.node("/www/site"), true);
    EXPECT_EQ(o.host.prompts.messages(), QStringList{QStringLiteral("Can not drop to the place")});
    EXPECT_EQ(o.queued(), idle);
    // List entries onto another folder move there.
    auto files = mimeOf({"/", {item('-', "a.txt")}});
    o.explorer.dropOnTree(files.get(), o.node("/pub"), false);
    EXPECT_GT(o.queued(), idle);
    // So do they onto a folder row of the list; a folder onto itself does not.
    o.listFolder("/www", listOf({item('d', "site"), item('-', "b.txt")}));
    const QModelIndex site =
        o.explorer.listModel()->index(o.explorer.listModel()->rowOf("site"), 0);
    auto siteItself = mimeOf({"/www", {item('d', "site")}});
    const int before = o.queued();
    o.explorer.dropOnList(siteItself.get(), site);
    EXPECT_EQ(o.queued(), before);
    EXPECT_EQ(o.host.prompts.messages().last(), QStringLiteral("Can not drop to the place"));
    auto b = mimeOf({"/www", {item('-', "b.txt")}});
    EXPECT_TRUE(o.explorer.canDropOnList(b.get(), site));
    o.explorer.dropOnList(b.get(), site);
    EXPECT_GT(o.queued(), before);

    // Desktop files go up; anything else is not taken.
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("up.txt")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();
    QMimeData urls;
    urls.setUrls({QUrl::fromLocalFile(f.fileName())});
    EXPECT_TRUE(o.explorer.canDropOnTree(&urls, o.node("/pub"), false));
    EXPECT_TRUE(o.explorer.canDropOnList(&urls, QModelIndex()));
    QMimeData text;
    text.setText(QStringLiteral("hello"));
    EXPECT_FALSE(o.explorer.canDropOnTree(&text, o.node("/pub"), false));
    EXPECT_FALSE(o.explorer.canDropOnList(files.get(), QModelIndex()));
    const int beforeUpload = o.queued();
    o.explorer.dropOnTree(&urls, o.node("/pub"), false);
    EXPECT_GT(o.queued(), beforeUpload);
}

TEST(RemoteExplorer, Keys) {
    OfflineExplorer o;
    o.explorer.show();
    o.listFolder("/www", listOf({item('d', "site")}));
    o.explorer.treeView()->setCurrentIndex(o.node("/"));
    auto* list = o.explorer.listView();
    list->setFocus();
    o.selectRows({"www"});
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(o.explorer.currentFolder(), QByteArray("/www"));
    QTest::keyClick(list, Qt::Key_Backspace);
    EXPECT_EQ(o.explorer.currentFolder(), QByteArray("/"));
    EXPECT_EQ(list->currentIndex().data().toString(), QStringLiteral("www"));
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list->selectionModel()->selectedRows().size(), o.explorer.listModel()->rowCount());
    o.selectRows({"a.txt"});
    o.host.prompts.expectQuestion(QStringLiteral("Delete the selected items?"), false);
    QTest::keyClick(list, Qt::Key_Delete);
    QTest::keyClick(list, Qt::Key_F2);
    auto* editor = list->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("a.txt"));
    QTest::keyClick(editor, Qt::Key_Escape);
    const int before = o.queued();
    QTest::keyClick(list, Qt::Key_F5);
    EXPECT_EQ(o.queued(), before + 1);

    // The folder listed again without the current row (deleted): the row below takes its
    // place, chosen, so Down goes on from there.
    o.selectRows({"pub"});
    list->setCurrentIndex(o.explorer.listModel()->index(o.explorer.listModel()->rowOf("pub"), 0));
    RefreshFolderAction refresh(o.engine, "/", {});
    o.engine.announceListing(refresh, listOf({item('d', "www"), item('-', "a.txt")}));
    EXPECT_EQ(list->currentIndex().data().toString(), QStringLiteral("www"));
    EXPECT_EQ(list->selectionModel()->selectedRows().size(), 1);
}

// Both menus open from the keyboard on the current row, scrolled into sight,
// and a screen reader reads them from the program's root while they are open.
TEST(RemoteExplorer, KeysOpenTheMenusWhereScreenReadersReadThem) {
    OfflineExplorer o;
    o.explorer.show();
    std::vector<RemoteItem> files{item('d', "site")};
    for (int i = 0; i < 60; ++i)
        files.push_back(item('-', QByteArray("page") + QByteArray::number(i) + ".html"));
    RemoteItemList listing;
    for (const RemoteItem& i : files)
        listing.append(i);
    listing.sort();
    o.listFolder("/www", listing);
    ExplorerItemView* tree = o.explorer.treeView();
    ExplorerItemView* list = o.explorer.listView();
    const QStringList treeEntries{"Download to /home/u/down",
                                  "Rename",
                                  "Delete",
                                  "Permissions",
                                  "Loop",
                                  "View FTP and HTTP path",
                                  "Set as remote project Folder",
                                  "Refresh",
                                  "Reset",
                                  "Create sub-directory"};
    const QStringList listEntries{
        "View/edit by",           "Download to /home/u/down", "Rename", "Delete", "Permissions",
        "View FTP and HTTP path", "Set as concerned file"};
    const struct {
        const char* what;
        ExplorerItemView* view;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QStringList entries;
    } cases[] = {
        {"tree, Shift+F10", tree, Qt::Key_F10, Qt::ShiftModifier, treeEntries},
        {"tree, Menu key", tree, Qt::Key_Menu, Qt::NoModifier, treeEntries},
        {"list, Shift+F10", list, Qt::Key_F10, Qt::ShiftModifier, listEntries},
        {"list, Menu key", list, Qt::Key_Menu, Qt::NoModifier, listEntries},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        tree->setCurrentIndex(o.node("/www"));
        if (c.view == list)
            o.selectRows({"page59.html"});
        c.view->scrollToTop();
        c.view->setFocus();
        const ScreenReaderMenu menu =
            ReadContextMenu([&] { QTest::keyClick(c.view, c.key, c.modifiers); });
        ASSERT_TRUE(menu.opened);
        EXPECT_TRUE(menu.listedByRoot);
        EXPECT_TRUE(menu.rootIsParent);
        EXPECT_EQ(menu.entries, c.entries);
        const QRect row = c.view->visualRect(c.view->currentIndex());
        EXPECT_TRUE(c.view->viewport()->rect().contains(row));
        const QRect onScreen(c.view->viewport()->mapToGlobal(row.topLeft()), row.size());
        EXPECT_TRUE(onScreen.contains(onScreen.center().x(), menu.at.y()))
            << menu.at.y() << " not in " << onScreen.top() << ".." << onScreen.bottom();
    }
}

TEST(RemoteExplorerLive, ListDownloadAndDeleteAgainstPyftpdlib) {
    PyftpdlibServer server;
    const QByteArray content = QByteArray("first line\r\n") + QByteArray(70000, '\xa5') + "end";
    QDir(server.rootPath()).mkpath(QStringLiteral("docs"));
    {
        QFile f(server.rootPath() + QStringLiteral("/docs/data file.bin"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    ASSERT_TRUE(server.start()) << server.lastError().toStdString();
    QTemporaryDir local;

    TcpTransportFactory transports;
    FtpSession session(&transports);
    ActionEngine engine(session);
    engine.downloadOptions.showAlert = 0;
    FakeHost host;
    RemoteExplorer explorer(engine, session, host, RemoteExplorer::Role::Normal);
    explorer.setLocalFolderSource([&] { return local.path(); });
    explorer.resize(900, 400);
    explorer.show();
    session.setOptions(SessionOptionsFor(server));
    session.connectNew();
    auto idle = [&] { return session.loggedIn() && session.queue().isEmpty(); };
    ASSERT_TRUE(waitUntil([&] { return idle() && explorer.treeModel()->hasRoot(); }, 15000));

    const QModelIndex docs = explorer.treeModel()->indexOf("/docs");
    ASSERT_TRUE(docs.isValid());
    explorer.treeView()->setCurrentIndex(docs);
    ASSERT_TRUE(waitUntil([&] { return explorer.listModel()->rowCount() == 2; }, 10000));
    const int row = explorer.listModel()->rowOf("data file.bin");
    ASSERT_EQ(row, 1);  // below ".."
    explorer.listView()->selectionModel()->select(
        explorer.listModel()->index(row, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);

    // F5 lists the folder again and keeps the chosen row chosen and current.
    explorer.listView()->selectionModel()->setCurrentIndex(explorer.listModel()->index(row, 0),
                                                           QItemSelectionModel::NoUpdate);
    QTest::keyClick(explorer.listView(), Qt::Key_F5);
    ASSERT_TRUE(waitUntil(idle, 15000));
    ASSERT_EQ(explorer.listView()->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(explorer.listView()->selectionModel()->selectedRows()[0].row(), row);
    EXPECT_EQ(explorer.listView()->currentIndex().row(), row);

    explorer.runListCommand(kListDownload);
    const QString target = local.filePath(QStringLiteral("data file.bin"));
    ASSERT_TRUE(waitUntil([&] { return idle() && QFile::exists(target); }, 15000));
    QFile downloaded(target);
    ASSERT_TRUE(downloaded.open(QIODevice::ReadOnly));
    EXPECT_EQ(downloaded.readAll(), content);

    host.prompts.expectQuestion(QStringLiteral("Delete the selected items?"), true);
    explorer.runListCommand(kListDelete);
    ASSERT_TRUE(waitUntil([&] { return idle() && explorer.listModel()->rowCount() == 1; }, 15000));
    EXPECT_FALSE(QFile::exists(server.rootPath() + QStringLiteral("/docs/data file.bin")));
    session.closeConnection();
}

TEST(RemoteExplorer, DotDotAboveTheStartFolderRootsTheTreeAtTheServersRoot) {
    OfflineExplorer o;
    o.engine.announceRoot("/home/u", listOf({item('d', "site"), item('-', "a.txt")}));
    RemoteListModel* m = o.explorer.listModel();
    ASSERT_EQ(o.explorer.currentFolder(), QByteArray("/home/u"));
    ASSERT_TRUE(m->isParentRow(0));
    EXPECT_EQ(m->rowOf("site"), 1);
    EXPECT_FALSE(m->flags(m->index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_EQ(m->mimeData({m->index(0, 0)}), nullptr);  // ".." is never dragged

    const int before = o.queued();
    o.explorer.listView()->setCurrentIndex(m->index(0, 0));
    QTest::keyClick(o.explorer.listView(), Qt::Key_Return);
    EXPECT_EQ(o.explorer.treeModel()->pathOf(o.explorer.treeModel()->rootIndex()), "/");
    EXPECT_EQ(o.explorer.currentFolder(), QByteArray("/home"));
    EXPECT_EQ(o.queued(), before + 2);  // "/" opened in the tree, and "/home" listed
    EXPECT_EQ(o.explorer.pathBar()->text(), "/home");

    // The remote project page stops at its root.
    OfflineExplorer project(RemoteExplorer::Role::Project);
    project.host.remoteProject = "/www";
    project.explorer.setProjectFolder("/www");
    project.explorer.treeModel()->applyListing(
        "/www", std::make_shared<const RemoteItemList>(listOf({item('-', "i.html")})));
    project.explorer.treeView()->setCurrentIndex(project.explorer.treeModel()->rootIndex());
    EXPECT_EQ(project.explorer.currentFolder(), QByteArray("/www"));
    EXPECT_FALSE(project.explorer.listModel()->hasParentRow());
    EXPECT_FALSE(project.explorer.goToFolder("/etc"));
    EXPECT_EQ(project.host.prompts.messages().value(0),
              "/etc is outside the remote project folder.");
}

TEST(RemoteExplorer, NarrowListCutsNamesNeverSizesDatesOrNumbers) {
    OfflineExplorer o;  // the list about 670 pixels wide
    o.explorer.show();
    o.explorer.setSizeStyle(2);
    RemoteItem big =
        item('-', "a rather long file name that cannot fit.tar.gz", "rw-r--r--", 123456789012);
    big.year = 2024;
    big.month = 11;
    big.day = 30;
    big.time = "23:59";
    big.owner = "webmaster";
    big.group = "www-data";
    o.listFolder("/www", listOf({big}));
    QAbstractItemView* list = o.explorer.listView();
    QHeaderView* header = o.explorer.listView()->header();
    const auto fits = [&](RemoteListColumn c) {
        return header->sectionSize(int(c)) >= list->sizeHintForColumn(int(c));
    };
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return fits(RemoteListColumn::Size) && fits(RemoteListColumn::Modified); }, 5000));
    EXPECT_TRUE(fits(RemoteListColumn::Number));
    // The name gives way but stays there, elided in the middle.
    EXPECT_FALSE(fits(RemoteListColumn::Name));
    EXPECT_GT(header->sectionSize(0), list->fontMetrics().averageCharWidth() * 8);
    EXPECT_EQ(list->textElideMode(), Qt::ElideMiddle);
}

}  // namespace

namespace {

// A list as narrow as the main window leaves it beside the help pane, filled
// after it was shown: short names, texts and every header stay whole (the
// list scrolls sideways instead), a long owner is cut in the middle.
TEST(RemoteExplorer, ColumnsRefitWhenAListingArrivesInANarrowList) {
    OfflineExplorer o;
    o.explorer.resize(560, 400);
    o.explorer.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&o.explorer));
    RemoteItemList items;
    for (int i = 1; i <= 30; ++i) {
        RemoteItem page =
            item('-', "page" + QByteArray::number(i) + ".html", "rw-r--r--", 1000 * i);
        page.owner = "web";
        page.group = "www";
        items.append(page);
    }
    items.sort();
    o.listFolder("/www", items);
    QAbstractItemView* list = o.explorer.listView();
    QHeaderView* header = o.explorer.listView()->header();
    const auto fits = [&](int c) {
        return header->sectionSize(c) >=
               qMax(list->sizeHintForColumn(c), header->sectionSizeHint(c));
    };
    const auto allFit = [&] {
        for (int c = 0; c < header->count(); ++c)
            if (!fits(c))
                return false;
        return true;
    };
    EXPECT_TRUE(QTest::qWaitFor(allFit, 5000));
    // A long text gives way, its header does not.
    RemoteItem odd = items.at(0);
    odd.owner = "a-very-long-owner-name";
    odd.group = "and-a-group-to-match";
    items.append(odd);
    o.listFolder("/pub", items);
    const int owner = int(RemoteListColumn::OwnerGroup);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !fits(owner); }, 5000));
    EXPECT_GE(header->sectionSize(owner), header->sectionSizeHint(owner));
    for (int c = 0; c < header->count(); ++c)
        EXPECT_TRUE(c == owner || fits(c))
            << "column " << c << ": " << header->sectionSize(c) << " < "
            << qMax(list->sizeHintForColumn(c), header->sectionSizeHint(c));
}

// What a widget repainted while this is alive.
struct Repainted : QObject {
    explicit Repainted(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            region += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
    QRegion region;
};

// A folder keeps its expand arrow until a listing shows it holds no folder or
// link, and gets it back when a later listing shows one, whether it was chosen
// or opened when its listing came; the row is drawn anew up to its left edge,
// where the arrow is.
TEST(RemoteExplorer, AListedFolderShowsAnArrowOnlyWhenItHoldsFolders) {
    OfflineExplorer o;
    ExplorerItemView* tree = o.explorer.treeView();
    o.explorer.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&o.explorer));
    const struct {
        const char* what;
        QByteArray folder;
        bool opened;  // expanded rather than chosen
        RemoteItemList listing;
        bool arrow;
    } cases[] = {
        {"chosen, files only", "/pub", false, listOf({item('-', "a.txt")}), false},
        {"listed again with a folder", "/pub", false, listOf({item('d', "sub")}), true},
        {"then with a link only", "/pub", false, listOf({item('l', "lnk")}), true},
        {"then empty", "/pub", false, {}, false},
        {"opened, empty", "/www", true, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QModelIndex node = o.node(c.folder);
        if (c.opened)
            tree->expand(node);
        else
            tree->setCurrentIndex(node);
        QCoreApplication::processEvents();  // painted as it was
        Repainted repainted(tree->viewport());
        o.explorer.treeModel()->applyListing(c.folder,
                                             std::make_shared<const RemoteItemList>(c.listing));
        EXPECT_EQ(o.explorer.treeModel()->hasChildren(node), c.arrow);
        const QRect row = tree->visualRect(node);
        const QRegion branch(0, row.top(), row.left(), row.height());
        EXPECT_TRUE(waitUntil([&] { return branch.subtracted(repainted.region).isEmpty(); }, 5000));
    }
}

}  // namespace
