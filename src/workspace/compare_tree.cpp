#include "workspace/compare_tree.h"

#include <QDateTime>
#include <QTimeZone>

#include "platform/format.h"
#include "remote/local_name_guard.h"

#include <functional>

int CompareNode::row() const {
    if (!parent)
        return 0;
    for (size_t i = 0; i < parent->children.size(); ++i) {
        if (parent->children[i].get() == this)
            return int(i);
    }
    return -1;
}

CompareTree::CompareTree() {
    root_.item.localName = QStringLiteral("From");
}

void CompareTree::clear() {
    root_.children.clear();
    root_.item.flags = 0;
}

namespace {

QByteArray nodeName(const CompareNode* node) {
    return node->item.isRemote() ? node->item.remoteName : node->item.localName.toUtf8();
}

}  // namespace

CompareNode* CompareTree::find(const QByteArray& projectPath) {
    QByteArray relativePath = projectPath;
    if (!base_.isEmpty()) {
        if (projectPath == base_)
            relativePath.clear();
        else if (projectPath.startsWith(base_ + '/'))
            relativePath = projectPath.mid(base_.size() + 1);
        else
            return nullptr;
    }
    CompareNode* node = &root_;
    if (relativePath.isEmpty())
        return node;
    for (const QByteArray& name : relativePath.split('/')) {
        CompareNode* next = nullptr;
        for (const auto& child : node->children) {
            if (nodeName(child.get()) == name) {
                next = child.get();
                break;
            }
        }
        if (!next)
            return nullptr;
        node = next;
    }
    return node;
}

bool CompareTree::add(const FolderCompareResult& result) {
    CompareNode* folder = find(result.relativePath);
    if (!folder)
        return false;
    folder->item.flags |= CompareItem::Visited;
    for (const CompareItem& item : result.items) {
        auto node = std::make_unique<CompareNode>();
        node->item = item;
        node->parent = folder;
        folder->children.push_back(std::move(node));
    }
    return true;
}

QByteArray CompareTree::pathOf(const CompareNode* node) {
    QByteArray path;
    for (; node && node->parent; node = node->parent)
        path = path.isEmpty() ? nodeName(node) : nodeName(node) + '/' + path;
    return path;
}

QString CompareTree::localPathOf(const CompareNode* node) {
    QString path;
    for (; node && node->parent; node = node->parent) {
        const QString name =
            node->item.isLocal() ? node->item.localName : localNameOf(node->item.remoteName);
        path = path.isEmpty() ? name : name + QLatin1Char('/') + path;
    }
    return path;
}

std::vector<CompareNode*> CompareTree::nodesToPrune(bool subFolders) {
    std::vector<CompareNode*> out;
    if (!subFolders) {
        for (const auto& child : root_.children) {
            if (child->item.isLocal() && child->item.isLocalFolder() && child->item.isRemote() &&
                child->item.remoteKind == 'd')
                out.push_back(child.get());
        }
        return out;
    }
    // A visited folder is empty at the end when all its children are.
    std::function<bool(const CompareNode*)> empty = [&](const CompareNode* n) {
        if (!n->visited())
            return false;
        for (const auto& c : n->children) {
            if (!empty(c.get()))
                return false;
        }
        return true;
    };
    std::function<void(CompareNode*)> walk = [&](CompareNode* n) {
        for (const auto& c : n->children) {
            if (empty(c.get()))
                out.push_back(c.get());
            else
                walk(c.get());
        }
    };
    walk(&root_);
    return out;
}

std::vector<CompareNode*> CompareTree::staleChildren(CompareNode* folder,
                                                     const std::vector<CompareItem>& fresh) {
    std::vector<CompareNode*> stale;
    for (const auto& child : folder->children) {
        const CompareItem* now = nullptr;
        for (const CompareItem& f : fresh) {
            if (f.name() == child->item.name()) {
                now = &f;
                break;
            }
        }
        if (!now) {
            stale.push_back(child.get());
            continue;
        }
        const quint8 visited = child->item.flags & CompareItem::Visited;
        child->item = *now;
        child->item.flags |= visited;
    }
    return stale;
}

void CompareTree::remove(CompareNode* node) {
    if (!node || !node->parent)
        return;
    auto& siblings = node->parent->children;
    const int r = node->row();
    if (r >= 0)
        siblings.erase(siblings.begin() + r);
}

std::vector<const CompareNode*> CompareTree::differences(bool subFolders) const {
    std::vector<const CompareNode*> out;
    std::function<void(const CompareNode*)> walk = [&](const CompareNode* n) {
        for (const auto& c : n->children) {
            const CompareItem& it = c->item;
            const bool walked = subFolders ? it.isCommonFolder()
                                           : (it.isLocal() && it.isLocalFolder() && it.isRemote() &&
                                              it.remoteKind == 'd');
            if (!walked)
                out.push_back(c.get());
            walk(c.get());
        }
    };
    walk(&root_);
    return out;
}

QString CompareItemProperties(const CompareItem& item, const QString& fromStart,
                              const QString& fromProject) {
    const QString line = QStringLiteral("\n----------------------------------------------\n");
    QString t = QStringLiteral("To compring from\t") + fromStart + QLatin1Char('\n');
    t += QStringLiteral("To project root\t") + fromProject + QLatin1Char('\n');
    t += line + QStringLiteral("Local item:\t");
    if (!item.isLocal()) {
        t += QStringLiteral("doean't exist\n");
    } else {
        t += item.localName + QLatin1Char('\n');
        t += QStringLiteral("Type:\t\t") +
             (item.isLocalFolder() ? QStringLiteral("Folder") : QStringLiteral("File"));
        if (item.flags & CompareItem::LocalSystem)
            t += QStringLiteral(" (system)");
        if (item.flags & CompareItem::LocalHidden)
            t += QStringLiteral(" (hidden)");
        t += QLatin1Char('\n');
        if (!item.isLocalFolder())
            t += QStringLiteral("File size:\t\t") + FormatGrouped(quint64(item.localSize)) +
                 QStringLiteral(" (bytes)\n");
    }
    t += line + QStringLiteral("Remote item:\t");
    if (!item.isRemote())
        return t + QStringLiteral("doesn't exist\n");
    t += QString::fromUtf8(item.remoteName) + QLatin1Char('\n');
    const QString size = QStringLiteral("File size\t\t") + FormatGrouped(quint64(item.remoteSize)) +
                         QStringLiteral(" (bytes)\n");
    switch (item.remoteKind) {
        case '-':
            t += QStringLiteral("Type:\t\tFile\n") + size;
            if (item.newer != CompareItem::Newer::Neither) {
                // Only with dates compared: which side changed later.
                const auto time = [](qint64 utc) {
                    return QDateTime::fromSecsSinceEpoch(utc, QTimeZone::utc())
                               .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
                           QStringLiteral(" UTC");
                };
                t += line +
                     (item.newer == CompareItem::Newer::Local
                          ? QStringLiteral("Changed later here\n")
                          : QStringLiteral("Changed later on the server\n")) +
                     QStringLiteral("Local time:\t\t") + time(item.localTime) +
                     QStringLiteral("\nServer time:\t\t") + time(item.remoteTime) +
                     QLatin1Char('\n');
            }
            return t;
        case 'b':
            return t + QStringLiteral("Type:\t\tDevice B\n");
        case 'c':
            return t + QStringLiteral("Type:\t\tDevice C\n");
        case 'd':
            return t + QStringLiteral("Type:\t\tFolder\n");
        case 'l':
            return t + QStringLiteral("Type:\t\tLink\n") + size;
    }
    return t + QStringLiteral("Type:\t\tUnknown\n");
}
