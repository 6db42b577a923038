#include "cli/cli_commands.h"
#include "cli/cli_context.h"
#include "cli/cli_session.h"
#include "cli/compare_collector.h"
#include "cli/progress_line.h"
#include "cli/remote_argument.h"
#include "cli/remote_project.h"
#include "cli/transfer_options.h"
#include "remote/file_operation_starters.h"
#include "remote/file_transfer.h"
#include "remote/remote_path.h"
#include "remote/transfer_pool.h"
#include "remote/transfer_starters.h"
#include "remote/upload_leftovers.h"
#include "session/checksum_group.h"
#include "session/direct_download_group.h"
#include "session/publish_plan.h"
#include "workspace/compare_tree.h"
#include "workspace/deploy_state.h"
#include "workspace/local_listing.h"
#include "workspace/loop_starters.h"
#include "workspace/project_folders.h"

#include <QDir>
#include <QSet>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <thread>

namespace {

// Every file of the project an upload would take, depth first; linked folders
// and special files are left out and named in skipped.
bool walkLocal(const QString& project, const QByteArray& rel, int showFlags,
               std::vector<DeployCandidate>* out, QStringList* errors, QStringList* skipped) {
    const QString folder = JoinLocalPath(project, QString::fromUtf8(rel));
    const LocalListing listing = ListLocalFolderForUpload(folder, showFlags);
    if (!listing.ok) {
        *errors << QStringLiteral("can not read ") + folder;
        return false;
    }
    *skipped += listing.skipped;
    bool ok = true;
    for (const LocalEntry& e : listing.entries) {
        const QByteArray path = joinRemotePath(rel, e.name.toUtf8());
        if (e.kind == QLatin1Char('d')) {
            ok = walkLocal(project, path, showFlags, out, errors, skipped) && ok;
        } else if (path != DeployState::kFileName) {
            DeployCandidate c;
            c.path = path;
            c.size = e.size;
            out->push_back(c);
        }
    }
    return ok;
}

// Without a state, files of the same size on both sides are told apart by the
// server's checksum where it offers one. False when the connection failed.
bool askServerChecksums(CliContext& ctx, const QByteArray& remoteProject, const QString& project,
                        std::vector<DeployCandidate>& local) {
    const HashCommand command = ctx.cli.session().features().hashCommand();
    if (command.command.isEmpty())
        return true;
    std::map<QByteArray, std::optional<ServerDigest>> answers;
    CommandQueue& queue = ctx.cli.session().queue();
    int asked = 0;
    for (const DeployCandidate& c : local) {
        if (!c.remoteExists || c.remoteNotFile || c.remoteSize != c.size)
            continue;
        auto g = std::make_unique<ChecksumGroup>(command, joinRemotePath(remoteProject, c.path));
        g->onDigest = [&answers, path = c.path](const std::optional<ServerDigest>& d) {
            answers[path] = d;
        };
        queue.append(std::move(g));
        ++asked;
    }
    if (asked == 0)
        return true;
    ctx.cli.engine().sendIfIdle();
    if (!ctx.cli.waitIdle())
        return false;
    for (DeployCandidate& c : local) {
        const auto it = answers.find(c.path);
        if (it == answers.end() || !it->second)
            continue;
        const ServerDigest& d = *it->second;
        QString error;
        const QByteArray mine = d.algorithm == HashAlgorithm::Sha256
                                    ? c.sha256
                                    : fileDigest(JoinLocalPath(project, QString::fromUtf8(c.path)),
                                                 d.algorithm, &error);
        if (!mine.isEmpty())
            c.remoteSameBytes = mine == d.hex;
    }
    return true;
}

}  // namespace

