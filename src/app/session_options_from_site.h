#pragma once

#include "app/app_settings.h"
#include "app/site_record.h"
#include "session/session_options.h"

// What the session needs of the current site and the general settings.
SessionOptions MakeSessionOptions(const SiteRecord& site, const AppSettings& settings);
