#include "cli/cli_commands.h"
#include "cli/cli_session.h"
#include "platform/local_write.h"
#include "session/ftp_session.h"

#include <cerrno>
#include <cstdio>

bool writeStdout(const QByteArray& bytes, QString* reason) {
    errno = 0;
    const bool ok =
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size()) &&
        std::fflush(stdout) == 0;
    if (!ok && reason)
        *reason = SystemErrorText(errno ? errno : EIO);
    return ok;
}

void printError(const QString& text) {
    std::fprintf(stderr, "velmora-cli: %s\n", text.toUtf8().constData());
    std::fflush(stderr);
}

int reportOutcome(const CliSession& cli) {
    for (const QString& r : cli.refusals())
        printError(QStringLiteral("refused: ") + r);
    for (const QString& f : cli.failures() + cli.degradations())
        printError(f);
    return cli.clean() && cli.degradations().isEmpty() ? 0 : 1;
}

void warnIfUnverifiable(CliSession& cli, bool verify) {
    if (verify && cli.session().features().hashCommand().command.isEmpty())
        printError(
            QStringLiteral("warning: the server offers no checksum command (HASH, XSHA256, "
                           "XSHA1, XMD5, XCRC): files are not verified"));
}
