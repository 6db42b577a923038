#pragma once

#include "session/tls_status.h"

#include <QString>

// What the status bar says of how the conversation with the server travels,
// so that nobody takes a plain connection for an encrypted one.
struct ConnectionSecurity {
    QString text;    // empty while no server is logged in to
    QString detail;  // the longer account, for the tooltip and screen readers
    bool encrypted = false;

    bool operator==(const ConnectionSecurity&) const = default;
};

// From the session's facts: logged in or not, whether the control connection
// is secured, and how its TLS was set up.
ConnectionSecurity ConnectionSecurityOf(bool loggedIn, bool secure, const TlsStatus& tls);
