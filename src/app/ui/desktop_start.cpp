#include "app/ui/desktop_start.h"

#include "app/ui/main_frame.h"
#include "app/workbench.h"

#include <QTimer>

std::unique_ptr<MainFrame> StartDesktop(Workbench& workbench, const LaunchOptions& launch,
                                        QString* error, const MainFrame::Services& services) {
    if (!launch.site.isEmpty()) {
        bool found = false;
        for (const SiteRecord& r : workbench.sites().Records)
            found = found || r.Name == launch.site;
        if (!found) {
            *error = QStringLiteral("no stored site named \"%1\"").arg(launch.site);
            return nullptr;
        }
    }
    auto frame = std::make_unique<MainFrame>(workbench, services);
    frame->restorePlacement();
    const QString site = launch.site;
    const std::optional<FtpUrl> url = launch.url;
    QTimer::singleShot(0, frame.get(), [&workbench, site, url] {
        if (!site.isEmpty())
            workbench.connectSiteNamed(site);
        else if (url)
            workbench.connectUrl(*url);
    });
    return frame;
}
