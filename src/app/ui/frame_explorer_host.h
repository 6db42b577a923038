#pragma once

#include "platform/ui/explorer_host.h"

#include <QObject>

#include <functional>
#include <optional>

class RemoteViewCopies;
class Workbench;
class QAction;
class QWidget;
struct ToolMenuPlan;

// The main window's side of the explorer views: the site in use, the viewing
// tools and the loop windows, reached through the workbench.
class FrameExplorerHost : public QObject, public ExplorerHost {
    Q_OBJECT
public:
    FrameExplorerHost(Workbench& workbench, Prompter& prompter, HelpViewer& help, QWidget* window);

    Prompter& prompter() override { return prompter_; }
    HelpViewer& help() override { return help_; }
    QString localProjectFolder() const override;
    QString remoteProjectFolder() const override;
    void storeLocalProjectFolder(const QString& folder) override;
    void storeRemoteProjectFolder(const QString& folder) override;
    void storeConcernedFile(const QString& remotePath) override;
    void fillViewEditMenu(QMenu* viewEditMenu, bool remote, bool singlePlainFile,
                          const QString& path) override;
    QString httpAddress(const QString& remotePath) const override;
    // What a picked tool opens: a server path or a local path. An HTTP tool
    // gets a server file's web address; a local tool a local copy of it.
    struct ToolTarget {
        bool remote = false;
        QString path;
    };
    // The tools a file's "View/edit by" lists (remote: those for a server
    // file), inserted before `before` (appended when null). A picked tool
    // asks `argument` for what to open; nothing means cancelled. Gives the
    // number of tools added.
    using ToolArgument = std::function<std::optional<ToolTarget>()>;
    int addViewTools(QMenu* menu, bool remote, QAction* before, const ToolArgument& argument);
    bool openWithDesktop(const QString& localPath) override;
    bool loopAvailable(Loop loop) const override;
    void startLoop(Loop loop, const QByteArray& remoteFolder) override;

    // The loop windows, once they exist.
    using LoopStarter = std::function<void(Loop, const QByteArray&)>;
    void setLoopStarter(LoopStarter starter) { loops_ = std::move(starter); }

signals:
    void projectFoldersChanged();
    void concernedFileChanged(const QString& remotePath);

private:
    int addPlannedTools(QMenu* menu, const ToolMenuPlan& plan, bool remote, QAction* before,
                        const ToolArgument& argument);
    void runTool(int commandId, bool remoteMenu, const ToolTarget& target);

    Workbench& workbench_;
    Prompter& prompter_;
    HelpViewer& help_;
    QWidget* window_;
    LoopStarter loops_;
    RemoteViewCopies* viewCopies_;
};
