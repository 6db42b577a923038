#pragma once

#include "app/workbench.h"
#include "platform/beeper.h"
#include "platform/shutdown.h"
#include "session/tcp_transport.h"
#include "support/desktop_recorders.h"
#include "support/pyftpdlib_server.h"
#include "support/scripted_prompter.h"

#include <QByteArray>
#include <QModelIndex>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class FtpServerProcess;
class MainFrame;
class QAbstractItemView;
class QDialog;
class QMenu;
class QMimeData;
class QWidget;
class RemoteExplorer;

// One user journey through the real main window: a real FTP server started for
// it, a workbench with its own settings folder, the window shown offscreen, and
// the hands of a user (menu entries, drops, keys, dialogs answered) plus the
// eyes (rows, status texts, messages). Questions in message boxes are answered
// by the scripted prompter; every wait is bounded and waits on a condition.
class Journey {
public:
    enum class Server { Pyftpdlib, Vsftpd };

    struct Options {
        Server server = Server::Pyftpdlib;
        PyftpdlibServer::Options pyftpdlib;
        // "Simultaneous transfers" for the journey; -1: the setting's default.
        int simultaneousTransfers = -1;
        // The site requires FTP over TLS (the server needs a certificate).
        bool tlsRequired = false;
    };

    // How long a journey waits for what a user would wait for.
    static constexpr int kWaitMs = 15000;

    Journey();
    explicit Journey(const Options& options);
    ~Journey();
    Journey(const Journey&) = delete;
    Journey& operator=(const Journey&) = delete;

    // Starts the server and opens the window; false with the reason in error().
    bool open();
    const QString& error() const { return error_; }
    // Closes the window as the user does and starts the program again on the
    // same settings folder; nothing is connected then.
    bool reopen();

    FtpServerProcess& server() const { return *server_; }
    // The pyftpdlib server, null for vsftpd (to change its options and restart it).
    PyftpdlibServer* pyftpdlib() const;
    // The folder below which the account may write ("/" or vsftpd's "/pub").
    QByteArray home() const;
    // A server path below home(): home() + "/" + rel.
    QByteArray remote(const QString& rel) const;
    // The server-side file below home().
    QString serverPath(const QString& rel) const;

    Workbench& workbench() const { return *workbench_; }
    MainFrame& frame() const { return *frame_; }
    ScriptedPrompter& prompter() { return prompter_; }
    // Help topics the window opened, in order.
    const QStringList& helpTopics() const { return help_.topics; }

    // The local folder the journey works in, and files below it.
    QString local(const QString& rel = QString()) const;
    bool writeLocal(const QString& rel, const QByteArray& bytes) const;
    static QByteArray readFile(const QString& path);
    // Every file and folder below a folder, sorted: "a/b.txt 1234 <sha1>" for
    // files, "a/" for folders; the same text on both sides means the same tree.
    static QStringList tree(const QString& folder);
    // Deterministic bytes of a given length, different per seed.
    static QByteArray bytes(int length, int seed = 1);

    // Stores a site for the server and connects to it as "velmora --site"
    // does, then waits until the server's folder is listed.
    bool logIn(const QString& localProject = QString(), const QByteArray& remoteProject = {});
    // The stored site's record, for journeys that change it first.
    SiteRecord site() const;

    // Runs the event loop until done() holds; false when it did not within ms.
    static bool waitFor(const std::function<bool()>& done, int ms = kWaitMs);
    // Waits until no connection has work left.
    bool waitIdle(int ms = kWaitMs);

    // --- what the user sees ---------------------------------------------------
    RemoteExplorer& remoteSide() const;
    // Names in the remote list of the Normal page, in row order ("..", which
    // stands for the folder above, left out).
    QStringList remoteNames() const;
    // The folder the remote list shows.
    QByteArray remoteFolder() const;
    // Names in the Normal page's local list, ".." and drives left out.
    QStringList localNames() const;
    QString localFolder() const;
    // The Size column of a row of each list, as shown.
    QString remoteSizeText(const QString& name) const;
    QString localSizeText(const QString& name) const;
    // The task panel's status line, as drawn.
    QString taskLine() const;
    QColor taskLineColor() const;
    // Everything written to the chat page so far.
    QString chatText() const;

    // --- the user's hands -----------------------------------------------------
    // Clicks a folder in the local tree of the Normal page and waits until the
    // list shows it.
    bool openLocalFolder(const QString& path);
    // Clicks a folder in the remote tree of the Normal page and waits until the
    // list shows it listed.
    bool openRemoteFolder(const QByteArray& path);
    // Selects rows of a list by their names (the first becomes current).
    void selectRemote(const QStringList& names);
    void selectLocal(const QStringList& names);
    QModelIndex remoteRow(const QString& name) const;
    QModelIndex localRow(const QString& name) const;
    // Drags data over a view and drops it on `target` (an invalid index: the
    // view's empty part), as a drop from another program or view arrives.
    void drop(QAbstractItemView* view, const QModelIndex& target, const QMimeData& data);
    // Files of the desktop (text/uri-list) dropped on a view.
    void dropFiles(QAbstractItemView* view, const QModelIndex& target, const QStringList& paths);
    // The data a drag out of these rows of a view carries.
    static std::unique_ptr<QMimeData> dragOut(QAbstractItemView* view, const QModelIndexList& rows);
    // Chooses the entry with that command id from a context menu; false when
    // the menu has no enabled entry with it.
    static bool choose(QMenu* menu, int id);
    // A right-click on a row of a view (an invalid index: its empty part).
    static void rightClick(QAbstractItemView* view, const QModelIndex& row);
    // The next popup menu that opens gets a click on its entry with that
    // command id (a menu shown with exec(), as the task panel's is).
    void whenMenuOpens(int id);
    int menusAnswered() const { return menusAnswered_; }
    static void press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Chooses a main-menu command by its id (false when disabled or missing).
    bool menuCommand(int id);

    // The next modal dialog that opens is handed to `answer` (which closes it);
    // a journey that expects none fails at its end when one was answered late.
    void whenDialogOpens(std::function<void(QDialog*)> answer);
    // The file-action dialog before a transfer: chooses the action (by its
    // radio text) and clicks "Apply".
    void applyFileAction(const QString& action = QString());
    // Dialogs handed over so far, and whether one is still awaited.
    int dialogsAnswered() const { return dialogsAnswered_; }
    bool dialogPending() const { return bool(dialogAnswer_); }

private:
    bool openWindow();

    class QuietBeeper : public Beeper {
    public:
        void beep(int, int) override {}
    };
    class NoShutdown : public SystemShutdown {
    public:
        bool powerOff() override { return false; }
    };

    Options options_;
    QString error_;
    std::unique_ptr<FtpServerProcess> server_;
    QTemporaryDir settings_;
    QTemporaryDir local_;
    TcpTransportFactory transports_;
    QuietBeeper beeper_;
    NoShutdown shutdown_;
    RecordingLauncher launcher_;
    RecordingHelp help_;
    ScriptedPrompter prompter_;
    std::unique_ptr<Workbench> workbench_;
    std::unique_ptr<MainFrame> frame_;
    std::function<void(QDialog*)> dialogAnswer_;
    int dialogsAnswered_ = 0;
    int menusAnswered_ = 0;
};
