#pragma once

#include "app/workbench.h"
#include "support/desktop_recorders.h"
#include "support/fake_transport.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

// A workbench over scripted transports in a temporary settings folder, with
// recording stand-ins for the beeper, the shutdown and the launcher.
struct WorkbenchHarness {
    QTemporaryDir folder;
    FakeTransportFactory transports;
    RecordingBeeper beeper;
    RecordingShutdown shutdown;
    RecordingLauncher launcher;
    std::unique_ptr<Workbench> workbench;

    WorkbenchHarness() { make(); }

    void make() {
        workbench.reset();
        workbench = std::make_unique<Workbench>(folder.path(), services(transports));
        // The scripted transports play one connection: no transfer connections.
        workbench->settings().SimultaneousTransfers = 0;
        workbench->transferPool().setConnections(0);
    }

    // The recording stand-ins, with connections made by `factory` and, when
    // given, passwords kept in `secrets`.
    Workbench::Services services(TransportFactory& factory, SecretStore* secrets = nullptr) {
        Workbench::Services s;
        s.transports = &factory;
        s.secrets = secrets;
        s.beeper = &beeper;
        s.shutdown = &shutdown;
        s.launcher = &launcher;
        return s;
    }

    QString path(const QString& name) const { return folder.filePath(name); }

    // Runs the event loop until `done` holds; false when it did not in time.
    static bool waitFor(const std::function<bool()>& done, int ms = 5000) {
        return QTest::qWaitFor(done, ms);
    }

    // Connects to a stored site over the scripted transport and plays the
    // server's side of the login up to the start-up's HELP reply.
    FakeTransport* login(const QByteArray& feat, const QByteArray& help) {
        SiteRecord site;
        site.Name = QStringLiteral("Home");
        site.Comment = QStringLiteral("test");
        site.Host = QStringLiteral("127.0.0.1");
        site.User = QStringLiteral("bob");
        site.Password = QStringLiteral("secret");
        workbench->sites().Records.push_back(site);
        workbench->sites().SelectedIndex = int(workbench->sites().Records.size()) - 1;
        workbench->settings().KeepAliveInterval = 0;
        workbench->connectSelectedSite();
        QPointer<FakeTransport> t = transports.last();
        if (!t)
            return nullptr;
        const FakeConnectionRecord& record = transports.record(transports.count() - 1);
        t->accept();
        // Each reply is answered by the client's next command: the login's, then
        // the first listing's once HELP has been read.
        for (const QByteArray& r :
             {QByteArray("220 Welcome\r\n"), QByteArray("331 Password\r\n"),
              QByteArray("230 Logged in\r\n"), QByteArray("200 Type set\r\n"), feat, help}) {
            const qsizetype sent = record.sentLines().size();
            if (!t)
                return nullptr;
            t->feed(r);
            if (!waitFor([&] { return record.sentLines().size() > sent; }))
                return nullptr;
        }
        return t;
    }
};
