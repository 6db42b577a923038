#include "app/publish_settings.h"
#include "app/settings_path.h"
#include "cli/cli_commands.h"
#include "cli/cli_context.h"
#include "cli/cli_session.h"
#include "cli/compare_collector.h"
#include "cli/listing_printer.h"
#include "cli/remote_argument.h"
#include "cli/transfer_options.h"
#include "platform/format.h"
#include "platform/path_containment.h"
#include "remote/local_name_guard.h"
#include "remote/remote_path.h"
#include "workspace/compare_tree.h"
#include "workspace/loop_starters.h"
#include "workspace/project_folders.h"

#include <QDateTime>
#include <QDir>
#include <QTimeZone>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

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
// folder the server logged in to.
QByteArray startFolder(CliSession& cli, const QString& given, const QString& urlPath) {
    if (given.isEmpty() && urlPath.isEmpty())
        return cli.loginFolder();
    return cli.absoluteRemote(!given.isEmpty() ? given : urlPath);
}

QString kindsError() {
    return QStringLiteral("--kinds takes file, folder, link, devb, devc, other");
}

// One option of a loop command: a flag, or one that takes the word after it.
struct LoopOption {
    const char* name;
    std::function<void()> flag = nullptr;
    // Gets the word after the option (none at the end) and returns the error
    // to print, empty when it took the word.
    std::function<QString(const std::optional<QString>& word)> value = nullptr;
};

// Walks a loop command's words: the options by the table, the other words into
// rest in their order. An unknown option prints the usage and a refused value
// its error; either ends the walk with false.
bool walkOptions(const QStringList& args, const std::vector<LoopOption>& options,
                 const QString& usage, QStringList* rest) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& word = args[i];
        const auto option = std::find_if(options.begin(), options.end(), [&](const LoopOption& o) {
            return word == QLatin1StringView(o.name);
        });
        if (option == options.end()) {
            if (word.startsWith(QLatin1String("--")))
                return printError(usage), false;
            *rest << word;
        } else if (option->flag) {
            option->flag();
        } else {
            const std::optional<QString> next =
                i + 1 < args.size() ? std::optional<QString>(args[++i]) : std::nullopt;
            const QString error = option->value(next);
            if (!error.isEmpty())
                return printError(error), false;
        }
    }
    return true;
}

// Connects, lets queue put the loop's work in the queue and runs until it is
// done. False, the error printed, when connecting fails, queue declines or the
// run breaks off.
bool runLoop(CliSession& cli, const std::function<bool()>& queue) {
    if (!cli.start())
        return printError(cli.error()), false;
    if (!queue())
        return false;
    if (!cli.waitIdle())
        return printError(cli.error()), false;
    return true;
}

// ------------------------------------------------------------------ compare

// The word of each result kind the compare gives; the window says the same
// in its own words.
QString differenceWord(CompareResultKind kind) {
    switch (kind) {
        case CompareResultKind::LocalOnly:
            return QStringLiteral("local-only");
        case CompareResultKind::ServerOnly:
            return QStringLiteral("remote-only");
        case CompareResultKind::CommonFolder:
            return QStringLiteral("folder");
        case CompareResultKind::KindsDiffer:
            return QStringLiteral("kind");
        case CompareResultKind::NewerHere:
            return QStringLiteral("local-newer");
        case CompareResultKind::NewerOnServer:
            return QStringLiteral("server-newer");
        case CompareResultKind::SizesDiffer:
            break;
    }
    return QStringLiteral("size");
}

