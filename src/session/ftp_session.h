#pragma once

#include <climits>

#include "session/certificate_judge.h"
#include "session/command_index.h"
#include "session/command_queue.h"
#include "session/control_socket.h"
#include "session/fake_group.h"
#include "session/log_line.h"
#include "session/reply.h"
#include "session/reply_assembler.h"
#include "session/server_features.h"
#include "session/session_options.h"
#include "session/socket_group.h"
#include "session/transfer_info.h"

#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>

// Decides, for the session whose queue it watches, whether work that reached
// the head must wait for something outside the session (transfers running on
// other connections). A group it holds is taken out of the queue and comes
// back through FtpSession::release.
class HeadGate {
public:
    virtual ~HeadGate() = default;
    virtual bool holds(const CommandGroup& head) = 0;
    virtual void take(std::unique_ptr<CommandGroup> group) = 0;
};

// The session: one control connection, the queue of command groups with exactly
// one command on the wire, the login and start-up sequence, what the server
// supports, and the keep-alive. Views and scripts follow it through signals.
class FtpSession : public QObject, public GroupHost {
    Q_OBJECT
public:
    enum CapabilityBit : quint8 {
        StartupQueued = 0x01,
        KeepAliveToggle = 0x02,
        AnnouncedMlsd = 0x04,
        AnnouncedRest = 0x08,
    };

    explicit FtpSession(TransportFactory* factory, QObject* parent = nullptr);
    ~FtpSession() override;

    // Where TLS phases stand on the control connection.
    enum class TlsPhase { Plain, AuthSent, Handshake, Judging, Secure };

    void setOptions(const SessionOptions& options);
    // Asked when a server certificate does not verify; without one such a
    // certificate ends the connection.
    void setCertificateJudge(CertificateJudge* judge) { judge_ = judge; }
    const SessionOptions& options() const { return options_; }

    // The listing queued after the first HELP reply; installed by the layer
    // that knows listing actions.
    using InitialListingFactory =
        std::function<std::unique_ptr<CommandGroup>(const QByteArray& listingCommand)>;
    void setInitialListingFactory(InitialListingFactory factory) {
        initialListingFactory_ = std::move(factory);
    }

    // "Connect": a fresh session with the current options.
    void connectNew();
    // "Re-connect": empties the queue and connects again; flags and lists stay.
    void reconnect();
    // "Close connection".
    void closeConnection();
    bool isConnected() const { return control_.isOpen(); }
    TlsPhase tlsPhase() const { return tlsPhase_; }
    // The control connection is encrypted; data connections are when
    // dataProtected() (PROT P accepted).
    bool controlSecure() const { return tlsPhase_ == TlsPhase::Secure; }
    bool dataProtected() const { return dataProtected_; }
    TlsStatus controlTls() const { return control_.tlsStatus(); }

    CommandQueue& queue() { return queue_; }
    const CommandQueue& queue() const { return queue_; }
    bool isBusy() const { return !queue_.isEmpty(); }

    void sendCommand(const QByteArray& name, const QByteArray& argument = QByteArray());
    // A user listing group (purpose 0) built from a list of steps.
    void sendGroup(const StepList& steps);
    // Sends the next step when the queue can: see the send-next rule.
    void advance(bool continueGroup);
    // Removes one group the user chose; a running transfer is followed by ABOR.
    void removeGroup(CommandGroup* group);
    void clearQueue();
    void cancelForOwner(quintptr token);
    // Drops the fetch of that file for that purpose (its asker went away); a
    // running one is ended as a user removal is.
    void removeDirectDownload(DirectPurpose purpose, const QByteArray& folder,
                              const QByteArray& name);
    // Unsent groups reaching the head are offered to the gate first.
    void setHeadGate(HeadGate* gate) { gate_ = gate; }
    // Groups the gate held, in their order: markers alone are told at once;
    // with other work among them they all go next in line.
    void release(std::vector<std::unique_ptr<CommandGroup>> groups);
    void release(std::unique_ptr<CommandGroup> group);

    quint8 capabilities() const { return flags_; }
    bool loggedIn() const { return flags_ & StartupQueued; }
    // Logged in on the connection that is open now (loggedIn() stays true
    // while a re-connect is still greeting).
    bool loggedInNow() const { return isConnected() && loggedInNow_; }
    bool serverSupportsMlsd() const { return flags_ & AnnouncedMlsd; }
    bool serverSupportsRest() const { return flags_ & AnnouncedRest; }
    bool serverSupportsSize() const;
    // MLSD when the server announced it and the site prefers it, else LIST.
    QByteArray listingCommand() const;
    const Reply& featReply() const { return featReply_; }
    const Reply& helpReply() const { return helpReply_; }
    const CommandIndex& featIndex() const { return featIndex_; }
    const CommandIndex& helpIndex() const { return helpIndex_; }
    const ServerFeatures& features() const { return features_; }

