#pragma once

#include "app/site_record.h"
#include "session/session_options.h"
#include "support/ftp_server_process.h"

// A test server's account as the program logs in with it.

// Session options without keep-alive: a test's connection is short.
inline SessionOptions SessionOptionsFor(const FtpServerProcess& server) {
    SessionOptions o;
    o.host = server.host();
    o.port = server.port();
    o.user = server.user();
    o.logonType = server.user() == QLatin1String("anonymous") ? 1 : 0;
    o.password = server.password();
    o.keepAliveInterval = 0;
    return o;
}

// A stored site named `name` with `comment`.
inline SiteRecord SiteFor(const FtpServerProcess& server, const QString& name,
                          const QString& comment = QString()) {
    SiteRecord site;
    site.Name = name;
    site.Comment = comment;
    site.Host = server.host();
    site.Port = server.port();
    site.User = server.user();
    site.Password = server.password();
    return site;
}
