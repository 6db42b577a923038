#include "cli/cli_commands.h"
#include "cli/cli_context.h"
#include "cli/cli_session.h"
#include "cli/progress_line.h"
#include "cli/remote_argument.h"
#include "cli/remote_project.h"
#include "cli/transfer_options.h"
#include "platform/local_path.h"
#include "remote/remote_path.h"
#include "remote/transfer_starters.h"
#include "workspace/deploy_state.h"
#include "workspace/local_listing.h"
#include "workspace/project_folders.h"
#include "workspace/upload_folder_reader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <map>

namespace {

bool prepare(CliContext& ctx, const TransferCliOptions& t) {
    ActionEngine& e = ctx.cli.engine();
    e.downloadOptions = t.alert;
    e.uploadOptions = t.alert;
    e.kindFilter = t.kinds;
    e.publish = t.publish;
    e.localReader = MakeUploadFolderReader(ctx.settings.LocalShowFlags);
    ctx.cli.setParallel(t.parallel);
    if (!ctx.cli.start()) {
        printError(ctx.cli.error());
        return false;
    }
    warnIfUnverifiable(ctx.cli, t.publish.verify);
    return true;
}

int finish(CliContext& ctx) {
    if (!ctx.cli.waitIdle())
        return printError(ctx.cli.error()), 1;
    return reportOutcome(ctx.cli);
}

// A local path as one item of its parent folder, as an upload takes it.
bool localItemOf(const QString& path, QString* parent, LocalItem* item) {
    const QFileInfo info(QDir::cleanPath(QDir(path).absolutePath()));
    if (!info.exists() && !info.isSymLink()) {
        printError(QStringLiteral("no such local file or folder: ") + path);
        return false;
    }
    if (info.isSymLink() && info.isDir()) {
        printError(QStringLiteral("linked folder skipped, not uploaded: ") + path);
        return false;
    }
    if (!info.isDir() && !info.isFile()) {
        printError(QStringLiteral("not a file or folder, not uploaded: ") + path);
        return false;
    }
    *parent = info.absolutePath();
    item->name = info.fileName();
    item->isFolder = info.isDir();
    item->size = info.isDir() ? 0 : info.size();
    return true;
}

}  // namespace

int runGetCommand(CliContext& ctx, const QStringList& args) {
    TransferCliOptions t;
    QString error;
    if (!parseTransferOptions(args, &t, &error) || t.rest.size() < 2) {
        printError(error.isEmpty() ? QStringLiteral("usage: get [OPTIONS] REMOTE... LOCAL_DIR")
                                   : error);
        return 2;
    }
    const QString& target = t.rest.last();
    const QString localDir = QDir(target).absolutePath();
    const QStringList sources = t.rest.mid(0, t.rest.size() - 1);
    // Placed as cp places them: into a folder, made where missing, but one
    // file named to a path that is no folder is stored as that file.
    const QFileInfo targetInfo(localDir);
    if (sources.size() > 1 && targetInfo.exists() && !targetInfo.isDir()) {
        printError(
            QStringLiteral("several sources go into a folder, and %1 is not one").arg(target));
        return 1;
    }
    const bool intoFolder = targetInfo.isDir() || target.endsWith(QLatin1Char('/'));
    if (!prepare(ctx, t))
        return 1;
    QByteArray single;  // the one entry named, when one is
    // One download per remote folder, with the named entries as its selection.
    std::map<QByteArray, RemoteItemList> byFolder;
    std::vector<QByteArray> order;
    for (const QString& r : sources) {
        const QByteArray path = ctx.cli.absoluteRemote(r);
        QByteArray parent, name;
        if (path.isEmpty())
            return printError(QStringLiteral("the server named no start folder")), 1;
        if (!splitRemotePath(path, &parent, &name)) {
            parent = "/";
            name.clear();
        }
        if (!byFolder.count(parent))
            order.push_back(parent);
        RemoteItemList& sel = byFolder[parent];
        if (!name.isEmpty()) {
            RemoteItem it;
            it.name = name;  // no kind: matches whatever the server has
            sel.append(it);
            if (sources.size() == 1)
                single = name;
        } else {
            sel.clear();
            byFolder[parent] = RemoteItemList();
        }
    }
    ProgressLine progress(ctx.cli);
    TransferStarters starters(ctx.cli.engine());
    if (!single.isEmpty() && !intoFolder)
        starters.downloadAs(order.front(), single, localDir);
    else
        for (const QByteArray& folder : order)
            starters.download(folder, localDir, byFolder[folder]);
    return finish(ctx);
}

