#include "app/site_merge.h"

#include "app/settings_merge.h"
#include "app/site_file.h"

#include <QHash>

#include <algorithm>

#include <optional>
#include <vector>

namespace {

// The file's site that `site` was saved as: same name and comment, else the one site of that
// name (a comment changed elsewhere), else the one site equal to it but for both (renamed
// elsewhere). Sites already claimed are skipped.
int findOnDisk(const SiteList& onDisk, const SiteRecord& site, const std::vector<bool>& claimed) {
    int sameName = -1;
    int sameNameCount = 0;
    for (int i = 0; i < int(onDisk.Records.size()); ++i) {
        if (claimed[size_t(i)])
            continue;
        const SiteRecord& r = onDisk.Records[size_t(i)];
        if (r.Name != site.Name)
            continue;
        if (r.Comment == site.Comment)
            return i;
        sameName = i;
        ++sameNameCount;
    }
    if (sameNameCount == 1)
        return sameName;
    if (sameNameCount > 1)
        return -1;
    // Renamed elsewhere: the one site that differs from it in nothing but its name and comment.
    int renamed = -1;
    for (int i = 0; i < int(onDisk.Records.size()); ++i) {
        if (claimed[size_t(i)])
            continue;
        SiteRecord r = onDisk.Records[size_t(i)];
        r.Id = site.Id;
        r.Name = site.Name;
        r.Comment = site.Comment;
        if (r != site)
            continue;
        if (renamed >= 0)
            return -1;
        renamed = i;
    }
    return renamed;
}

std::optional<qint32> selectedId(const SiteList& list) {
    const qint32 row = list.SelectedIndex;
    if (row < 0 || row >= qint32(list.Records.size()))
        return std::nullopt;
    return list.Records[size_t(row)].Id;
}

}  // namespace

SiteList MergeSites(const SiteList& onDisk, const SiteList& base, const SiteList& mine) {
    QHash<qint32, const SiteRecord*> loaded;
    for (const SiteRecord& r : base.Records)
        loaded.insert(r.Id, &r);
    QHash<qint32, bool> kept;
    for (const SiteRecord& r : mine.Records)
        kept.insert(r.Id, true);

    SiteList result;
    result.Current = mine.Current;
    result.KeyringOption =
        mine.KeyringOption != base.KeyringOption ? mine.KeyringOption : onDisk.KeyringOption;
    std::vector<bool> claimed(onDisk.Records.size(), false);
    std::vector<int> resultRowOfDisk(onDisk.Records.size(), -1);
    const auto claim = [&](const SiteRecord& site) {
        const int i = findOnDisk(onDisk, site, claimed);
        if (i >= 0)
            claimed[size_t(i)] = true;
        return i;
    };

    for (const SiteRecord& site : mine.Records) {
        const SiteRecord* was = loaded.value(site.Id);
        if (!was) {
            // Added here; one of the same name added elsewhere meanwhile stays too (sites
            // may share a name, told apart by comment).
            result.Records.push_back(site);
            continue;
        }
        const int i = claim(*was);
        if (site != *was) {
            // Edited here: the fields changed here win, the others keep what the file holds
            // (a name changed elsewhere included).
            SiteRecord edited = i >= 0 ? MergeRecordFields(onDisk.Records[size_t(i)], *was, site,
                                                           &SerializeSiteRecord)
                                       : site;
            edited.Id = site.Id;
            result.Records.push_back(edited);
        } else if (i >= 0) {
            SiteRecord fromDisk = onDisk.Records[size_t(i)];
            fromDisk.Id = site.Id;
            resultRowOfDisk[size_t(i)] = int(result.Records.size());
            result.Records.push_back(fromDisk);
        }
        // Untouched here and gone from the file: removed elsewhere, so it stays removed.
    }
    // Removed here: the file's copy goes too.
    for (const SiteRecord& was : base.Records) {
        if (!kept.contains(was.Id))
            claim(was);
    }
    // Added elsewhere.
    for (size_t i = 0; i < onDisk.Records.size(); ++i) {
        if (claimed[i])
            continue;
        SiteRecord site = onDisk.Records[i];
        site.Id = result.FreshId();
        resultRowOfDisk[i] = int(result.Records.size());
        result.Records.push_back(site);
    }
    // A site added here under the name and comment of one added elsewhere meanwhile takes
    // a number: both stay, and each keeps a name of its own (and a keyring entry).
    for (SiteRecord& site : result.Records) {
        if (loaded.contains(site.Id))
            continue;
        const auto taken = [&](const QString& name) {
            return std::any_of(
                result.Records.begin(), result.Records.end(), [&](const SiteRecord& r) {
                    return &r != &site && r.Name == name && r.Comment == site.Comment;
                });
        };
        const QString name = site.Name;
        for (int n = 2; taken(site.Name); ++n)
            site.Name = QStringLiteral("%1 (%2)").arg(name).arg(n);
    }

    // The row chosen for connecting: the window's when it chose one since loading, else the
    // file's.
    const std::optional<qint32> mineSelected = selectedId(mine);
    result.SelectedIndex = -1;
    if (mineSelected != selectedId(base)) {
        result.SelectedIndex = mineSelected ? result.IndexOf(*mineSelected) : -1;
    } else if (onDisk.SelectedIndex >= 0 && onDisk.SelectedIndex < qint32(resultRowOfDisk.size())) {
        result.SelectedIndex = resultRowOfDisk[size_t(onDisk.SelectedIndex)];
    }
    if (result.SelectedIndex < 0 && mineSelected)
        result.SelectedIndex = result.IndexOf(*mineSelected);
    result.NormaliseSelectedIndex();
    return result;
}
