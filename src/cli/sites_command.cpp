#include "cli/sites_command.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

#include "app/http_address.h"
#include "app/publish_settings.h"
#include "app/settings_file.h"
#include "app/settings_lock.h"
#include "app/settings_path.h"
#include "app/site_file.h"
#include "app/site_keyring.h"
#include "app/site_list.h"
#include "app/site_rules.h"
#include "app/site_tls.h"
#include "cli/keyring_access.h"

namespace {

constexpr int kDone = 0;
constexpr int kRefused = 1;
constexpr int kUsage = 2;

const QString kSitesUsage = QStringLiteral(
    "usage: velmora-cli sites list | show NAME | add NAME --host H [OPTIONS] | "
    "edit NAME [--name NEW] [OPTIONS] | remove NAME");
const QString kOptionsUsage = QStringLiteral(
    "usage: velmora-cli sites add|edit NAME [--comment C] [--host H] [--port P] "
    "[--anonymous | --user U] [--password P] [--binary | --ascii] [--always-list | --prefer-mlsd] "
    "[--local-project DIR] [--remote-project PATH] [--concerned-file PATH] [--http-base B] "
    "[--abundant1 S] [--abundant2 S] [--abundant3 S] [--tls off|auto|require] "
    "[--time-offset +HH:MM|none]");
const QString kUrlUsage = QStringLiteral("usage: velmora-cli url NAME REMOTE_PATH");

// What the options of add and edit ask to change; unset fields stay as they are.
struct SiteOptions {
    std::optional<QString> name;
    std::optional<QString> comment;
    std::optional<QString> host;
    std::optional<qint32> port;
    bool anonymous = false;
    std::optional<QString> user;
    std::optional<QString> password;
    std::optional<quint8> transferType;
    std::optional<bool> preferMlsd;
    std::optional<QString> localProject;
    std::optional<QString> remoteProject;
    std::optional<QString> concernedFile;
    std::optional<QString> httpBase;
    std::optional<QString> abundant[3];
    std::optional<TlsMode> tls;
    // The server's LIST times against UTC; an empty inner value forgets it.
    std::optional<std::optional<qint32>> timeOffset;
};

int usageError(QTextStream& err, const QString& problem, const QString& usage) {
    err << problem << '\n' << usage << '\n';
    err.flush();
    return kUsage;
}

int refuse(QTextStream& err, const QString& message) {
    err << message << '\n';
    err.flush();
    return kRefused;
}

// Parses args[first...]; on failure `problem` says why.
bool parseSiteOptions(const QStringList& args, int first, bool allowName, SiteOptions* options,
                      QString* problem) {
    const auto textOptions = [&](const QString& flag) -> std::optional<QString>* {
        if (flag == u"--name" && allowName)
            return &options->name;
        if (flag == u"--comment")
            return &options->comment;
        if (flag == u"--host")
            return &options->host;
        if (flag == u"--user")
            return &options->user;
        if (flag == u"--password")
            return &options->password;
        if (flag == u"--local-project")
            return &options->localProject;
        if (flag == u"--remote-project")
            return &options->remoteProject;
        if (flag == u"--concerned-file")
            return &options->concernedFile;
        if (flag == u"--http-base")
            return &options->httpBase;
        if (flag == u"--abundant1")
            return &options->abundant[0];
        if (flag == u"--abundant2")
            return &options->abundant[1];
        if (flag == u"--abundant3")
            return &options->abundant[2];
        return nullptr;
    };
    bool binary = false;
    bool ascii = false;
    bool alwaysList = false;
    bool preferMlsd = false;
    for (int i = first; i < args.size(); ++i) {
        const QString& flag = args[i];
        if (flag == u"--anonymous") {
            options->anonymous = true;
        } else if (flag == u"--binary") {
            binary = true;
        } else if (flag == u"--ascii") {
            ascii = true;
        } else if (flag == u"--always-list") {
            alwaysList = true;
        } else if (flag == u"--prefer-mlsd") {
            preferMlsd = true;
        } else if (flag == u"--tls") {
            if (i + 1 >= args.size()) {
                *problem = QStringLiteral("missing value for --tls");
                return false;
            }
            options->tls = parseTlsMode(args[++i]);
            if (!options->tls) {
                *problem =
                    QStringLiteral("bad --tls \"%1\": expected off, auto or require").arg(args[i]);
                return false;
            }
        } else if (flag == u"--time-offset") {
            if (i + 1 >= args.size()) {
                *problem = QStringLiteral("missing value for --time-offset");
                return false;
            }
            const QString& value = args[++i];
            const std::optional<qint32> seconds = parseTimeOffset(value);
            if (value != u"none" && !seconds) {
                *problem =
                    QStringLiteral("bad --time-offset \"%1\": expected +HH:MM, -HH:MM or none")
                        .arg(value);
                return false;
            }
            options->timeOffset = seconds;
        } else if (flag == u"--port" || textOptions(flag)) {
            if (i + 1 >= args.size()) {
                *problem = QStringLiteral("missing value for %1").arg(flag);
                return false;
            }
            const QString& value = args[++i];
            if (flag == u"--port") {
                bool ok = false;
                const int port = value.toInt(&ok);
                if (!ok || port < 1 || port > 65535) {
                    *problem = QStringLiteral("bad port \"%1\": expected 1 to 65535").arg(value);
                    return false;
                }
                options->port = port;
            } else {
                *textOptions(flag) = value;
            }
        } else {
            *problem = QStringLiteral("unknown option \"%1\"").arg(flag);
            return false;
        }
    }
    if (binary && ascii) {
        *problem = QStringLiteral("--binary and --ascii exclude each other");
        return false;
    }
    if (alwaysList && preferMlsd) {
        *problem = QStringLiteral("--always-list and --prefer-mlsd exclude each other");
        return false;
    }
    if (options->anonymous && options->user) {
        *problem = QStringLiteral("--anonymous and --user exclude each other");
        return false;
    }
    if (binary)
        options->transferType = SiteRecord::kTransferBinary;
    if (ascii)
        options->transferType = SiteRecord::kTransferAscii;
    if (alwaysList || preferMlsd)
        options->preferMlsd = preferMlsd;
    return true;
}

void applySiteOptions(const SiteOptions& options, SiteRecord* site) {
    const auto set = [](const std::optional<QString>& value, QString* field) {
        if (value)
            *field = *value;
    };
    set(options.name, &site->Name);
    set(options.comment, &site->Comment);
    set(options.host, &site->Host);
    if (options.port)
        site->Port = *options.port;
    if (options.anonymous)
        site->LogonType = SiteRecord::kLogonAnonymous;
    if (options.user) {
        site->User = *options.user;
        // Naming a user ends an anonymous logon; the other logon types keep their user.
        if (site->LogonType == SiteRecord::kLogonAnonymous)
            site->LogonType = SiteRecord::kLogonNormal;
    }
    set(options.password, &site->Password);
    if (options.transferType)
        site->TransferType = *options.transferType;
    if (options.preferMlsd) {
        if (*options.preferMlsd)
            site->SiteFlags |= SiteRecord::kPreferMlsd;
        else
            site->SiteFlags &= ~SiteRecord::kPreferMlsd;
    }
    set(options.localProject, &site->LocalProjectFolder);
    set(options.remoteProject, &site->RemoteProjectFolder);
    set(options.concernedFile, &site->ConcernedFile);
    set(options.httpBase, &site->HttpBase);
    set(options.abundant[0], &site->AbundantString1);
    set(options.abundant[1], &site->AbundantString2);
    set(options.abundant[2], &site->AbundantString3);
    if (options.tls)
        SetSiteTlsMode(*site, *options.tls);
}

QString notFound(const QString& name, const QString& path) {
    return QStringLiteral("No site named \"%1\" in %2").arg(name, path);
}

// The site a command names: by its name, or as "name (comment)" where several
// share the name (the window tells them apart by their comments). -1 with the
// reason when none is meant, or more than one.
int findByName(const SiteList& list, const QString& name, const QString& path, QString* why) {
    std::vector<int> rows;
    for (size_t i = 0; i < list.Records.size(); ++i)
        if (list.Records[i].Name == name)
            rows.push_back(int(i));
    if (rows.empty())
        for (size_t i = 0; i < list.Records.size(); ++i) {
            const SiteRecord& r = list.Records[i];
            if (QStringLiteral("%1 (%2)").arg(r.Name, r.Comment) == name)
                rows.push_back(int(i));
        }
    if (rows.size() == 1)
        return rows.front();
    if (rows.empty()) {
        *why = notFound(name, path);
        return -1;
    }
    QStringList labels;
    for (const int row : rows)
        labels << QStringLiteral("\"%1 (%2)\"").arg(name, list.Records[size_t(row)].Comment);
    *why = QStringLiteral("%1 sites are named \"%2\" in %3: name one with its comment, as %4")
               .arg(rows.size())
               .arg(name, path, labels.join(QStringLiteral(" or ")));
    return -1;
}

// `fallback` is the label shown for a value outside the list, -1 for none.
QString choiceText(int value, const QStringList& labels, int fallback = -1) {
    const int label = value >= 0 && value < labels.size() ? value : fallback;
    if (label >= 0)
        return QStringLiteral("%1 (%2)").arg(value).arg(labels[label]);
    return QString::number(value);
}

void showSite(const SiteRecord& site, const PublishSettings& publish, QTextStream& out) {
    static const QStringList logonLabels = {
        QStringLiteral("Normal"), QStringLiteral("Anonymous"), QStringLiteral("Ask for password"),
        QStringLiteral("Interactive"), QStringLiteral("Account")};
    static const QStringList typeLabels = {QStringLiteral("Default"), QStringLiteral("Binary"),
                                           QStringLiteral("ASCII")};
    static const QStringList modeLabels = {QStringLiteral("Default"), QStringLiteral("Active"),
                                           QStringLiteral("Passive")};
    static const QStringList encodingLabels = {QStringLiteral("Default"),
                                               QStringLiteral("Force UTF-8"),
                                               QStringLiteral("Customer charset")};
    QString flags = QStringLiteral("0x%1 (").arg(quint32(site.SiteFlags), 2, 16, QLatin1Char('0'));
    flags += (site.SiteFlags & SiteRecord::kPreferMlsd) ? u"prefer MLSD" : u"always LIST";
    if (site.SiteFlags & SiteRecord::kBypassProxy)
        flags += u", bypass proxy";
    if (SiteTlsMode(site) == TlsMode::IfAvailable)
        flags += u", TLS if available";
    else if (SiteTlsMode(site) == TlsMode::Require)
        flags += u", TLS required";
    flags += u')';

    out << "Name: " << site.Name << '\n'
        << "Comment: " << site.Comment << '\n'
        << "Host: " << site.Host << '\n'
        << "Port: " << (site.Port < 0 ? QString() : QString::number(site.Port)) << '\n'
        << "LogonType: " << choiceText(site.LogonType, logonLabels) << '\n'
        << "User: " << site.User << '\n'
        << "Password: "
        << (site.PasswordInKeyring    ? QStringLiteral("(in the desktop keyring)")
            : site.Password.isEmpty() ? QString()
                                      : QStringLiteral("(in site.set)"))
        << '\n'
        << "TransferType: " << choiceText(site.TransferType, typeLabels) << '\n'
        << "TransferMode: " << choiceText(site.TransferMode, modeLabels, 0) << '\n'
        << "NameEncoding: " << choiceText(site.NameEncoding, encodingLabels, 0) << '\n'
        << "LocalProjectFolder: " << site.LocalProjectFolder << '\n'
        << "RemoteProjectFolder: " << site.RemoteProjectFolder << '\n'
        << "ConcernedFile: " << site.ConcernedFile << '\n'
        << "HttpBase: " << site.HttpBase << '\n'
        << "AbundantString1: " << site.AbundantString1 << '\n'
        << "AbundantString2: " << site.AbundantString2 << '\n'
        << "AbundantString3: " << site.AbundantString3 << '\n'
        << "SiteFlags: " << flags << '\n';
    const std::optional<qint32> offset = publish.offsetFor(site.Host, site.Port);
    out << "ListTimeOffset: " << (offset ? timeOffsetText(*offset) : QString()) << '\n';
}

QString publishPath(const QString& sitesPath) {
    return QFileInfo(sitesPath).dir().filePath(PublishSettings::fileName());
}

// The time offset lives beside the site file, keyed by the site's server.
int saveTimeOffset(const SiteOptions& options, const SiteRecord& site, const QString& sitesPath,
                   QTextStream& err) {
    if (!options.timeOffset)
        return kDone;
    const QString path = publishPath(sitesPath);
    PublishSettings publish;
    if (!LoadPublishSettings(publish, path))
        return refuse(err, QStringLiteral("The file %1 is damaged; the time offset was not "
                                          "changed.")
                               .arg(path));
    if (*options.timeOffset)
        publish.setOffset(site.Host, site.Port, **options.timeOffset);
    else
        publish.clearOffset(site.Host, site.Port);
    if (!SavePublishSettings(publish, path))
        return refuse(err, QStringLiteral("Could not save %1").arg(path));
    return kDone;
}

// Loads the list for a change; false, said on err, when the file is damaged or unreadable: it
// is not overwritten, so nothing in it is lost.
bool loadChangeable(SiteList& list, const QString& path, QTextStream& err) {
    QString reason;
    if (SettingsFile::unreadable(path, &reason)) {
        err << "The site file " << path << " can not be read (" << reason
            << "); not changing it.\n";
        err.flush();
        return false;
    }
    if (LoadSites(list, path) == SiteFileState::Incomplete) {
        err << "The site file " << path << " is damaged; not changing it.\n";
        err.flush();
        return false;
    }
    return true;
}

// The same under the lock `lock` was asked for: concurrent runs and an open window then never
// save over each other's sites.
bool loadForChange(const SettingsLock& lock, SiteList& list, const QString& path,
                   QTextStream& err) {
    if (!lock.isLocked()) {
        err << lock.error() << '\n';
        err.flush();
        return false;
    }
    return loadChangeable(list, path, err);
}

int save(SiteList& list, const QString& path, QTextStream& err) {
    list.NormaliseSelectedIndex();
    QString error;
    if (!SaveSites(list, path, &error))
        return refuse(err, error);
    return kDone;
}

void warn(QTextStream& err, const QString& text) {
    err << "velmora-cli: warning: " << text << '\n';
    err.flush();
}

// A password given for `site` goes to the keyring when one answers and the option allows;
// the record then keeps an empty field. Otherwise it stays in the record, with a warning.
void keepPassword(const KeyringAccess& keyring, const SiteList& list, SiteRecord* site,
                  QTextStream& err) {
    if (site->Password.isEmpty() || !keyring.isPresent() ||
        list.KeyringOption == SiteList::kKeyringOff)
        return;
    const SecretStore::Result result = keyring.write(SiteKeyringKey(*site), site->Password);
    if (result.outcome == SecretStore::Outcome::Done) {
        site->Password.clear();
        site->PasswordInKeyring = 1;
        return;
    }
    site->PasswordInKeyring = 0;
    warn(err, QStringLiteral("the desktop keyring did not take the password (%1); it is kept "
                             "in site.set")
                  .arg(result.message.isEmpty() ? QStringLiteral("no secret store answers")
                                                : result.message));
}

bool keyUsedByOthers(const SiteList& list, const QString& key, int exceptRow) {
    for (int i = 0; i < int(list.Records.size()); ++i) {
        const SiteRecord& r = list.Records[size_t(i)];
        if (i != exceptRow && r.PasswordInKeyring && SiteKeyringKey(r) == key)
            return true;
    }
    return false;
}

// Keyring calls may wait for the keyring's own prompt, so they are made before the settings
// lock is taken, on what the file held then; the change is checked again under the lock.
int addSite(const QStringList& args, const QString& path, QTextStream& err,
            const KeyringAccess& keyring) {
    if (args.size() < 2 || args[1].startsWith(u"--"))
        return usageError(err, QStringLiteral("sites add: missing NAME"), kSitesUsage);
    SiteOptions options;
    QString problem;
    if (!parseSiteOptions(args, 2, false, &options, &problem))
        return usageError(err, QStringLiteral("sites add: ") + problem, kOptionsUsage);

    // Plain unless --tls says otherwise: scripts keep doing what they did.
    SiteRecord site;
    site.Name = args[1];
    applySiteOptions(options, &site);
    // The checks of the window's pages, the project folders' included.
    const auto check = [&site](const SiteList& list) {
        QString message = CheckSiteName(list, site.Name, site.Comment);
        if (message.isEmpty())
            message = ValidateBasicFtp(site);
        return message.isEmpty() ? ValidateProjectFields(site, SiteRecord()) : message;
    };
    // A file that will not be changed is named before the keyring is asked for anything.
    SiteList before;
    if (!loadChangeable(before, path, err))
        return kRefused;
    if (const QString message = check(before); !message.isEmpty())
        return refuse(err, message);
    keepPassword(keyring, before, &site, err);

    int saved = kRefused;
    SiteList list;
    {
        const SettingsLock lock(QFileInfo(path).absolutePath());
        if (!loadForChange(lock, list, path, err))
            saved = kRefused;
        else if (const QString message = check(list); !message.isEmpty())
            saved = refuse(err, message);
        else {
            site.Id = list.FreshId();
            list.Records.push_back(site);
            saved = save(list, path, err);
            if (saved == kDone)
                saved = saveTimeOffset(options, site, path, err);
        }
    }
    const QString key = SiteKeyringKey(site);
    if (saved != kDone && site.PasswordInKeyring && !keyUsedByOthers(list, key, -1))
        keyring.remove(key);
    return saved;
}

int editSite(const QStringList& args, const QString& path, QTextStream& err,
             const KeyringAccess& keyring) {
    if (args.size() < 2 || args[1].startsWith(u"--"))
        return usageError(err, QStringLiteral("sites edit: missing NAME"), kSitesUsage);
    SiteOptions options;
    QString problem;
    if (!parseSiteOptions(args, 2, true, &options, &problem))
        return usageError(err, QStringLiteral("sites edit: ") + problem, kOptionsUsage);

    // The edited site as the file holds it now, or a message saying why not.
    const auto edited = [&](const SiteList& list, SiteRecord* site, int* row) -> QString {
        QString why;
        *row = findByName(list, args[1], path, &why);
        if (*row < 0)
            return why;
        const SiteRecord& old = list.Records[size_t(*row)];
        *site = old;
        applySiteOptions(options, site);
        if (site->Name != old.Name || site->Comment != old.Comment) {
            const QString nameMessage = CheckSiteName(list, site->Name, site->Comment, *row);
            if (!nameMessage.isEmpty())
                return nameMessage;
        }
        const QString basic = ValidateBasicFtp(*site);
        return basic.isEmpty() ? ValidateProjectFields(*site, old) : basic;
    };
    SiteList before;
    if (!loadChangeable(before, path, err))
        return kRefused;
    SiteRecord site;
    int row = -1;
    if (const QString message = edited(before, &site, &row); !message.isEmpty())
        return refuse(err, message);
    const SiteRecord& old = before.Records[size_t(row)];
    const QString oldKey = SiteKeyringKey(old);
    const bool wasInKeyring = old.PasswordInKeyring;
    bool dropOld = false;
    if (options.password && !options.password->isEmpty()) {
        keepPassword(keyring, before, &site, err);
        dropOld = wasInKeyring && (!site.PasswordInKeyring || SiteKeyringKey(site) != oldKey);
    } else if (options.password) {
        site.PasswordInKeyring = 0;  // --password "": no password at all
        dropOld = wasInKeyring;
    } else if (wasInKeyring && SiteKeyringKey(site) != oldKey) {
        // Renamed or moved to another host: the entry follows.
        const SecretStore::Result read = keyring.read(oldKey);
        const SecretStore::Result written = read.outcome == SecretStore::Outcome::Done
                                                ? keyring.write(SiteKeyringKey(site), read.secret)
                                                : read;
        if (written.outcome == SecretStore::Outcome::Done) {
            dropOld = true;
        } else {
            warn(err, QStringLiteral("the keyring entry %1 could not follow the site to %2 (%3); "
                                     "give the password again with --password")
                          .arg(oldKey, SiteKeyringKey(site), written.message));
        }
    }

    int saved = kRefused;
    SiteList list;
    {
        const SettingsLock lock(QFileInfo(path).absolutePath());
        SiteRecord fresh;
        if (!loadForChange(lock, list, path, err)) {
            saved = kRefused;
        } else if (const QString message = edited(list, &fresh, &row); !message.isEmpty()) {
            saved = refuse(err, message);
        } else {
            fresh.Password = site.Password;
            fresh.PasswordInKeyring = site.PasswordInKeyring;
            list.Records[size_t(row)] = fresh;
            saved = save(list, path, err);
            if (saved == kDone)
                saved = saveTimeOffset(options, fresh, path, err);
        }
    }
    if (saved == kDone && dropOld && !keyUsedByOthers(list, oldKey, -1))
        keyring.remove(oldKey);
    return saved;
}

int removeSite(const QStringList& args, const QString& path, QTextStream& err,
               const KeyringAccess& keyring) {
    if (args.size() != 2)
        return usageError(err, QStringLiteral("sites remove: expected one NAME"), kSitesUsage);
    SiteList list;
    SiteRecord removed;
    {
        const SettingsLock lock(QFileInfo(path).absolutePath());
        if (!loadForChange(lock, list, path, err))
            return kRefused;
        QString why;
        const int row = findByName(list, args[1], path, &why);
        if (row < 0)
            return refuse(err, why);
        removed = list.Records[size_t(row)];
        const SiteDeleteResult result = DeleteSite(list, row);
        if (!result.deleted)
            return refuse(err, result.message);
        if (const int saved = save(list, path, err); saved != kDone)
            return saved;
    }
    const QString key = SiteKeyringKey(removed);
    if (removed.PasswordInKeyring && !keyUsedByOthers(list, key, -1)) {
        const SecretStore::Result gone = keyring.remove(key);
        if (gone.outcome != SecretStore::Outcome::Done &&
            gone.outcome != SecretStore::Outcome::NotFound)
            warn(err, QStringLiteral("the keyring entry %1 could not be removed (%2)")
                          .arg(key, gone.message));
    }
    return kDone;
}

}  // namespace

