#include "app/site_tls.h"

TlsMode SiteTlsMode(const SiteRecord& site) {
    // Both bits, which no version writes, count as the stricter choice.
    if (site.SiteFlags & SiteRecord::kTlsRequired)
        return TlsMode::Require;
    if (site.SiteFlags & SiteRecord::kTlsIfAvailable)
        return TlsMode::IfAvailable;
    return TlsMode::Off;
}

void SetSiteTlsMode(SiteRecord& site, TlsMode mode) {
    site.SiteFlags &= ~(SiteRecord::kTlsIfAvailable | SiteRecord::kTlsRequired);
    if (mode == TlsMode::IfAvailable)
        site.SiteFlags |= SiteRecord::kTlsIfAvailable;
    else if (mode == TlsMode::Require)
        site.SiteFlags |= SiteRecord::kTlsRequired;
}

SiteRecord NewSiteRecord() {
    SiteRecord r;
    SetSiteTlsMode(r, TlsMode::IfAvailable);
    return r;
}
