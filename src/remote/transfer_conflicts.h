#pragma once

#include "remote/local_folder_record.h"
#include "remote/remote_item.h"
#include "remote/remote_item_list.h"

#include <QDateTime>
#include <QString>

#include <vector>

// What a transfer would meet at its target: the file-action question is asked
// only when something of the same name is there, or when the target folder's
// contents are not known yet.

// One name present on both sides, as the question shows it.
struct TransferConflict {
    QString name;
    bool serverFolder = false;
    bool localFolder = false;
    qint64 serverSize = 0;
    qint64 localSize = 0;
    QString serverTime;  // as the remote list shows it
    QDateTime localTime;
};

struct TransferConflicts {
    // The target folder was never listed: what it holds is unknown.
    bool targetUnknown = false;
    std::vector<TransferConflict> conflicts;

    bool worthAsking() const { return targetUnknown || !conflicts.empty(); }
};

// Server entries downloaded into a local folder.
TransferConflicts DownloadConflicts(const std::vector<RemoteItem>& items,
                                    const QString& localFolder);
// Local items of one folder uploaded into a server folder whose listing is
// known (null: never listed).
TransferConflicts UploadConflicts(const LocalFolderRecord& local, const RemoteItemList* listing);

// The question's rows: sizes grouped by thousands (a folder says "folder"),
// times as the lists show them.
QString ConflictSizeText(qint64 size, bool folder);
QString ConflictLocalTimeText(const QDateTime& time);
// The line above the rows, or the note when the target is unknown.
QString ConflictSummary(const TransferConflicts& c, bool upload);
