#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// Settings added beyond the fixed records of the settings files, kept beside
// them in "extra.set": UTF-8 text, one "Name=value" per line. Lines this
// version does not know are kept and written back, so that what a newer
// install stored survives an older one's save.
struct ExtraSettings {
    static constexpr int kDefaultSimultaneousTransfers = 2;
    static constexpr int kMaxSimultaneousTransfers = 8;

    static QString fileName() { return QStringLiteral("extra.set"); }

    // Transfer connections beside the main one; 0 moves every file on the
    // main connection.
    int SimultaneousTransfers = kDefaultSimultaneousTransfers;
    // Lines not understood, as read.
    QStringList Kept;

    bool operator==(const ExtraSettings&) const = default;
};

enum class ExtraSettingsState { Missing, Read, Damaged };

// Resets `settings` to the defaults, then takes what the file says. A value
// that cannot be used leaves its default and is named in `problems`; the file
// is then Damaged (the caller keeps a copy before saving over it).
ExtraSettingsState LoadExtraSettings(ExtraSettings& settings, const QString& path,
                                     QStringList* problems);
// The whole file, saved atomically; false, with the reason in `error` when given, when it
// could not be (the old one then stays).
bool SaveExtraSettings(const ExtraSettings& settings, const QString& path,
                       QString* error = nullptr);
