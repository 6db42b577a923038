#include "cli/cli_commands.h"
#include "cli/listing_printer.h"
#include "remote/per_line_listing_grammar.h"
#include "session/log_line.h"

#include <QFile>

#include <memory>

namespace {

const char kUsage[] = "usage: parse [--unix|--mlsd|--dos|--auto] FILE";

std::unique_ptr<ListingGrammar> grammarFor(const QString& option) {
    if (option == QLatin1String("--unix"))
        return std::make_unique<UnixListingGrammar>();
    if (option == QLatin1String("--mlsd"))
        return std::make_unique<MlsdListingGrammar>();
    if (option == QLatin1String("--dos"))
        return std::make_unique<DosListingGrammar>();
    if (option == QLatin1String("--auto"))
        return std::make_unique<PerLineListingGrammar>(true);
    return nullptr;
}

}  // namespace

int runParseCommand(const QStringList& args) {
    std::unique_ptr<ListingGrammar> grammar = std::make_unique<UnixListingGrammar>();
    QString path;
    for (const QString& a : args) {
        if (a.startsWith(QLatin1String("--"))) {
            grammar = grammarFor(a);
            if (!grammar) {
                printError(QString::fromLatin1(kUsage));
                return 2;
            }
        } else if (!path.isEmpty()) {
            printError(QString::fromLatin1(kUsage));
            return 2;
        } else {
            path = a;
        }
    }
    if (path.isEmpty()) {
        printError(QString::fromLatin1(kUsage));
        return 2;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        printError(QStringLiteral("can not read %1: %2").arg(path, file.errorString()));
        return 1;
    }
    RemoteItemList items;
    RejectedLines rejected;
    items.parse(file.readAll(), *grammar, &rejected);
    printListingTsv(items, stdout);
    if (rejected.count == 0)
        return 0;
    const QString count = rejected.count == 1 ? QStringLiteral("1 line")
                                              : QStringLiteral("%1 lines").arg(rejected.count);
    printError(QStringLiteral("%1 could not be read, the first: %2")
                   .arg(count, displayText(rejected.first)));
    return 1;
}
