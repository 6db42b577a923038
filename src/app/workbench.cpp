#include "app/workbench.h"

#include "app/ftp_url.h"
#include "app/session_options_from_site.h"
#include "app/settings_file.h"
#include "app/settings_lock.h"
#include "app/settings_merge.h"
#include "app/settings_path.h"
#include "app/site_file.h"
#include "app/site_merge.h"
#include "app/site_tls.h"
#include "app/tool_file.h"
#include "app/window_title.h"
#include "workspace/upload_folder_reader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

namespace {

// A file that holds bytes but could not be parsed whole.
bool isDamaged(const QString& path, bool readWhole) {
    if (readWhole)
        return false;
    const QFileInfo info(path);
    return info.exists() && info.size() > 0;
}

}  // namespace

Workbench::Workbench(const QString& settingFolder, Services services, QObject* parent)
    : QObject(parent),
      settingFolder_(settingFolder),
      services_(services),
      session_(std::make_unique<FtpSession>(services.transports)),
      engine_(std::make_unique<ActionEngine>(*session_)),
      pool_(std::make_unique<TransferPool>(*engine_, services.transports)),
      trust_(QDir(settingFolder).filePath(TrustStore::fileName())),
      title_(WindowTitle()) {
    judge_ = std::make_unique<StoredCertificateJudge>(trust_, nullptr);
    session_->setCertificateJudge(judge_.get());
    engine_->setTransferPool(pool_.get());
    pool_->setConnections(settings_.SimultaneousTransfers);
    tasks_.connectTo(*session_);
    tasks_.connectTo(*pool_);
    taskStatus_.connectTo(*session_);
    // What fails or is taken out on a transfer connection is the task's as well.
    connect(pool_.get(), &TransferPool::failure, &taskStatus_, &TaskStatus::noteProblem);
    connect(pool_.get(), &TransferPool::connectionRefused, &taskStatus_,
            [this](const QString& text) { taskStatus_.noteProblem(text); });
    connect(pool_.get(), &TransferPool::commandRefused, &taskStatus_,
            [this](const QByteArray& command, int, const QString& reply, quint64 task) {
                taskStatus_.noteProblem(QString::fromUtf8(command) + QStringLiteral(": ") + reply,
                                        task);
            });
    connect(pool_.get(), &TransferPool::transferRemoved, &taskStatus_, &TaskStatus::noteStopped);
    connect(engine_.get(), &ActionEngine::taskRefused, &taskStatus_, &TaskStatus::refuseTask);
    taskStatus_.setCarriesOn([pool = pool_.get()](quint64 task) { return pool->carriesOn(task); });
    failed_ = std::make_unique<FailedTransfers>(*engine_);
    counts_ = std::make_unique<TransferCounts>(*session_, *engine_, tasks_, pool_.get(), *failed_);
    connect(pool_.get(), &TransferPool::transferStarted, failed_.get(),
            &FailedTransfers::onTransferStarted);
    // Folder uploads read their subfolders with the local side's filters, as
    // they stand when the upload gets there.
    engine_->localReader = [this](const QString& folder, std::vector<LocalItem>* items,
                                  QStringList* skipped) {
        return MakeUploadFolderReader(settings_.LocalShowFlags)(folder, items, skipped);
    };
    configureEngine();
    completion_ =
        std::make_unique<CompletionActions>(settings_, *services_.beeper, *services_.shutdown);
    // The shutdown after transfers waits for every connection's.
    completion_->setPendingTransferCheck([this] { return !tasks_.isEmpty() || pool_->busy(); });
    completion_->attachTo(taskStatus_);
    applyPublishOptions();
    connect(session_.get(), &FtpSession::loggedInChanged, this, [this](bool loggedIn) {
        if (!loggedIn)
            return;  // the name stays until the connection closes
        title_ = WindowTitle(session_->options());
        emit titleChanged(title_);
    });
    connect(session_.get(), &FtpSession::connectionClosed, this, [this] {
        title_ = WindowTitle();
        emit titleChanged(title_);
    });
}

Workbench::~Workbench() {
    // Queued work reports to the engine while it goes.
    counts_.reset();
    pool_.reset();
    session_->queue().clear();
    completion_.reset();
    failed_.reset();
    engine_.reset();
    session_.reset();
}

QString Workbench::filePath(const QString& name) const {
    return QDir(settingFolder_).filePath(name);
}

