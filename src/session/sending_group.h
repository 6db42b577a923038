#pragma once

#include "session/socket_group.h"

// A socket group that sends data of its own once its last command (the STOR)
// has gone out, as fast as the data socket takes it.
class SendingGroup : public SocketGroup {
public:
    using SocketGroup::SocketGroup;

    void onStepSent(const CommandStep&) override {
        if (!hasUnsentStep() && data().socket && data().socket->writable())
            sendMore();
    }

protected:
    void onDataEvent(SocketEvent event) override {
        if (event == SocketEvent::Write && !hasUnsentStep())
            sendMore();
    }
    // Sends until the socket takes no more or everything is out.
    virtual void sendMore() = 0;
};