int runChangedDeployCommand(CliContext& ctx, const QStringList& given) {
    bool withDelete = false;
    bool dryRun = false;
    PublishOptions publish = TransferCliOptions::defaultCliPublishOptions();
    QStringList args = given;
    if (!applyParallelOption(&args, ctx.cli))
        return 2;
    for (const QString& a : args) {
        if (takePublishOption(a, &publish))
            continue;
        if (a == QLatin1String("--delete"))
            withDelete = true;
        else if (a == QLatin1String("--dry-run"))
            dryRun = true;
        else if (a != QLatin1String("--changed"))
            return printError(
                       QStringLiteral("usage: deploy --changed [--delete] [--dry-run] "
                                      "[--atomic|--no-atomic] [--keep-times|--no-keep-times] "
                                      "[--verify|--no-verify] [--parallel N]")),
                   2;
    }
    if (!ctx.site || ctx.site->LocalProjectFolder.isEmpty() ||
        ctx.site->RemoteProjectFolder.isEmpty()) {
        printError(
            QStringLiteral("deploy needs --site NAME with a local and a remote project folder"));
        return 2;
    }
    const QString project = QDir::cleanPath(QDir(ctx.site->LocalProjectFolder).absolutePath());
    const QByteArray remoteProject = cleanRemote(ctx.site->RemoteProjectFolder);

    // The local tree is walked and hashed on a thread of its own while the
    // server is logged in to and walked.
    std::vector<DeployCandidate> local;
    QStringList localErrors;
    // Left out: named, and the run is not done, but the rest goes up and the
    // state is written, else every later run would send everything again.
    QStringList skipped;
    bool localOk = true;
    const int showFlags = ctx.settings.LocalShowFlags;
    std::thread reader([&local, &localErrors, &skipped, &localOk, &project, showFlags] {
        localOk = walkLocal(project, {}, showFlags, &local, &localErrors, &skipped);
        for (DeployCandidate& c : local)
            c.sha256 = FileSha256(JoinLocalPath(project, QString::fromUtf8(c.path)));
    });
    struct Joiner {
        std::thread& t;
        ~Joiner() {
            if (t.joinable())
                t.join();
        }
    } joiner{reader};

    ActionEngine& engine = ctx.cli.engine();
    engine.uploadOptions.fileAction = TransferAlertOptions::OverwriteAlways;
    engine.uploadOptions.showAlert = 0;
    engine.publish = publish;
    // Nothing of the login folder is needed: no listing of it, no walk down.
    ctx.cli.session().setInitialListingFactory({});
    if (!ctx.cli.start())
        return printError(ctx.cli.error()), 1;
    warnIfUnverifiable(ctx.cli, publish.verify);
    // A new site's first deploy makes its folder; a dry run plans every file.
    const RemoteProjectState there = ensureRemoteProject(ctx.cli, remoteProject, !dryRun);
    if (there == RemoteProjectState::Failed)
        return 1;
    if (there == RemoteProjectState::Missing) {
        printError(QStringLiteral("the remote project folder %1 does not exist on the server; "
                                  "deploying creates it")
                       .arg(QString::fromUtf8(remoteProject)));
        reader.join();
        for (const QString& e : localErrors)
            printError(e);
        for (const QString& s : skipped)
            printError(QStringLiteral("skipped, not uploaded: ") + s);
        QByteArray lines;
        for (const DeployCandidate& c : local)
            lines += "upload " + c.path + '\n';
        writeStdout(lines);
        return localOk && skipped.isEmpty() ? 0 : 1;
    }

    // The state first, without listing its folder: a refusal means there is
    // none, which the compare's listing then confirms.
    QByteArray content;
    bool arrived = false;
    QObject::connect(&ctx.cli.session(), &FtpSession::directDataArrived,
                     [&](DirectPurpose purpose, const QByteArray&, const QByteArray& name,
                         const QByteArray& chunk) {
                         if (purpose == DirectPurpose::Stream && name == DeployState::kFileName)
                             content += chunk;
                     });
    QObject::connect(
        &ctx.cli.session(), &FtpSession::directContentArrived,
        [&](DirectPurpose purpose, const QByteArray&, const QByteArray& name, const QByteArray&) {
            if (purpose == DirectPurpose::Stream && name == DeployState::kFileName)
                arrived = true;
        });
    const int refusalsBeforeFetch = int(ctx.cli.refusals().size());
    {
        TransferInfo t;
        t.remoteFolder = remoteProject;
        t.fileName = DeployState::kFileName;
        std::vector<std::unique_ptr<CommandGroup>> work;
        work.push_back(std::make_unique<DirectDownloadGroup>(
            DirectPurpose::Stream, t,
            StepList{{"CWD", remoteProject}, {"PASV", {}}, {"RETR", DeployState::kFileName}}));
        engine.appendTask(QStringLiteral("Start retreiving deploy state"), std::move(work),
                          QStringLiteral("Retreiving deploy state completed"), 0);
    }
    if (!ctx.cli.waitIdle())
        return printError(ctx.cli.error()), 1;
    const bool fetched = arrived && int(ctx.cli.refusals().size()) == refusalsBeforeFetch;
    ctx.cli.forgetRefusalsFrom(refusalsBeforeFetch);
    if (!ctx.cli.clean())
        return reportOutcome(ctx.cli), 1;

    // What the server holds: the compare walk, exact names, with sizes.
    CompareCollector owner;
    CompareParams params{project,
                         remoteProject,
                         quint8(CompareOptions::CaseSensitive | CompareOptions::FileSize |
                                CompareOptions::SubFolders),
                         {}};
    params.ownFiles = true;  // the state file is read from what the walk finds
    LoopStarters(engine).startCompare(params, {&owner, &owner});
    if (!ctx.cli.waitIdle())
        return printError(ctx.cli.error()), 1;
    if (!owner.tree.root()->visited() || !ctx.cli.clean()) {
        reportOutcome(ctx.cli);
        printError(QStringLiteral("the remote project folder could not be compared"));
        return 1;
    }
    bool failed = false;
    for (const QString& u : owner.unreadable) {
        printError(QStringLiteral("local folder can not be read: ") + JoinLocalPath(project, u));
        failed = true;
    }

    std::set<QByteArray> walked;  // folders listed on both sides
    std::map<QByteArray, const CompareItem*> differing;
    std::vector<QByteArray> remoteFiles;
    std::vector<QByteArray> goneFolders;  // on the server only
    std::function<void(const CompareNode*)> collect = [&](const CompareNode* n) {
        if (n->visited())
            walked.insert(CompareTree::pathOf(n));
        for (const auto& c : n->children) {
            const QByteArray path = CompareTree::pathOf(c.get());
            differing[path] = &c->item;
            if (!c->item.isLocal() && c->item.remoteKind == '-')
                remoteFiles.push_back(path);
            if (!c->item.isLocal() && c->item.remoteKind == 'd')
                goneFolders.push_back(path);
            collect(c.get());
        }
    };
    collect(owner.tree.root());
    // Listed, or fetched: a local copy of the same size (brought down with the
    // site) keeps it out of the differences, never out of the deploy.
    const bool listed = differing.count(DeployState::kFileName) &&
                        differing[DeployState::kFileName]->remoteKind == '-';
    const bool stateSeen = listed || fetched;
    if (listed && !fetched) {
        printError(QStringLiteral("the deploy state file could not be read"));
        return 1;
    }

    std::optional<DeployState> state;
    if (stateSeen) {
        QString error;
        state = DeployState::parse(content, &error);
        if (!state)
            printError(error + QStringLiteral("; deploying by size"));
    }

    // Folders gone locally are listed only for the files the state has there.
    std::vector<QByteArray> keptFolders;
    if (withDelete && state) {
        std::map<QByteArray, RemoteItemList> listed;
        struct Listening {
            QMetaObject::Connection c;
            ~Listening() { QObject::disconnect(c); }
        } listening{QObject::connect(&engine, &ActionEngine::listingReady,
                                     [&](const ListingAction* action, const RemoteItemList& items) {
                                         listed[action->folder] = items;
                                     })};
        std::vector<QByteArray> next;
        for (const QByteArray& f : goneFolders) {
            if (state->listsBelow(f)) {
                next.push_back(f);
                keptFolders.push_back(f);
            }
        }
        while (!next.empty()) {
            for (const QByteArray& f : next)
                engine.refresh(joinRemotePath(remoteProject, f));
            if (!ctx.cli.waitIdle())
                return printError(ctx.cli.error()), 1;
            if (!ctx.cli.clean()) {
                reportOutcome(ctx.cli);
                printError(QStringLiteral("a folder gone locally could not be listed"));
                return 1;
            }
            std::vector<QByteArray> below;
            for (const QByteArray& f : next) {
                const RemoteItemList& items = listed[joinRemotePath(remoteProject, f)];
                for (int i = 0; i < items.size(); ++i) {
                    const RemoteItem& item = items.at(i);
                    const QByteArray path = f + '/' + item.name;
                    if (item.kind == '-')
                        remoteFiles.push_back(path);
                    else if (item.kind == 'd' && state->listsBelow(path))
                        below.push_back(path);
                }
            }
            next.swap(below);
        }
    }

    reader.join();
    for (const QString& e : localErrors)
        printError(e);
    for (const QString& s : skipped)
        printError(QStringLiteral("skipped, not uploaded: ") + s);
    failed = failed || !localOk;
    for (DeployCandidate& c : local) {
        if (c.sha256.isEmpty()) {
            printError(QStringLiteral("can not read ") +
                       JoinLocalPath(project, QString::fromUtf8(c.path)));
            failed = true;
        }
        const auto it = differing.find(c.path);
        if (!walked.count(projectParentFolder(c.path))) {
            c.remoteExists = false;
        } else if (it == differing.end()) {
            c.remoteExists = true;  // listed on both sides with the same size
            c.remoteSize = c.size;
        } else if (!it->second->isRemote()) {
            c.remoteExists = false;
        } else if (it->second->remoteKind != '-') {
            c.remoteNotFile = true;
        } else {
            c.remoteExists = true;
            c.remoteSize = it->second->remoteSize;
        }
    }
    if (!state && !askServerChecksums(ctx, remoteProject, project, local))
        return printError(ctx.cli.error()), 1;
    // A folder that could not be read is not gone: its files on the server stay.
    if (withDelete && !localOk)
        printError(QStringLiteral("nothing is deleted: the local project could not be read whole"));
    // An unmounted disk or a mistyped folder looks like a project whose files were all removed:
    // emptying a live site takes rm, not a deploy.
    const bool emptyProject = withDelete && localOk && local.empty();
    if (emptyProject) {
        printError(QStringLiteral("nothing is deleted: the local project %1 holds no files")
                       .arg(QDir::toNativeSeparators(project)));
        failed = true;
    }
    const DeployPlan plan =
        PlanChangedDeploy(local, state, remoteFiles, withDelete && localOk && !emptyProject);
    for (const QByteArray& p : plan.conflicts) {
        printError(QStringLiteral("not uploaded, something other than a file stands there: ") +
                   QString::fromUtf8(p));
        failed = true;
    }
    QByteArray uploadLines, deleteLines;
    for (const QByteArray& p : plan.uploads)
        uploadLines += "upload " + p + '\n';
    for (const QByteArray& p : plan.deletes)
        deleteLines += "delete " + p + '\n';
    // Folders are never removed, not even when the deletes empty them.
    for (const QByteArray& f : keptFolders) {
        const bool emptied =
            std::any_of(plan.deletes.begin(), plan.deletes.end(),
                        [&f](const QByteArray& p) { return p.startsWith(f + '/'); });
        if (emptied)
            deleteLines += "keep " + f + "/\n";
    }
    if (dryRun) {
        writeStdout(uploadLines + deleteLines);
        return failed || !skipped.isEmpty() ? 1 : 0;
    }
    // A real run says what it did as it is done: each upload once its file is
    // in place, the deletes once they all went; a run cut short lists no more.
    std::set<QByteArray> toTell(plan.uploads.begin(), plan.uploads.end());
    const QByteArray projectPrefix = remoteProject == "/" ? remoteProject : remoteProject + '/';
    struct Telling {
        QMetaObject::Connection c;
        ~Telling() { QObject::disconnect(c); }
    } telling{QObject::connect(
        &engine, &ActionEngine::transferFinished,
        [&](const TransferInfo& info, qint64, bool success) {
            const QByteArray path = joinRemotePath(info.remoteFolder, info.fileName);
            if (success && path.startsWith(projectPrefix) &&
                toTell.erase(path.mid(projectPrefix.size())))
                writeStdout("upload " + path.mid(projectPrefix.size()) + '\n');
        })};

    // A state is stored aside and renamed over the old one, so it is never
    // half-written; it has its own temporary name already. False, with what
    // went wrong printed, when it is not stored.
    const auto storeState = [&](const DeployState& stored) {
        const bool atomic = std::exchange(engine.publish.atomic, false);
        TransferStarters(engine).uploadDirect(remoteProject, DeployState::kTempName,
                                              stored.serialize(), false);
        const bool idle = ctx.cli.waitIdle();
        engine.publish.atomic = atomic;
        const auto notStored = [&] {
            if (ctx.cli.error().isEmpty())
                reportOutcome(ctx.cli);
            else
                printError(ctx.cli.error());
            printError(QStringLiteral("the deploy state %1 could not be stored on the server")
                           .arg(QLatin1String(DeployState::kFileName)));
            return false;
        };
        if (!idle || !ctx.cli.clean())
            return notStored();
        // It names every file of the site with its hash: not for visitors to
        // read. A server without SITE CHMOD keeps its own mode.
        const int refusalsBeforeMode = int(ctx.cli.refusals().size());
        engine.session().queue().addCommands(
            {{"SITE CHMOD", QByteArray("600 ") + DeployState::kTempName}});
        engine.sendIfIdle();
        if (!ctx.cli.waitIdle())
            return notStored();
        ctx.cli.forgetRefusalsFrom(refusalsBeforeMode);
        const int refusalsBefore = int(ctx.cli.refusals().size());
        auto rename = [&] {
            engine.session().queue().addCommands(
                {{"RNFR", DeployState::kTempName}, {"RNTO", DeployState::kFileName}});
            engine.sendIfIdle();
            return ctx.cli.waitIdle();
        };
        if (!rename())
            return notStored();
        // A server that will not rename over a file: the old state goes first,
        // but only once RNFR found what this run stored (another deploy may
        // have renamed it into place already).
        const QStringList& refused = ctx.cli.refusals();
        if (refused.size() > refusalsBefore && stateSeen &&
            refused.at(refusalsBefore).startsWith(QLatin1String("RNTO"))) {
            ctx.cli.forgetRefusalsFrom(refusalsBefore);
            engine.session().queue().addCommands(
                {{"CWD", remoteProject}, {"DELE", DeployState::kFileName}});
            if (!rename())
                return notStored();
        }
        return ctx.cli.clean() || notStored();
    };
    // Cut short, the deploy must not leave hashes of files it was replacing, nor forget the
    // files it sent.
    if (!plan.uploads.empty() && !storeState(DeployStateBeforeUploads(local, state, plan))) {
        printError(QStringLiteral("nothing was uploaded"));
        return 1;
    }

    // One pair upload per folder, creating the folders on the way.
    std::map<QByteArray, qint64> sizes;
    for (const DeployCandidate& c : local)
        sizes[c.path] = c.size;
    std::vector<ProjectFile> uploads;
    for (const QByteArray& p : plan.uploads)
        uploads.push_back({p, sizes[p]});
    const std::vector<ProjectUploadPart> parts = ProjectUploadParts(project, uploads);
    ProgressLine progress(ctx.cli);
    TransferStarters starters(engine);
    // Files in folders the walk listed go straight there, without listing
    // again, one CWD per folder; other folders are walked down to, creating
    // what is missing.
    // Temporaries earlier uploads of a file left (the walk shows them), by the
    // file's path: they go once the file is in place, or deleted.
    std::map<QByteArray, std::vector<RemoteItem>> temporaries;
    for (const QByteArray& path : remoteFiles) {
        RemoteItem left;
        left.kind = '-';
        left.name = path.mid(path.lastIndexOf('/') + 1);
        // Files in folders gone locally were listed apart: their size does not count.
        const auto item = differing.find(path);
        left.size = item != differing.end() ? item->second->remoteSize : 0;
        if (isUploadTemporaryName(left.name))
            temporaries[joinRemotePath(projectParentFolder(path), uploadTemporaryTarget(left.name))]
                .push_back(left);
    }
    std::vector<FileTransfer> direct;
    std::vector<ProjectUploadPart> walks;
    for (const ProjectUploadPart& part : parts) {
        if (!walked.count(part.relativePath)) {
            walks.push_back(part);
            continue;
        }
        const QByteArray remoteFolder = joinRemotePath(remoteProject, part.relativePath);
        for (const LocalItem& item : part.local.items) {
            FileTransfer t;
            t.direction = FileTransfer::Upload;
            t.info.remoteFolder = remoteFolder;
            t.info.fileName = item.name.toUtf8();
            t.info.localPath = JoinLocalPath(part.local.path, item.name);
            t.info.total = item.size;
            t.info.publish.options = engine.publish;
            const auto left = temporaries.find(joinRemotePath(part.relativePath, t.info.fileName));
            if (left != temporaries.end())
                PlanUploadLeftovers(t, left->second, true);
            direct.push_back(t);
        }
    }
    if (!walks.empty())
        starters.uploadProject(remoteProject, walks);
    const QString startDirect = QStringLiteral("Start uploading changed files");
    const QString doneDirect = QStringLiteral("Uploading changed files completed");
    if (TransferPool* pool = engine.transferPool(); pool && !direct.empty()) {
        pool->appendTransferTask(startDirect, direct, doneDirect, 1);
    } else if (!direct.empty()) {
        // One session: the files of a folder follow each other with one CWD.
        std::vector<std::unique_ptr<CommandGroup>> groups;
        auto cursor = std::make_shared<FolderCursor>();
        for (const FileTransfer& t : direct)
            groups.push_back(makeFileTransferGroup(t, cursor, [&engine](const TransferResult& r) {
                engine.announceTransfer(r.info, r.position, r.success);
            }));
        engine.appendTask(startDirect, std::move(groups), doneDirect, 1);
    }
    std::map<QByteArray, std::vector<RemoteItem>> deletes;
    for (const QByteArray& p : plan.deletes) {
        RemoteItem item;
        item.kind = '-';
        std::vector<RemoteItem>& there =
            deletes[joinRemotePath(remoteProject, projectParentFolder(p))];
        item.name = p.mid(p.lastIndexOf('/') + 1);
        there.push_back(item);
        const auto left = temporaries.find(p);
        if (left != temporaries.end())
            there.insert(there.end(), left->second.begin(), left->second.end());
    }
    // Temporaries of files gone locally that never reached the server (and so
    // no state) go with --delete too: nothing will ever continue them.
    if (withDelete) {
        std::set<QByteArray> here;
        for (const DeployCandidate& c : local)
            here.insert(c.path);
        const std::set<QByteArray> deleted(plan.deletes.begin(), plan.deletes.end());
        for (const auto& [target, left] : temporaries) {
            if (here.count(target) || deleted.count(target))
                continue;
            std::vector<RemoteItem>& there =
                deletes[joinRemotePath(remoteProject, projectParentFolder(target))];
            there.insert(there.end(), left.begin(), left.end());
        }
    }
    // The deletes wait for every upload: the old name of a renamed page goes only once its new
    // name is in place, and a run whose uploads did not all arrive deletes nothing.
    const auto nothingDeleted = [&] {
        if (!deletes.empty())
            printError(QStringLiteral("nothing was deleted: not every upload arrived"));
        return 1;
    };
    if (!ctx.cli.waitIdle())
        return printError(ctx.cli.error()), nothingDeleted();
    if (!ctx.cli.clean())
        return reportOutcome(ctx.cli), nothingDeleted();
    FileOperationStarters operations(engine);
    for (const auto& [folder, items] : deletes)
        operations.deleteItems(folder, items);
    if (!ctx.cli.waitIdle())
        return printError(ctx.cli.error()), 1;
    if (!ctx.cli.clean())
        return reportOutcome(ctx.cli), 1;
    writeStdout(deleteLines);

    const std::set<QByteArray> onServer(remoteFiles.begin(), remoteFiles.end());
    // A file in a folder not listed here is taken to be there still.
    const auto stillOnServer = [&](const QByteArray& path) {
        return onServer.count(path) || !walked.count(projectParentFolder(path));
    };
    // Files left out here (unreadable, or a folder in their place) fail the run, but what was
    // done is recorded all the same.
    if (!storeState(DeployStateAfter(local, state, plan, stillOnServer)))
        return 1;
    const int status = reportOutcome(ctx.cli);
    return skipped.isEmpty() && !failed ? status : 1;
}
