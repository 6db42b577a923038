#include "workspace/compare_sides.h"

#include "platform/path_containment.h"
#include "platform/prompter.h"
#include "remote/remote_path.h"
#include "workspace/local_file_operations.h"
#include "workspace/loop_row_texts.h"

CompareSides::CompareSides(const ProjectFolders& folders, const QByteArray& startFolder)
    : localProject_(folders.local),
      remoteProject_(withoutEndSlash(folders.remote.toUtf8())),
      startFolder_(withoutEndSlash(startFolder)) {
    if (!toProjectPath(startFolder_, &startRelative_))
        startRelative_.clear();
}

bool CompareSides::toProjectPath(const QByteArray& remotePath, QByteArray* projectPath) const {
    const QByteArray path = withoutEndSlash(remotePath);
    if (!IsSameOrBelow(remoteProject_, path))
        return false;
    *projectPath = path.mid(remoteProject_.size());
    if (projectPath->startsWith('/'))
        projectPath->remove(0, 1);
    return true;
}

QByteArray CompareSides::projectPath(const CompareNode* node) const {
    return joinRemotePath(startRelative_, CompareTree::pathOf(node));
}

QByteArray CompareSides::projectFolderOf(const CompareNode* node) const {
    return projectParentFolder(projectPath(node));
}

QByteArray CompareSides::remoteFolderOf(const CompareNode* node) const {
    return joinRemotePath(remoteProject_, projectFolderOf(node));
}

// Local paths follow the local spelling of each folder on the way.
QString CompareSides::localFolderOf(const CompareNode* node) const {
    return localPathOf(node ? node->parent : nullptr);
}

QString CompareSides::localPathOf(const CompareNode* node) const {
    return JoinLocalPath(JoinLocalPath(localProject_, QString::fromUtf8(startRelative_)),
                         CompareTree::localPathOf(node));
}

QString CompareSides::deleteLocalFile(const CompareNode* node) const {
    if (!node || !node->item.isLocal() || node->item.isLocalFolder())
        return QStringLiteral("Can not delete the file");
    const QStringList failed =
        DeleteLocalItems(localFolderOf(node), {LocalItemRef{node->item.localName, false}}, 0);
    return failed.isEmpty() ? QString() : QStringLiteral("Can not delete the file");
}

bool CompareSides::walked(CompareTree& tree, const QByteArray& folder) const {
    QByteArray relative;
    if (!toProjectPath(folder, &relative))
        return false;
    const CompareNode* node = tree.find(relative);
    return node && node->visited();
}

CompareNode* CompareSides::listedFolder(CompareTree& tree, const QByteArray& folder) const {
    QByteArray relative;
    return walked(tree, folder) && toProjectPath(folder, &relative) ? tree.find(relative) : nullptr;
}

std::vector<CompareNode*> CompareSides::staleAfterListing(CompareTree& tree,
                                                          const QByteArray& folder,
                                                          const RemoteItemList& items,
                                                          quint8 options,
                                                          const DateJudge& dates) const {
    if (!walked(tree, folder))
        return {};
    QByteArray relative;
    toProjectPath(folder, &relative);
    CompareNode* node = tree.find(relative);
    return tree.staleChildren(node, CompareFolder(localPathOf(node), items, options, dates).items);
}

CompareNode* CompareSides::settledByTransfer(CompareTree& tree,
                                             const QByteArray& remotePath) const {
    QByteArray relative;
    if (!toProjectPath(remotePath, &relative) || relative.isEmpty())
        return nullptr;
    return tree.find(relative);
}

std::vector<ProjectUploadPart> CompareSides::uploadParts(
    const std::vector<const CompareNode*>& nodes) const {
    // The local name: with case ignored, a result shows the server's spelling.
    std::vector<ProjectFile> files;
    for (const CompareNode* node : nodes)
        if (CompareCommandsFor(node).upload)
            files.push_back({joinRemotePath(projectFolderOf(node), node->item.localName.toUtf8()),
                             node->item.localSize, node->item.isLocalFolder(),
                             localFolderOf(node)});
    return ProjectUploadParts(localProject_, files);
}

std::vector<DownloadPart> CompareSides::downloadParts(
    const std::vector<const CompareNode*>& nodes) const {
    std::vector<DownloadPart> parts;
    for (const CompareNode* node : nodes) {
        if (!CompareCommandsFor(node).download)
            continue;
        const QByteArray folder = remoteFolderOf(node);
        auto part = std::find_if(parts.begin(), parts.end(),
                                 [&folder](const auto& p) { return p.remoteFolder == folder; });
        if (part == parts.end())
            part = parts.insert(parts.end(), {folder, localFolderOf(node), {}});
        RemoteItem item;
        item.kind = node->item.remoteKind;
        item.name = node->item.remoteName;
        item.size = node->item.remoteSize;
        part->selection.append(item);
    }
    return parts;
}

std::vector<const CompareNode*> CompareSides::confirmOlderOverNewer(
    const std::vector<const CompareNode*>& nodes, bool upload, Prompter& prompter) const {
    const CompareItem::Newer target =
        upload ? CompareItem::Newer::Server : CompareItem::Newer::Local;
    std::vector<const CompareNode*> newer, others;
    for (const CompareNode* node : nodes) {
        const CompareItemCommands can = CompareCommandsFor(node);
        ((upload ? can.upload : can.download) && node->item.newer == target ? newer : others)
            .push_back(node);
    }
    if (newer.empty())
        return nodes;
    const QString there = upload ? QStringLiteral("on the server") : QStringLiteral("here");
    const QString from = upload ? QStringLiteral("this computer") : QStringLiteral("the server");
    QString question =
        newer.size() == 1 ? QStringLiteral(
                                "%1 was changed later %2 than the copy that would replace it. "
                                "Replace it with the older copy from %3?")
                                .arg(QString::fromUtf8(projectPath(newer.front())), there, from)
                          : QStringLiteral(
                                "%1 of the chosen files were changed later %2 than the copies that "
                                "would replace them. Replace them with the older copies from %3?")
                                .arg(newer.size())
                                .arg(there, from);
    if (others.empty())
        return prompter.askYesNo(question) ? nodes : std::vector<const CompareNode*>();
    question += upload ? QStringLiteral(" No sends only the other chosen items.")
                       : QStringLiteral(" No fetches only the other chosen items.");
    switch (prompter.askYesNoCancel(question)) {
        case PromptAnswer::Yes:
            return nodes;
        case PromptAnswer::No:
            return others;
        default:
            return {};
    }
}
