#include "app/publish_settings.h"
#include "app/settings_path.h"
#include "cli/cli_commands.h"
#include "cli/cli_context.h"
#include "cli/cli_session.h"
#include "cli/compare_collector.h"
#include "cli/remote_argument.h"
#include "cli/transfer_options.h"
#include "platform/format.h"
#include "remote/local_name_guard.h"
#include "remote/remote_path.h"
#include "workspace/compare_tree.h"
#include "workspace/loop_starters.h"
#include "workspace/project_folders.h"

#include <QDateTime>
#include <QDir>
#include <QTimeZone>

#include <cstdio>

namespace {

QString kindWord(char kind) {
    switch (kind) {
        case '-':
            return QStringLiteral("file");
        case 'd':
            return QStringLiteral("folder");
        case 'l':
            return QStringLiteral("link");
        case 'b':
            return QStringLiteral("devb");
        case 'c':
            return QStringLiteral("devc");
        case 0:
            return QString();
    }
    return QStringLiteral("other");
}

// --kinds file,folder,link,devb,devc,other into the loops' kind bits.
bool parseKinds(const QString& text, quint8* bits) {
    *bits = 0;
    for (const QString& k : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (k == QLatin1String("file"))
            *bits |= SearchCriteria::File;
        else if (k == QLatin1String("folder"))
            *bits |= SearchCriteria::Folder;
        else if (k == QLatin1String("link"))
            *bits |= SearchCriteria::Link;
        else if (k == QLatin1String("devb"))
            *bits |= SearchCriteria::DeviceB;
        else if (k == QLatin1String("devc"))
            *bits |= SearchCriteria::DeviceC;
        else if (k == QLatin1String("other"))
            *bits |= SearchCriteria::Others;
        else
            return false;
    }
    return true;
}

// "N", "Nkb" or "Nmb" as the search window's value and unit.
bool parseSize(const QString& text, qint32* value, quint8* unit) {
    QString number = text;
    *unit = SearchCriteria::Bytes;
    if (number.endsWith(QLatin1String("kb"))) {
        *unit = SearchCriteria::Kb;
        number.chop(2);
    } else if (number.endsWith(QLatin1String("mb"))) {
        *unit = SearchCriteria::Mb;
        number.chop(2);
    }
    bool ok = false;
    const int v = number.toInt(&ok);
    if (!ok || v < 0)
        return false;
    *value = v;
    return true;
}

// The folder a command works in: the argument, else the URL's path, else the
// folder the server started in.
QByteArray startFolder(CliSession& cli, const QString& given, const QString& urlPath,
                       const QByteArray& root) {
    if (!given.isEmpty())
        return cleanRemote(given);
    if (!urlPath.isEmpty())
        return cleanRemote(urlPath);
    (void)cli;
    return root;
}

struct RootWatch {
    QByteArray root;
    explicit RootWatch(CliSession& cli) {
        QObject::connect(
            &cli.engine(), &ActionEngine::rootFound,
            [this](const QByteArray& folder, const RemoteItemList&) { root = folder; });
    }
};

// ------------------------------------------------------------------ compare

QString differenceWord(const CompareItem& item, bool sizes) {
    if (!item.isRemote())
        return QStringLiteral("local-only");
    if (!item.isLocal())
        return QStringLiteral("remote-only");
    if (!item.isLocalFolder() && item.remoteKind == '-') {
        if ((sizes && item.localSize != item.remoteSize) ||
            item.newer == CompareItem::Newer::Neither)
            return QStringLiteral("size");
        return item.newer == CompareItem::Newer::Local ? QStringLiteral("local-newer")
                                                       : QStringLiteral("server-newer");
    }
    return QStringLiteral("kind");
}

QString timeText(qint64 utc) {
    if (utc < 0)
        return {};
    return QDateTime::fromSecsSinceEpoch(utc, QTimeZone::utc())
        .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"));
}

}  // namespace

