#pragma once

#include "session/socket_group.h"

// A socket group that sends data of its own once its last command (the STOR)
// has gone out, as fast as the data socket takes it. When the server answers
// SIZE and files travel as bytes, the stored file's size is asked once the data
// is out: a server that kept less than it was sent has not stored the file.
class SendingGroup : public SocketGroup {
public:
    using SocketGroup::SocketGroup;

    void onStepSent(const CommandStep&) override {
        if (storeSent() && data().socket && data().socket->writable())
            sendMore();
    }
    QString prepareToSend() override;
    void replyArrived(const Reply& reply) override;
    // The size is asked only after the data went out whole.
    bool readyToContinue() const override { return !storeSent() || data().dataClosed; }
    bool toleratesRefusal(const CommandStep& step) const override { return step.nameIs("SIZE"); }
    bool isComplete() const override { return data().dataClosed && !hasUnsentStep(); }

    // Why the server's file is not what was sent; empty when it is, or was not
    // asked.
    const QString& storedSizeError() const { return storedSizeError_; }

protected:
    void onDataEvent(SocketEvent event) override {
        if (event == SocketEvent::Write && storeSent())
            sendMore();
    }
    // Sends until the socket takes no more or everything is out.
    virtual void sendMore() = 0;
    // The bytes the server's file must hold after the store; -1: not checked
    // (the upload failed already).
    virtual qint64 storedSizeExpected() const = 0;

private:
    bool storeSent() const;

    QString storedSizeError_;
};
