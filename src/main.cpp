// The desktop program.
#include "app/launch_options.h"
#include "app/settings_path.h"
#include "app/site_file.h"
#include "app/transfer_watch.h"
#include "app/ui/desktop_start.h"
#include "app/ui/main_frame.h"
#include "app/workbench.h"
#include "platform/desktop_notifier.h"
#include "platform/launcher.h"
#include "platform/secret_store.h"
#include "platform/shutdown.h"
#include "platform/sleep_inhibitor.h"
#include "platform/termination_signals.h"
#include "platform/ui/accessible_application.h"
#include "platform/ui/help_window.h"
#include "platform/ui/tone_beeper.h"
#include "session/tcp_transport.h"
#include "velmora_version.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

#include <algorithm>

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

}  // namespace

int main(int argc, char** argv) {
    IgnoreFileSizeLimitSignal();
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

    const QString settingFolder = SettingsFolder(launch.settingDir);
    if (!launch.site.isEmpty()) {
        SiteList stored;
        LoadSites(stored, QDir(settingFolder).filePath(SettingsFileName(SettingsFileKind::Sites)));
        const bool known = std::any_of(stored.Records.begin(), stored.Records.end(),
                                       [&](const SiteRecord& r) { return r.Name == launch.site; });
        if (!known) {
            std::fprintf(stderr, "velmora: no stored site named \"%s\"\n", qPrintable(launch.site));
            return 2;
        }
    }

    QApplication app(argc, argv);
    InstallAccessibility();
    // Installed first: a signal that comes while the window is being built
    // waits for it, and then closes it normally, saving the settings.
    TerminationSignals terminations;
    // The icons live in a static library: nothing else would pull them in.
    Q_INIT_RESOURCE(velmora);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("velmora"));
    // Icons by file kind even outside a desktop session that names a theme.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("velmora"), QIcon(QStringLiteral(":/icons/velmora.svg"))));

    TcpTransportFactory transports;
    LogindShutdown shutdown;
    ProcessLauncher launcher;
    Workbench::Services services;
    services.transports = &transports;
    services.shutdown = &shutdown;
    services.launcher = &launcher;
    KeychainSecretStore secrets;
    services.secrets = &secrets;
    ToneBeeper beeper;
    services.beeper = &beeper;

    Workbench workbench(settingFolder, services);
    workbench.load();
    QString error;
    HelpWindow help;
    MainFrame::Services frameServices;
    frameServices.help = &help;
    const std::unique_ptr<MainFrame> frame = StartDesktop(workbench, launch, &error, frameServices);
    if (!frame) {
        std::fprintf(stderr, "velmora: %s\n", qPrintable(error));
        return 2;
    }
    // Other windows (help, queue) would keep the program running: it ends here.
    QObject::connect(&terminations, &TerminationSignals::received, frame.get(), [&frame](int) {
        frame->closeForSignal();
        QCoreApplication::quit();
    });
    // Transfers keep the machine awake; finished ones are announced while
    // the window is in the background.
    DBusDesktopNotifier notifier;
    LogindSleepInhibitor inhibitor;
    TransferWatch watch(workbench.session(), notifier, inhibitor,
                        [&frame] { return frame->isActiveWindow(); });
    watch.watchPool(workbench.transferPool());
    return app.exec();
}
