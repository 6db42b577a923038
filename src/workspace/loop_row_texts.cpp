#include "workspace/loop_row_texts.h"

#include "platform/format.h"
#include "remote/local_name_guard.h"
#include "remote/remote_list_columns.h"
#include "workspace/file_category.h"

QStringList SearchRowTexts(const SearchRow& row, const LoopDisplayOptions& options,
                           bool showFolder) {
    const RemoteItem& i = row.item;
    const QString name = QString::fromUtf8(i.name);
    QString size;
    if (i.kind == '-' || i.kind == 'l')
        size = FormatSize(i.size, options.sizeStyle);
    QString type;
    switch (i.kind) {
        case '-':
            type = FileTypeText(name);
            break;
        case 'd':
            break;
        case 'l':
            type = QStringLiteral("link");
            break;
        case 'b':
            type = QStringLiteral("device b");
            break;
        case 'c':
            type = QStringLiteral("device c");
            break;
        default:
            type = QStringLiteral("unknown");
    }
    const QString permission = options.numericPermissions ? FormatPermissionNumber(i.permissions)
                                                          : QString::fromUtf8(i.permissions);
    QString owner = QString::fromUtf8(i.owner);
    if (!i.group.isEmpty())
        owner += QLatin1Char('/') + QString::fromUtf8(i.group);
    return {name,
            size,
            type,
            RemoteDateText(i),
            permission,
            owner,
            showFolder ? QString::fromUtf8(row.folder) : QString()};
}

CompareItemCommands CompareCommandsFor(const CompareNode* node) {
    CompareItemCommands c;
    if (!node || !node->parent)
        return c;
    const CompareItem& i = node->item;
    const bool localFile = i.isLocal() && !i.isLocalFolder();
    const bool remoteFile = i.isRemote() && i.remoteKind == '-' && isSafeLocalName(i.remoteName);
    // A folder one side lacks goes across whole.
    const bool localOnlyFolder = i.isLocalFolder() && !i.isRemote();
    const bool remoteOnlyFolder =
        i.isRemote() && !i.isLocal() && i.remoteKind == 'd' && isSafeLocalName(i.remoteName);
    // Names paired without regard to case: a transfer would add a second file
    // beside the other side's instead of replacing it.
    const bool spelling = i.isLocal() && i.isRemote() && i.localName != localNameOf(i.remoteName);
    c.upload =
        ((localFile && (!i.isRemote() || i.remoteKind == '-')) || localOnlyFolder) && !spelling;
    c.download = ((remoteFile && !i.isLocalFolder()) || remoteOnlyFolder) && !spelling;
    // An item on both sides: which copy a delete meant is not clear, so only
    // one-sided files can be deleted.
    c.deleteLocal = localFile && !i.isRemote();
    c.deleteRemote = remoteFile && !i.isLocal();
    c.view = localFile || remoteFile;
    c.properties = true;
    return c;
}

CompareItemCommands CompareCommandsFor(const std::vector<const CompareNode*>& nodes) {
    if (nodes.size() == 1)
        return CompareCommandsFor(nodes.front());
    CompareItemCommands c;
    for (const CompareNode* node : nodes) {
        const CompareItemCommands one = CompareCommandsFor(node);
        c.upload = c.upload || one.upload;
        c.download = c.download || one.download;
    }
    return c;
}
