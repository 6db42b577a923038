#include "session/content_check.h"

#include <QCryptographicHash>
#include <QFile>
#include <QThreadPool>

#include <array>
#include <atomic>
#include <cctype>

namespace {

constexpr qint64 kReadBlock = 1 << 20;

std::array<quint32, 256> makeCrcTable() {
    std::array<quint32, 256> table{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

// CRC-32 as zip and the XCRC command compute it.
class Crc32 {
public:
    void add(const char* data, qint64 size) {
        static const std::array<quint32, 256> table = makeCrcTable();
        for (qint64 i = 0; i < size; ++i)
            crc_ = table[(crc_ ^ quint8(data[i])) & 0xFF] ^ (crc_ >> 8);
    }
    QByteArray hex() const {
        return QByteArray::number(crc_ ^ 0xFFFFFFFFu, 16).rightJustified(8, '0');
    }

private:
    quint32 crc_ = 0xFFFFFFFFu;
};

QCryptographicHash::Algorithm cryptographic(HashAlgorithm a) {
    switch (a) {
        case HashAlgorithm::Sha512:
            return QCryptographicHash::Sha512;
        case HashAlgorithm::Sha1:
            return QCryptographicHash::Sha1;
        case HashAlgorithm::Md5:
            return QCryptographicHash::Md5;
        default:
            return QCryptographicHash::Sha256;
    }
}

// Feeds blocks to the chosen algorithm.
class Digester {
public:
    explicit Digester(HashAlgorithm a) : algorithm_(a), hash_(cryptographic(a)) {}
    void add(const char* data, qint64 size) {
        if (algorithm_ == HashAlgorithm::Crc32)
            crc_.add(data, size);
        else
            hash_.addData(QByteArrayView(data, size));
    }
    QByteArray hex() const {
        return algorithm_ == HashAlgorithm::Crc32 ? crc_.hex() : hash_.result().toHex();
    }

private:
    HashAlgorithm algorithm_;
    QCryptographicHash hash_;
    Crc32 crc_;
};

bool isHex(const QByteArray& word) {
    if (word.isEmpty())
        return false;
    for (char c : word)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

int hexLength(HashAlgorithm a) {
    switch (a) {
        case HashAlgorithm::Sha256:
            return 64;
        case HashAlgorithm::Sha512:
            return 128;
        case HashAlgorithm::Sha1:
            return 40;
        case HashAlgorithm::Md5:
            return 32;
        default:
            return 0;
    }
}

}  // namespace

QByteArray fileDigest(const QString& path, HashAlgorithm algorithm, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("can not read ") + path + " (" + file.errorString() + ")";
        return {};
    }
    Digester d(algorithm);
    QByteArray block(kReadBlock, Qt::Uninitialized);
    for (;;) {
        const qint64 n = file.read(block.data(), kReadBlock);
        if (n < 0) {
            *error = QStringLiteral("can not read ") + path + " (" + file.errorString() + ")";
            return {};
        }
        if (n == 0)
            break;
        d.add(block.constData(), n);
    }
    return d.hex();
}

QByteArray bytesDigest(const QByteArray& bytes, HashAlgorithm algorithm) {
    Digester d(algorithm);
    d.add(bytes.constData(), bytes.size());
    return d.hex();
}

std::optional<ServerDigest> parseHashReply(const Reply& reply, const HashCommand& asked) {
    const QList<QByteArray> lines = reply.strippedLines();
    if (lines.isEmpty())
        return std::nullopt;
    QByteArray text = lines.last();
    if (text.size() >= 4 && (text[3] == ' ' || text[3] == '-'))
        text = text.mid(4);
    const QList<QByteArray> words = text.simplified().split(' ');
    ServerDigest d;
    if (asked.command == "HASH") {
        // ALGORITHM RANGE DIGEST NAME
        if (words.size() < 3)
            return std::nullopt;
        d.algorithm = hashAlgorithmNamed(words[0]);
        d.hex = words[2].toLower();
        if (d.algorithm == HashAlgorithm::None || !isHex(d.hex))
            return std::nullopt;
        if (d.algorithm == HashAlgorithm::Crc32)
            d.hex = d.hex.rightJustified(8, '0');
        return d;
    }
    d.algorithm = asked.algorithm;
    const int length = hexLength(asked.algorithm);
    for (const QByteArray& w : words) {
        if (!isHex(w))
            continue;
        if (length > 0 && w.size() != length)
            continue;
        if (length == 0 && w.size() > 8)
            continue;
        d.hex = w.toLower();
        if (d.algorithm == HashAlgorithm::Crc32)
            d.hex = d.hex.rightJustified(8, '0');
        return d;
    }
    return std::nullopt;
}

struct ContentCheck::Local {
    HashAlgorithm algorithm = HashAlgorithm::None;
    std::atomic<bool> done{false};
    QByteArray hex;
    QString error;
};

void ContentCheck::startFile(const QString& path, HashAlgorithm algorithm) {
    path_ = path;
    fromFile_ = true;
    startLocal(algorithm);
}

void ContentCheck::startBytes(const QByteArray& content, HashAlgorithm algorithm) {
    content_ = content;
    fromFile_ = false;
    startLocal(algorithm);
}

void ContentCheck::startLocal(HashAlgorithm algorithm) {
    auto local = std::make_shared<Local>();
    local->algorithm = algorithm;
    local_ = local;
    const bool fromFile = fromFile_;
    const QString path = path_;
    const QByteArray content = content_;
    QThreadPool::globalInstance()->start([local, fromFile, path, content] {
        if (fromFile)
            local->hex = fileDigest(path, local->algorithm, &local->error);
        else
            local->hex = bytesDigest(content, local->algorithm);
        local->done.store(true, std::memory_order_release);
    });
}

void ContentCheck::takeReply(const Reply& reply, const HashCommand& asked) {
    if (answered_)
        return;
    answered_ = true;
    server_ = parseHashReply(reply, asked);
    if (!server_) {
        QByteArray shown =
            reply.strippedLines().isEmpty() ? QByteArray() : reply.strippedLines().last();
        why_ = QStringLiteral("the server's checksum can not be read: ") + QString::fromUtf8(shown);
    } else if (local_ && server_->algorithm != local_->algorithm) {
        // HASH answered in another algorithm than announced: digest again.
        startLocal(server_->algorithm);
    }
}

ContentCheck::Verdict ContentCheck::verdict() {
    if (!answered_ || !local_)
        return Verdict::Waiting;
    if (!server_)
        return Verdict::Failed;
    if (!local_->done.load(std::memory_order_acquire))
        return Verdict::Waiting;
    if (!local_->error.isEmpty()) {
        why_ = local_->error;
        return Verdict::Failed;
    }
    if (local_->hex != server_->hex) {
        why_ = QStringLiteral("%1 here %2, on the server %3")
                   .arg(QString::fromLatin1(hashAlgorithmName(server_->algorithm)),
                        QString::fromLatin1(local_->hex), QString::fromLatin1(server_->hex));
        return Verdict::Mismatch;
    }
    return Verdict::Match;
}
