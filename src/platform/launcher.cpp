#include "platform/launcher.h"

#include <QProcess>

ProcessLauncher::ProcessLauncher(QString linkOpener) : linkOpener_(std::move(linkOpener)) {}

bool ProcessLauncher::startDetached(const QString& program, const QStringList& arguments) {
    if (program.isEmpty()) {
        return false;
    }
    return QProcess::startDetached(program, arguments);
}

bool ProcessLauncher::openLink(const QString& link) {
    // A link that looks like an option would be taken as one by the opener.
    if (link.isEmpty() || link.startsWith(QLatin1Char('-'))) {
        return false;
    }
    return QProcess::startDetached(linkOpener_, {link});
}
