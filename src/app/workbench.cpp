#include "app/workbench.h"

#include "app/ftp_url.h"
#include "app/session_options_from_site.h"
#include "app/settings_file.h"
#include "app/settings_path.h"
#include "app/site_file.h"
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
    TopUpSearchedTools(tools_);
    // A damaged trust store is not saved over until something changes.
    trust_.load();
}

void Workbench::keepDamaged(const QString& name) {
    if (!damaged_.contains(name))
        return;
    const QString path = filePath(name);
    const QString kept = path + QStringLiteral(".damaged");
    QFile::remove(kept);
    if (QFile::copy(path, kept))
        damaged_.removeAll(name);
}

void Workbench::save() {
    using K = SettingsFileKind;
    keepDamaged(SettingsFileName(K::Sites));
    SaveSites(sites_, filePath(SettingsFileName(K::Sites)));
    keepDamaged(SettingsFileName(K::Settings));
    SaveAppSettings(settings_, filePath(SettingsFileName(K::Settings)));
    keepDamaged(SettingsFileName(K::Mixed));
    SaveMixedSettings(mixed_, filePath(SettingsFileName(K::Mixed)));
    keepDamaged(SettingsFileName(K::Tools));
    SaveTools(tools_, filePath(SettingsFileName(K::Tools)));
}

void Workbench::startCurrentSite() {
    const SiteRecord& site = sites_.Current.Site;
    session_->setOptions(MakeSessionOptions(site, settings_));
    engine_->setRemoteProjectFolder(site.RemoteProjectFolder.toUtf8());
    emit localProjectChosen(site.LocalProjectFolder);
    session_->connectNew();
}

bool Workbench::connectSelectedSite() {
    session_->closeConnection();
    if (!sites_.ChooseSelectedSite())
        return false;
    startCurrentSite();
    return true;
}

bool Workbench::connectSiteNamed(const QString& name) {
    for (size_t i = 0; i < sites_.Records.size(); ++i) {
        if (sites_.Records[i].Name == name) {
            sites_.SelectedIndex = qint32(i);
            return connectSelectedSite();
        }
    }
    return false;
}

void Workbench::connectUrl(const FtpUrl& url) {
    session_->closeConnection();
    SiteRecord site;
    site.Id = sites_.FreshId();
    site.Name = url.host;
    site.Host = url.host;
    site.Port = url.port;
    site.LogonType = url.anonymous ? 1 : 0;
    site.User = url.anonymous ? QStringLiteral("anonymous") : url.user;
    site.Password = url.anonymous ? QStringLiteral("velmora@") : url.password;
    site.RemoteProjectFolder = url.path;
    SetSiteTlsMode(site, url.tlsRequired ? TlsMode::Require : TlsMode::Off);
    sites_.Current.Site = site;
    sites_.Current.SessionFlag = 0;
    startCurrentSite();
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
