#pragma once

#include "session/checksum_step.h"
#include "session/socket_group.h"
#include "session/transfer_info.h"

// A socket group that sends data of its own once its store command (STOR or
// APPE) has gone out, as fast as the data socket takes it.
//
// The transfer's publish plan adds to the store what makes it safe on a live
// site, all on this group so that one connection runs it: the bytes go to a
// hidden temporary name and are renamed over the old file only once complete
// and checked (a server refusing the temporary name gets the file directly,
// one refusing to rename over a file gets the old one deleted first); the
// server's checksum is compared with the bytes sent; the local modification
// time is set with MFMT. When the server answers SIZE and files travel as
// bytes, the stored file's size is asked once the data is out: a server that
// kept less than it was sent has not stored the file (a direct store whose
// plan carries a StoredSizeCheck is checked by its folder's listing instead).
class SendingGroup : public SocketGroup {
public:
    // How often a sent end still unacknowledged is looked at again.
    static constexpr int kAcknowledgementPollMs = 200;

    using SocketGroup::SocketGroup;

    virtual const TransferInfo& info() const = 0;

    QString prepareToSend() override;
    void onStepSent(const CommandStep& step) override;
    void replyArrived(const Reply& reply) override;
    // The checks after the store wait for the data to be out whole.
    bool readyToContinue() const override {
        return !checksum_.awaiting() && (!storeSent() || data().dataClosed);
    }
    bool takeRefusal(const CommandStep& step, int code) override;
    bool isComplete() const override {
        return data().dataClosed && !hasUnsentStep() && !checksum_.awaiting();
    }

    // The file is under its name and passed the checks that were asked.
    bool published() const { return !publishFailed_; }
    // Why it is not; empty when it is.
    const QString& publishError() const { return publishError_; }
    // The name the bytes are stored under (the temporary one, when atomic).
    const QByteArray& storedName() const { return storedName_; }
    // The temporary holds what was sent and stays on the server: the store
    // went out, and no rename or removal took it away.
    bool leftTemporary() const { return temporary_ && storeStarted_ && !temporaryGone_; }

protected:
    void onDataEvent(SocketEvent event) override {
        if (event == SocketEvent::Write && storeSent())
            sendMore();
    }
    // Sends until the socket takes no more or everything is out.
    virtual void sendMore() = 0;
    // Progress, as far as the server has it: `handedOver` is the position
    // behind the last byte given to the socket; what the peer has not
    // acknowledged is not counted, and is asked again on a timer until it has
    // drained, also after the end of the data. The first call of a send
    // (`start`) reports its start position as it is.
    void reportSent(qint64 handedOver, bool start = false);
    // The local bytes could not all be read: what the server holds is not the
    // file, so it is never renamed over the old one (the temporary goes).
    void sourceFailed(const QString& text);
    // The store of the temporary name was refused: the bytes go again, whole.
    virtual void restartSource() = 0;
    // The temporary holds this many bytes of the source already: the store goes on after them.
    // False when it can not (the source is shorter): the bytes then go whole.
    virtual bool continueSourceAt(qint64) { return false; }
    // Starts the digest of the bytes this group sends.
    virtual void startLocalDigest(ContentCheck& check, HashAlgorithm algorithm) = 0;
    // The local file's modification time (UTC seconds); -1 when there is none.
    virtual qint64 localModifiedTime() const { return -1; }
    // The version of the bytes sent, for the temporary's tag; empty: none known.
    virtual QByteArray sourceVersion() const { return {}; }
    // The bytes the server's file must hold after the store; -1: not checked
    // (the upload failed already).
    virtual qint64 storedSizeExpected() const = 0;

private:
    bool storeSent() const;
    void plan();
    // The checks and the rename after the store of storedName_.
    void appendTail();
    // Deletes of the file's temporaries this upload did not continue.
    void removeStaleTemporaries();
    void dropUnsent();
    void judge();
    void judgeSize(const Reply& reply);
    // The temporary, before the old file goes for it, still holds what was
    // sent: another upload of the same file may have renamed or replaced it.
    void judgeTemporaryBeforeDelete(const Reply& reply);
    // The temporary's size before the store: the store continues after what it holds.
    void continueTemporary(const Reply& reply);
    void fail(const QString& text);
    // A stored file known to be wrong: nothing more is sent but its removal.
    void abandonStored();
    // The file named in a failure, and whether the old one is still there.
    QString failedPath() const;

    bool planned_ = false;
    bool temporary_ = false;
    bool fellBack_ = false;
    bool renameRetried_ = false;
    bool confirmingTemporary_ = false;
    bool askingTemporarySize_ = false;
    bool storeStarted_ = false;
    bool temporaryGone_ = false;
    QByteArray finalName_;
    QByteArray storedName_;
    ChecksumStep checksum_;
    // Says a position past the last one said; never one twice.
    void reportProgress(qint64 position);
    // Says what the peer acknowledged of what was handed over; returns the
    // bytes still unacknowledged.
    qint64 reportAcknowledged();

    bool publishFailed_ = false;
    QString publishError_;
    qint64 handedOver_ = 0;
    qint64 reported_ = 0;
};
