#pragma once

#include "app/app_settings.h"
#include "app/completion_actions.h"
#include "app/mixed_settings.h"
#include "app/publish_settings.h"
#include "app/site_list.h"
#include "app/stored_certificate_judge.h"
#include "app/tool_lists.h"
#include "app/trust_store.h"
#include "remote/action_engine.h"
#include "remote/failed_transfers.h"
#include "remote/task_list.h"
#include "remote/task_status.h"
#include "remote/transfer_counts.h"
#include "remote/transfer_pool.h"
#include "session/ftp_session.h"

#include "app/login_credentials.h"
#include "app/site_keyring.h"
#include "platform/secret_store.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class Beeper;
class SecretStore;
class Launcher;
class SystemShutdown;
class TransportFactory;
struct FtpUrl;

// The application's state, made once by main and handed to the windows: the
// stored settings and sites, the session with its action engine, the task
// state and the completion actions. No widgets here; tests make their own.
class Workbench : public QObject {
    Q_OBJECT
public:
    struct Services {
        TransportFactory* transports = nullptr;
        Beeper* beeper = nullptr;
        SystemShutdown* shutdown = nullptr;
        Launcher* launcher = nullptr;
        SecretStore* secrets = nullptr;  // none: passwords stay in site.set
    };

    Workbench(const QString& settingFolder, Services services, QObject* parent = nullptr);
    ~Workbench() override;

    // Sites, general settings, loop settings (in that order), then the tools,
    // topped up from the built-in list.
    void load();
    // Sites, general settings, loop settings (in that order), then the tools,
    // under the settings folder's lock. Each file is read again and only what
    // changed here since the last load or save is written over it, so changes
    // saved meanwhile by velmora-cli or another window stay; what the files
    // then hold becomes the state here. A file that could not be read whole is
    // first kept as NAME.damaged (NAME.damaged.2 and on beside an earlier
    // one), so nothing it held is lost by the save; one that can not be opened
    // at all, or not be kept, is not saved over.
    // Returns one sentence per failure; empty when everything was saved.
    QStringList save();
    // Files that existed but could not be read whole at load.
    const QStringList& damagedFiles() const { return damaged_; }
    // Files that existed but could not be opened at load, with the reason.
    const QStringList& unreadableFiles() const { return unreadable_; }
    // What could not be used of the files read at load, one text each.
    const QStringList& settingsProblems() const { return problems_; }
    // Both in words for the user at start; empty when everything was read.
    QString damageReport() const;

    const QString& settingFolder() const { return settingFolder_; }
    AppSettings& settings() { return settings_; }
    MixedSettings& mixed() { return mixed_; }
    SiteList& sites() { return sites_; }
    ToolLists& tools() { return tools_; }
    // Kept in publish.set beside the other files; the engine works by its
    // options after applyPublishOptions().
    PublishSettings& publish() { return publish_; }
    void applyPublishOptions() { engine_->publish = publish_.options; }
    Launcher& launcher() { return *services_.launcher; }
    Beeper& beeper() { return *services_.beeper; }

    FtpSession& session() { return *session_; }
    ActionEngine& engine() { return *engine_; }
    // The transfer connections beside the session, and what they count.
    TransferPool& transferPool() { return *pool_; }
    TransferCounts& transferCounts() { return *counts_; }
    // Work in hand on any connection: queued, running or held for transfers.
    bool busy() const;
    TaskList& tasks() { return tasks_; }
    // Transfers that did not finish, for the user to retry or remove.
    FailedTransfers& failedTransfers() { return *failed_; }
    TaskStatus& taskStatus() { return taskStatus_; }
    CompletionActions& completion() { return *completion_; }
    // Certificates that did not verify: the trust store, and who is asked.
    StoredCertificateJudge& certificateJudge() { return *judge_; }
    void setCertificateAsker(CertificateAsker* asker) { judge_->setAsker(asker); }

    // Asks for the password of USER at HOST when nothing else gave one;
    // nothing when the user declined.
    using PasswordAsker =
        std::function<std::optional<QString>(const QString& user, const QString& host)>;
    void setPasswordAsker(PasswordAsker asker) { askPassword_ = std::move(asker); }
    // Where a start (--site, a URL) looks for a password; VELMORA_PASSWORD
    // and ~/.netrc unless set. The site dialog's "Connect" uses ~/.netrc only.
    void setPasswordSources(const PasswordSources& sources) { passwordSources_ = sources; }

