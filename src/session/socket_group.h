#pragma once

#include "session/command_group.h"
#include "session/data_connection.h"

enum class SocketKind {
    List = 0,
    User = 1,
    UploadFile = 2,
    DownloadFile = 3,
    DirectDownload = 4,
    DirectUpload = 5
};

const char* socketKindName(int kind);

struct TransferInfo;

// A group that needs a passive data connection; complete once it has closed.
class SocketGroup : public CommandGroup {
public:
    // Receives are done in blocks of this size, as many as are waiting.
    static constexpr qint64 kReceiveBlock = 64 * 1024;

    using CommandGroup::CommandGroup;
    ~SocketGroup() override;

    GroupKind kind() const override { return GroupKind::Socket; }
    virtual SocketKind socketKind() const = 0;
    virtual QByteArray actionName() const { return {}; }
    bool startData(const QString& host, int port) override;
    bool isComplete() const override { return data_.dataClosed; }

    DataConnection& data() { return data_; }
    const DataConnection& data() const { return data_; }

    // A step of this group went out: TLS on the data connection starts once
    // the transfer command has (REST only prepares it).
    void stepSent(const CommandStep& step);

    // Entry point of the data socket's notifications.
    void onDataSocketEvent(SocketEvent event);

protected:
    // The kind-specific part of a notification.
    virtual void onDataEvent(SocketEvent event) = 0;
    // Reads everything waiting on the data socket into out.
    qint64 receiveAll(QByteArray* out);
    // Ends the data connection from our side (uploads).
    void finishData();
    // Drops the data connection, so that another PASV can open a new one.
    void resetData();
    // A transfer's box on the task panel: shown once, when the group is first
    // attached to a host, and taken away at the end only when it was shown.
    void announceStart(const TransferInfo& info);
    void announceEnd();

private:
    DataConnection data_;
    bool announced_ = false;
};
