#pragma once

#include "session/reply.h"
#include "session/server_features.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

// Lower-case hex digest of a file's bytes; an empty digest with `error` set
// when the file cannot be read whole.
QByteArray fileDigest(const QString& path, HashAlgorithm algorithm, QString* error);
QByteArray bytesDigest(const QByteArray& bytes, HashAlgorithm algorithm);

// The checksum a reply to HASH or one of the X commands tells.
struct ServerDigest {
    HashAlgorithm algorithm = HashAlgorithm::None;
    QByteArray hex;  // lower case
};
// HASH: "213 SHA-256 0-99 <hex> name"; the X commands: "250 <hex>" (some add
// the name or answer 213). Nothing when no digest can be read.
std::optional<ServerDigest> parseHashReply(const Reply& reply, const HashCommand& asked);

// Compares the bytes on this side with the server's checksum of the same file.
// The local digest is computed on the thread pool, so a large file never holds
// up the event loop; the verdict waits for both.
class ContentCheck {
public:
    enum class Verdict { Waiting, Match, Mismatch, Failed };

    ContentCheck() = default;
    ContentCheck(const ContentCheck&) = delete;
    ContentCheck& operator=(const ContentCheck&) = delete;

    void startFile(const QString& path, HashAlgorithm algorithm);
    void startBytes(const QByteArray& content, HashAlgorithm algorithm);
    bool started() const { return bool(local_); }
    // The answer to the command; only the first one counts.
    void takeReply(const Reply& reply, const HashCommand& asked);
    bool answered() const { return answered_; }

    Verdict verdict();
    // Why the verdict is Mismatch or Failed.
    QString why() const { return why_; }

private:
    struct Local;
    void startLocal(HashAlgorithm algorithm);

    std::shared_ptr<Local> local_;
    QString path_;
    QByteArray content_;
    bool fromFile_ = false;
    bool answered_ = false;
    std::optional<ServerDigest> server_;
    QString why_;
};
