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
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        qCWarning(lcSettings) << "could not create" << folder;
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcSettings) << "could not save" << path << file.errorString();
        return false;
    }
    // Set before any byte is written, so a password never sits in a readable file.
    if (options.permissions && !file.setPermissions(*options.permissions)) {
        qCWarning(lcSettings) << "could not set the mode of" << path;
        file.cancelWriting();
        return false;
    }
    DeviceWriter deviceWriter;
    SettingsChunkWriter* writer = options.writer ? options.writer : &deviceWriter;
    for (qint64 offset = 0; offset < data.size(); offset += kChunkSize) {
        const qint64 chunk = qMin(kChunkSize, data.size() - offset);
        if (writer->writeChunk(file, data.constData() + offset, chunk) != chunk) {
            qCWarning(lcSettings) << "could not write" << path << file.errorString();
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit()) {
        qCWarning(lcSettings) << "could not save" << path << file.errorString();
        return false;
    }
    return true;
}
