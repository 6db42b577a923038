#include "app/ui/frame_explorer_host.h"

#include "app/http_address.h"
#include "app/tool_menu.h"
#include "app/workbench.h"

#include <QAction>
#include <QMenu>

FrameExplorerHost::FrameExplorerHost(Workbench& workbench, Prompter& prompter, HelpViewer& help,
                                     QWidget* window)
    : QObject(window), workbench_(workbench), prompter_(prompter), help_(help), window_(window) {}

QString FrameExplorerHost::localProjectFolder() const {
    return workbench_.sites().Current.Site.LocalProjectFolder;
}

QString FrameExplorerHost::remoteProjectFolder() const {
    return workbench_.sites().Current.Site.RemoteProjectFolder;
}

void FrameExplorerHost::storeLocalProjectFolder(const QString& folder) {
    workbench_.sites().SetLocalProjectFolder(folder);
    emit projectFoldersChanged();
}

void FrameExplorerHost::storeRemoteProjectFolder(const QString& folder) {
    workbench_.sites().SetRemoteProjectFolder(folder);
    workbench_.engine().setRemoteProjectFolder(folder.toUtf8());
    emit projectFoldersChanged();
}

void FrameExplorerHost::storeConcernedFile(const QString& remotePath) {
    workbench_.sites().SetConcernedFile(remotePath);
    emit concernedFileChanged(remotePath);
}

void FrameExplorerHost::fillViewEditMenu(QMenu* menu, bool remote, bool singlePlainFile,
                                         const QString& path) {
    const ToolMenuPlan plan =
        BuildToolMenu(workbench_.tools(), remote, workbench_.settings().ToolFlags, singlePlainFile);
    menu->setEnabled(plan.enabled);
    if (!plan.enabled)
        return;
    const QList<QAction*> fixed = menu->actions();
    QAction* before = plan.insertPosition < fixed.size() ? fixed[plan.insertPosition] : nullptr;
    const QString target = remote ? httpAddress(path) : path;
    addPlannedTools(menu, plan, remote, before,
                    [target] { return std::optional<QString>(target); });
}

int FrameExplorerHost::addViewTools(QMenu* menu, bool remote, QAction* before,
                                    const ToolArgument& argument) {
    return addPlannedTools(
        menu, BuildToolMenu(workbench_.tools(), remote, workbench_.settings().ToolFlags, true),
        remote, before, argument);
}

int FrameExplorerHost::addPlannedTools(QMenu* menu, const ToolMenuPlan& plan, bool remote,
                                       QAction* before, const ToolArgument& argument) {
    int added = 0;
    for (const ToolMenuEntry& e : plan.entries) {
        QAction* a = new QAction(menu);
        if (e.separator) {
            a->setSeparator(true);
        } else {
            ++added;
            a->setText(e.text);
            a->setData(e.commandId);
            connect(a, &QAction::triggered, this, [this, id = e.commandId, argument, remote] {
                if (const std::optional<QString> target = argument())
                    OpenWithTool(id, *target, remote, workbench_.tools(),
                                 workbench_.settings().ToolFlags, workbench_.launcher(), prompter_);
            });
        }
        menu->insertAction(before, a);
    }
    return added;
}

QString FrameExplorerHost::httpAddress(const QString& remotePath) const {
    return HttpAddress(workbench_.sites().Current.Site, remotePath);
}

bool FrameExplorerHost::loopAvailable(Loop) const {
    return bool(loops_);
}

void FrameExplorerHost::startLoop(Loop loop, const QByteArray& remoteFolder) {
    if (loops_)
        loops_(loop, remoteFolder);
}
