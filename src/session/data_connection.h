#pragma once

#include "session/async_socket.h"

#include <QByteArray>
#include <QString>

#include <memory>

// The passive data connection of one socket group.
class DataConnection {
public:
    QByteArray text;  // the group's subject: a remote folder or file
    QString dataHost;
    int dataPort = -1;
    bool dataClosed = false;
    std::unique_ptr<AsyncSocket> socket;

    bool started() const { return !dataHost.isEmpty(); }
};
