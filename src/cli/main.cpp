#include "app/app_settings.h"
#include "app/ftp_url.h"
#include "app/login_credentials.h"
#include "app/session_options_from_site.h"
#include "app/settings_path.h"
#include "app/site_keyring.h"
#include "app/stored_certificate_judge.h"
#include "app/trust_store.h"
#include "cli/cli_commands.h"
#include "cli/cli_context.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/keyring_access.h"
#include "cli/password_prompt.h"
#include "cli/sites_command.h"
#include "cli/transfer_options.h"
#include "platform/termination_signals.h"

#include <QCoreApplication>
#include <QTextStream>

#include <csignal>
#include <cstdio>

namespace {

// The login's user and password by the one rule of the engine; asks on the terminal when a
// user is named and nothing gave a password. False (after saying why) when nothing may be sent.
// `keyringProblem`: why the stored site's password could not be read; with no
// other password, nothing logs in (a certain refusal may count towards a lockout).
bool resolvePassword(const CliOptions& o, const LoginRequest& request, SessionOptions* options,
                     const QString& keyringProblem = {}) {
    PasswordSources sources = PasswordSources::fromEnvironment();
    if (o.passwordStdin) {
        sources.standardInput = ReadPasswordFromStdin();
        if (!sources.standardInput) {
            printError(QStringLiteral("--password-stdin: standard input held no password"));
            return false;
        }
    }
    LoginCredentials login = ResolveLogin(request, sources);
    for (const QString& warning : login.warnings)
        printError(QStringLiteral("warning: ") + warning);
    if (login.mayAsk()) {
        if (const std::optional<QString> typed =
                PromptPasswordOnTerminal(login.user, request.host)) {
            login.password = *typed;
            login.origin = PasswordOrigin::Prompt;
            login.error = PasswordProblem(login.password, login.origin);
        }
    }
    if (login.error.isEmpty() && !login.anonymous && login.origin == PasswordOrigin::None &&
        !keyringProblem.isEmpty())
        login.error = keyringProblem + QStringLiteral("; nothing was sent without a password");
    if (!login.error.isEmpty()) {
        printError(login.error);
        return false;
    }
    ApplyLogin(*options, login);
    return true;
}

// What a stopped run leaves behind, as its transfers leave it.
QString stopNote(const QString& command, const QStringList& args) {
    if (command == QLatin1String("get"))
        return QStringLiteral("; a download keeps what arrived for resuming");
    if (command != QLatin1String("put") && command != QLatin1String("deploy"))
        return QString();
    PublishOptions publish = TransferCliOptions::defaultCliPublishOptions();
    for (const QString& a : args)
        takePublishOption(a, &publish);
    if (!publish.atomic)
        return QStringLiteral(
            "; a file being stored directly (--no-atomic) may stay short on the server until "
            "it is uploaded again");
    return QStringLiteral(
        "; an upload leaves the server's file as it was, and what arrived waits in its "
        "temporary for the next upload to continue");
}

int runWithServer(const CliOptions& o, SecretStore& secrets, TerminationSignals& stops) {
    SessionOptions options;
    QString remoteProject;
    QString startPath;
    std::optional<SiteRecord> stored;
    AppSettings settings;
    LoadAppSettings(settings, SettingsPath(SettingsFileKind::Settings, o.settingDir));
    LoginRequest request;
    QString keyringProblem;
    if (!o.site.isEmpty()) {
        SiteRecord site;
        QString error;
        if (!LoadSiteByName(o.settingDir, o.site, &site, &error)) {
            printError(error);
            return StartFailureStatus(o.command);
        }
        if (site.PasswordInKeyring && site.Password.isEmpty()) {
            const QString key = SiteKeyringKey(site);
            const SecretStore::Result read = KeyringAccess(&secrets).read(key);
            if (read.outcome == SecretStore::Outcome::Done)
                site.Password = read.secret;
            else
                keyringProblem = KeyringReadProblem(key, read);
        }
        options = MakeSessionOptions(site, settings);
        remoteProject = site.RemoteProjectFolder;
        stored = site;
        request.host = site.Host;
        request.user = site.User;
        request.stored = site.Password;
        request.anonymous = site.LogonType == SiteRecord::kLogonAnonymous;
    } else {
        QString error;
        const auto url = parseFtpUrl(o.url, &error);
        if (!url) {
            printError(error);
            return 2;
        }
        options.host = url->host;
        options.port = url->port;
        options.siteName = url->host;
        options.tls = url->tlsRequired ? TlsMode::Require : TlsMode::Off;
        // The address asks for TLS: a --tls that would let it go is a mistake.
        if (url->tlsRequired && !o.tls.isEmpty() && *parseTlsMode(o.tls) != TlsMode::Require) {
            printError(QStringLiteral("ftpes:// requires TLS; --tls %1 contradicts it").arg(o.tls));
            return 2;
        }
        startPath = url->path;
        request.host = url->host;
        request.user = url->user;
        if (!url->password.isEmpty())
            request.password = url->password;
    }
    if (!resolvePassword(o, request, &options, keyringProblem))
        return keyringProblem.isEmpty() ? 2 : StartFailureStatus(o.command);
    if (!o.tls.isEmpty())
        options.tls = *parseTlsMode(o.tls);
    QList<QByteArray> trusted;
    for (const QString& t : o.trust)
        trusted << parseFingerprint(t);
    if (o.listCommand == QLatin1String("LIST"))
        options.preferMlsd = false;
    if (o.remoteProjectGiven) {
        remoteProject = o.remoteProject;
        // Every command reads the site's folder: a script aiming elsewhere must never reach it.
        if (stored)
            stored->RemoteProjectFolder = o.remoteProject;
    }

    auto printer = std::make_unique<LogPrinter>(stderr, o.log, o.traces, o.infoLevel);
    CliSession cli(options, o.timeoutSeconds, std::move(printer), o.deadlineSeconds);
    const QString note = stopNote(o.command, o.commandArgs);
    QObject::connect(&stops, &TerminationSignals::received, [&cli, note](int number) {
        const QString name = number == SIGINT    ? QStringLiteral("SIGINT")
                             : number == SIGTERM ? QStringLiteral("SIGTERM")
                                                 : QStringLiteral("signal %1").arg(number);
        cli.stop(QStringLiteral("stopped by ") + name + note);
    });
    // Certificates that did not verify pass only when stored by the desktop's
    // "Always trust" or named with --trust; nobody is asked.
    TrustStore trustStore(SettingsPath(TrustStore::fileName(), o.settingDir));
    if (!trustStore.load())
        std::fprintf(stderr,
                     "velmora-cli: warning: %s could not be read whole: certificates trusted "
                     "before may be asked about as unknown, and a changed one not be noticed\n",
                     qPrintable(trustStore.path()));
    StoredCertificateJudge judge(trustStore, nullptr, trusted);
    cli.session().setCertificateJudge(&judge);
    cli.engine().setRemoteProjectFolder(remoteProject.toUtf8());

    CliContext ctx{cli, startPath, stored, settings, o.settingDir};
    const QString& c = o.command;
    if (c == QLatin1String("ls"))
        return runLsCommand(cli, o.commandArgs, startPath);
    if (c == QLatin1String("raw"))
        return runRawCommand(cli, o.commandArgs);
    if (c == QLatin1String("get"))
        return runGetCommand(ctx, o.commandArgs);
    if (c == QLatin1String("put"))
        return runPutCommand(ctx, o.commandArgs);
    if (c == QLatin1String("deploy"))
        return runDeployCommand(ctx, o.commandArgs);
    if (c == QLatin1String("cat"))
        return runCatCommand(ctx, o.commandArgs);
    if (c == QLatin1String("rm"))
        return runRmCommand(ctx, o.commandArgs);
    if (c == QLatin1String("mkdir"))
        return runMkdirCommand(ctx, o.commandArgs);
    if (c == QLatin1String("rename"))
        return runRenameCommand(ctx, o.commandArgs);
    if (c == QLatin1String("mv"))
        return runMvCommand(ctx, o.commandArgs);
    if (c == QLatin1String("chmod"))
        return runChmodCommand(ctx, o.commandArgs);
    if (c == QLatin1String("compare"))
        return runCompareCommand(ctx, o.commandArgs);
    if (c == QLatin1String("find"))
        return runFindCommand(ctx, o.commandArgs);
    if (c == QLatin1String("case"))
        return runCaseCommand(ctx, o.commandArgs);
    printError(QStringLiteral("unknown command ") + o.command);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    IgnoreFileSizeLimitSignal();
    QCoreApplication app(argc, argv);
    CliOptions o;
    QString error;
    if (!parseCliOptions(app.arguments().mid(1), &o, &error)) {
        printError(error);
        std::fputs("Try 'velmora-cli --help'.\n", stderr);
        return 2;
    }
    if (o.help) {
        writeStdout(cliUsage().toUtf8());
        return 0;
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (o.command == QLatin1String("parse"))
        return runParseCommand(o.commandArgs);
    KeychainSecretStore secrets;
    if (o.command == QLatin1String("sites"))
        return runSitesCommand(o.commandArgs, o.settingDir, out, err, &secrets);
    if (o.command == QLatin1String("url"))
        return runUrlCommand(o.commandArgs, o.settingDir, out, err);
    // A signal ends the run between two steps; transfers keep what arrived.
    TerminationSignals stops;
    int stoppedBy = 0;
    QObject::connect(&stops, &TerminationSignals::received,
                     [&stoppedBy](int number) { stoppedBy = number; });
    const int status = runWithServer(o, secrets, stops);
    // One that came while nothing waited on the event loop.
    QCoreApplication::processEvents();
    return stoppedBy ? 128 + stoppedBy : status;
}
