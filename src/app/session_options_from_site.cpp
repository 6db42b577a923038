#include "app/session_options_from_site.h"

#include "app/site_tls.h"

SessionOptions MakeSessionOptions(const SiteRecord& site, const AppSettings& settings) {
    SessionOptions o;
    o.host = site.Host;
    o.port = site.Port;
    o.logonType = site.LogonType;
    o.user = site.User;
    o.password = site.Password;
    // Anonymous servers expect an address-like password; none is needed from the user.
    if (site.LogonType == SiteRecord::kLogonAnonymous && o.password.isEmpty())
        o.password = QStringLiteral("anonymous@");
    o.transferType = TransferType(site.TransferType);
    o.siteName = site.Name;
    o.comment = site.Comment;
    o.preferMlsd = site.SiteFlags & SiteRecord::kPreferMlsd;
    o.concernedFile = site.ConcernedFile;
    o.tls = SiteTlsMode(site);
    o.keepAliveInterval = settings.KeepAliveInterval;
    o.keepAliveCommand1 = settings.KeepAliveCommand1;
    o.keepAliveCommand2 = settings.KeepAliveCommand2;
    o.showActiveServerFiles = settings.CommonFlags & AppSettings::kShowActiveServerFiles;
    return o;
}

void ApplyLogin(SessionOptions& options, const LoginCredentials& login) {
    if (login.anonymous)
        options.logonType = SiteRecord::kLogonAnonymous;
    else if (options.logonType == SiteRecord::kLogonAnonymous)
        options.logonType = SiteRecord::kLogonNormal;
    options.user = login.user;
    options.password = login.password;
}
