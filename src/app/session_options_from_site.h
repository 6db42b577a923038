#pragma once

#include "app/app_settings.h"
#include "app/login_credentials.h"
#include "app/site_record.h"
#include "session/session_options.h"

// What the session needs of the current site and the general settings.
SessionOptions MakeSessionOptions(const SiteRecord& site, const AppSettings& settings);

// The user and password a login resolved to; an anonymous one logs on as "anonymous".
void ApplyLogin(SessionOptions& options, const LoginCredentials& login);
