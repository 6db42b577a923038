#include "app/tool_menu.h"

#include "platform/launcher.h"
#include "platform/prompter.h"

namespace {

constexpr std::size_t kMaxToolItems = kCmdToolLast - kCmdToolFirst + 1;

bool RemoteShowsOnlyHttp(bool remote, int toolFlags) {
    return remote && (toolFlags & kToolFlagRemoteOnlyHttp) != 0;
}

// Appends the usable tools of one kind from both lists; false once the ids run out.
bool CollectKind(const ToolLists& lists, bool http, std::vector<ToolRecord>& out) {
    for (const std::vector<ToolRecord>* list : {&lists.SearchedTools, &lists.UserTools}) {
        for (const ToolRecord& tool : *list) {
            if (!tool.isUsable() || tool.isHttpTool() != http) {
                continue;
            }
            if (out.size() >= kMaxToolItems) {
                return false;
            }
            out.push_back(tool);
        }
    }
    return true;
}

}  // namespace

QString ToolMenuText(const ToolRecord& tool) {
    if (!tool.Name.isEmpty()) {
        return tool.Name;
    }
    const qsizetype dot = tool.File.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? tool.File.left(dot) : tool.File;
}

std::vector<ToolRecord> ToolsInMenuOrder(const ToolLists& lists, bool remote, int toolFlags) {
    std::vector<ToolRecord> tools;
    if (CollectKind(lists, true, tools) && !RemoteShowsOnlyHttp(remote, toolFlags)) {
        CollectKind(lists, false, tools);
    }
    return tools;
}

ToolMenuPlan BuildToolMenu(const ToolLists& lists, bool remote, int toolFlags,
                           bool singlePlainFile) {
    ToolMenuPlan plan;
    plan.insertPosition = remote ? 2 : 0;
    if (!singlePlainFile) {
        return plan;
    }
    plan.enabled = true;
    int n = 0;
    auto insertPass = [&](const std::vector<ToolRecord>& tools) {
        for (const ToolRecord& tool : tools) {
            plan.entries.push_back(
                ToolMenuEntry{false, ToolMenuText(tool), kCmdToolFirst + n, tool});
            ++n;
        }
        if (!tools.empty()) {
            plan.entries.push_back(ToolMenuEntry{true, QString(), 0, ToolRecord()});
        }
    };
    const std::vector<ToolRecord> all = ToolsInMenuOrder(lists, remote, toolFlags);
    std::vector<ToolRecord> http;
    std::vector<ToolRecord> local;
    for (const ToolRecord& tool : all) {
        (tool.isHttpTool() ? http : local).push_back(tool);
    }
    insertPass(http);
    insertPass(local);
    return plan;
}

std::optional<ToolRecord> ToolForCommand(int commandId, bool remote, const ToolLists& lists,
                                         int toolFlags) {
    const std::vector<ToolRecord> tools = ToolsInMenuOrder(lists, remote, toolFlags);
    const long index = long(commandId) - kCmdToolFirst;
    if (commandId > kCmdToolLast || index < 0 || index >= long(tools.size()))
        return std::nullopt;
    return tools[std::size_t(index)];
}

bool OpenWithTool(int commandId, const QString& target, bool remote, const ToolLists& lists,
                  int toolFlags, Launcher& launcher, Prompter& prompter) {
    const std::optional<ToolRecord> tool = ToolForCommand(commandId, remote, lists, toolFlags);
    if (!tool) {
        prompter.showMessage(QString::fromLatin1(kCannotFindToolText));
        return false;
    }
    launcher.startDetached(tool->programPath(), {target});
    return true;
}

bool LaunchTool(const ToolRecord& tool, const QString& parameter, Launcher& launcher) {
    if (!tool.isUsable()) {
        return false;
    }
    QStringList arguments;
    if (!parameter.isEmpty()) {
        arguments << parameter;
    }
    return launcher.startDetached(tool.programPath(), arguments);
}
