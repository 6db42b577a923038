#include "workspace/folder_compare.h"

#include "remote/local_name_guard.h"
#include "remote/remote_item.h"
#include "remote/remote_time.h"
#include "session/partial_download.h"
#include "workspace/local_listing.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <deque>

QString CompareItem::name() const {
    return isRemote() ? localNameOf(remoteName) : localName;
}

bool CompareItem::isCommonFolder() const {
    return isLocal() && isRemote() && isLocalFolder() && (remoteKind == 'd' || remoteKind == 'l');
}

namespace {

// Later only when even the listing's widest reading leaves it later.
CompareItem::Newer judgeNewer(qint64 local, const ListedTime& remote) {
    if (remote.utc - local > DateJudge::kTolerance)
        return CompareItem::Newer::Server;
    if (local - (remote.utc + remote.precision - 1) > DateJudge::kTolerance)
        return CompareItem::Newer::Local;
    return CompareItem::Newer::Neither;
}

}  // namespace

std::vector<CompareItem> CompareEntries(const std::vector<LocalCompareEntry>& local,
                                        const RemoteItemList& remote, quint8 options,
                                        const DateJudge& dates) {
    const bool caseSensitive = options & CompareOptions::CaseSensitive;
    // Exact spellings pair first, in listing order; without case sensitivity
    // what is left pairs by name folded, so that "img" never takes the "img"
    // of another entry because an "Img" came first.
    std::vector<int> pairOf(local.size(), -1);
    std::vector<bool> matched(size_t(remote.size()), false);
    const auto pairUp = [&](auto spell) {
        QHash<QString, std::deque<int>> byName;
        for (int i = 0; i < remote.size(); ++i)
            if (!matched[size_t(i)])
                byName[spell(localNameOf(remote.at(i).name))].push_back(i);
        for (size_t l = 0; l < local.size(); ++l) {
            if (pairOf[l] >= 0)
                continue;
            auto it = byName.find(spell(local[l].name));
            if (it == byName.end() || it->empty())
                continue;
            pairOf[l] = it->front();
            matched[size_t(it->front())] = true;
            it->pop_front();
        }
    };
    pairUp([](const QString& name) { return name; });
    if (!caseSensitive)
        pairUp([](const QString& name) { return name.toCaseFolded(); });

    std::vector<CompareItem> items;
    for (size_t l = 0; l < local.size(); ++l) {
        const LocalCompareEntry& e = local[l];
        CompareItem item;
        item.flags = CompareItem::Local;
        if (e.folder)
            item.flags |= CompareItem::LocalFolder;
        if (e.system)
            item.flags |= CompareItem::LocalSystem;
        if (e.hidden)
            item.flags |= CompareItem::LocalHidden;
        item.localName = e.name;
        item.localSize = e.folder ? 0 : e.size;
        if (const int index = pairOf[l]; index >= 0) {
            const RemoteItem& r = remote.at(index);
            item.flags |= CompareItem::Remote;
            item.remoteName = r.name;
            item.remoteKind = r.kind;
            item.remoteSize = r.size;
            bool listed = true;
            if (!e.folder && r.kind == '-') {
                listed = (options & CompareOptions::FileSize) && e.size != r.size;
                const std::optional<ListedTime> t =
                    dates.enabled ? listedTime(r, dates.mlsd, dates.listOffset) : std::nullopt;
                if (t && e.modified >= 0) {
                    item.localTime = e.modified;
                    item.remoteTime = t->utc;
                    item.newer = judgeNewer(e.modified, *t);
                    listed = listed || item.newer != CompareItem::Newer::Neither;
                }
            }
            if (listed)
                items.push_back(std::move(item));
            continue;
        }
        if (e.system && (options & CompareOptions::IgnoreSystem))
            continue;
        if (e.hidden && (options & CompareOptions::IgnoreHidden))
            continue;
        items.push_back(std::move(item));
    }
    for (int i = 0; i < remote.size(); ++i) {
        if (matched[size_t(i)])
            continue;
        const RemoteItem& r = remote.at(i);
        CompareItem item;
        item.flags = CompareItem::Remote;
        item.remoteName = r.name;
        item.remoteKind = r.kind;
        item.remoteSize = r.size;
        items.push_back(std::move(item));
    }
    SortCompareItems(items);
    return items;
}

namespace {

int localKey(const CompareItem& item) {
    if (!item.isLocal())
        return 65535;
    return item.isLocalFolder() ? 0 : 1;
}

int remoteKey(const CompareItem& item) {
    if (!item.isRemote())
        return 65535;
    return KindSortRank(item.remoteKind);
}

}  // namespace

