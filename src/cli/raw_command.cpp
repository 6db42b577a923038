#include "cli/cli_commands.h"
#include "cli/cli_session.h"

int runRawCommand(CliSession& cli, const QStringList& args) {
    if (args.isEmpty()) {
        printError(QStringLiteral("usage: raw COMMAND [ARG...]"));
        return 2;
    }
    if (!cli.start())
        return printError(cli.error()), 1;
    const QByteArray name = args.first().toUtf8();
    const QByteArray argument = args.mid(1).join(QLatin1Char(' ')).toUtf8();

    // The first reply after the command is its answer, whether or not the
    // command's expected codes know it.
    QList<QByteArray> answer;
    int code = -1;
    bool answered = false;
    QObject::connect(&cli.session(), &FtpSession::logLine, [&](const LogLine& line) {
        if (line.channel == LogChannel::Reply && !answered) {
            answer = line.lines;
            code = line.lines.isEmpty() ? -1 : line.lines.first().left(3).toInt();
            answered = true;
        }
    });
    cli.session().sendCommand(name, argument);
    const bool refusedBeforeSending = !cli.failures().isEmpty();
    if (!refusedBeforeSending && !cli.waitUntil([&] { return answered; }))
        return printError(cli.error()), 1;
    // A command whose reply it does not expect would wait for ever.
    if (CommandGroup* head = cli.session().queue().head()) {
        if (head->kind() == GroupKind::Pure && head->steps().size() == 1 &&
            head->steps().first().name == name)
            cli.session().removeGroup(head);
    }
    QByteArray out;
    for (const QByteArray& l : answer)
        out += l + '\n';
    writeStdout(out);
    int status = reportOutcome(cli);
    if (code >= 400 && status == 0) {
        printError(QStringLiteral("refused: %1 (%2)").arg(QString::fromUtf8(name)).arg(code));
        status = 1;
    }
    return status;
}
