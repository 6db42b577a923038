#pragma once

#include "app/app_settings.h"
#include "app/site_record.h"

#include <QString>

#include <optional>

class CliSession;

// What a server command may need besides the session.
struct CliContext {
    CliSession& cli;
    QString startPath;               // the path of the URL, if any
    std::optional<SiteRecord> site;  // with --site
    AppSettings settings;
    QString settingDir;  // --setting-dir, when given
};
