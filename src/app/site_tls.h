#pragma once

#include "app/site_record.h"
#include "session/tls_mode.h"

// The TLS mode lives in two spare bits of SiteFlags, so site.set keeps its
// layout: 0x04 "if available", 0x08 "required"; neither is plain FTP.
TlsMode SiteTlsMode(const SiteRecord& site);
void SetSiteTlsMode(SiteRecord& site, TlsMode mode);
// A site made by the user (not one read from a file) starts with TLS if available.
SiteRecord NewSiteRecord();
