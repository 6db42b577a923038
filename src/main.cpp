// The desktop program.
#include "app/launch_options.h"
#include "app/settings_path.h"
#include "app/ui/main_frame.h"
#include "app/workbench.h"
#include "platform/beeper.h"
#include "platform/launcher.h"
#include "platform/shutdown.h"
#include "session/tcp_transport.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

QStringList argumentsOf(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

// Without a display Qt would abort with a long text; one clear line instead.
bool hasDisplay() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// Until a tone device is wired in: the desktop's bell.
class BellBeeper : public Beeper {
public:
    void beep(int, int) override { QApplication::beep(); }
};

}  // namespace

int main(int argc, char** argv) {
    const LaunchOptions launch = ParseLaunchOptions(argumentsOf(argc, argv));
    if (!launch.error.isEmpty()) {
        std::fprintf(stderr, "velmora: %s (see velmora --help)\n", qPrintable(launch.error));
        return 2;
    }
    if (launch.help) {
        std::fputs(qPrintable(LaunchUsage()), stdout);
        return 0;
    }
    if (launch.version) {
        std::printf("%s\n", qPrintable(VersionText()));
        return 0;
    }
    if (!hasDisplay()) {
        std::fputs(
            "velmora: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are "
            "not set); velmora-cli works without one\n",
            stderr);
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setApplicationVersion(QStringLiteral("1.02"));
    QApplication::setDesktopFileName(QStringLiteral("velmora"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("velmora"), QIcon(QStringLiteral(":/icons/velmora.svg"))));

    TcpTransportFactory transports;
    LogindShutdown shutdown;
    ProcessLauncher launcher;
    Workbench::Services services;
    services.transports = &transports;
    services.shutdown = &shutdown;
    services.launcher = &launcher;
    BellBeeper beeper;
    services.beeper = &beeper;

    Workbench workbench(SettingsFolder(launch.settingDir), services);
    workbench.load();
    if (!launch.site.isEmpty()) {
        bool found = false;
        for (const SiteRecord& r : workbench.sites().Records)
            found = found || r.Name == launch.site;
        if (!found) {
            std::fprintf(stderr, "velmora: no stored site named \"%s\"\n", qPrintable(launch.site));
            return 2;
        }
    }

    MainFrame frame(workbench);
    frame.restorePlacement();
    QTimer::singleShot(0, &frame, [&] {
        if (!launch.site.isEmpty())
            workbench.connectSiteNamed(launch.site);
        else if (launch.url)
            workbench.connectUrl(*launch.url);
    });
    return app.exec();
}
