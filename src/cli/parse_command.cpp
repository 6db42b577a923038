#include "cli/cli_commands.h"
#include "cli/listing_printer.h"

#include <QFile>

int runParseCommand(const QStringList& args) {
    bool unix = true;
    QString path;
    for (const QString& a : args) {
        if (a == QLatin1String("--unix")) {
            unix = true;
        } else if (a == QLatin1String("--mlsd")) {
            unix = false;
        } else if (a.startsWith(QLatin1String("--")) || !path.isEmpty()) {
            printError(QStringLiteral("usage: parse [--unix|--mlsd] FILE"));
            return 2;
        } else {
            path = a;
        }
    }
    if (path.isEmpty()) {
        printError(QStringLiteral("usage: parse [--unix|--mlsd] FILE"));
        return 2;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        printError(QStringLiteral("can not read %1: %2").arg(path, file.errorString()));
        return 1;
    }
    RemoteItemList items;
    items.parse(file.readAll(), unix);
    writeStdout(formatListingTsv(items));
    return 0;
}