void Workbench::load() {
    damaged_.clear();
    unreadable_.clear();
    for (const QString& name :
         {SettingsFileName(SettingsFileKind::Sites), SettingsFileName(SettingsFileKind::Settings),
          SettingsFileName(SettingsFileKind::Mixed), SettingsFileName(SettingsFileKind::Tools),
          PublishSettings::fileName(), TrustStore::fileName()}) {
        QString reason;
        if (SettingsFile::unreadable(filePath(name), &reason))
            unreadable_ << QStringLiteral("%1 (%2)").arg(name, reason);
    }
    const QString sitesPath = filePath(SettingsFileName(SettingsFileKind::Sites));
    if (LoadSites(sites_, sitesPath) == SiteFileState::Incomplete)
        damaged_ << SettingsFileName(SettingsFileKind::Sites);
    const QString settingsPath = filePath(SettingsFileName(SettingsFileKind::Settings));
    problems_.clear();
    if (isDamaged(settingsPath, LoadAppSettings(settings_, settingsPath, &problems_)) ||
        !problems_.isEmpty())
        damaged_ << SettingsFileName(SettingsFileKind::Settings);
    const QString mixedPath = filePath(SettingsFileName(SettingsFileKind::Mixed));
    if (isDamaged(mixedPath, LoadMixedSettings(mixed_, mixedPath)))
        damaged_ << SettingsFileName(SettingsFileKind::Mixed);
    const QString toolsPath = filePath(SettingsFileName(SettingsFileKind::Tools));
    if (LoadTools(tools_, toolsPath) == ToolFileState::Incomplete)
        damaged_ << SettingsFileName(SettingsFileKind::Tools);
    // The tools added here count as loaded: they are the same in every window.
    TopUpSearchedTools(tools_);
    const QString publishPath = filePath(PublishSettings::fileName());
    if (isDamaged(publishPath, LoadPublishSettings(publish_, publishPath)))
        damaged_ << PublishSettings::fileName();
    applyPublishOptions();
    pool_->setConnections(settings_.SimultaneousTransfers);
    savedSites_ = sites_;
    savedSettings_ = settings_;
    savedMixed_ = mixed_;
    savedTools_ = tools_;
    configureEngine();
    savedPublish_ = publish_;
    // A damaged trust store is kept aside by its first save.
    if (!trust_.load())
        damaged_ << TrustStore::fileName();
}

QString Workbench::damageReport() const {
    QStringList lines;
    const QString folder = QDir::toNativeSeparators(QDir(settingFolder_).absolutePath());
    const auto section = [&](const QString& heading, const QStringList& names) {
        lines << heading.arg(folder);
        for (const QString& name : names)
            lines << QStringLiteral("  ") + name;
    };
    if (!unreadable_.isEmpty())
        section(QStringLiteral("These settings files in %1 could not be opened; their defaults "
                               "are used, and they are not saved over:"),
                unreadable_);
    if (!damaged_.isEmpty()) {
        section(QStringLiteral("These settings files in %1 could not be read whole; what could "
                               "be read is used, the rest has its defaults:"),
                damaged_);
        lines << problems_;
        lines << QStringLiteral("Each is kept as NAME.damaged when the settings are next saved.");
    }
    return lines.join(QLatin1Char('\n'));
}

bool Workbench::mayReplace(const QString& name, bool readWhole, QStringList& errors) {
    const QString path = filePath(name);
    QString reason;
    if (SettingsFile::unreadable(path, &reason)) {
        errors << QStringLiteral(
                      "%1 could not be read (%2): not saved, so that nothing it "
                      "holds is lost.")
                      .arg(QDir::toNativeSeparators(path), reason);
        return false;
    }
    if (!isDamaged(path, readWhole))
        return true;
    if (SettingsFile::keepDamagedCopy(path).isEmpty()) {
        errors << QStringLiteral(
                      "%1 could not be read whole and no copy of it could be kept: "
                      "not saved.")
                      .arg(QDir::toNativeSeparators(path));
        return false;
    }
    damaged_.removeAll(name);
    return true;
}

QStringList Workbench::save() {
    const SettingsLock lock(settingFolder_);
    if (!lock.isLocked())
        return {lock.error()};
    QStringList errors;
    const KeyringChanges changes = KeyringChangesBetween(savedSites_, sites_);
    const bool sitesSaved = saveSites(errors);
    saveAppSettings(errors);
    saveMixedSettings(errors);
    saveTools(errors);
    savePublishSettings(errors);
    if (sitesSaved) {
        followKeyringChanges(changes);
        keepPasswordsInKeyring();
    }
    return errors;
}

bool Workbench::busy() const {
    return !session_->queue().isEmpty() || pool_->busy();
}