void SortCompareItems(std::vector<CompareItem>& items) {
    struct Keyed {
        int local;
        int remote;
        QString folded;
        QString name;
        size_t index;
    };
    std::vector<Keyed> keys;
    keys.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        const QString name = items[i].name();
        keys.push_back({localKey(items[i]), remoteKey(items[i]), name.toCaseFolded(), name, i});
    }
    // Names equal but for case keep a fixed order: the exact spelling decides.
    std::sort(keys.begin(), keys.end(), [](const Keyed& a, const Keyed& b) {
        if (a.local != b.local)
            return a.local < b.local;
        if (a.remote != b.remote)
            return a.remote < b.remote;
        if (const int c = a.folded.compare(b.folded))
            return c < 0;
        if (const int c = a.name.compare(b.name))
            return c < 0;
        return a.index < b.index;
    });
    std::vector<CompareItem> sorted;
    sorted.reserve(items.size());
    for (const Keyed& k : keys)
        sorted.push_back(std::move(items[k.index]));
    items = std::move(sorted);
}

FolderCompareResult CompareFolder(const QString& localFolder, const RemoteItemList& remote,
                                  quint8 options, const DateJudge& dates) {
    FolderCompareResult result;
    QDir dir(localFolder);
    if (!QFileInfo(localFolder).isDir() || !QFileInfo(localFolder).isReadable() ||
        !dir.isReadable()) {
        result.localReadable = false;
        return result;
    }
    const QFileInfoList infos = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    std::vector<LocalCompareEntry> local;
    local.reserve(size_t(infos.size()));
    for (const QFileInfo& info : infos) {
        // A download's own data is not a file of the project.
        if (!info.isDir() && PartialDownload::isPartName(info.fileName()))
            continue;
        LocalCompareEntry e;
        e.name = info.fileName();
        e.folder = info.isDir();
        e.size = e.folder ? 0 : info.size();
        e.hidden = IsHiddenLocalName(e.name);
        if (dates.enabled && !e.folder)
            e.modified = info.lastModified().toSecsSinceEpoch();
        local.push_back(std::move(e));
    }
    result.items = CompareEntries(local, remote, options, dates);
    return result;
}

int CompareItemImage(const CompareItem& item) {
    const int b = (item.isLocalFolder() ? 1 : 0) +
                  ((item.flags & (CompareItem::LocalHidden | CompareItem::LocalSystem)) ? 2 : 0);
    int r = 5;
    switch (item.remoteKind) {
        case '-':
            r = 0;
            break;
        case 'd':
            r = 1;
            break;
        case 'l':
            r = 2;
            break;
        case 'b':
            r = 3;
            break;
        case 'c':
            r = 4;
            break;
    }
    if (item.isLocal() && item.isRemote())
        return 14 + 6 * b + r;
    if (item.isLocal())
        return 4 + b;
    return 8 + r;
}

CompareResultKind CompareResultKindOf(const CompareItem& item) {
    if (!item.isRemote())
        return CompareResultKind::LocalOnly;
    if (!item.isLocal())
        return CompareResultKind::ServerOnly;
    if (item.isCommonFolder())
        return CompareResultKind::CommonFolder;
    if (item.isLocalFolder() || item.remoteKind != '-')
        return CompareResultKind::KindsDiffer;
    if (item.newer == CompareItem::Newer::Local)
        return CompareResultKind::NewerHere;
    if (item.newer == CompareItem::Newer::Server)
        return CompareResultKind::NewerOnServer;
    return CompareResultKind::SizesDiffer;
}

QString CompareSideText(const CompareItem& item) {
    // Paired without regard to case: the row shows the server's spelling.
    if (item.isLocal() && item.isRemote() && item.localName != localNameOf(item.remoteName)) {
        CompareItem same = item;
        same.localName = localNameOf(item.remoteName);
        return CompareSideText(same) + QStringLiteral(", spelt %1 here").arg(item.localName);
    }
    switch (CompareResultKindOf(item)) {
        case CompareResultKind::LocalOnly:
            return QStringLiteral("local only");
        case CompareResultKind::ServerOnly:
            return QStringLiteral("server only");
        case CompareResultKind::CommonFolder:
            return QStringLiteral("folder on both sides");
        case CompareResultKind::KindsDiffer:
            return QStringLiteral("kinds differ");
        case CompareResultKind::NewerHere:
            return QStringLiteral("newer here");
        case CompareResultKind::NewerOnServer:
            return QStringLiteral("newer on the server");
        case CompareResultKind::SizesDiffer:
            break;
    }
    return QStringLiteral("sizes differ");
}

QString CompareLegendHtml() {
    return QStringLiteral(
        "<span style=\"color:#0000a0\">&#9632; local only</span> &nbsp; "
        "<span style=\"color:#007000\">&#9632; server only</span> &nbsp; "
        "<span style=\"color:#a00000\">&#9632; on both sides: sizes, kinds or dates differ</span>");
}
