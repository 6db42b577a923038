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

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kApplicationTitle = QStringLiteral("Velmora");

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
      trust_(QDir(settingFolder).filePath(TrustStore::fileName())),
      title_(kApplicationTitle) {
    judge_ = std::make_unique<StoredCertificateJudge>(trust_, nullptr);
    session_->setCertificateJudge(judge_.get());
    tasks_.connectTo(*session_);
    taskStatus_.connectTo(*session_);
    completion_ =
        std::make_unique<CompletionActions>(settings_, *services_.beeper, *services_.shutdown);
    completion_->setPendingTransferCheck([this] { return !tasks_.isEmpty(); });
    completion_->attachTo(taskStatus_);
    connect(session_.get(), &FtpSession::titleChanged, this, [this](const QString& title) {
        title_ = title;
        emit titleChanged(title_);
    });
    connect(session_.get(), &FtpSession::connectionClosed, this, [this] {
        title_ = kApplicationTitle;
        emit titleChanged(title_);
    });
}

Workbench::~Workbench() {
    // Queued work reports to the engine while it goes.
    session_->queue().clear();
    completion_.reset();
    engine_.reset();
    session_.reset();
}

QString Workbench::filePath(const QString& name) const {
    return QDir(settingFolder_).filePath(name);
}

void Workbench::load() {
    damaged_.clear();
    const QString sitesPath = filePath(SettingsFileName(SettingsFileKind::Sites));
    if (LoadSites(sites_, sitesPath) == SiteFileState::Incomplete)
        damaged_ << SettingsFileName(SettingsFileKind::Sites);
    const QString settingsPath = filePath(SettingsFileName(SettingsFileKind::Settings));
    if (isDamaged(settingsPath, LoadAppSettings(settings_, settingsPath)))
        damaged_ << SettingsFileName(SettingsFileKind::Settings);
    const QString mixedPath = filePath(SettingsFileName(SettingsFileKind::Mixed));
    if (isDamaged(mixedPath, LoadMixedSettings(mixed_, mixedPath)))
        damaged_ << SettingsFileName(SettingsFileKind::Mixed);
    const QString toolsPath = filePath(SettingsFileName(SettingsFileKind::Tools));
    if (LoadTools(tools_, toolsPath) == ToolFileState::Incomplete)
        damaged_ << SettingsFileName(SettingsFileKind::Tools);
    // The tools added here count as loaded: they are the same in every window.
    TopUpSearchedTools(tools_);
    savedSites_ = sites_;
    savedSettings_ = settings_;
    savedMixed_ = mixed_;
    savedTools_ = tools_;
    // A damaged trust store is not saved over until something changes.
    trust_.load();
}

void Workbench::keepDamaged(const QString& name, bool readWhole) {
    const QString path = filePath(name);
    if (!isDamaged(path, readWhole))
        return;
    const QString kept = path + QStringLiteral(".damaged");
    QFile::remove(kept);
    if (QFile::copy(path, kept))
        damaged_.removeAll(name);
}

QStringList Workbench::save() {
    const SettingsLock lock(settingFolder_);
    if (!lock.isLocked())
        return {lock.error()};
    QStringList errors;
    saveSites(errors);
    saveAppSettings(errors);
    saveMixedSettings(errors);
    saveTools(errors);
    return errors;
}

void Workbench::saveSites(QStringList& errors) {
    const QString name = SettingsFileName(SettingsFileKind::Sites);
    SiteList onDisk;
    const SiteFileState state = LoadSites(onDisk, filePath(name));
    keepDamaged(name, state != SiteFileState::Incomplete);
    const SiteList merged = MergeSites(onDisk, savedSites_, sites_);
    QString error;
    // After a failure both stay as they were, so the next save still finds the changes.
    if (!SaveSites(merged, filePath(name), &error)) {
        errors << error;
        return;
    }
    sites_.Records = merged.Records;
    sites_.SelectedIndex = merged.SelectedIndex;
    savedSites_ = sites_;
}

void Workbench::saveAppSettings(QStringList& errors) {
    const QString name = SettingsFileName(SettingsFileKind::Settings);
    AppSettings onDisk;
    keepDamaged(name, LoadAppSettings(onDisk, filePath(name)));
    const auto merged = MergeRecordFields(onDisk, savedSettings_, settings_, &SerializeAppSettings);
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
    keepDamaged(name, LoadMixedSettings(onDisk, filePath(name)));
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
    keepDamaged(name, state != ToolFileState::Incomplete);
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
    if (!sites_.ChooseSelectedSite())
        return false;
    const SiteRecord& site = sites_.Current.Site;
    LoginRequest request;
    request.host = site.Host;
    request.user = site.User;
    request.stored = site.Password;
    request.anonymous = site.LogonType == SiteRecord::kLogonAnonymous;
    return startCurrentSite(request, sources);
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
    session_->closeConnection();
    sites_.ResetCurrentSiteOnClose();
}

void Workbench::applySettings(const AppSettings& before) {
    SessionOptions o = session_->options();
    const SessionOptions fresh = MakeSessionOptions(sites_.Current.Site, settings_);
    o.keepAliveInterval = fresh.keepAliveInterval;
    o.keepAliveCommand1 = fresh.keepAliveCommand1;
    o.keepAliveCommand2 = fresh.keepAliveCommand2;
    o.showActiveServerFiles = fresh.showActiveServerFiles;
    session_->setOptions(o);
    if ((before.KeepAliveInterval == 0) != (settings_.KeepAliveInterval == 0))
        session_->restartKeepAlive();
}