bool Workbench::keyringWanted() const {
    return services_.secrets && !keyringRefused_ && KeyringWanted(sites_, storeMissing_);
}

void Workbench::keyringNote(const QString& text) {
    if (keyringNoted_)
        return;
    keyringNoted_ = true;
    session_->log(LogChannel::Status, text);
}

void Workbench::keepPasswordsInKeyring() {
    bool anyPassword = false;
    for (const SiteRecord& r : sites_.Records)
        anyPassword = anyPassword || !r.Password.isEmpty();
    if (!anyPassword)
        return;
    if (!keyringWanted()) {
        keyringNote(
            sites_.KeyringOption == SiteList::kKeyringOff
                ? QStringLiteral("Passwords not in the desktop keyring stay in site.set: \"Keep "
                                 "passwords in the "
                                 "desktop keyring\" is off.")
            : keyringRefused_
                ? QStringLiteral("Passwords not in the desktop keyring stay in site.set: the "
                                 "desktop keyring was not opened.")
                : QStringLiteral("Passwords not in the desktop keyring stay in site.set: no "
                                 "desktop keyring took them (none answers, "
                                 "or its prompt was cancelled)."));
        return;
    }
    for (const SiteRecord& r : sites_.Records)
        if (!r.Password.isEmpty() && !keeping_.contains(r.Id))
            keeping_.append(r.Id);
    keepNextPassword();
}

// One password at a time: a keyring that must first be created or unlocked
// asks once, and a "Cancel" there stops the rest.
void Workbench::keepNextPassword() {
    while (!writing_ && !keeping_.isEmpty()) {
        const qint32 id = keeping_.takeFirst();
        const SiteRecord* r = sites_.FindSite(id);
        if (!r || r->Password.isEmpty())
            continue;
        writing_ = true;
        const QString key = SiteKeyringKey(*r);
        const QString password = r->Password;
        const QPointer<Workbench> self(this);
        services_.secrets->write(key, password, [self, id, key, password](const auto& result) {
            if (self)
                self->passwordKept(id, key, password, result);
        });
        return;
    }
}

void Workbench::passwordKept(qint32 id, const QString& key, const QString& password,
                             const SecretStore::Result& result) {
    writing_ = false;
    if (result.outcome != SecretStore::Outcome::Done) {
        keeping_.clear();
        const bool first = !storeMissing_ && !keyringRefused_;
        if (result.outcome == SecretStore::Outcome::Refused)
            keyringRefused_ = true;
        else
            storeMissing_ = true;
        if (first)
            session_->log(
                LogChannel::Error,
                QStringLiteral("The desktop keyring did not take the password of %1 (%2); "
                               "passwords stay in site.set%3.")
                    .arg(key, result.message,
                         // Only a box the user ticked shows ticked now: the advice fits it alone.
                         keyringRefused_ || sites_.KeyringOption != SiteList::kKeyringOn
                             ? QStringLiteral(" until Velmora starts again")
                             : QStringLiteral(". To be asked no more, clear \"Keep passwords in "
                                              "the desktop keyring\" under Site > Connect")));
        return;
    }
    storeMissing_ = false;
    SiteRecord* site = sites_.FindSite(id);
    // Changed meanwhile: the next save writes the new one.
    if (site && site->Password == password && SiteKeyringKey(*site) == key) {
        site->Password.clear();
        site->PasswordInKeyring = 1;
        for (const QString& error : save())
            session_->log(LogChannel::Error, error);
    }
    keepNextPassword();
}

void Workbench::followKeyringChanges(const KeyringChanges& changes) {
    SecretStore* store = services_.secrets;
    if (!store || changes.isEmpty())
        return;
    const QPointer<Workbench> self(this);
    const auto report = [self](const QString& text) {
        if (self)
            self->session_->log(LogChannel::Error, text);
    };
    for (const KeyringMove& move : changes.moves) {
        store->read(move.from, [store, self, move, report](const SecretStore::Result& read) {
            if (!self)
                return;
            if (read.outcome != SecretStore::Outcome::Done) {
                report(QStringLiteral("The keyring entry %1 could not be read to follow the "
                                      "site to %2 (%3); give the password again.")
                           .arg(move.from, move.to, read.message));
                return;
            }
            store->write(move.to, read.secret,
                         [store, self, move, report](const SecretStore::Result& written) {
                             if (!self)
                                 return;
                             if (written.outcome != SecretStore::Outcome::Done) {
                                 report(QStringLiteral("The keyring entry %1 could not be "
                                                       "written (%2); give the password again.")
                                            .arg(move.to, written.message));
                                 return;
                             }
                             if (move.removeOld)
                                 store->remove(move.from, [](const SecretStore::Result&) {});
                         });
        });
    }
    for (const QString& key : changes.removals) {
        store->remove(key, [report, key](const SecretStore::Result& result) {
            if (result.outcome != SecretStore::Outcome::Done &&
                result.outcome != SecretStore::Outcome::NotFound)
                report(QStringLiteral("The keyring entry %1 of a removed site could not be "
                                      "removed (%2).")
                           .arg(key, result.message));
        });
    }
}

