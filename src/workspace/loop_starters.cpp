#include "workspace/loop_starters.h"

#include "remote/action_engine.h"
#include "remote/remote_path.h"
#include "remote/transfer_pool.h"
#include "session/ftp_session.h"
#include "workspace/project_folders.h"

#include <QFileInfo>

namespace {

std::vector<std::unique_ptr<CommandGroup>> one(std::unique_ptr<CommandGroup> group) {
    std::vector<std::unique_ptr<CommandGroup>> groups;
    groups.push_back(std::move(group));
    return groups;
}

}  // namespace

bool LoopStarters::startCompare(const CompareParams& params, OwnerRef<CompareOwner> owner) {
    if (engine_.session().isBusy())
        return false;
    const quintptr token = owner.token();
    const QByteArray folder = joinRemotePath(params.remoteProjectFolder, params.relativePath);
    std::vector<std::unique_ptr<CommandGroup>> work;
    FtpSession& s = engine_.session();
    CompareParams p = params;
    // LIST times are the server's local ones; MLSD's, when offered too, tell
    // by how much.
    if (p.dates && s.listingCommand() == "LIST" && s.serverSupportsMlsd()) {
        if (!p.offsetFinder)
            p.offsetFinder = std::make_shared<ListOffsetFinder>();
        work.push_back(std::make_unique<ListOffsetProbeAction>(
            engine_, folder, StepList{{"CWD", folder}, {"PASV", {}}, {"MLSD", {}}}, p.offsetFinder,
            owner));
    }
    work.push_back(std::make_unique<CompareItemsAction>(engine_, engine_.listingSequence(folder), p,
                                                        std::move(owner)));
    engine_.appendTask(QStringLiteral("Start comparing items"), std::move(work),
                       QStringLiteral("Comparing items completed"), 5, token);
    return true;
}

bool LoopStarters::startSearch(const QByteArray& folder, const SearchCriteria& criteria,
                               OwnerRef<SearchOwner> owner) {
    if (engine_.session().isBusy())
        return false;
    const quintptr token = owner.token();
    engine_.appendTask(
        QStringLiteral("Start searching items"),
        one(std::make_unique<SearchItemsAction>(engine_, folder, engine_.listingSequence(folder),
                                                criteria, std::move(owner))),
        QStringLiteral("Searching items completed"), 5, token);
    return true;
}

bool LoopStarters::startChangeCase(const QByteArray& folder, const ChangeCaseOptions& options,
                                   OwnerRef<ChangeCaseOwner> owner, bool dryRun) {
    if (engine_.session().isBusy())
        return false;
    const quintptr token = owner.token();
    // A preview changes nothing: its line must not read as the change done.
    engine_.appendTask(dryRun ? QStringLiteral("Start reading the names to change")
                              : QStringLiteral("Start changing case"),
                       one(std::make_unique<ChangeCaseAction>(
                           engine_, ActionKind::ChangeCaseRename, folder,
                           engine_.listingSequence(folder), options, std::move(owner), dryRun)),
                       dryRun ? QStringLiteral("Reading the names to change completed")
                              : QStringLiteral("Changing case completed"),
                       5, token);
    return true;
}

void LoopStarters::stop(quintptr ownerToken) {
    engine_.session().cancelForOwner(ownerToken);
    if (TransferPool* pool = engine_.anyTransferPool())
        pool->cancelForOwner(ownerToken);
}

QString CompareStartRefusal(const QString& localFolder) {
    const QFileInfo info(localFolder);
    if (localFolder.isEmpty() || !info.exists())
        return QStringLiteral("Local project path:\n") + localFolder +
               QStringLiteral("\ndoesn't exist, comparing can not start.\n");
    if (!info.isDir())
        return QStringLiteral("The local path:\n") + localFolder +
               QStringLiteral("\nis a file, comparing can not start.\n");
    return QString();
}

QString CompareWindowTitle(const QString& remoteProjectFolder, const QString& startFolder) {
    QString project = remoteProjectFolder;
    while (project.size() > 1 && project.endsWith(QLatin1Char('/')))
        project.chop(1);
    QString rest = startFolder.mid(project.size());
    while (rest.startsWith(QLatin1Char('/')))
        rest.remove(0, 1);
    if (rest.isEmpty())
        return QStringLiteral("Comparing from - project root");
    return QStringLiteral("Comparing from - project/") + rest;
}

QString SearchWindowTitle(const QString& folder) {
    return QStringLiteral("Serch in      ") + folder;
}

QString ChangeCaseWindowTitle(const QString& folder) {
    return QStringLiteral("change case in      ") + folder;
}
