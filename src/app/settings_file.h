#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QLoggingCategory>
#include <QString>

#include <optional>

Q_DECLARE_LOGGING_CATEGORY(lcSettings)

// The way the bytes of a save reach the file, one chunk at a time. Returns the number of bytes
// written or -1. Tests put one in that fails midway.
class SettingsChunkWriter {
public:
    virtual ~SettingsChunkWriter() = default;
    virtual qint64 writeChunk(QIODevice& device, const char* data, qint64 size) = 0;
};

// The read/write discipline shared by every settings file: read whole or not at all; save to a
// temporary file renamed over the old one, so an interrupted save leaves the old file intact.
class SettingsFile {
public:
    static constexpr qint64 kChunkSize = 1024;
    // Nothing the program stores comes near this; a larger file is not a settings file.
    static constexpr qint64 kMaxSize = 64 * 1024 * 1024;

    struct SaveOptions {
        // Mode of the saved file; without it the old file's mode (or the umask) applies.
        std::optional<QFileDevice::Permissions> permissions;
        SettingsChunkWriter* writer = nullptr;  // default: QIODevice::write
        QString* error = nullptr;               // receives the reason of a failure
    };

    // The whole file, or nothing when it is missing, empty, too large or unreadable.
    static std::optional<QByteArray> read(const QString& path);
    // There but not to be opened, or too large to be read (its reason in reason): what it
    // holds is unknown, so it is never saved over.
    static bool unreadable(const QString& path, QString* reason);
    // Copies a file that could not be read whole to NAME.damaged (or the
    // first free NAME.damaged.2, .3... beside earlier copies) before it is
    // saved over. The copy's path, empty when it could not be made.
    static QString keepDamagedCopy(const QString& path);
    // Creates the folder when missing. False when anything failed; the old file then stays.
    static bool save(const QString& path, const QByteArray& data, const SaveOptions& options);
    static bool save(const QString& path, const QByteArray& data) {
        return save(path, data, SaveOptions{});
    }

    // Mode for files holding passwords.
    static QFileDevice::Permissions privateMode() {
        return QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    }
};
