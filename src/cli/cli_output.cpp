#include "cli/cli_commands.h"
#include "cli/cli_session.h"

#include <cstdio>

void writeStdout(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void printError(const QString& text) {
    std::fprintf(stderr, "velmora-cli: %s\n", text.toUtf8().constData());
    std::fflush(stderr);
}

int reportOutcome(const CliSession& cli) {
    for (const QString& r : cli.refusals())
        printError(QStringLiteral("refused: ") + r);
    for (const QString& f : cli.failures())
        printError(f);
    return cli.clean() ? 0 : 1;
}
