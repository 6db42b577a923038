#include "app/ui/desktop_start.h"

#include "platform/prompter.h"

#include "app/ui/main_frame.h"
#include "app/workbench.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QPointer>
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
    // A named user without a password anywhere is asked, as on a terminal.
    QPointer<MainFrame> parent(frame.get());
    workbench.setPasswordAsker(
        [parent](const QString& user, const QString& host) -> std::optional<QString> {
            bool ok = false;
            const QString typed =
                QInputDialog::getText(parent, QStringLiteral("Password"),
                                      QStringLiteral("Password for %1@%2:").arg(user, host),
                                      QLineEdit::Password, QString(), &ok);
            if (!ok)
                return std::nullopt;
            return typed;
        });
    frame->restorePlacement();
    const QString site = launch.site;
    const std::optional<FtpUrl> url = launch.url;
    QTimer::singleShot(0, frame.get(), [&workbench, site, url, parent] {
        // Said before connecting: a site cut short may have lost its login.
        const QString damage = workbench.damageReport();
        if (!damage.isEmpty() && parent)
            parent->prompter().showMessage(damage);
        if (!site.isEmpty())
            workbench.connectSiteNamed(site);
        else if (url)
            workbench.connectUrl(*url);
    });
    return frame;
}
