#pragma once

#include <QByteArray>
#include <QString>

#include "app/settings_archive.h"
#include "app/tool_lists.h"

enum class ToolFileState {
    Missing,     // no file, or an empty one: both lists empty
    Complete,    // both lists read whole
    Incomplete,  // cut short: what was read is kept, the rest is empty
};

// One record in stored order: Name, Path, File (wide texts), IsHttp (byte).
// False at the first field that cannot be read; earlier fields keep what was read.
bool SerializeToolRecord(SettingsArchive& archive, SettingsArchive::Direction direction,
                         ToolRecord& record);

// The file image: per list an int32 count, then the records; SearchedTools first.
QByteArray EncodeTools(const ToolLists& lists);
// Replaces both lists from a file image. Each record is appended empty before
// its fields are read; reading stops at the first field whose bytes are missing,
// so a damaged count adds at most one empty record.
ToolFileState DecodeTools(const QByteArray& data, ToolLists& lists);

// The lists from and to tools.set. LoadTools does not top up from the built-in
// list; the caller does that once after loading.
ToolFileState LoadTools(ToolLists& lists, const QString& path);
bool SaveTools(const ToolLists& lists, const QString& path, QString* error = nullptr);
