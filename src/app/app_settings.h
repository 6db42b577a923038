#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include "app/log_font_image.h"
#include "app/settings_archive.h"
#include "app/window_placement_image.h"

// The general settings kept in setting.set, in file order. Byte fields are kept as the bytes
// read, so a value from a newer install survives a round trip.
struct AppSettings {
    // CommonFlags
    static constexpr qint32 kShowUnprintableAsBinary = 0x02;
    static constexpr qint32 kShowSoftwareTraces = 0x04;
    static constexpr qint32 kShowActiveServerFiles = 0x08;
    // LocalShowFlags
    static constexpr qint32 kShowSystemFiles = 0x01;
    static constexpr qint32 kShowHiddenFiles = 0x02;
    // ServerKindFlags
    static constexpr qint32 kServerKindLink = 0x01;
    static constexpr qint32 kServerKindDeviceB = 0x02;
    static constexpr qint32 kServerKindDeviceC = 0x04;
    static constexpr qint32 kServerKindUnknown = 0x08;
    // ViewFlags
    static constexpr qint32 kExpandOnUpload = 0x01;
    static constexpr qint32 kExpandOnDownload = 0x02;
    static constexpr qint32 kLocalProjectTreeLeft = 0x04;
    static constexpr qint32 kRemoteProjectTreeLeft = 0x08;
    static constexpr qint32 kNumericPermissions = 0x10;
    // BeepFlags
    static constexpr qint32 kBeepDownload = 0x01;
    static constexpr qint32 kBeepUpload = 0x02;
    static constexpr qint32 kBeepPermissions = 0x04;
    static constexpr qint32 kBeepDelete = 0x08;
    static constexpr qint32 kBeepNotContinually = 0x10;
    // ToolFlags
    static constexpr qint32 kRemoteToolsOnlyForRemoteFiles = 0x01;

    quint8 ChatInfoLevel = 0;  // 0 "Do not show any" ... 4 "Show all"
    qint32 CommonFlags = kShowUnprintableAsBinary;
    qint32 LocalShowFlags = kShowHiddenFiles;
    quint8 KeepAliveInterval = 1;  // 0 off, 1 2 min, 2 5 min, 3 7 min, 4 10 min
    quint8 KeepAliveCommand1 = 0;  // 0 "MLST", 1 "MLSD or LIST"
    quint8 KeepAliveCommand2 = 0;  // 0 "NOOP", 1 "PWD"
    qint32 ServerKindFlags = kServerKindLink;
    quint8 SizeStyle = 0;                // 0 long kb/mb, 1 short kb/mb, 2 always bytes
    qint32 LocalPageColor = 0x00D2FFFF;  // 0x00BBGGRR
    qint32 RemotePageColor = 0x00FFFFF0;
    qint32 ViewFlags = kLocalProjectTreeLeft | kRemoteProjectTreeLeft;
    WindowPlacementImage MainPlacement = WindowPlacementImage::mainWindowDefault();
    qint32 BeepFlags = kBeepDownload | kBeepUpload | kBeepNotContinually;
    qint32 BeepMinutes = 5;       // 1 ... 60
    qint32 BeepFrequency = 1000;  // Hz, 50 ... 10000
    qint32 ToolFlags = 0;
    qint32 Reserved = 0;  // kept and written back unchanged
    qint32 MainSplit = 0x0050001E;
    qint32 NormalSplit = 0x002D003C;
    qint32 LocalPageSplit = 0x00320041;
    qint32 RemotePageSplit = 0x00320046;
    QString LastLocalFolder;
    LogFontImage ConcernedFont = LogFontImage::textPageDefault();
    LogFontImage WizardFont = LogFontImage::textPageDefault();

    // After the records, only when not the default: transfer connections beside the main
    // one; 0 moves every file on the main connection.
    static constexpr int kDefaultSimultaneousTransfers = 2;
    static constexpr int kMaxSimultaneousTransfers = 8;
    qint32 SimultaneousTransfers = kDefaultSimultaneousTransfers;

    // Not stored: true when the last load read every field.
    bool Loaded = false;
};

// Walks every stored field in file order; false at the first field that cannot be read or
// written. Reading overwrites fields one by one, so those before a failure keep the file's
// values. Loaded is not touched.
bool SerializeAppSettings(SettingsArchive& archive, SettingsArchive::Direction direction,
                          AppSettings& settings);

// Resets `settings` to the defaults, then takes every field the file holds; a missing, empty
// or unreadable file leaves the defaults. Returns (and sets) Loaded. A value after the records
// that cannot be used keeps its default and is named in `problems`.
bool LoadAppSettings(AppSettings& settings, const QString& path, QStringList* problems = nullptr);
// Replaces the file atomically; false when it could not be saved (the old file then stays).
bool SaveAppSettings(const AppSettings& settings, const QString& path, QString* error = nullptr);
