#include "app/settings_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

Q_LOGGING_CATEGORY(lcSettings, "velmora.settings")

namespace {

class DeviceWriter final : public SettingsChunkWriter {
public:
    qint64 writeChunk(QIODevice& device, const char* data, qint64 size) override {
        return device.write(data, size);
    }
};

}  // namespace

bool SettingsFile::unreadable(const QString& path, QString* reason) {
    QFile file(path);
    if (!file.exists())
        return false;
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.errorString();
        return true;
    }
    if (file.size() > kMaxSize) {
        *reason = QStringLiteral("%1 bytes, larger than any settings file").arg(file.size());
        return true;
    }
    return false;
}

QString SettingsFile::keepDamagedCopy(const QString& path) {
    const QString base = path + QStringLiteral(".damaged");
    QString kept = base;
    for (int n = 2; QFileInfo::exists(kept); ++n)
        kept = base + QStringLiteral(".%1").arg(n);
    return QFile::copy(path, kept) ? kept : QString();
}

std::optional<QByteArray> SettingsFile::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 size = file.size();
    if (size <= 0)
        return std::nullopt;
    if (size > kMaxSize) {
        qCWarning(lcSettings) << "ignoring" << path << "of" << size << "bytes: too large";
        return std::nullopt;
    }
    QByteArray data = file.read(size);
    if (data.size() != size) {
        qCWarning(lcSettings) << "could not read" << path << file.errorString();
        return std::nullopt;
    }
    return data;
}

bool SettingsFile::save(const QString& path, const QByteArray& data, const SaveOptions& options) {
    const auto fail = [&](const QString& reason) {
        qCWarning(lcSettings).noquote() << reason;
        if (options.error)
            *options.error = reason;
        return false;
    };
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("Could not create the folder %1.").arg(folder));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("Could not save %1: %2.").arg(path, file.errorString()));
    // Set before any byte is written, so a password never sits in a readable file.
    if (options.permissions && !file.setPermissions(*options.permissions)) {
        file.cancelWriting();
        return fail(QStringLiteral("Could not set the mode of %1.").arg(path));
    }
    DeviceWriter deviceWriter;
    SettingsChunkWriter* writer = options.writer ? options.writer : &deviceWriter;
    for (qint64 offset = 0; offset < data.size(); offset += kChunkSize) {
        const qint64 chunk = qMin(kChunkSize, data.size() - offset);
        if (writer->writeChunk(file, data.constData() + offset, chunk) != chunk) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return fail(QStringLiteral("Could not write %1: %2.").arg(path, reason));
        }
    }
    if (!file.commit())
        return fail(QStringLiteral("Could not save %1: %2.").arg(path, file.errorString()));
    return true;
}