int runCompareCommand(CliContext& ctx, const QStringList& given) {
    const QString usage = QStringLiteral(
        "usage: compare [--case-sensitive] [--sizes] [--dates] [--recursive] [--ignore-hidden] "
        "[--tsv] [--parallel N] [RELATIVE_FOLDER]");
    QStringList args = given;
    if (!applyParallelOption(&args, ctx.cli))
        return 2;
    quint8 options = 0;
    bool dates = false;
    bool tsv = false;
    QString relative;
    bool relativeGiven = false;
    for (const QString& a : args) {
        if (a == QLatin1String("--case-sensitive"))
            options |= CompareOptions::CaseSensitive;
        else if (a == QLatin1String("--sizes"))
            options |= CompareOptions::FileSize;
        else if (a == QLatin1String("--dates"))
            dates = true;
        else if (a == QLatin1String("--recursive"))
            options |= CompareOptions::SubFolders;
        else if (a == QLatin1String("--ignore-hidden"))
            options |= CompareOptions::IgnoreHidden;
        else if (a == QLatin1String("--tsv"))
            tsv = true;
        else if (a.startsWith(QLatin1String("--")) || relativeGiven)
            return printError(usage), 2;
        else
            relative = a, relativeGiven = true;
    }
    if (!ctx.site || ctx.site->LocalProjectFolder.isEmpty() ||
        ctx.site->RemoteProjectFolder.isEmpty()) {
        printError(
            QStringLiteral("compare needs --site NAME with a local and a remote project "
                           "folder"));
        return 2;
    }
    QByteArray rel = relative.toUtf8();
    while (rel.startsWith('/'))
        rel.remove(0, 1);
    while (rel.endsWith('/'))
        rel.chop(1);
    for (const QByteArray& part : rel.split('/')) {
        if (!rel.isEmpty() && !isSafeLocalName(part)) {
            printError(QStringLiteral("not a folder below the project: ") + relative);
            return 2;
        }
    }
    CompareParams params;
    params.localProjectFolder = ctx.site->LocalProjectFolder;
    params.remoteProjectFolder = cleanRemote(ctx.site->RemoteProjectFolder);
    params.options = options;
    params.relativePath = rel;
    params.dates = dates;
    // LIST times read by the server's offset, stored beside the sites and
    // found again whenever the server lists by MLSD as well.
    PublishSettings publish;
    const QString publishPath = SettingsPath(PublishSettings::fileName(), ctx.settingDir);
    const bool publishWhole = dates && LoadPublishSettings(publish, publishPath);
    const QString host = ctx.site->Host;
    const int port = ctx.site->Port;
    if (dates) {
        params.listOffset = publish.offsetFor(host, port).value_or(0);
        params.offsetFinder = std::make_shared<ListOffsetFinder>();
        params.offsetFinder->onFound = [&](qint64 seconds) {
            ctx.cli.session().log(
                LogChannel::Status,
                QStringLiteral("LIST times of %1 are UTC %2").arg(host, timeOffsetText(seconds)));
            if (!publishWhole || publish.offsetFor(host, port) == seconds)
                return;
            publish.setOffset(host, port, qint32(seconds));
            if (!SavePublishSettings(publish, publishPath))
                printError(QStringLiteral("could not save the time offset in ") + publishPath);
        };
    }
    const QString localStart = JoinLocalPath(params.localProjectFolder, QString::fromUtf8(rel));
    const QString refusal = CompareStartRefusal(localStart);
    if (!refusal.isEmpty()) {
        printError(refusal.simplified());
        return 3;
    }
    if (!ctx.cli.start())
        return printError(ctx.cli.error()), 3;
    CompareCollector owner;
    owner.tree.setBase(rel);
    LoopStarters(ctx.cli.engine()).startCompare(params, {&owner, &owner});
    if (!ctx.cli.waitIdle())
        return printError(ctx.cli.error()), 3;
    bool failed = reportOutcome(ctx.cli) != 0;
    if (!owner.tree.root()->visited()) {
        printError(QStringLiteral("the remote folder %1 could not be compared")
                       .arg(QString::fromUtf8(joinRemotePath(params.remoteProjectFolder, rel))));
        failed = true;
    }
    for (const QString& u : owner.unreadable) {
        printError(QStringLiteral("local folder can not be read: ") +
                   JoinLocalPath(params.localProjectFolder, u));
        failed = true;
    }
    const auto differences = owner.tree.differences(options & CompareOptions::SubFolders);
    QByteArray out;
    for (const CompareNode* node : differences) {
        const CompareItem& item = node->item;
        QByteArray path = CompareTree::pathOf(node);
        if (!rel.isEmpty())
            path = rel + '/' + path;
        const QString localKind = !item.isLocal()        ? QString()
                                  : item.isLocalFolder() ? QStringLiteral("folder")
                                                         : QStringLiteral("file");
        const QString localSize =
            item.isLocal() && !item.isLocalFolder() ? QString::number(item.localSize) : QString();
        const QString remoteKind = item.isRemote() ? kindWord(item.remoteKind) : QString();
        const QString remoteSize = item.isRemote() && (item.remoteKind == '-')
                                       ? QString::number(item.remoteSize)
                                       : QString();
        const QString what = differenceWord(item, options & CompareOptions::FileSize);
        if (tsv) {
            out += path + '\t' + localKind.toUtf8() + '\t' + localSize.toUtf8() + '\t' +
                   remoteKind.toUtf8() + '\t' + remoteSize.toUtf8() + '\t' + what.toUtf8();
            if (dates)
                out += '\t' + timeText(item.localTime).toUtf8() + '\t' +
                       timeText(item.remoteTime).toUtf8();
            out += '\n';
        } else if (item.newer != CompareItem::Newer::Neither) {
            out += QStringLiteral("%1  %2  (local: %3, remote: %4)\n")
                       .arg(what.leftJustified(12), QString::fromUtf8(path),
                            timeText(item.localTime), timeText(item.remoteTime))
                       .toUtf8();
        } else {
            auto side = [](const QString& kind, const QString& size) {
                if (kind.isEmpty())
                    return QStringLiteral("-");
                return size.isEmpty() ? kind : kind + QLatin1Char(' ') + size;
            };
            out += QStringLiteral("%1  %2  (local: %3, remote: %4)\n")
                       .arg(what.leftJustified(11), QString::fromUtf8(path),
                            side(localKind, localSize), side(remoteKind, remoteSize))
                       .toUtf8();
        }
    }
    writeStdout(out);
    if (failed)
        return 3;
    return differences.empty() ? 0 : 1;
}

