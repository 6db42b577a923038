#include "support/cli_runner.h"
#include "support/secret_service_session.h"

#include <QRegularExpression>
#include <QTextStream>

#include "velmora_paths.h"

QStringList CliResult::errLines() const {
    QStringList lines = err.split(QLatin1Char('\n'));
    lines.removeAll(QString());
    return lines;
}

QList<QByteArray> CliResult::outLines() const {
    QList<QByteArray> lines = out.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList CliResult::logLines(const QString& channel, int connection) const {
    const QString prefix = channel + QStringLiteral(": ");
    static const QRegularExpression tag(QStringLiteral("^\\[(\\d+)\\] "));
    QStringList found;
    for (const QString& line : err.split(QLatin1Char('\n'))) {
        if (!line.startsWith(prefix))
            continue;
        QString text = line.mid(prefix.size());
        const QRegularExpressionMatch m = tag.match(text);
        if (m.hasMatch()) {
            if (connection > 0 && m.captured(1).toInt() != connection)
                continue;
            text = text.mid(m.capturedLength());
        }
        found << text;
    }
    return found;
}

QString CliResult::describe() const {
    QString text;
    QTextStream s(&text);
    s << "velmora-cli " << arguments.join(QLatin1Char(' ')) << "\n";
    if (!started)
        s << "  did not start\n";
    else if (!finished)
        s << "  did not finish (killed or crashed after " << elapsedMs << " ms)\n";
    else
        s << "  exit " << exitCode << " after " << elapsedMs << " ms\n";
    s << "  stdout:\n" << QString::fromUtf8(out) << "\n  stderr:\n" << err;
    return text;
}

CliRun::CliRun(const QStringList& arguments, const QProcessEnvironment& environment,
               const QString& standardInput)
    : CliRun({}, arguments, environment, standardInput) {}

CliRun::CliRun(const QStringList& wrapper, const QStringList& arguments,
               const QProcessEnvironment& environment, const QString& standardInput)
    : process_(std::make_unique<QProcess>()) {
    result_.arguments = arguments;
    process_->setProcessEnvironment(environment);
    if (wrapper.isEmpty()) {
        process_->setProgram(programPath());
        process_->setArguments(arguments);
    } else {
        process_->setProgram(wrapper.first());
        process_->setArguments(wrapper.mid(1) + QStringList{programPath()} + arguments);
    }
    process_->setProcessChannelMode(QProcess::SeparateChannels);
    process_->setStandardInputFile(standardInput);
    clock_.start();
    process_->start();
    result_.started = process_->waitForStarted(5000);
}

CliRun::~CliRun() {
    if (process_->state() != QProcess::NotRunning) {
        process_->kill();
        process_->waitForFinished(5000);
    }
}

bool CliRun::ended(int ms) {
    return !result_.started || process_->state() == QProcess::NotRunning ||
           process_->waitForFinished(ms);
}

CliResult CliRun::wait(int timeoutMs) {
    if (!result_.started)
        return result_;
    const bool ended =
        process_->state() == QProcess::NotRunning || process_->waitForFinished(timeoutMs);
    if (!ended) {
        process_->kill();
        process_->waitForFinished(5000);
    }
    result_.elapsedMs = clock_.elapsed();
    result_.finished = ended && process_->exitStatus() == QProcess::NormalExit;
    result_.exitCode = result_.finished ? process_->exitCode() : -1;
    result_.out += process_->readAllStandardOutput();
    result_.err += QString::fromUtf8(process_->readAllStandardError());
    return result_;
}

qint64 CliRun::processId() const {
    return process_->processId();
}

QProcessEnvironment CliRun::cliEnvironment(const QString& settingDir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (settingDir.isEmpty())
        env.remove(QStringLiteral("VELMORA_SETTING_DIR"));
    else
        env.insert(QStringLiteral("VELMORA_SETTING_DIR"), settingDir);
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.remove(QStringLiteral("VELMORA_PASSWORD"));
    // Passwords a run keeps go to no one's keyring: a bus without a secret store answers.
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), SecretServiceSession::emptyBusAddress());
    return env;
}

QString CliRun::programPath() {
    return QStringLiteral(VELMORA_CLI_PATH);
}

CliResult runCli(const QStringList& arguments, const QProcessEnvironment& environment,
                 int timeoutMs) {
    CliRun run(arguments, environment);
    return run.wait(timeoutMs);
}
