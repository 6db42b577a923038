#include "app/ui/frame_explorer_host.h"

#include "app/http_address.h"
#include "app/remote_view_copies.h"
#include "app/tool_menu.h"
#include "app/workbench.h"

#include "platform/launcher.h"
#include "platform/prompter.h"

#include <QAction>
#include <QMenu>
#include <QStandardPaths>
#include <QUrl>

FrameExplorerHost::FrameExplorerHost(Workbench& workbench, Prompter& prompter, HelpViewer& help,
                                     QWidget* window)
    : QObject(window),
      workbench_(workbench),
      prompter_(prompter),
      help_(help),
      window_(window),
      viewCopies_(new RemoteViewCopies(
          workbench.engine(), workbench.launcher(), prompter,
          QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/view"),
          this)) {}

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
    const ToolTarget target{remote, path};
    addPlannedTools(menu, plan, remote, before,
                    [target] { return std::optional<ToolTarget>(target); });
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
                if (const std::optional<ToolTarget> target = argument())
                    runTool(id, remote, *target);
            });
        }
        menu->insertAction(before, a);
    }
    return added;
}

void FrameExplorerHost::runTool(int commandId, bool remoteMenu, const ToolTarget& target) {
    const std::optional<ToolRecord> tool =
        ToolForCommand(commandId, remoteMenu, workbench_.tools(), workbench_.settings().ToolFlags);
    if (!tool) {
        prompter_.showMessage(QString::fromLatin1(kCannotFindToolText));
        return;
    }
    if (!target.remote) {
        workbench_.launcher().startDetached(tool->programPath(), {target.path});
    } else if (tool->isHttpTool()) {
        workbench_.launcher().startDetached(tool->programPath(), {httpAddress(target.path)});
    } else {
        const SiteRecord& site = workbench_.sites().Current.Site;
        viewCopies_->open(*tool, target.path.toUtf8(), site.Host, site.Port);
    }
}

QString FrameExplorerHost::httpAddress(const QString& remotePath) const {
    return HttpAddress(workbench_.sites().Current.Site, remotePath);
}

bool FrameExplorerHost::openWithDesktop(const QString& localPath) {
    return workbench_.launcher().openLink(QUrl::fromLocalFile(localPath).toString());
}

bool FrameExplorerHost::loopAvailable(Loop) const {
    return bool(loops_);
}

void FrameExplorerHost::startLoop(Loop loop, const QByteArray& remoteFolder) {
    if (loops_)
        loops_(loop, remoteFolder);
}