bool Workbench::saveSites(QStringList& errors) {
    const QString name = SettingsFileName(SettingsFileKind::Sites);
    SiteList onDisk;
    const SiteFileState state = LoadSites(onDisk, filePath(name));
    if (!mayReplace(name, state != SiteFileState::Incomplete, errors))
        return false;
    const SiteList merged = MergeSites(onDisk, savedSites_, sites_);
    QString error;
    // After a failure both stay as they were, so the next save still finds the changes.
    if (!SaveSites(merged, filePath(name), &error)) {
        errors << error;
        return false;
    }
    sites_.Records = merged.Records;
    sites_.SelectedIndex = merged.SelectedIndex;
    sites_.KeyringOption = merged.KeyringOption;
    savedSites_ = sites_;
    return true;
}

void Workbench::saveAppSettings(QStringList& errors) {
    const QString name = SettingsFileName(SettingsFileKind::Settings);
    AppSettings onDisk;
    QStringList problems;
    if (!mayReplace(name, LoadAppSettings(onDisk, filePath(name), &problems) && problems.isEmpty(),
                    errors))
        return;
    auto merged = MergeRecordFields(onDisk, savedSettings_, settings_, &SerializeAppSettings);
    // The value after the records, too, stays as another writer saved it unless changed here.
    if (settings_.SimultaneousTransfers == savedSettings_.SimultaneousTransfers)
        merged.SimultaneousTransfers = onDisk.SimultaneousTransfers;
    QString error;
    if (!SaveAppSettings(merged, filePath(name), &error)) {
        errors << error;
        return;
    }
    settings_ = merged;
    savedSettings_ = merged;
}

void Workbench::saveMixedSettings(QStringList& errors) {
    const QString name = SettingsFileName(SettingsFileKind::Mixed);
    MixedSettings onDisk;
    if (!mayReplace(name, LoadMixedSettings(onDisk, filePath(name)), errors))
        return;
    const auto merged = MergeRecordFields(onDisk, savedMixed_, mixed_, &SerializeMixedSettings);
    QString error;
    if (!SaveMixedSettings(merged, filePath(name), &error)) {
        errors << error;
        return;
    }
    mixed_ = merged;
    savedMixed_ = merged;
}

void Workbench::saveTools(QStringList& errors) {
    const QString name = SettingsFileName(SettingsFileKind::Tools);
    ToolLists onDisk;
    const ToolFileState state = LoadTools(onDisk, filePath(name));
    if (!mayReplace(name, state != ToolFileState::Incomplete, errors))
        return;
    TopUpSearchedTools(onDisk);
    const ToolLists merged = MergeToolLists(onDisk, savedTools_, tools_);
    QString error;
    if (!SaveTools(merged, filePath(name), &error)) {
        errors << error;
        return;
    }
    tools_ = merged;
    savedTools_ = merged;
}

void Workbench::savePublishSettings(QStringList& errors) {
    const QString name = PublishSettings::fileName();
    PublishSettings onDisk;
    if (!mayReplace(name, LoadPublishSettings(onDisk, filePath(name)), errors))
        return;
    const PublishSettings merged = MergePublishSettings(onDisk, savedPublish_, publish_);
    QString error;
    if (!SavePublishSettings(merged, filePath(name), &error)) {
        errors << error;
        return;
    }
    publish_ = merged;
    savedPublish_ = merged;
    applyPublishOptions();
}

