#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// A server certificate the user chose to always trust.
struct TrustedCertificate {
    QString host;
    qint32 port = 21;
    QByteArray sha256;  // 32 bytes

    bool operator==(const TrustedCertificate&) const = default;
};

// The certificates kept in "trusted.set" in the settings folder: int32 count,
// then per entry the host (wide text), the port (int32) and the 32-byte SHA-256
// digest; little-endian, as every settings file. Saved atomically, mode 0600.
class TrustStore {
public:
    static QString fileName() { return QStringLiteral("trusted.set"); }

    explicit TrustStore(QString path = {}) : path_(std::move(path)) {}

    // A missing file is an empty store; a damaged one keeps the entries read
    // whole and answers false; its first save keeps a copy of it aside.
    bool load();
    bool save();
    const QString& path() const { return path_; }

    std::optional<QByteArray> find(const QString& host, int port) const;
    // One entry per host and port: a new fingerprint replaces the old one.
    void trust(const QString& host, int port, const QByteArray& sha256);
    const std::vector<TrustedCertificate>& entries() const { return entries_; }

    static QByteArray serialize(const std::vector<TrustedCertificate>& entries);
    // False when the bytes were cut short or malformed; `out` keeps the whole entries.
    static bool parse(const QByteArray& data, std::vector<TrustedCertificate>* out);

private:
    QString path_;
    std::vector<TrustedCertificate> entries_;
    bool damaged_ = false;
};
