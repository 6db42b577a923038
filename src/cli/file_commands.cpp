#include "cli/cli_commands.h"
#include "cli/cli_context.h"
#include "cli/cli_session.h"
#include "cli/remote_argument.h"
#include "cli/transfer_options.h"
#include "remote/file_operation_starters.h"
#include "remote/remote_path.h"

#include <algorithm>
#include <functional>
#include <map>

namespace {

// An entry named on the command line, absolute or relative, checked before
// connecting. "." and ".." name the folder itself or the one above, never an
// entry to act on.
bool entryArg(const QString& arg) {
    const QByteArray path = cleanRemote(arg);
    const QByteArray last = path.mid(path.lastIndexOf('/') + 1);
    if (last.trimmed().isEmpty() || last == "." || last == "..") {
        printError(QStringLiteral("not a remote path of an entry: ") + arg);
        return false;
    }
    return true;
}

bool entryArgs(const QStringList& args) {
    return std::all_of(args.begin(), args.end(), entryArg);
}

// Its folder and name once logged in.
bool splitArg(CliSession& cli, const QString& arg, QByteArray* parent, QByteArray* name) {
    if (splitRemotePath(cli.absoluteRemote(arg), parent, name))
        return true;
    printError(QStringLiteral("the server named no start folder for ") + arg);
    return false;
}

// Lists a folder so that the named entries are known with their kinds, as a
// view's selection would be.
bool listFolder(CliSession& cli, const QByteArray& folder, RemoteItemList* out) {
    static quintptr nextToken = 100;
    const quintptr token = ++nextToken;
    bool delivered = false;
    QMetaObject::Connection c = QObject::connect(
        &cli.engine(), &ActionEngine::refreshDelivered,
        [&](quintptr window, quint8, const QByteArray&, const RemoteItemList& items, RefreshMode) {
            if (window == token) {
                *out = items;
                delivered = true;
            }
        });
    RefreshTarget target;
    target.window = token;
    cli.engine().refresh(folder, target);
    const bool ok = cli.waitIdle();
    QObject::disconnect(c);
    if (!ok) {
        printError(cli.error());
        return false;
    }
    if (!delivered)
        printError(QStringLiteral("can not list ") + QString::fromUtf8(folder));
    return delivered;
}

// The named entries of each parent folder, in the order given.
struct Selection {
    std::vector<QByteArray> order;
    std::map<QByteArray, std::vector<QByteArray>> names;
};

bool gather(CliSession& cli, const QStringList& args, Selection* s) {
    for (const QString& a : args) {
        QByteArray parent, name;
        if (!splitArg(cli, a, &parent, &name))
            return false;
        if (!s->names.count(parent))
            s->order.push_back(parent);
        s->names[parent].push_back(name);
    }
    return true;
}

// The listed entries for the names; missing ones are reported.
bool resolve(CliSession& cli, const QByteArray& folder, const std::vector<QByteArray>& names,
             std::vector<RemoteItem>* items) {
    RemoteItemList listing;
    if (!listFolder(cli, folder, &listing))
        return false;
    bool all = true;
    for (const QByteArray& n : names) {
        if (const std::optional<RemoteItem> it = listing.itemOf(n)) {
            items->push_back(*it);
        } else {
            printError(QStringLiteral("no such remote entry: ") +
                       QString::fromUtf8(joinRemotePath(folder, n)));
            all = false;
        }
    }
    return all;
}

int done(CliContext& ctx, bool allFound) {
    if (!ctx.cli.waitIdle())
        return printError(ctx.cli.error()), 1;
    const int status = reportOutcome(ctx.cli);
    return allFound ? status : 1;
}

// Resolves the named entries folder by folder and hands each folder's entries
// to the operation; missing names are reported and make the run fail.
int runOnSelection(CliContext& ctx, const QStringList& args,
                   const std::function<void(FileOperationStarters&, const QByteArray&,
                                            const std::vector<RemoteItem>&)>& operation) {
    Selection s;
    if (!gather(ctx.cli, args, &s))
        return 1;
    bool allFound = true;
    FileOperationStarters ops(ctx.cli.engine());
    for (const QByteArray& folder : s.order) {
        std::vector<RemoteItem> items;
        allFound = resolve(ctx.cli, folder, s.names.at(folder), &items) && allFound;
        if (!items.empty())
            operation(ops, folder, items);
    }
    return done(ctx, allFound);
}

bool startOrReport(CliContext& ctx) {
    ctx.cli.engine().kindFilter.flags = KindFilter::Link;
    if (ctx.cli.start())
        return true;
    printError(ctx.cli.error());
    return false;
}

}  // namespace

