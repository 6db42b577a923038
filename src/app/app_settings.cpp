#include "app/app_settings.h"

#include "app/settings_file.h"

#include <QFileInfo>

namespace {

// After the records, only when not the default, so a file that does not need it keeps the
// exact layout of the records; readers that know only the records ignore it.
constexpr char kTransfersMark[] = "VLMXFER1";
constexpr qint64 kTransfersMarkSize = 8;

void readTransfersTrailer(SettingsArchive& archive, AppSettings& settings, const QString& path,
                          QStringList* problems) {
    constexpr auto kRead = SettingsArchive::Direction::Read;
    QByteArray mark;
    qint32 count = 0;
    if (!archive.rawField(kRead, mark, kTransfersMarkSize) || mark != kTransfersMark)
        return;
    const bool whole = archive.int32Field(kRead, count);
    if (!whole || count < 0 || count > AppSettings::kMaxSimultaneousTransfers) {
        const QString problem =
            QStringLiteral(
                "%1: \"Simultaneous transfers\" takes a number from 0 to %2, not %3; "
                "%4 is used")
                .arg(QFileInfo(path).fileName())
                .arg(AppSettings::kMaxSimultaneousTransfers)
                .arg(whole ? QString::number(count) : QStringLiteral("a cut value"))
                .arg(AppSettings::kDefaultSimultaneousTransfers);
        qCWarning(lcSettings).noquote() << problem;
        if (problems)
            *problems << problem;
        return;
    }
    settings.SimultaneousTransfers = count;
}

void writeTransfersTrailer(SettingsArchive& archive, const AppSettings& settings) {
    if (settings.SimultaneousTransfers == AppSettings::kDefaultSimultaneousTransfers)
        return;
    constexpr auto kWrite = SettingsArchive::Direction::Write;
    QByteArray mark(kTransfersMark, kTransfersMarkSize);
    qint32 count = settings.SimultaneousTransfers;
    archive.rawField(kWrite, mark, kTransfersMarkSize);
    archive.int32Field(kWrite, count);
}

}  // namespace

bool SerializeAppSettings(SettingsArchive& archive, SettingsArchive::Direction direction,
                          AppSettings& s) {
    return archive.byteField(direction, s.ChatInfoLevel) &&
           archive.int32Field(direction, s.CommonFlags) &&
           archive.int32Field(direction, s.LocalShowFlags) &&
           archive.byteField(direction, s.KeepAliveInterval) &&
           archive.byteField(direction, s.KeepAliveCommand1) &&
           archive.byteField(direction, s.KeepAliveCommand2) &&
           archive.int32Field(direction, s.ServerKindFlags) &&
           archive.byteField(direction, s.SizeStyle) &&
           archive.int32Field(direction, s.LocalPageColor) &&
           archive.int32Field(direction, s.RemotePageColor) &&
           archive.int32Field(direction, s.ViewFlags) &&
           archive.recordField(direction, s.MainPlacement) &&
           archive.int32Field(direction, s.BeepFlags) &&
           archive.int32Field(direction, s.BeepMinutes) &&
           archive.int32Field(direction, s.BeepFrequency) &&
           archive.int32Field(direction, s.ToolFlags) &&
           archive.int32Field(direction, s.Reserved) &&
           archive.int32Field(direction, s.MainSplit) &&
           archive.int32Field(direction, s.NormalSplit) &&
           archive.int32Field(direction, s.LocalPageSplit) &&
           archive.int32Field(direction, s.RemotePageSplit) &&
           archive.wideText(direction, s.LastLocalFolder) &&
           archive.recordField(direction, s.ConcernedFont) &&
           archive.recordField(direction, s.WizardFont);
}

bool LoadAppSettings(AppSettings& settings, const QString& path, QStringList* problems) {
    settings = AppSettings{};
    const std::optional<QByteArray> data = SettingsFile::read(path);
    if (!data)
        return false;
    SettingsArchive archive(*data);
    settings.Loaded = SerializeAppSettings(archive, SettingsArchive::Direction::Read, settings);
    if (!settings.Loaded)
        qCInfo(lcSettings) << path << "is incomplete; later fields keep their defaults";
    else
        readTransfersTrailer(archive, settings, path, problems);
    return settings.Loaded;
}

bool SaveAppSettings(const AppSettings& settings, const QString& path, QString* error) {
    SettingsArchive archive;
    AppSettings copy = settings;
    if (!SerializeAppSettings(archive, SettingsArchive::Direction::Write, copy)) {
        if (error)
            *error = QStringLiteral("The general settings could not be stored.");
        return false;
    }
    writeTransfersTrailer(archive, copy);
    SettingsFile::SaveOptions options;
    options.error = error;
    return SettingsFile::save(path, archive.data(), options);
}