// --------------------------------------------------------------------- find

namespace {

class FindPrinter : public QObject, public SearchOwner {
public:
    explicit FindPrinter(bool tsv) : tsv_(tsv) {}
    int found = 0;
    bool searchResult(const SearchRow& row) override {
        ++found;
        const QByteArray path = joinRemotePath(row.folder, row.item.name);
        if (!tsv_) {
            writeStdout(path + (row.item.kind == 'd' ? "/\n" : "\n"));
            return true;
        }
        const RemoteItem& i = row.item;
        QByteArray date;
        if (i.year >= 0)
            date += QByteArray::number(i.year);
        date += '-' + (i.month >= 0 ? QByteArray::number(i.month) : QByteArray()) + '-' +
                (i.day >= 0 ? QByteArray::number(i.day) : QByteArray());
        writeStdout(kindWord(i.kind).toUtf8() + '\t' + QByteArray::number(i.size) + '\t' + date +
                    ' ' + i.time + '\t' + i.permissions + '\t' + i.owner + '\t' + i.group + '\t' +
                    path + '\n');
        return true;
    }

private:
    bool tsv_;
};

}  // namespace

int runFindCommand(CliContext& ctx, const QStringList& args) {
    const QString usage = QStringLiteral(
        "usage: find PATTERN [--kinds file,folder,link,devb,devc,other] [--at-least N[kb|mb]] "
        "[--at-most N[kb|mb]] [--case-sensitive] [--tsv] [REMOTE_FOLDER]");
    SearchRequest request;
    request.kinds = ItemKindBits::AllKinds;
    bool tsv = false;
    QStringList rest;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString* out) {
            if (i + 1 >= args.size())
                return false;
            *out = args[++i];
            return true;
        };
        QString v;
        if (a == QLatin1String("--kinds")) {
            if (!value(&v) || !parseKinds(v, &request.kinds))
                return printError(
                           QStringLiteral("--kinds takes file, folder, link, devb, devc, other")),
                       2;
        } else if (a == QLatin1String("--at-least") || a == QLatin1String("--at-most")) {
            if (request.sizeRelation != SearchCriteria::NotUsed)
                return printError(QStringLiteral("give one of --at-least and --at-most")), 2;
            if (!value(&v) || !parseSize(v, &request.sizeValue, &request.sizeUnit))
                return printError(a + QStringLiteral(" takes a number up to 2147483647, "
                                                     "with kb or mb after it")),
                       2;
            request.sizeRelation =
                a == QLatin1String("--at-least") ? SearchCriteria::AtLeast : SearchCriteria::AtMost;
        } else if (a == QLatin1String("--case-sensitive")) {
            request.caseSensitive = true;
        } else if (a == QLatin1String("--tsv")) {
            tsv = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            return printError(usage), 2;
        } else {
            rest << a;
        }
    }
    if (rest.isEmpty() || rest.size() > 2)
        return printError(usage), 2;
    request.name = rest.first();
    SearchCriteria criteria;
    const QString invalid = ValidateSearch(request, &criteria);
    if (!invalid.isEmpty())
        return printError(invalid), 2;
    RootWatch root(ctx.cli);
    if (!ctx.cli.start())
        return printError(ctx.cli.error()), 1;
    const QByteArray folder =
        startFolder(ctx.cli, rest.size() > 1 ? rest[1] : QString(), ctx.startPath, root.root);
    if (folder.isEmpty())
        return printError(QStringLiteral("the server named no start folder")), 1;
    FindPrinter printer(tsv);
    LoopStarters(ctx.cli.engine()).startSearch(folder, criteria, {&printer, &printer});
    if (!ctx.cli.waitIdle())
        return printError(ctx.cli.error()), 1;
    return reportOutcome(ctx.cli);
}