    // GroupHost
    void log(LogChannel channel, const QString& text) override;
    void info(int level, const QString& text) override;
    bool showsInfo(int level) const override { return level >= 0 && level <= shownInfoLevel_; }
    // The highest information level anyone shows (-1: none); by default all.
    void setShownInfoLevel(int level) { shownInfoLevel_ = level; }
    TransportFactory* transportFactory() override { return factory_; }
    int queueCount() const override { return queue_.size(); }
    QString controlPeer() const override { return control_.peerAddress(); }
    bool showActiveServerFiles() const override { return options_.showActiveServerFiles; }
    std::optional<TlsRequest> dataTls() const override;
    bool binaryTransfers() const override { return options_.transferType == TransferType::Binary; }
    bool checksStoredSize() const override { return binaryTransfers() && serverSupportsSize(); }
    ServerFeatures* serverFeatures() override { return &features_; }
    void transferStarted(const SocketGroup* group, const TransferInfo& info) override;
    void transferProgress(const SocketGroup* group, qint64 position) override;
    void transferEnded(const SocketGroup* group) override;
    void dataClosed(const SocketGroup* group) override;
    void directData(DirectPurpose purpose, const QByteArray& folder, const QByteArray& name,
                    const QByteArray& chunk) override;
    void directContent(DirectPurpose purpose, const QByteArray& folder, const QByteArray& name,
                       const QByteArray& content, const QByteArray& modified) override;
    void reportFailure(const QString& text) override;

    // Entry points of the timers, public so tests can tick them.
    void onKeepAliveTimer();
    void onConnectTimer();
    void restartKeepAlive();

signals:
    void logLine(const LogLine& line);
    void loggedInChanged(bool loggedIn);
    void connectFailed();
    void disconnected();
    void connectionClosed();
    void commandMenusRebuilt();
    void concernedFileAtLogin(const QString& path);
    void taskMarker(int fakeKind, int value, const QString& caption, quintptr ownerToken,
                    quint64 taskId);
    void downloadToFolder(const QString& folder);
    void ownerNotified(quintptr token);
    void transferStartedSignal(const SocketGroup* group, const TransferInfo& info);
    void transferProgressSignal(const SocketGroup* group, qint64 position);
    void transferEndedSignal(const SocketGroup* group);
    void directDataArrived(DirectPurpose purpose, const QByteArray& folder, const QByteArray& name,
                           const QByteArray& chunk);
    void directContentArrived(DirectPurpose purpose, const QByteArray& folder,
                              const QByteArray& name, const QByteArray& content,
                              const QByteArray& modified);
    // A sent command was answered with one of its error codes; reply is the
    // server's last line.
    void commandRefused(const QByteArray& command, int code, const QString& reply);
    // A failure that no command of the head group expects: the group waits
    // for the user to remove it.
    void headStalled(const CommandGroup* group, const QByteArray& command, int code,
                     const QString& reply);
    // The server refused the account (its reply, "530 ..."); the connection
    // is closed.
    void loginRefused(const QString& reply);
    // Logged in again on a connection whose start-up ran before: nothing
    // lists the views' folders by itself.
    void loggedInAgain();
    // The user took work out of the queue: one group, or all of it.
    void workRemoved(bool all);
    // The user stopped an owner's task (a loop): it ends stopped.
    void taskStopped(quint64 taskId);
    void failure(const QString& text);
    // The server showed another certificate than the one pinned for it (the
    // main connection's): this connection was ended for it.
    void pinnedCertificateRefused();
    // The control connection is encrypted and its certificate accepted.
    void secured(const TlsStatus& status);
    // The queue ran empty.
    void idle();

private:
    void connectToSite();
    void onControlEvent(SocketEvent event);
    void onBytesSent(const QByteArray& bytes);
    void onReadable();
    void scheduleReplies(int delayCount);
    void processReplies(int delayCount);
    bool handleReply(const Reply& reply, int delayCount);
    void completeHead(const Reply& reply, int code, int delayCount, bool* wait);
    // The first HELP reply (an empty one when refused): the command menus,
    // the capability flags and the initial listing.
    void takeHelp(const Reply& reply);
    bool handleLoginRefusal(const Reply& reply, int code);
    // Every queued group learns why it will not finish.
    void noteProblemForAll(const QString& text);
    void noteStoppedForAll();
    void finishGroup(int index, bool success);
    void tellMarker(const FakeGroup& marker);
    // A 227 that names no address a data connection can go to ends its group.
    void refusePassiveAddress(const Reply& reply);
    void protocolViolation(const QString& text);
    void sendUser();
    // A command of the login, sent before anything else waiting.
    void sendLoginCommand(const QByteArray& name, const QByteArray& argument);
    static bool isLoginGroup(const CommandGroup& g);
    void onSecured();
    void onCertificateJudged(bool trusted, const QString& why);
    bool handleTlsRefusal(const Reply& reply, int code);

    SessionOptions options_;
    int shownInfoLevel_ = INT_MAX;
    TransportFactory* factory_;
    ControlSocket control_;
    ReplyAssembler assembler_;
    std::deque<Reply> pending_;
    // Bytes the socket took that do not yet end a line: a line is logged once
    // it has gone out whole, so no fragment of a password reaches the log.
    QByteArray sentPartial_;
    CommandQueue queue_;
    quint8 flags_ = 0;
    Reply featReply_;
    Reply helpReply_;
    bool featReceived_ = false;
    bool helpReceived_ = false;
    CommandIndex featIndex_;
    CommandIndex helpIndex_;
    ServerFeatures features_;
    QTimer connectTimer_;
    QTimer keepAliveTimer_;
    QTimer replyTimer_;
    int scheduledDelay_ = -1;
    InitialListingFactory initialListingFactory_;
    CertificateJudge* judge_ = nullptr;
    HeadGate* gate_ = nullptr;
    TlsPhase tlsPhase_ = TlsPhase::Plain;
    bool dataProtected_ = false;
    bool loggedInNow_ = false;
    // Connected, and the server has not said anything yet.
    bool awaitingWelcome_ = false;
    // Tells a late certificate answer from the connection it was asked for.
    quint64 connectionSerial_ = 0;
};
