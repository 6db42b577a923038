#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include "app/settings_archive.h"

// The last-used options of the search, compare and change-case loops, kept in mixed.set in
// file order. The loops give the fields their meaning; here only their storage is fixed.
struct MixedSettings {
    // Item-kind bits shared by SearchItemKinds and ChangeCaseItems.
    static constexpr quint8 kItemFile = 0x01;
    static constexpr quint8 kItemFolder = 0x02;
    static constexpr quint8 kItemLink = 0x04;
    static constexpr quint8 kItemDeviceB = 0x08;
    static constexpr quint8 kItemDeviceC = 0x10;
    static constexpr quint8 kItemOthers = 0x20;
    static constexpr quint8 kIncludeSubFolders = 0x40;  // ChangeCaseItems only

    qint32 SearchItemKinds = 0;
    quint8 SearchSizeCondition = 0;  // selection of the size-condition list
    qint64 SearchSize = 0;           // in the unit of SearchSizeUnit
    quint8 SearchSizeUnit = 0;
    quint8 SearchCaseSensitive = 1;
    quint8 SearchNameHasDot = 0;  // the name was split into title and extension
    quint8 SearchTitleStartsWithWildcard = 0;
    quint8 SearchTitleEndsWithWildcard = 0;
    QByteArray SearchTitle;  // without its wildcards
    quint8 SearchExtensionStartsWithWildcard = 0;
    quint8 SearchExtensionEndsWithWildcard = 0;
    QByteArray SearchExtension;   // without its wildcards
    quint8 CompareOptions = 0;    // check boxes of the compare dialog, bits 0x01 ... 0x10
    quint8 ChangeCaseTarget = 0;  // 0 lower case, 1 upper case
    quint8 ChangeCaseItems = 0;
};

// Same contract as SerializeAppSettings.
bool SerializeMixedSettings(SettingsArchive& archive, SettingsArchive::Direction direction,
                            MixedSettings& settings);

// Resets to the defaults, then takes every field the file holds. True when all were read.
bool LoadMixedSettings(MixedSettings& settings, const QString& path);
bool SaveMixedSettings(const MixedSettings& settings, const QString& path,
                       QString* error = nullptr);
