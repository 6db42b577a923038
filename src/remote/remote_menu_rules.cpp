#include "remote/remote_menu_rules.h"

#include "platform/program_texts.h"

using namespace RemoteMenuId;

namespace {

RemoteMenuItem Item(int id, const char* text, bool enabled = true, const char* submenu = nullptr) {
    return {id, QString::fromLatin1(text), enabled,
            submenu ? QString::fromLatin1(submenu) : QString()};
}

RemoteMenuItem Separator() {
    return {};
}

}  // namespace

std::vector<RemoteMenuItem> RemoteTreeMenu(const RemoteTreeMenuContext& c) {
    const bool filtered = !c.isRoot && !c.kindFilter.passes(c.kind);
    std::vector<RemoteMenuItem> menu;
    RemoteMenuItem download = Item(kTreeDownload, "Download ...");
    if (!c.downloadText.isEmpty())
        download.text = c.downloadText;
    download.enabled = c.hasDownloadTarget && !filtered;
    menu.push_back(download);
    menu.push_back(Separator());
    menu.push_back(Item(kTreeRename, CommonTexts::kRename, !c.isRoot));
    menu.push_back(Item(kTreeDelete, CommonTexts::kDelete, !c.isRoot && !filtered));
    menu.push_back(Item(kTreePermissions, "Permissions"));
    if (!c.isRoot && c.kind == 'l')
        menu.push_back(Item(kTreeLinkInfo, "Show link info"));
    menu.push_back(Separator());
    menu.push_back(Item(kTreeChangeCase, "Change case", c.loops.changeCase, kLoopSubmenu));
    menu.push_back(Item(kTreeSearch, "Search", c.loops.search, kLoopSubmenu));
    if (c.projectPage)
        menu.push_back(Item(kTreeCompare, "Compare", c.loops.compare, kLoopSubmenu));
    menu.push_back(Item(kTreeViewPath, "View FTP and HTTP path"));
    menu.push_back(Item(kTreeSetProject, "Set as remote project Folder", !c.isRoot));
    menu.push_back(Separator());
    menu.push_back(Item(kTreeRefresh, "Refresh"));
    menu.push_back(Item(kTreeReset, "Reset"));
    menu.push_back(Item(kTreeCreateFolder, CommonTexts::kCreateFolder));
    return menu;
}

std::vector<RemoteMenuItem> RemoteListMenu(const RemoteListMenuContext& c) {
    std::vector<RemoteMenuItem> menu;
    menu.push_back(Item(kListFtpWizard, "FTP wizard", c.singlePlainFile, CommonTexts::kViewEditBy));
    menu.push_back(
        Item(kListToolHelp, CommonTexts::kHelp, c.singlePlainFile, CommonTexts::kViewEditBy));
    menu.push_back(Separator());
    RemoteMenuItem download = Item(kListDownload, "Download ...");
    if (!c.downloadText.isEmpty())
        download.text = c.downloadText;
    download.enabled = c.hasDownloadTarget && c.selected > 0;
    menu.push_back(download);
    menu.push_back(Item(kListRename, CommonTexts::kRename, c.selected == 1));
    menu.push_back(Item(kListDelete, CommonTexts::kDelete, c.selected > 0));
    menu.push_back(Item(kListPermissions, "Permissions"));
    menu.push_back(Separator());
    menu.push_back(Item(kListViewPath, "View FTP and HTTP path", c.selected <= 1));
    menu.push_back(Item(kListConcernedFile, "Set as concerned file", c.singleNotFolder));
    return menu;
}

std::optional<QString> LoopStartRefusal(RemoteLoop loop, bool sessionBusy, bool listed,
                                        bool emptyListing, bool isLink) {
    const bool search = loop == RemoteLoop::Search;
    if (sessionBusy) {
        return QString::fromLatin1(search ? "Server is busy, ncan not start searching now."
                                          : "Server is busy, ncan not start changing now.");
    }
    if (listed && emptyListing) {
        return QString::fromLatin1(search ? "Can not start searching in empty "
                                          : "Can not start changing in empty ") +
               QString::fromLatin1(isLink ? "link" : "directory");
    }
    return std::nullopt;
}

QString LinkInfoText(const QString& target) {
    return QStringLiteral("The link pointers to\n\n") + target + QStringLiteral("\n\n");
}
