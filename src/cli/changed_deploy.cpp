#include "cli/cli_commands.h"
#include "cli/cli_context.h"
#include "cli/cli_session.h"
#include "cli/progress_line.h"
#include "cli/remote_argument.h"
#include "remote/file_operation_starters.h"
#include "remote/remote_path.h"
#include "remote/transfer_starters.h"
#include "session/upload_file_group.h"
#include "workspace/compare_tree.h"
#include "workspace/deploy_state.h"
#include "workspace/local_listing.h"
#include "workspace/loop_starters.h"
#include "workspace/project_folders.h"

#include <QDir>
#include <QSet>

#include <functional>
#include <map>
#include <set>
#include <thread>

namespace {

class TreeCollector : public QObject, public CompareOwner {
public:
    CompareTree tree;
    QStringList unreadable;
    bool compareResult(const FolderCompareResult& r) override {
        if (!r.localReadable)
            unreadable << QString::fromUtf8(r.relativePath);
        return tree.add(r);
    }
};

QByteArray joinRel(const QByteArray& folder, const QByteArray& name) {
    return folder.isEmpty() ? name : folder + '/' + name;
}

QByteArray parentOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray() : path.left(slash);
}

// Every file of the project an upload would take, depth first; linked folders
// and special files are reported and left out.
bool walkLocal(const QString& project, const QByteArray& rel, int showFlags,
               std::vector<DeployCandidate>* out) {
    const QString folder = JoinLocalPath(project, QString::fromUtf8(rel));
    const LocalListing listing = ListLocalFolderForUpload(folder, showFlags);
    if (!listing.ok) {
        printError(QStringLiteral("can not read ") + folder);
        return false;
    }
    for (const QString& s : listing.skipped)
        printError(QStringLiteral("skipped, not uploaded: ") + s);
    bool ok = true;
    for (const LocalEntry& e : listing.entries) {
        const QByteArray path = joinRel(rel, e.name.toUtf8());
        if (e.kind == QLatin1Char('d')) {
            ok = walkLocal(project, path, showFlags, out) && ok;
        } else if (path != DeployState::kFileName) {
            DeployCandidate c;
            c.path = path;
            c.size = e.size;
            out->push_back(c);
        }
    }
    return ok;
}

}  // namespace

