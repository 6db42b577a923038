#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#include "app/settings_archive.h"
#include "app/site_list.h"
#include "app/site_record.h"

enum class SiteFileState {
    Missing,     // no file, or an empty one: the list is empty
    Complete,    // every record read whole
    Incomplete,  // cut short or damaged: what was read is kept, the rest defaults
};

// One record in stored order (Id is not stored). False at the first field that cannot be read;
// the fields before it keep what was read, the rest keep their values.
bool SerializeSiteRecord(SettingsArchive& archive, SettingsArchive::Direction direction,
                         SiteRecord& record);

// Replaces the records and SelectedIndex of `list` from a file image (the current site is left
// alone). Each record gets a fresh Id; SelectedIndex is normalised. `storedCount`, when given,
// receives the record count the image claims.
SiteFileState DecodeSites(const QByteArray& data, SiteList& list, qint32* storedCount = nullptr);
// The file image of the list; nothing when a record cannot be stored.
std::optional<QByteArray> EncodeSites(const SiteList& list);
// DecodeSites over the file; a missing or empty file gives Missing.
SiteFileState LoadSites(SiteList& list, const QString& path);
// Saves atomically with mode 0600: the file holds passwords.
bool SaveSites(const SiteList& list, const QString& path, QString* error = nullptr);
