#pragma once

#include "app/ftp_url.h"

#include <QString>
#include <QStringList>

#include <optional>

// What the desktop program was asked for on its command line:
//   velmora [--setting-dir DIR] [--site NAME | ftp://[user[:password]@]host[:port][/path]]
struct LaunchOptions {
    QString settingDir;
    QString site;
    std::optional<FtpUrl> url;
    bool help = false;
    bool version = false;
    QString error;  // one line; the program exits 2 without a window
};

// `arguments` without the program name. Options Qt itself takes (-platform,
// -style, ...) are left to Qt and not seen here.
LaunchOptions ParseLaunchOptions(const QStringList& arguments);

QString LaunchUsage();
QString VersionText();