int runChangedDeployCommand(CliContext& ctx, const QStringList& args) {
    bool withDelete = false;
    bool dryRun = false;
    for (const QString& a : args) {
        if (a == QLatin1String("--delete"))
            withDelete = true;
        else if (a == QLatin1String("--dry-run"))
            dryRun = true;
        else if (a != QLatin1String("--changed"))
            return printError(QStringLiteral("usage: deploy --changed [--delete] [--dry-run]")), 2;
    }
    if (!ctx.site || ctx.site->LocalProjectFolder.isEmpty() ||
        ctx.site->RemoteProjectFolder.isEmpty()) {
        printError(
            QStringLiteral("deploy needs --site NAME with a local and a remote project folder"));
        return 2;
    }
    const QString project = QDir::cleanPath(QDir(ctx.site->LocalProjectFolder).absolutePath());
    const QByteArray remoteProject = cleanRemote(ctx.site->RemoteProjectFolder);
    std::vector<DeployCandidate> local;
    bool failed = !walkLocal(project, {}, ctx.settings.LocalShowFlags, &local);

    // What the server holds: the compare walk, exact names, with sizes.
    ActionEngine& engine = ctx.cli.engine();
    engine.uploadOptions.fileAction = TransferAlertOptions::OverwriteAlways;
    engine.uploadOptions.showAlert = 0;
    // The hashes are read on a thread of their own while the server is walked.
    std::vector<QByteArray> hashes(local.size());
    std::thread hasher([&hashes, &local, &project] {
        for (size_t i = 0; i < local.size(); ++i)
            hashes[i] = FileSha256(JoinLocalPath(project, QString::fromUtf8(local[i].path)));
    });
    struct Joiner {
        std::thread& t;
        ~Joiner() {
            if (t.joinable())
                t.join();
        }
    } joiner{hasher};
    if (!ctx.cli.start())
        return printError(ctx.cli.error()), 1;
    TreeCollector owner;
    CompareParams params{project,
                         remoteProject,
                         quint8(CompareOptions::CaseSensitive | CompareOptions::FileSize |
                                CompareOptions::SubFolders),
                         {}};
    LoopStarters(engine).startCompare(params, {&owner, &owner});
    if (!ctx.cli.waitIdle())
        return printError(ctx.cli.error()), 1;
    if (!owner.tree.root()->visited() || !ctx.cli.clean()) {
        reportOutcome(ctx.cli);
        printError(QStringLiteral("the remote project folder could not be compared"));
        return 1;
    }
    for (const QString& u : owner.unreadable) {
        printError(QStringLiteral("local folder can not be read: ") + JoinLocalPath(project, u));
        failed = true;
    }

    std::set<QByteArray> walked;  // folders listed on both sides
    std::map<QByteArray, const CompareItem*> differing;
    std::vector<QByteArray> remoteFiles;
    std::function<void(const CompareNode*)> collect = [&](const CompareNode* n) {
        if (n->visited())
            walked.insert(CompareTree::pathOf(n));
        for (const auto& c : n->children) {
            const QByteArray path = CompareTree::pathOf(c.get());
            differing[path] = &c->item;
            if (!c->item.isLocal() && c->item.remoteKind == '-')
                remoteFiles.push_back(path);
            collect(c.get());
        }
    };
    collect(owner.tree.root());
    bool stateSeen = differing.count(DeployState::kFileName) &&
                     differing[DeployState::kFileName]->remoteKind == '-';

    std::optional<DeployState> state;
    if (stateSeen) {
        QByteArray content;
        bool arrived = false;
        // A script's fetch streams its bytes; the end comes without them.
        QObject::connect(
            &ctx.cli.session(), &FtpSession::directDataArrived,
            [&](int purpose, const QByteArray&, const QByteArray& name, const QByteArray& chunk) {
                if (purpose == 0 && name == DeployState::kFileName)
                    content += chunk;
            });
        QObject::connect(
            &ctx.cli.session(), &FtpSession::directContentArrived,
            [&](int purpose, const QByteArray&, const QByteArray& name, const QByteArray&) {
                if (purpose == 0 && name == DeployState::kFileName)
                    arrived = true;
            });
        TransferStarters(engine).fetchDirect(0, remoteProject, DeployState::kFileName);
        if (!ctx.cli.waitIdle())
            return printError(ctx.cli.error()), 1;
        if (!arrived || !ctx.cli.clean())
            return reportOutcome(ctx.cli), 1;
        QString error;
        state = DeployState::parse(content, &error);
        if (!state)
            printError(error + QStringLiteral("; deploying by size"));
    }

    hasher.join();
    for (size_t i = 0; i < local.size(); ++i) {
        DeployCandidate& c = local[i];
        c.sha256 = hashes[i];
        if (c.sha256.isEmpty()) {
            printError(QStringLiteral("can not read ") +
                       JoinLocalPath(project, QString::fromUtf8(c.path)));
            failed = true;
        }
        const auto it = differing.find(c.path);
        if (!walked.count(parentOf(c.path))) {
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
    const DeployPlan plan = PlanChangedDeploy(local, state, remoteFiles, withDelete);
    for (const QByteArray& p : plan.conflicts) {
        printError(QStringLiteral("not uploaded, something other than a file stands there: ") +
                   QString::fromUtf8(p));
        failed = true;
    }
    QByteArray lines;
    for (const QByteArray& p : plan.uploads)
        lines += "upload " + p + '\n';
    for (const QByteArray& p : plan.deletes)
        lines += "delete " + p + '\n';
    writeStdout(lines);
    if (dryRun)
        return failed ? 1 : 0;

    // One pair upload per folder, creating the folders on the way.
    std::map<QByteArray, LocalFolderRecord> byFolder;
    std::vector<QByteArray> order;
    std::map<QByteArray, qint64> sizes;
    for (const DeployCandidate& c : local)
        sizes[c.path] = c.size;
    for (const QByteArray& p : plan.uploads) {
        const QByteArray folder = parentOf(p);
        if (!byFolder.count(folder)) {
            order.push_back(folder);
            byFolder[folder].path = JoinLocalPath(project, QString::fromUtf8(folder));
        }
        byFolder[folder].items.push_back(
            {QString::fromUtf8(p.mid(folder.isEmpty() ? 0 : folder.size() + 1)), false, sizes[p]});
    }
    ProgressLine progress(ctx.cli);
    TransferStarters starters(engine);
    // Files in folders the walk listed go straight there, without listing
    // again; other folders are walked down to, creating what is missing.
    std::vector<std::unique_ptr<CommandGroup>> direct;
    for (const QByteArray& folder : order) {
        if (!walked.count(folder)) {
            starters.uploadProject(remoteProject, folder.isEmpty() ? QByteArray() : '/' + folder,
                                   byFolder[folder]);
            continue;
        }
        const QByteArray remoteFolder = joinRemotePath(remoteProject, folder);
        for (const LocalItem& item : byFolder[folder].items) {
            TransferInfo info;
            info.remoteFolder = remoteFolder;
            info.fileName = item.name.toUtf8();
            info.localPath = JoinLocalPath(byFolder[folder].path, item.name);
            info.total = item.size;
            // Each names its folder: a refused CWD must not leave a file
            // stored in the folder before.
            const StepList steps{{"CWD", remoteFolder}, {"PASV", {}}, {"STOR", info.fileName}};
            auto group = std::make_unique<UploadFileGroup>(info, steps);
            group->onResult = [&engine](const TransferResult& r) {
                engine.announceTransfer(r.info, r.position, r.success);
            };
            direct.push_back(std::move(group));
        }
    }
    if (!direct.empty())
        engine.appendTask(QStringLiteral("Start uploading changed files"), std::move(direct),
                          QStringLiteral("Uploading changed files completed"), 1);
    std::map<QByteArray, std::vector<RemoteItem>> deletes;
    for (const QByteArray& p : plan.deletes) {
        RemoteItem item;
        item.kind = '-';
        item.name = p.mid(p.lastIndexOf('/') + 1);
        deletes[joinRemotePath(remoteProject, parentOf(p))].push_back(item);
    }
    FileOperationStarters operations(engine);
    for (const auto& [folder, items] : deletes)
        operations.deleteItems(folder, items);
    if (!ctx.cli.waitIdle())
        return printError(ctx.cli.error()), 1;
    if (!ctx.cli.clean() || failed)
        return reportOutcome(ctx.cli), 1;

    // The new state, written aside and renamed over the old one so it is never
    // half-written.
    DeployState next;
    for (const DeployCandidate& c : local)
        next.files[c.path] = {c.size, c.sha256};
    starters.uploadDirect(remoteProject, DeployState::kTempName, next.serialize(), false);
    if (!ctx.cli.waitIdle())
        return printError(ctx.cli.error()), 1;
    if (!ctx.cli.clean())
        return reportOutcome(ctx.cli), 1;
    const int refusalsBefore = int(ctx.cli.refusals().size());
    auto rename = [&] {
        engine.session().queue().addCommands({{"CWD", remoteProject},
                                              {"RNFR", DeployState::kTempName},
                                              {"RNTO", DeployState::kFileName}});
        engine.sendIfIdle();
        return ctx.cli.waitIdle();
    };
    if (!rename())
        return printError(ctx.cli.error()), 1;
    if (int(ctx.cli.refusals().size()) > refusalsBefore && stateSeen) {
        // A server that will not rename over a file: the old state goes first.
        ctx.cli.forgetRefusalsFrom(refusalsBefore);
        engine.session().queue().addCommands(
            {{"CWD", remoteProject}, {"DELE", DeployState::kFileName}});
        if (!rename())
            return printError(ctx.cli.error()), 1;
    }
    return reportOutcome(ctx.cli);
}
