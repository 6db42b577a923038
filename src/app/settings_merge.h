#pragma once

#include <QByteArray>
#include <QList>

#include "app/settings_archive.h"
#include "app/tool_lists.h"

// A record saved by one writer while others may have saved the same file since it loaded:
// the fields this writer changed since `base` (what it loaded or last saved) take its values;
// every other field keeps what the file holds now. `serialize` is the record's one routine for
// both directions, so fields are compared exactly as they are stored.
template <typename Record, typename Serializer>
Record MergeRecordFields(const Record& onDisk, const Record& base, const Record& mine,
                         Serializer serialize) {
    const auto fields = [&serialize](const Record& record) {
        SettingsArchive archive;
        Record copy = record;
        serialize(archive, SettingsArchive::Direction::Write, copy);
        return archive.writtenFields();
    };
    const QList<QByteArray> disk = fields(onDisk);
    const QList<QByteArray> was = fields(base);
    const QList<QByteArray> now = fields(mine);
    // A record that could not be written whole cannot be compared: this writer's wins.
    if (disk.size() != was.size() || was.size() != now.size())
        return mine;
    QByteArray merged;
    for (qsizetype i = 0; i < now.size(); ++i)
        merged += now[i] != was[i] ? now[i] : disk[i];
    Record result = mine;  // keeps what is not stored
    SettingsArchive archive(merged);
    serialize(archive, SettingsArchive::Direction::Read, result);
    return result;
}

// The tool lists have no identity per tool: a list this writer changed is saved as it has it,
// a list it left alone keeps what the file holds now.
inline ToolLists MergeToolLists(const ToolLists& onDisk, const ToolLists& base,
                                const ToolLists& mine) {
    ToolLists result = onDisk;
    if (mine.SearchedTools != base.SearchedTools)
        result.SearchedTools = mine.SearchedTools;
    if (mine.UserTools != base.UserTools)
        result.UserTools = mine.UserTools;
    return result;
}
