#include "cli/cli_commands.h"
#include "cli/cli_session.h"
#include "cli/listing_printer.h"

int runLsCommand(CliSession& cli, const QStringList& args, const QString& startPath) {
    bool tsv = false;
    QString path;
    for (const QString& a : args) {
        if (a == QLatin1String("--tsv")) {
            tsv = true;
        } else if (a.startsWith(QLatin1String("--")) || !path.isEmpty()) {
            printError(QStringLiteral("usage: ls [--tsv] [PATH]"));
            return 2;
        } else {
            path = a;
        }
    }
    if (path.isEmpty())
        path = startPath;
    if (!cli.start())
        return printError(cli.error()), 1;
    const QByteArray folder = path.isEmpty() ? cli.loginFolder() : cli.absoluteRemote(path);
    if (folder.isEmpty())
        return printError(QStringLiteral("the server named no start folder")), 1;

    constexpr quintptr kToken = 1;
    bool delivered = false;
    RemoteItemList listing;
    QObject::connect(
        &cli.engine(), &ActionEngine::refreshDelivered,
        [&](quintptr window, quint8, const QByteArray&, const RemoteItemList& items, RefreshMode) {
            if (window == kToken) {
                listing = items;
                delivered = true;
            }
        });
    // What is printed lacks the entries whose lines could not be read.
    QStringList rejected;
    QObject::connect(&cli.engine(), &ActionEngine::linesRejected,
                     [&](const QByteArray&, const QString& text) { rejected << text; });
    RefreshTarget target;
    target.window = kToken;
    cli.engine().refresh(folder, target);
    if (!cli.waitIdle())
        return printError(cli.error()), 1;
    if (!delivered) {
        reportOutcome(cli);
        return 1;
    }
    if (tsv)
        printListingTsv(listing, stdout);
    else
        printListingForPeople(listing, stdout);
    for (const QString& text : rejected)
        printError(text);
    return reportOutcome(cli) == 0 && rejected.isEmpty() ? 0 : 1;
}
