#include "app/trust_store.h"

#include "app/settings_archive.h"
#include "app/settings_file.h"

namespace {

constexpr qsizetype kDigestSize = 32;

bool sameHost(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

QByteArray TrustStore::serialize(const std::vector<TrustedCertificate>& entries) {
    SettingsArchive archive;
    constexpr auto kWrite = SettingsArchive::Direction::Write;
    qint32 count = qint32(entries.size());
    archive.int32Field(kWrite, count);
    for (TrustedCertificate e : entries) {
        archive.wideText(kWrite, e.host);
        archive.int32Field(kWrite, e.port);
        archive.rawField(kWrite, e.sha256, kDigestSize);
    }
    return archive.data();
}

bool TrustStore::parse(const QByteArray& data, std::vector<TrustedCertificate>* out) {
    out->clear();
    SettingsArchive archive(data);
    constexpr auto kRead = SettingsArchive::Direction::Read;
    qint32 count = 0;
    if (!archive.int32Field(kRead, count) || count < 0)
        return false;
    // The count is not trusted: entries are taken only while bytes remain.
    for (qint32 i = 0; i < count; ++i) {
        TrustedCertificate e;
        if (!archive.wideText(kRead, e.host) || !archive.int32Field(kRead, e.port) ||
            !archive.rawField(kRead, e.sha256, kDigestSize))
            return false;
        out->push_back(std::move(e));
    }
    return archive.remaining() == 0;
}

bool TrustStore::load() {
    entries_.clear();
    damaged_ = false;
    const std::optional<QByteArray> data = SettingsFile::read(path_);
    if (!data)
        return true;
    damaged_ = !parse(*data, &entries_);
    return !damaged_;
}

bool TrustStore::save() {
    // What could not be read may still be rescued by hand.
    if (damaged_) {
        if (SettingsFile::keepDamagedCopy(path_).isEmpty())
            return false;
        damaged_ = false;
    }
    SettingsFile::SaveOptions options;
    options.permissions = SettingsFile::privateMode();
    return SettingsFile::save(path_, serialize(entries_), options);
}

std::optional<QByteArray> TrustStore::find(const QString& host, int port) const {
    for (const TrustedCertificate& e : entries_) {
        if (sameHost(e.host, host) && e.port == port)
            return e.sha256;
    }
    return std::nullopt;
}

void TrustStore::trust(const QString& host, int port, const QByteArray& sha256) {
    for (TrustedCertificate& e : entries_) {
        if (sameHost(e.host, host) && e.port == port) {
            e.sha256 = sha256;
            return;
        }
    }
    entries_.push_back({host, port, sha256});
}