int runPutCommand(CliContext& ctx, const QStringList& args) {
    TransferCliOptions t;
    QString error;
    if (!parseTransferOptions(args, &t, &error) || t.rest.size() < 2) {
        printError(error.isEmpty() ? QStringLiteral("usage: put [OPTIONS] LOCAL... REMOTE_DIR")
                                   : error);
        return 2;
    }
    std::map<QString, LocalFolderRecord> byFolder;
    std::vector<QString> order;
    bool missing = false;
    for (const QString& l : t.rest.mid(0, t.rest.size() - 1)) {
        QString parent;
        LocalItem item;
        if (!localItemOf(l, &parent, &item)) {
            missing = true;
            continue;
        }
        if (!byFolder.count(parent)) {
            order.push_back(parent);
            byFolder[parent].path = parent;
        }
        byFolder[parent].items.push_back(item);
    }
    if (order.empty())
        return 1;
    if (!prepare(ctx, t))
        return 1;
    const QByteArray remoteDir = ctx.cli.absoluteRemote(t.rest.last());
    if (remoteDir.isEmpty())
        return printError(QStringLiteral("the server named no start folder")), 1;
    ProgressLine progress(ctx.cli);
    TransferStarters starters(ctx.cli.engine());
    for (const QString& folder : order)
        starters.uploadNormal(byFolder[folder], remoteDir);
    const int status = finish(ctx);
    return missing ? 1 : status;
}

int runDeployCommand(CliContext& ctx, const QStringList& args) {
    if (args.contains(QLatin1String("--changed")))
        return runChangedDeployCommand(ctx, args);
    TransferCliOptions t;
    QString error;
    if (!parseTransferOptions(args, &t, &error) || t.rest.size() > 1) {
        printError(error.isEmpty() ? QStringLiteral("usage: deploy [OPTIONS] [LOCAL_PATH]")
                                   : error);
        return 2;
    }
    if (!ctx.site || ctx.site->LocalProjectFolder.isEmpty() ||
        ctx.site->RemoteProjectFolder.isEmpty()) {
        printError(
            QStringLiteral("deploy needs --site NAME with a local and a remote project "
                           "folder"));
        return 2;
    }
    const QString project = QDir::cleanPath(QDir(ctx.site->LocalProjectFolder).absolutePath());
    const QString path =
        t.rest.isEmpty() ? project : QDir::cleanPath(QDir(t.rest.first()).absolutePath());
    if (!IsInProject(project, path, QLatin1Char('/'))) {
        printError(QStringLiteral("%1 is not in the local project folder %2").arg(path, project));
        return 1;
    }
    for (const char* record : {DeployState::kFileName, DeployState::kTempName}) {
        if (path == JoinLocalPath(project, QString::fromLatin1(record))) {
            printError(QStringLiteral("%1 is the changed deploys' record, the server's own: not "
                                      "uploaded")
                           .arg(path));
            return 1;
        }
    }
    LocalFolderRecord local;
    QString relativeFolder;
    bool skipped = false;
    if (path.compare(project, Qt::CaseInsensitive) == 0) {
        local.path = project;
        const LocalListing listing = ListLocalFolderForUpload(project, ctx.settings.LocalShowFlags);
        if (!listing.ok) {
            printError(QStringLiteral("can not read ") + project);
            return 1;
        }
        for (const LocalEntry& e : listing.entries) {
            // The record of changed deploys is the server's own: a copy that
            // came down with the site never goes back over it.
            if (e.name == QLatin1String(DeployState::kFileName) ||
                e.name == QLatin1String(DeployState::kTempName))
                continue;
            local.items.push_back({e.name, e.kind == QLatin1Char('d'), e.size});
        }
        for (const QString& s : listing.skipped)
            printError(QStringLiteral("skipped, not uploaded: ") + s);
        skipped = !listing.skipped.isEmpty();
    } else {
        LocalItem item;
        if (!localItemOf(path, &local.path, &item))
            return 1;
        local.items.push_back(item);
        relativeFolder = local.path.mid(project.size());
    }
    if (local.items.empty()) {
        printError(QStringLiteral("nothing to upload in ") + path);
        return 1;
    }
    if (!prepare(ctx, t))
        return 1;
    // A new site's first deploy makes its folder.
    const QByteArray remoteProject = cleanRemote(ctx.site->RemoteProjectFolder);
    if (ensureRemoteProject(ctx.cli, remoteProject, true) == RemoteProjectState::Failed)
        return 1;
    ProgressLine progress(ctx.cli);
    TransferStarters starters(ctx.cli.engine());
    starters.uploadProject(remoteProject, relativeFolder.toUtf8(), local);
    const int status = finish(ctx);
    return skipped ? 1 : status;
}

int runCatCommand(CliContext& ctx, const QStringList& args) {
    if (args.size() != 1) {
        printError(QStringLiteral("usage: cat REMOTE_FILE"));
        return 2;
    }
    if (!ctx.cli.start())
        return printError(ctx.cli.error()), 1;
    QByteArray parent, name;
    if (!splitRemotePath(ctx.cli.absoluteRemote(args.first()), &parent, &name)) {
        printError(QStringLiteral("not a remote file: ") + args.first());
        return 1;
    }
    QObject::connect(&ctx.cli.session(), &FtpSession::directDataArrived,
                     [&ctx](DirectPurpose purpose, const QByteArray&, const QByteArray&,
                            const QByteArray& chunk) {
                         QString why;
                         if (purpose == DirectPurpose::Stream && !writeStdout(chunk, &why))
                             ctx.cli.stop(QStringLiteral("can not write the output (%1)").arg(why));
                     });
    TransferStarters(ctx.cli.engine()).fetchDirect(DirectPurpose::Stream, parent, name);
    return finish(ctx);
}
