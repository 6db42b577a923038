#pragma once

#include <QStringList>

class CliSession;
struct CliContext;

// Each returns the exit status: 0 done, 1 refused or failed, 2 usage error.
int runLsCommand(CliSession& cli, const QStringList& args, const QString& startPath);
int runRawCommand(CliSession& cli, const QStringList& args);
int runParseCommand(const QStringList& args);
int runGetCommand(CliContext& ctx, const QStringList& args);
int runPutCommand(CliContext& ctx, const QStringList& args);
int runDeployCommand(CliContext& ctx, const QStringList& args);
int runCatCommand(CliContext& ctx, const QStringList& args);
int runRmCommand(CliContext& ctx, const QStringList& args);
int runMkdirCommand(CliContext& ctx, const QStringList& args);
int runRenameCommand(CliContext& ctx, const QStringList& args);
int runMvCommand(CliContext& ctx, const QStringList& args);
int runChmodCommand(CliContext& ctx, const QStringList& args);
// 0 no difference, 1 differences, 2 usage error, 3 failure.
int runCompareCommand(CliContext& ctx, const QStringList& args);
// The status of a command that could not start (no such site): compare's 1
// says differences were found, so its failures are 3.
int StartFailureStatus(const QString& command);
int runFindCommand(CliContext& ctx, const QStringList& args);
int runCaseCommand(CliContext& ctx, const QStringList& args);
// deploy --changed: new and changed files only, with the state file on the server.
int runChangedDeployCommand(CliContext& ctx, const QStringList& args);

// Output helpers shared by the commands.
// False with the system's reason when the output takes no more (a full disk).
bool writeStdout(const QByteArray& bytes, QString* reason = nullptr);
void printError(const QString& text);
// The refusals and failures of a run on stderr; 1 when there were any.
int reportOutcome(const CliSession& cli);
// Asked to verify on a server with no checksum command: said on stderr, where
// the chat's notice would reach nobody without --log.
void warnIfUnverifiable(CliSession& cli, bool verify);