bool Workbench::startCurrentSite(const LoginRequest& request, const PasswordSources& sources) {
    LoginCredentials login = ResolveLogin(request, sources);
    for (const QString& warning : login.warnings)
        session_->log(LogChannel::Error, warning);
    if (login.mayAsk() && askPassword_) {
        if (const std::optional<QString> typed = askPassword_(login.user, request.host)) {
            login.password = *typed;
            login.origin = PasswordOrigin::Prompt;
            login.error = PasswordProblem(login.password, login.origin);
        }
    }
    if (!login.error.isEmpty()) {
        session_->log(LogChannel::Error, login.error);
        return false;
    }
    // The copy in use carries the password found, so "Re-connect" needs nobody.
    SiteRecord& site = sites_.Current.Site;
    site.Password = login.password;
    session_->setOptions(MakeSessionOptions(site, settings_));
    engine_->setRemoteProjectFolder(site.RemoteProjectFolder.toUtf8());
    emit localProjectChosen(site.LocalProjectFolder);
    session_->connectNew();
    return true;
}

bool Workbench::connectChosenSite(const PasswordSources& sources) {
    session_->closeConnection();
    const quint64 serial = ++connectSerial_;
    if (!sites_.ChooseSelectedSite())
        return false;
    const SiteRecord& site = sites_.Current.Site;
    LoginRequest request;
    request.host = site.Host;
    request.user = site.User;
    request.stored = site.Password;
    request.anonymous = site.LogonType == SiteRecord::kLogonAnonymous;
    if (!site.PasswordInKeyring || !site.Password.isEmpty() || !services_.secrets)
        return startCurrentSite(request, sources);
    // Asked without waiting; a locked keyring prompts on its own. Without the password the
    // login goes on as for a site that has none (the password dialog asks).
    const QPointer<Workbench> self(this);
    const QString key = SiteKeyringKey(site);
    services_.secrets->read(
        key, [self, serial, request, sources, key](const SecretStore::Result& result) mutable {
            if (!self || serial != self->connectSerial_)
                return;
            if (result.outcome == SecretStore::Outcome::Done)
                request.stored = result.secret;
            else
                self->session_->log(LogChannel::Error, KeyringReadProblem(key, result));
            self->startCurrentSite(request, sources);
        });
    return true;
}

bool Workbench::connectSelectedSite() {
    PasswordSources sources;
    sources.netrcPath = passwordSources_.netrcPath;
    return connectChosenSite(sources);
}

bool Workbench::connectSiteNamed(const QString& name) {
    for (size_t i = 0; i < sites_.Records.size(); ++i) {
        if (sites_.Records[i].Name == name) {
            sites_.SelectedIndex = qint32(i);
            return connectChosenSite(passwordSources_);
        }
    }
    return false;
}

bool Workbench::connectUrl(const FtpUrl& url) {
    session_->closeConnection();
    ++connectSerial_;
    LoginRequest request;
    request.host = url.host;
    request.user = url.user;
    if (!url.password.isEmpty())
        request.password = url.password;
    SiteRecord site;
    site.Id = sites_.FreshId();
    site.Name = url.host;
    site.Host = url.host;
    site.Port = url.port;
    // The user .netrc names for a URL without one is known before the password is looked for.
    const LoginCredentials named = ResolveLogin(request, passwordSources_);
    site.LogonType = named.anonymous ? SiteRecord::kLogonAnonymous : SiteRecord::kLogonNormal;
    site.User = named.user;
    site.RemoteProjectFolder = url.path;
    SetSiteTlsMode(site, url.tlsRequired ? TlsMode::Require : TlsMode::Off);
    sites_.Current.Site = site;
    sites_.Current.SessionFlag = 0;
    request.user = named.user;
    return startCurrentSite(request, passwordSources_);
}

void Workbench::reconnect() {
    session_->setOptions(MakeSessionOptions(sites_.Current.Site, settings_));
    session_->reconnect();
}

void Workbench::closeConnection() {
    ++connectSerial_;
    session_->closeConnection();
    sites_.ResetCurrentSiteOnClose();
}

void Workbench::configureEngine() {
    engine_->kindFilter.flags = settings_.ServerKindFlags;
    engine_->uploadRefreshFlag = quint8(settings_.ViewFlags);
}

void Workbench::applySettings(const AppSettings& before) {
    configureEngine();
    SessionOptions o = session_->options();
    const SessionOptions fresh = MakeSessionOptions(sites_.Current.Site, settings_);
    o.keepAliveInterval = fresh.keepAliveInterval;
    o.keepAliveCommand1 = fresh.keepAliveCommand1;
    o.keepAliveCommand2 = fresh.keepAliveCommand2;
    o.showActiveServerFiles = fresh.showActiveServerFiles;
    session_->setOptions(o);
    pool_->setConnections(settings_.SimultaneousTransfers);
    if ((before.KeepAliveInterval == 0) != (settings_.KeepAliveInterval == 0))
        session_->restartKeepAlive();
}
