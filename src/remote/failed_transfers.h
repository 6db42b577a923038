#pragma once

#include "remote/transfer_alert_options.h"
#include "session/transfer_info.h"

#include <QObject>
#include <QString>

#include <vector>

class ActionEngine;
class SocketGroup;

// A transfer that did not finish: what it was, how far it got, why, and the
// server it was for ("user@host:port"). A folder stands for work on the whole
// folder that never started (its listing was not dealt with); a folder entry
// without a file name is the whole of its remote folder.
struct FailedTransfer {
    TransferResult result;
    QString server;
    bool folder = false;
};

// The downloads and uploads that failed or were stopped, kept until the user
// retries or removes them. A retry queues the one file again, deciding by its
// own file action (retryOptions), on the server it was for.
class FailedTransfers : public QObject {
    Q_OBJECT
public:
    explicit FailedTransfers(ActionEngine& engine, QObject* parent = nullptr);

    int count() const { return int(entries_.size()); }
    bool isEmpty() const { return entries_.empty(); }
    const FailedTransfer& at(int index) const { return entries_[size_t(index)]; }

    // The server the session is logged in to, as entries name it; empty when
    // not logged in.
    QString currentServer() const;
    // Logged in to the transfer's server.
    bool canRetry(int index) const;
    // Queues the transfer again; it leaves the list (and comes back if it
    // fails again). False when it cannot be retried now.
    bool retry(int index);
    // The same for several: the files of one folder are fetched or sent after
    // one listing of it, all in one task a direction. How many were queued.
    int retry(std::vector<int> indexes);
    // Gives the transfer up: what it kept to continue from goes too (a
    // download's part file; an upload's temporary on the server, when logged
    // in there), so nothing half-sent stays hidden in the site.
    void remove(int index);
    // The same for several, taken out in one pass (a long list at once).
    void remove(std::vector<int> indexes);
    // The uploads whose hidden temporary stays on the logged-in server, for
    // the site's visitors to fetch, once the program ends and forgets them.
    int temporariesOnServer() const;
    // Whether the transfer, stopped part-way, keeps a hidden temporary on
    // its server (an upload published under a temporary name).
    static bool keepsTemporary(const TransferInfo& info);
    // The question before the program ends with such temporaries.
    static QString temporariesQuestion(int count);
    // Gives up each of them, deleting its temporary (as remove does).
    void removeTemporariesOnServer();
    // Before the program ends with temporaries on servers it is not logged in
    // to, so can not delete: the warning, empty when there are none.
    QString temporariesElsewhereQuestion() const;

    // One line for people: the direction, the name, the folder, why it
    // stopped and how far it got.
    static QString describe(const FailedTransfer& failed);
    // A download continued in place resumes from the local file, an upload
    // that sent bytes from the server's file (when the server allows REST);
    // anything else is sent whole again: the old target is never continued.
    static TransferAlertOptions retryOptions(const TransferResult& result, bool restSupported);
    // A folder's retry fetches or sends what differs in size, so what arrived
    // whole is not sent again.
    static TransferAlertOptions folderRetryOptions();

public slots:
    void onTransferFailed(const TransferResult& result);
    // A transfer of a file that failed before began again (on any connection).
    void onTransferStarted(const SocketGroup* group, const TransferInfo& info);
    void onFolderUnfinished(const TransferResult& result);

signals:
    void added(int index);
    // Rows first..last are gone.
    void removed(int first, int last);
    void changed(int index);
    // Whether entries can be retried may have changed (login, logout).
    void retryableChanged();

private:
    void add(const FailedTransfer& failed);
    // Out of the list, keeping what it kept.
    void take(int index);
    // The same for sorted distinct indexes: each run of neighbours goes in one step.
    void takeRows(const std::vector<int>& sorted);
    // An upload's temporary on its server; on the logged-in one.
    static bool keepsTemporaryOnServer(const FailedTransfer& failed);
    bool keepsTemporaryHere(const FailedTransfer& failed) const;
    void dropKeptData(const FailedTransfer& failed);

    ActionEngine& engine_;
    std::vector<FailedTransfer> entries_;
};
