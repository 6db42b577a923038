// How long the main window takes to open, from the program's start to its
// first paint, with a settings folder of N stored sites. The reference in the
// same run is the same start with no stored site.
//
//   velmora-startup-bench --make-sites N DIR   writes DIR/site.set with N sites
//   velmora-startup-bench DIR                  prints the milliseconds to the first paint
#include "app/settings_path.h"
#include "app/site_file.h"
#include "app/ui/desktop_start.h"
#include "app/ui/main_frame.h"
#include "app/workbench.h"
#include "platform/beeper.h"
#include "platform/launcher.h"
#include "platform/shutdown.h"
#include "session/tcp_transport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>

#include <cstdio>

namespace {

class Quiet : public Beeper {
    void beep(int, int) override {}
};

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && !painted) {
            painted = true;
            QTimer::singleShot(0, qApp, &QApplication::quit);
        }
        return false;
    }
    bool painted = false;
};

int makeSites(int count, const QString& folder) {
    SiteList list;
    for (int i = 0; i < count; ++i) {
        SiteRecord r;
        r.Name = QStringLiteral("Site %1").arg(i, 4, 10, QLatin1Char('0'));
        r.Comment = QStringLiteral("customer %1").arg(i);
        r.Host = QStringLiteral("ftp%1.example.net").arg(i);
        r.User = QStringLiteral("keeper");
        r.Password = QStringLiteral("secret-%1").arg(i);
        r.LocalProjectFolder = QStringLiteral("/home/keeper/sites/%1").arg(i);
        r.RemoteProjectFolder = QStringLiteral("/public_html");
        list.Records.push_back(r);
    }
    list.SelectedIndex = 0;
    QDir().mkpath(folder);
    return SaveSites(list, QDir(folder).filePath(QStringLiteral("site.set"))) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    if (argc == 4 && QByteArray(argv[1]) == "--make-sites")
        return makeSites(QByteArray(argv[2]).toInt(), QString::fromLocal8Bit(argv[3]));
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora-startup-bench [--make-sites N] DIR\n");
        return 2;
    }
    QApplication app(argc, argv);
    TcpTransportFactory transports;
    Quiet beeper;
    LogindShutdown shutdown;
    ProcessLauncher launcher;
    Workbench workbench(QString::fromLocal8Bit(argv[1]),
                        {&transports, &beeper, &shutdown, &launcher});
    workbench.load();
    FirstPaint probe;
    app.installEventFilter(&probe);
    QString error;
    auto frame = StartDesktop(workbench, LaunchOptions(), &error);
    QTimer::singleShot(10000, &app, &QApplication::quit);
    app.exec();
    if (!probe.painted)
        return 1;
    std::printf("%lld\n", static_cast<long long>(clock.elapsed()));
    return 0;
}
