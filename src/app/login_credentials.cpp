#include "app/login_credentials.h"

#include "app/netrc_file.h"
#include "app/site_rules.h"

#include <QDir>

namespace {

bool namesAnonymous(const QString& user) {
    return user.compare(LoginCredentials::kAnonymousUser, Qt::CaseInsensitive) == 0 ||
           user.compare(QLatin1String("ftp"), Qt::CaseInsensitive) == 0;
}

std::optional<QString> given(const std::optional<QString>& value) {
    if (value && !value->isEmpty())
        return value;
    return std::nullopt;
}

}  // namespace

PasswordSources PasswordSources::fromEnvironment() {
    PasswordSources sources;
    if (qEnvironmentVariableIsSet("VELMORA_PASSWORD"))
        sources.environment = qEnvironmentVariable("VELMORA_PASSWORD");
    sources.netrcPath = QDir::home().filePath(QStringLiteral(".netrc"));
    return sources;
}

QString PasswordOriginName(PasswordOrigin origin) {
    switch (origin) {
        case PasswordOrigin::None:
            return QStringLiteral("nowhere");
        case PasswordOrigin::Url:
            return QStringLiteral("the URL");
        case PasswordOrigin::StandardInput:
            return QStringLiteral("--password-stdin");
        case PasswordOrigin::Environment:
            return QStringLiteral("VELMORA_PASSWORD");
        case PasswordOrigin::Stored:
            return QStringLiteral("the stored site");
        case PasswordOrigin::Netrc:
            return QStringLiteral("~/.netrc");
        case PasswordOrigin::Prompt:
            return QStringLiteral("the prompt");
        case PasswordOrigin::AnonymousDefault:
            return QStringLiteral("the anonymous default");
    }
    return {};
}

QString PasswordProblem(const QString& password, PasswordOrigin origin) {
    if (!HasLineBreakOrNul(password))
        return {};
    return QStringLiteral(
               "The password from %1 holds a line break (CR or LF) or a NUL character, which "
               "an FTP command cannot carry; nothing was sent.")
        .arg(PasswordOriginName(origin));
}

LoginCredentials ResolveLogin(const LoginRequest& request, const PasswordSources& sources) {
    LoginCredentials login;
    login.user = request.user;

    std::optional<NetrcFile> netrc;
    const auto readNetrc = [&]() -> const NetrcFile& {
        if (!netrc) {
            QString warning;
            netrc = sources.netrcPath.isEmpty() ? NetrcFile()
                                                : NetrcFile::read(sources.netrcPath, &warning);
            if (!warning.isEmpty())
                login.warnings << warning;
        }
        return *netrc;
    };

    std::optional<QString> explicitPassword = given(request.password);
    if (login.user.isEmpty() && !request.anonymous && !request.stored) {
        // A URL without a user: the login .netrc keeps for the host, else anonymous.
        if (const auto entry = readNetrc().find(request.host, QString());
            entry && !entry->login.isEmpty() && !namesAnonymous(entry->login)) {
            login.user = entry->login;
            if (entry->password && !explicitPassword) {
                login.password = *entry->password;
                login.origin = PasswordOrigin::Netrc;
            }
        }
    }

    login.anonymous = request.anonymous || login.user.isEmpty() || namesAnonymous(login.user);
    if (login.anonymous) {
        if (login.user.isEmpty())
            login.user = LoginCredentials::kAnonymousUser;
        if (explicitPassword) {
            login.password = *explicitPassword;
            login.origin = PasswordOrigin::Url;
        } else if (const auto stored = given(request.stored)) {
            login.password = *stored;
            login.origin = PasswordOrigin::Stored;
        } else {
            login.password = LoginCredentials::kAnonymousPassword;
            login.origin = PasswordOrigin::AnonymousDefault;
        }
    } else if (login.origin == PasswordOrigin::None) {
        if (explicitPassword) {
            login.password = *explicitPassword;
            login.origin = PasswordOrigin::Url;
        } else if (sources.standardInput) {
            login.password = *sources.standardInput;
            login.origin = PasswordOrigin::StandardInput;
        } else if (sources.environment) {
            login.password = *sources.environment;
            login.origin = PasswordOrigin::Environment;
        } else if (const auto stored = given(request.stored)) {
            login.password = *stored;
            login.origin = PasswordOrigin::Stored;
        } else if (const auto entry = readNetrc().find(request.host, login.user);
                   entry && entry->password) {
            login.password = *entry->password;
            login.origin = PasswordOrigin::Netrc;
        }
    }

    if (HasLineBreakOrNul(login.user))
        login.error = QStringLiteral(
            "The user name holds a line break (CR or LF) or a NUL character, which an FTP "
            "command cannot carry; nothing was sent.");
    else
        login.error = PasswordProblem(login.password, login.origin);
    return login;
}