int runRmCommand(CliContext& ctx, const QStringList& args) {
    TransferCliOptions t;
    QString error;
    if (!parseTransferOptions(args, &t, &error) || t.rest.isEmpty() || !entryArgs(t.rest)) {
        printError(error.isEmpty() ? QStringLiteral("usage: rm [--kinds ...] REMOTE...") : error);
        return 2;
    }
    if (!startOrReport(ctx))
        return 1;
    ctx.cli.engine().kindFilter = t.kinds;
    return runOnSelection(
        ctx, t.rest,
        [&](FileOperationStarters& ops, const QByteArray& folder,
            const std::vector<RemoteItem>& items) { ops.deleteItems(folder, items); });
}

int runMkdirCommand(CliContext& ctx, const QStringList& args) {
    if (args.size() != 1 || !entryArg(args.first())) {
        printError(QStringLiteral("usage: mkdir REMOTE"));
        return 2;
    }
    QByteArray parent, name;
    if (!startOrReport(ctx) || !splitArg(ctx.cli, args.first(), &parent, &name))
        return 1;
    RemoteItemList listing;
    if (!listFolder(ctx.cli, parent, &listing))
        return 1;
    if (listing.contains(name)) {
        printError(QStringLiteral("already exists: ") + args.first());
        return 1;
    }
    FileOperationStarters(ctx.cli.engine()).createFolder(parent, name);
    return done(ctx, true);
}

int runRenameCommand(CliContext& ctx, const QStringList& args) {
    if (args.size() != 2 || !entryArg(args.first()) || !entryArg(args[1]) ||
        args[1].contains(QLatin1Char('/'))) {
        printError(QStringLiteral("usage: rename REMOTE NEWNAME (a name, not a path)"));
        return 2;
    }
    QByteArray parent, name;
    if (!startOrReport(ctx) || !splitArg(ctx.cli, args.first(), &parent, &name))
        return 1;
    const QByteArray newName = args[1].toUtf8();
    RemoteItemList listing;
    if (!listFolder(ctx.cli, parent, &listing))
        return 1;
    if (!listing.contains(name)) {
        printError(QStringLiteral("no such remote entry: ") + args.first());
        return 1;
    }
    if (listing.contains(newName)) {
        printError(QStringLiteral("the folder already holds ") + args[1]);
        return 1;
    }
    FileOperationStarters(ctx.cli.engine()).rename(parent, name, newName);
    return done(ctx, true);
}

int runMvCommand(CliContext& ctx, const QStringList& args) {
    if (args.size() < 2 || !entryArgs(args.mid(0, args.size() - 1))) {
        printError(QStringLiteral("usage: mv REMOTE... REMOTE_DIR"));
        return 2;
    }
    if (!startOrReport(ctx))
        return 1;
    const QByteArray target = ctx.cli.absoluteRemote(args.last());
    if (target.isEmpty())
        return printError(QStringLiteral("the server named no start folder for ") + args.last()), 1;
    return runOnSelection(
        ctx, args.mid(0, args.size() - 1),
        [&](FileOperationStarters& ops, const QByteArray& folder,
            const std::vector<RemoteItem>& items) { ops.move(folder, target, items); });
}

int runChmodCommand(CliContext& ctx, const QStringList& args) {
    QStringList rest;
    PermissionRequest request;
    bool files = false, folders = false;
    for (const QString& a : args) {
        if (a == QLatin1String("--recursive"))
            request.recurse = true;
        else if (a == QLatin1String("--files"))
            files = true;
        else if (a == QLatin1String("--folders"))
            folders = true;
        else
            rest << a;
    }
    const QString usage =
        QStringLiteral("usage: chmod MODE REMOTE... [--recursive] [--files|--folders]");
    if (rest.size() < 2 || (files && folders)) {
        printError(usage);
        return 2;
    }
    const QString mode = rest.first();
    bool ok = mode.size() == 3;
    for (QChar c : mode)
        ok = ok && c >= QLatin1Char('0') && c <= QLatin1Char('7');
    if (!ok) {
        printError(QStringLiteral("MODE is three octal digits, such as 644"));
        return 2;
    }
    if (!entryArgs(rest.mid(1))) {
        printError(usage);
        return 2;
    }
    request.mode = mode.toLatin1();
    request.applyToFiles = !folders;
    request.applyToFolders = !files;
    if (!startOrReport(ctx))
        return 1;
    return runOnSelection(ctx, rest.mid(1),
                          [&](FileOperationStarters& ops, const QByteArray& folder,
                              const std::vector<RemoteItem>& items) {
                              ops.changePermissions(folder, request, items, false);
                          });
}
