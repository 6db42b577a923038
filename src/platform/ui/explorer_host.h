#pragma once

#include <QByteArray>
#include <QString>

class HelpViewer;
class Prompter;
class QMenu;

// What the explorer views (the local and remote trees and lists, on every
// page) need from the window that holds them, without knowing it: the user's
// answers, help, the stored project folders and concerned file of the site in
// use, the viewing-tool entries of file menus, and the loop windows.
class ExplorerHost {
public:
    enum class Loop { Compare, Search, ChangeCase };

    virtual ~ExplorerHost() = default;

    virtual Prompter& prompter() = 0;
    virtual HelpViewer& help() = 0;

    // The current site's project folders; empty when not set.
    virtual QString localProjectFolder() const = 0;
    virtual QString remoteProjectFolder() const = 0;
    // Store a new text for the current site (and its stored record); empty clears.
    virtual void storeLocalProjectFolder(const QString& folder) = 0;
    virtual void storeRemoteProjectFolder(const QString& folder) = 0;
    virtual void storeConcernedFile(const QString& remotePath) = 0;

    // Fills the "View/edit by" submenu of a file's context menu with the
    // viewing tools (the menu's fixed items are the view's). `path` is the
    // local path, or the server path of a remote file. Disables the submenu
    // when `singlePlainFile` is false.
    virtual void fillViewEditMenu(QMenu* viewEditMenu, bool remote, bool singlePlainFile,
                                  const QString& path) = 0;
    // The web address of a server path of the current site.
    virtual QString httpAddress(const QString& remotePath) const = 0;

    // Opens a local file with the desktop's default application; false when
    // that could not start.
    virtual bool openWithDesktop(const QString& localPath) {
        Q_UNUSED(localPath);
        return false;
    }

    // The loop windows; a loop that is not available yet shows disabled.
    virtual bool loopAvailable(Loop loop) const = 0;
    virtual void startLoop(Loop loop, const QByteArray& remoteFolder) = 0;
};
