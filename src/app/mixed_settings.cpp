#include "app/mixed_settings.h"

#include "app/settings_file.h"

bool SerializeMixedSettings(SettingsArchive& archive, SettingsArchive::Direction direction,
                            MixedSettings& s) {
    return archive.int32Field(direction, s.SearchItemKinds) &&
           archive.byteField(direction, s.SearchSizeCondition) &&
           archive.int64Field(direction, s.SearchSize) &&
           archive.byteField(direction, s.SearchSizeUnit) &&
           archive.byteField(direction, s.SearchCaseSensitive) &&
           archive.byteField(direction, s.SearchNameHasDot) &&
           archive.byteField(direction, s.SearchTitleStartsWithWildcard) &&
           archive.byteField(direction, s.SearchTitleEndsWithWildcard) &&
           archive.narrowText(direction, s.SearchTitle) &&
           archive.byteField(direction, s.SearchExtensionStartsWithWildcard) &&
           archive.byteField(direction, s.SearchExtensionEndsWithWildcard) &&
           archive.narrowText(direction, s.SearchExtension) &&
           archive.byteField(direction, s.CompareOptions) &&
           archive.byteField(direction, s.ChangeCaseTarget) &&
           archive.byteField(direction, s.ChangeCaseItems);
}

bool LoadMixedSettings(MixedSettings& settings, const QString& path) {
    settings = MixedSettings{};
    const std::optional<QByteArray> data = SettingsFile::read(path);
    if (!data)
        return false;
    SettingsArchive archive(*data);
    const bool complete =
        SerializeMixedSettings(archive, SettingsArchive::Direction::Read, settings);
    if (!complete)
        qCInfo(lcSettings) << path << "is incomplete; later fields keep their defaults";
    return complete;
}

bool SaveMixedSettings(const MixedSettings& settings, const QString& path, QString* error) {
    SettingsArchive archive;
    MixedSettings copy = settings;
    if (!SerializeMixedSettings(archive, SettingsArchive::Direction::Write, copy)) {
        if (error)
            *error = QStringLiteral("The loop settings could not be stored.");
        return false;
    }
    SettingsFile::SaveOptions options;
    options.error = error;
    return SettingsFile::save(path, archive.data(), options);
}