bool LoadSiteByName(const QString& settingDir, const QString& name, SiteRecord* out,
                    QString* error) {
    const QString path = SettingsPath(SettingsFileKind::Sites, settingDir);
    SiteList list;
    LoadSites(list, path);
    QString why;
    const int row = findByName(list, name, path, &why);
    if (row < 0) {
        if (error)
            *error = why;
        return false;
    }
    if (out)
        *out = list.Records[row];
    return true;
}

int runSitesCommand(const QStringList& args, const QString& settingDir, QTextStream& out,
                    QTextStream& err, SecretStore* secrets) {
    const KeyringAccess keyring(secrets);
    if (args.isEmpty())
        return usageError(err, QStringLiteral("sites: missing command"), kSitesUsage);
    const QString path = SettingsPath(SettingsFileKind::Sites, settingDir);
    const QString& command = args[0];

    if (command == u"list") {
        if (args.size() != 1)
            return usageError(err, QStringLiteral("sites list: takes no arguments"), kSitesUsage);
        SiteList list;
        LoadSites(list, path);
        for (const SiteRecord& site : list.Records) {
            out << site.Name << '\t' << site.Comment << '\t' << site.Host;
            if (site.Port >= 0)
                out << ':' << site.Port;
            out << '\n';
        }
        out.flush();
        return kDone;
    }
    if (command == u"show") {
        if (args.size() != 2)
            return usageError(err, QStringLiteral("sites show: expected one NAME"), kSitesUsage);
        SiteRecord site;
        QString error;
        if (!LoadSiteByName(settingDir, args[1], &site, &error))
            return refuse(err, error);
        PublishSettings publish;
        LoadPublishSettings(publish, publishPath(path));
        showSite(site, publish, out);
        out.flush();
        return kDone;
    }
    if (command == u"add")
        return addSite(args, path, err, keyring);
    if (command == u"edit")
        return editSite(args, path, err, keyring);
    if (command == u"remove")
        return removeSite(args, path, err, keyring);
    return usageError(err, QStringLiteral("sites: unknown command \"%1\"").arg(command),
                      kSitesUsage);
}

int runUrlCommand(const QStringList& args, const QString& settingDir, QTextStream& out,
                  QTextStream& err) {
    if (args.size() != 2)
        return usageError(err, QStringLiteral("url: expected NAME and REMOTE_PATH"), kUrlUsage);
    SiteRecord site;
    QString error;
    if (!LoadSiteByName(settingDir, args[0], &site, &error))
        return refuse(err, error);
    out << HttpAddress(site, args[1]) << '\n';
    out.flush();
    return kDone;
}
