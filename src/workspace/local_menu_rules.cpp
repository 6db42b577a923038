#include "workspace/local_menu_rules.h"

#include <algorithm>

#include "platform/program_texts.h"

namespace {

LocalMenuItem Item(int id, const char* text, bool enabled) {
    return {id, QString::fromLatin1(text), enabled};
}

}  // namespace

std::vector<LocalMenuItem> LocalTreeMenu(const LocalTreeMenuInput& in) {
    using namespace CommonTexts;
    using namespace LocalMenuTexts;
    if (in.node == LocalTreeNodeKind::Computer) {
        return {};
    }
    const bool folder = in.node == LocalTreeNodeKind::Folder;
    // A place is used as its folder but renamed or deleted only where the
    // folder itself is shown.
    const bool usable = folder || in.node == LocalTreeNodeKind::Place;
    std::vector<LocalMenuItem> items;
    items.push_back({kLocalTreeUpload, in.upload.text, usable && in.canUpload});
    items.push_back(Item(kLocalTreeRename, kRename, folder && !in.projectRoot));
    items.push_back(Item(kLocalTreeDelete, kDelete, folder && !in.projectRoot));
    items.push_back(Item(kLocalTreeCopy, kCopy, usable));
    items.push_back(Item(kLocalTreePaste, kPaste, in.pasteAvailable));
    items.push_back(Item(kLocalTreeViewPath, kViewPath, true));
    if (!in.projectTree) {
        items.push_back(Item(kLocalSetProjectFolder, kSetProject, usable));
    }
    items.push_back(Item(kLocalTreeCreateFolder, kCreateFolder, true));
    items.push_back(Item(kLocalTreeProperties, kProperties, true));
    return items;
}

std::vector<LocalMenuItem> LocalListMenu(const LocalListMenuInput& in) {
    using namespace CommonTexts;
    using namespace LocalMenuTexts;
    if (in.selected.empty()) {
        return {};
    }
    const auto has = [&in](LocalRowKind kind) {
        return std::find(in.selected.begin(), in.selected.end(), kind) != in.selected.end();
    };
    const bool one = in.selected.size() == 1;
    // Drives, places and the ".." row stand for folders that are not this
    // folder's own items: nothing is uploaded, renamed, deleted or copied
    // through them.
    const bool ownItems =
        !has(LocalRowKind::Drive) && !has(LocalRowKind::Place) && !has(LocalRowKind::Parent);
    std::vector<LocalMenuItem> items;
    items.push_back(Item(kLocalListViewEdit, kViewEditBy, in.singlePlainFile));
    items.push_back({kLocalListUpload, in.upload.text, ownItems && in.canUpload});
    items.push_back(Item(kLocalListRename, kRename, one && ownItems));
    items.push_back(Item(kLocalListDelete, kDelete, ownItems));
    items.push_back(Item(kLocalListCopy, kCopy, ownItems));
    items.push_back(Item(kLocalListViewPath, kViewPath, one && !has(LocalRowKind::Parent)));
    items.push_back(Item(kLocalListProperties, kProperties, one && !has(LocalRowKind::Parent)));
    return items;
}

std::vector<LocalMenuItem> LocalTreeBlankMenu(bool folderSelected, bool pasteAvailable) {
    using namespace LocalMenuTexts;
    return {Item(kLocalBlankPaste, kPaste, folderSelected && pasteAvailable),
            Item(kLocalBlankNewFile, kNewFile, folderSelected)};
}
