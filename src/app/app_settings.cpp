#include "app/app_settings.h"

#include "app/settings_file.h"

namespace {

bool placementField(SettingsArchive& archive, SettingsArchive::Direction direction,
                    WindowPlacementImage& placement) {
    QByteArray block;
    if (direction == SettingsArchive::Direction::Write)
        block = placement.toBytes();
    if (!archive.rawField(direction, block, WindowPlacementImage::kSize))
        return false;
    return direction == SettingsArchive::Direction::Write ||
           WindowPlacementImage::fromBytes(block, &placement);
}

bool fontField(SettingsArchive& archive, SettingsArchive::Direction direction, LogFontImage& font) {
    QByteArray block;
    if (direction == SettingsArchive::Direction::Write)
        block = font.toBytes();
    if (!archive.rawField(direction, block, LogFontImage::kSize))
        return false;
    return direction == SettingsArchive::Direction::Write || LogFontImage::fromBytes(block, &font);
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
           placementField(archive, direction, s.MainPlacement) &&
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
           fontField(archive, direction, s.ConcernedFont) &&
           fontField(archive, direction, s.WizardFont);
}

bool LoadAppSettings(AppSettings& settings, const QString& path) {
    settings = AppSettings{};
    const std::optional<QByteArray> data = SettingsFile::read(path);
    if (!data)
        return false;
    SettingsArchive archive(*data);
    settings.Loaded = SerializeAppSettings(archive, SettingsArchive::Direction::Read, settings);
    if (!settings.Loaded)
        qCInfo(lcSettings) << path << "is incomplete; later fields keep their defaults";
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
    SettingsFile::SaveOptions options;
    options.error = error;
    return SettingsFile::save(path, archive.data(), options);
}
