#pragma once

#include "app/ui/main_frame.h"
#include "app/workbench.h"
#include "remote/ui/explorer_item_view.h"
#include "remote/ui/remote_explorer.h"
#include "remote/ui/remote_list_model.h"
#include "remote/ui/remote_tree_model.h"
#include "session/tcp_transport.h"
#include "support/pyftpdlib_server.h"
#include "support/scripted_prompter.h"
#include "support/server_account.h"
#include "workbench_harness.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QMenu>

#include <memory>

// The main window over a workbench that talks to a real pyftpdlib server, with
// scripted answers and a recording launcher.
struct LiveFrame {
    PyftpdlibServer server;
    QTemporaryDir folder;
    TcpTransportFactory transports;
    WorkbenchHarness fakes;
    ScriptedPrompter prompter;
    std::unique_ptr<Workbench> workbench;
    std::unique_ptr<MainFrame> frame;

    explicit LiveFrame(const PyftpdlibServer::Options& options = {}) : server(options) {}

    // Starts the server and opens the window; nothing is connected yet.
    bool open() {
        if (!server.start())
            return false;
        workbench = std::make_unique<Workbench>(folder.path(), fakes.services(transports));
        workbench->settings().KeepAliveInterval = 0;
        workbench->engine().downloadOptions.showAlert = 0;
        workbench->engine().uploadOptions.showAlert = 0;
        MainFrame::Services services;
        services.prompter = &prompter;
        frame = std::make_unique<MainFrame>(*workbench, services);
        frame->resize(1400, 900);
        frame->show();
        return true;
    }

    SiteRecord site() const {
        return SiteFor(server, QStringLiteral("Live"), QStringLiteral("pyftpdlib"));
    }

    // Opens the window and logs in to a stored site; waits for the first listing.
    bool connect() {
        if (!open())
            return false;
        workbench->sites().Records.push_back(site());
        workbench->sites().SelectedIndex = int(workbench->sites().Records.size()) - 1;
        if (!workbench->connectSelectedSite())
            return false;
        return idle() &&
               WorkbenchHarness::waitFor([&] { return remote()->treeModel()->hasRoot(); });
    }

    FtpSession& session() { return workbench->session(); }
    RemoteExplorer* remote() { return frame->remoteExplorer(); }
    bool idle(int ms = 15000) {
        return WorkbenchHarness::waitFor(
            [&] { return session().loggedIn() && !session().isBusy(); }, ms);
    }

    // Shows a remote folder in the Normal page's list, waiting for its rows.
    bool showRemoteFolder(const QByteArray& path) {
        const QModelIndex node = remote()->treeModel()->indexOf(path);
        if (!node.isValid())
            return false;
        remote()->treeView()->setCurrentIndex(node);
        return WorkbenchHarness::waitFor([&] {
            return remote()->listModel()->folder() == path &&
                   remote()->treeModel()->isListed(remote()->treeModel()->indexOf(path)) &&
                   !session().isBusy();
        });
    }
    // Selects one row of the remote list by name.
    bool selectRemote(const QByteArray& name) {
        const int row = remote()->listModel()->rowOf(name);
        if (row < 0)
            return false;
        QAbstractItemView* list = remote()->listView();
        const QModelIndex index = remote()->listModel()->index(row, 0);
        list->selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return true;
    }
};

// The action of a menu (or of one of its submenus) with that text.
inline QAction* FindMenuAction(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions()) {
        if (a->menu()) {
            if (QAction* found = FindMenuAction(a->menu(), text))
                return found;
        } else if (a->text() == text) {
            return a;
        }
    }
    return nullptr;
}
