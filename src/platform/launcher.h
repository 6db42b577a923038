#pragma once

#include <QString>
#include <QStringList>

// Starts outside programs: viewing tools with a file or web address, and links
// in the default browser. Injectable so tests record instead of starting.
class Launcher {
public:
    virtual ~Launcher() = default;

    // Starts program detached with the arguments, each passed as one argument
    // (no shell in between). False when it could not be started.
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;
    // Opens a web address or file in the desktop's default handler.
    virtual bool openLink(const QString& link) = 0;
};

// The real one: QProcess::startDetached, and a desktop opener program for links
// (the engine has no access to QtGui's desktop services).
class ProcessLauncher : public Launcher {
public:
    explicit ProcessLauncher(QString linkOpener = QStringLiteral("xdg-open"));

    bool startDetached(const QString& program, const QStringList& arguments) override;
    bool openLink(const QString& link) override;

private:
    QString linkOpener_;
};
