#include "cli/remote_project.h"

#include "cli/cli_commands.h"
#include "cli/cli_session.h"
#include "remote/file_operation_starters.h"
#include "remote/remote_path.h"

#include <optional>
#include <vector>

namespace {

// Whether the server enters the folder; its refusal is an answer here, not a
// failure of the run. Nothing when the run broke.
std::optional<bool> enters(CliSession& cli, const QByteArray& folder) {
    const int before = int(cli.refusals().size());
    cli.session().queue().addCommands({{"CWD", folder}});
    cli.engine().sendIfIdle();
    if (!cli.waitIdle())
        return std::nullopt;
    const bool refused = int(cli.refusals().size()) > before;
    cli.forgetRefusalsFrom(before);
    return !refused;
}

}  // namespace

RemoteProjectState ensureRemoteProject(CliSession& cli, const QByteArray& folder, bool create) {
    const auto broke = [&cli] {
        printError(cli.error());
        return RemoteProjectState::Failed;
    };
    std::optional<bool> there = enters(cli, folder);
    if (!there)
        return broke();
    if (*there)
        return RemoteProjectState::There;
    const QString name = QString::fromUtf8(folder);
    if (!create || !folder.startsWith('/')) {
        if (create)
            printError(QStringLiteral("the remote project folder %1 does not exist on the server")
                           .arg(name));
        return create ? RemoteProjectState::Failed : RemoteProjectState::Missing;
    }
    // The levels below the deepest folder the server has, top first.
    std::vector<QByteArray> missing{folder};
    for (QByteArray up = remoteParentFolder(folder); up != "/"; up = remoteParentFolder(up)) {
        there = enters(cli, up);
        if (!there)
            return broke();
        if (*there)
            break;
        missing.insert(missing.begin(), up);
    }
    FileOperationStarters make(cli.engine());
    for (const QByteArray& level : missing) {
        QByteArray parent, last;
        if (splitRemotePath(level, &parent, &last))
            make.createFolder(parent, last);
    }
    if (!cli.waitIdle())
        return broke();
    there = cli.clean() ? enters(cli, folder) : false;
    if (!there)
        return broke();
    if (!*there) {
        reportOutcome(cli);
        printError(QStringLiteral("the remote project folder %1 does not exist on the server and "
                                  "could not be created")
                       .arg(name));
        return RemoteProjectState::Failed;
    }
    printError(
        QStringLiteral("the remote project folder %1 was not on the server; created it").arg(name));
    return RemoteProjectState::Created;
}