// The longest of those words, so the paths after them line up.
constexpr int kDifferenceWidth = 12;

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
    QStringList rest;
    if (!walkOptions(
            args,
            {{.name = "--case-sensitive",
              .flag = [&] { options |= CompareOptions::CaseSensitive; }},
             {.name = "--sizes", .flag = [&] { options |= CompareOptions::FileSize; }},
             {.name = "--dates", .flag = [&] { dates = true; }},
             {.name = "--recursive", .flag = [&] { options |= CompareOptions::SubFolders; }},
             {.name = "--ignore-hidden", .flag = [&] { options |= CompareOptions::IgnoreHidden; }},
             {.name = "--tsv", .flag = [&] { tsv = true; }}},
            usage, &rest))
        return 2;
    if (rest.size() > 1)
        return printError(usage), 2;
    const QString relative = rest.value(0);
    if (!ctx.site || ctx.site->LocalProjectFolder.isEmpty() ||
        ctx.site->RemoteProjectFolder.isEmpty()) {
        printError(
            QStringLiteral("compare needs --site NAME with a local and a remote project "
                           "folder"));
        return 2;
    }
    // A server path names a folder of the remote project; anything else is
    // below it.
    const QByteArray project = cleanRemote(ctx.site->RemoteProjectFolder);
    QByteArray rel = relative.toUtf8();
    if (rel.startsWith('/')) {
        const QByteArray path = cleanRemote(relative);
        if (!IsSameOrBelow(project, path)) {
            printError(QStringLiteral("%1 is not in the remote project folder %2")
                           .arg(relative, QString::fromUtf8(project)));
            return 2;
        }
        rel = path.mid(project.size());
    }
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
    params.remoteProjectFolder = project;
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
    CompareCollector owner;
    owner.tree.setBase(rel);
    if (!runLoop(ctx.cli, [&] {
            LoopStarters(ctx.cli.engine()).startCompare(params, {&owner, &owner});
            return true;
        }))
        return 3;
    // A transfer connection refused is said, but the comparison ran whole on the main one.
    reportOutcome(ctx.cli);
    bool failed = !ctx.cli.clean();
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
        const CompareResultKind kind = CompareResultKindOf(item);
        const QString what = differenceWord(kind);
        const bool byDate =
            kind == CompareResultKind::NewerHere || kind == CompareResultKind::NewerOnServer;
        if (tsv) {
            out += TsvField(path) + '\t' + localKind.toUtf8() + '\t' + localSize.toUtf8() + '\t' +
                   remoteKind.toUtf8() + '\t' + remoteSize.toUtf8() + '\t' + what.toUtf8();
            if (dates)
                out += '\t' + timeText(item.localTime).toUtf8() + '\t' +
                       timeText(item.remoteTime).toUtf8();
            out += '\n';
        } else if (byDate) {
            out += QStringLiteral("%1  %2  (local: %3, remote: %4)\n")
                       .arg(what.leftJustified(kDifferenceWidth), QString::fromUtf8(path),
                            timeText(item.localTime), timeText(item.remoteTime))
                       .toUtf8();
        } else {
            auto side = [](const QString& kind, const QString& size) {
                if (kind.isEmpty())
                    return QStringLiteral("-");
                return size.isEmpty() ? kind : kind + QLatin1Char(' ') + size;
            };
            out += QStringLiteral("%1  %2  (local: %3, remote: %4)\n")
                       .arg(what.leftJustified(kDifferenceWidth), QString::fromUtf8(path),
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
                    ' ' + TsvField(i.time) + '\t' + TsvField(i.permissions) + '\t' +
                    TsvField(i.owner) + '\t' + TsvField(i.group) + '\t' + TsvField(path) + '\n');
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
    auto sizeOption = [&request](const char* name, quint8 relation) {
        return LoopOption{
            .name = name,
            .value = [&request, name, relation](const std::optional<QString>& word) -> QString {
                if (request.sizeRelation != SearchCriteria::NotUsed)
                    return QStringLiteral("give one of --at-least and --at-most");
                if (!word || !parseSize(*word, &request.sizeValue, &request.sizeUnit))
                    return QString::fromLatin1(name) +
                           QStringLiteral(
                               " takes a number up to 2147483647, with kb or mb after it");
                request.sizeRelation = relation;
                return QString();
            }};
    };
    QStringList rest;
    if (!walkOptions(args,
                     {{.name = "--kinds",
                       .value =
                           [&](const std::optional<QString>& word) {
                               return word && parseKinds(*word, &request.kinds) ? QString()
                                                                                : kindsError();
                           }},
                      sizeOption("--at-least", SearchCriteria::AtLeast),
                      sizeOption("--at-most", SearchCriteria::AtMost),
                      {.name = "--case-sensitive", .flag = [&] { request.caseSensitive = true; }},
                      {.name = "--tsv", .flag = [&] { tsv = true; }}},
                     usage, &rest))
        return 2;
    if (rest.isEmpty() || rest.size() > 2)
        return printError(usage), 2;
    request.name = rest.first();
    SearchCriteria criteria;
    const QString invalid = ValidateSearch(request, &criteria);
    if (!invalid.isEmpty())
        return printError(invalid), 2;
    FindPrinter printer(tsv);
    const bool ran = runLoop(ctx.cli, [&] {
        const QByteArray folder = startFolder(ctx.cli, rest.value(1), ctx.startPath);
        if (folder.isEmpty())
            return printError(QStringLiteral("the server named no start folder")), false;
        LoopStarters(ctx.cli.engine()).startSearch(folder, criteria, {&printer, &printer});
        return true;
    });
    return ran ? reportOutcome(ctx.cli) : 1;
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
        "usage: case lower|upper [--kinds K] [--recursive] [--dry-run] REMOTE_FOLDER");
    ChangeCaseOptions options;
    options.bits = ChangeCaseOptions::File | ChangeCaseOptions::Folder;
    bool dryRun = false;
    QStringList rest;
    if (!walkOptions(args,
                     {{.name = "--kinds",
                       .value =
                           [&](const std::optional<QString>& word) {
                               quint8 kinds = 0;
                               if (!word || !parseKinds(*word, &kinds) || kinds == 0)
                                   return kindsError();
                               options.bits =
                                   (options.bits & ChangeCaseOptions::SubFolders) | kinds;
                               return QString();
                           }},
                      {.name = "--recursive",
                       .flag = [&] { options.bits |= ChangeCaseOptions::SubFolders; }},
                      {.name = "--dry-run", .flag = [&] { dryRun = true; }}},
                     usage, &rest))
        return 2;
    if (rest.size() != 2 ||
        (rest[0] != QLatin1String("lower") && rest[0] != QLatin1String("upper")))
        return printError(usage), 2;
    options.target =
        rest[0] == QLatin1String("upper") ? ChangeCaseOptions::Upper : ChangeCaseOptions::Lower;
    CasePrinter printer;
    if (!runLoop(ctx.cli, [&] {
            const QByteArray folder = ctx.cli.absoluteRemote(rest[1]);
            if (folder.isEmpty())
                return printError(QStringLiteral("the server named no start folder")), false;
            LoopStarters(ctx.cli.engine())
                .startChangeCase(folder, options, {&printer, &printer}, dryRun);
            return true;
        }))
        return 1;
    const int status = reportOutcome(ctx.cli);
    return printer.failed ? 1 : status;
}

int StartFailureStatus(const QString& command) {
    return command == QLatin1String("compare") ? 3 : 1;
}
