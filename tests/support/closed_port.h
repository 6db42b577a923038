#pragma once

#include <QtGlobal>

// A loopback port where nothing listens for as long as this lives: the port
// stays bound (never listening), so no other test can take it meanwhile.
class ClosedPort {
public:
    ClosedPort();
    ~ClosedPort();
    ClosedPort(const ClosedPort&) = delete;
    ClosedPort& operator=(const ClosedPort&) = delete;

    quint16 port() const { return port_; }

private:
    int fd_ = -1;
    quint16 port_ = 0;
};