// --------------------------------------------------------------------- case

namespace {

class CasePrinter : public QObject, public ChangeCaseOwner {
public:
    int failed = 0;
    void caseRenamed(const CaseRename& r, bool success) override {
        const QByteArray line = joinRemotePath(r.folder, r.oldName) + " -> " + r.newName;
        if (success) {
            writeStdout(line + '\n');
        } else {
            ++failed;
            printError(QStringLiteral("not renamed: ") + QString::fromUtf8(line));
        }
    }
    void caseClash(const CaseRename& r) override {
        ++failed;
        printError(QStringLiteral("not renamed, %1 exists already: %2")
                       .arg(QString::fromUtf8(r.newName),
                            QString::fromUtf8(joinRemotePath(r.folder, r.oldName))));
    }
};

}  // namespace

int runCaseCommand(CliContext& ctx, const QStringList& args) {
    const QString usage = QStringLiteral(
        "usage: case lower|upper [--kinds K] [--recursive] [--dry-run] "
        "REMOTE_FOLDER");
    ChangeCaseOptions options;
    options.bits = ChangeCaseOptions::File | ChangeCaseOptions::Folder;
    bool dryRun = false;
    QStringList rest;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--kinds")) {
            quint8 kinds = 0;
            if (i + 1 >= args.size() || !parseKinds(args[++i], &kinds) || kinds == 0)
                return printError(
                           QStringLiteral("--kinds takes file, folder, link, devb, devc, other")),
                       2;
            options.bits = (options.bits & ChangeCaseOptions::SubFolders) | kinds;
        } else if (a == QLatin1String("--recursive")) {
            options.bits |= ChangeCaseOptions::SubFolders;
        } else if (a == QLatin1String("--dry-run")) {
            dryRun = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            return printError(usage), 2;
        } else {
            rest << a;
        }
    }
    if (rest.size() != 2 ||
        (rest[0] != QLatin1String("lower") && rest[0] != QLatin1String("upper")))
        return printError(usage), 2;
    options.target =
        rest[0] == QLatin1String("upper") ? ChangeCaseOptions::Upper : ChangeCaseOptions::Lower;
    const QByteArray folder = cleanRemote(rest[1]);
    if (!folder.startsWith('/'))
        return printError(QStringLiteral("remote paths are absolute: ") + rest[1]), 2;
    if (!ctx.cli.start())
        return printError(ctx.cli.error()), 1;
    CasePrinter printer;
    LoopStarters(ctx.cli.engine()).startChangeCase(folder, options, {&printer, &printer}, dryRun);
    if (!ctx.cli.waitIdle())
        return printError(ctx.cli.error()), 1;
    const int status = reportOutcome(ctx.cli);
    return printer.failed ? 1 : status;
}