    // "Connect" after the site dialog: the work in hand stops, the selected
    // site becomes the current one and the connection starts. False when the
    // list has no row or the login cannot be sent (the chat says why).
    bool connectSelectedSite();
    // Connects to the stored site with that name; false when there is none.
    bool connectSiteNamed(const QString& name);
    // Connects to an ftp:// URL without storing it as a site. A path in the
    // URL is where the remote tree opens. False when the login cannot be sent.
    bool connectUrl(const FtpUrl& url);
    // "Re-connect" with the current site.
    void reconnect();
    // "Close connection": the connection ends and the current site's
    // connection settings go back to their defaults.
    void closeConnection();

    // The session's values after the general options changed; the keep-alive
    // restarts when its interval was switched on or off.
    void applySettings(const AppSettings& before);
    // What the engine decides transfers and deletes by, from the settings
    // (after they were loaded or changed by a menu or dialog).
    void configureEngine();

    // Whether new passwords go to the desktop keyring now: the site dialog's
    // option, on by default unless no secret store answered.
    bool keyringWanted() const;
    // No secret store, or it did not answer when asked.
    bool secretStoreMissing() const { return !services_.secrets || storeMissing_; }

    // "Velmora" before login, then the session's title.
    QString windowTitle() const { return title_; }

signals:
    void titleChanged(const QString& title);
    // The local project folder of a site being connected, for its page.
    void localProjectChosen(const QString& folder);

private:
    bool connectChosenSite(const PasswordSources& sources);
    bool startCurrentSite(const LoginRequest& request, const PasswordSources& sources);
    QString filePath(const QString& name) const;
    // Whether the file may be saved over: never when it can not be opened,
    // a damaged one once a copy of it is kept. Why not, in errors.
    bool mayReplace(const QString& name, bool readWhole, QStringList& errors);
    bool saveSites(QStringList& errors);
    // After a save: passwords still in the records go to the keyring; each
    // record's field is emptied (and saved) once the keyring confirmed it.
    void keepPasswordsInKeyring();
    void keepNextPassword();
    void passwordKept(qint32 id, const QString& key, const QString& password,
                      const SecretStore::Result& result);
    void followKeyringChanges(const KeyringChanges& changes);
    void keyringNote(const QString& text);
    void saveAppSettings(QStringList& errors);
    void saveMixedSettings(QStringList& errors);
    void saveTools(QStringList& errors);
    void savePublishSettings(QStringList& errors);

    QString settingFolder_;
    Services services_;
    AppSettings settings_;
    MixedSettings mixed_;
    SiteList sites_;
    ToolLists tools_;
    PublishSettings publish_;
    // As last loaded or saved: what the files held then, to tell this window's changes from
    // those saved by others.
    SiteList savedSites_;
    AppSettings savedSettings_;
    MixedSettings savedMixed_;
    ToolLists savedTools_;
    PublishSettings savedPublish_;
    QStringList damaged_;
    QStringList unreadable_;
    QStringList problems_;
    std::unique_ptr<FtpSession> session_;
    std::unique_ptr<ActionEngine> engine_;
    std::unique_ptr<TransferPool> pool_;
    TaskList tasks_;
    std::unique_ptr<TransferCounts> counts_;
    TaskStatus taskStatus_;
    std::unique_ptr<FailedTransfers> failed_;
    std::unique_ptr<CompletionActions> completion_;
    TrustStore trust_;
    std::unique_ptr<StoredCertificateJudge> judge_;
    QString title_;
    PasswordAsker askPassword_;
    PasswordSources passwordSources_ = PasswordSources::fromEnvironment();
    bool storeMissing_ = false;
    bool keyringNoted_ = false;
    QList<qint32> keeping_;        // sites whose password waits to be written
    bool writing_ = false;         // one is being written
    bool keyringRefused_ = false;  // its prompt was cancelled: not asked again
    quint64 connectSerial_ = 0;    // a keyring answer for an older connect is dropped
};
