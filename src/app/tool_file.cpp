#include "app/tool_file.h"

#include "app/settings_file.h"

namespace {

bool ReadList(SettingsArchive& archive, std::vector<ToolRecord>& list) {
    constexpr auto kRead = SettingsArchive::Direction::Read;
    qint32 count = 0;
    if (!archive.int32Field(kRead, count)) {
        return false;
    }
    for (qint32 i = 0; i < count; ++i) {
        list.emplace_back();
        if (!SerializeToolRecord(archive, kRead, list.back())) {
            return false;
        }
    }
    return count >= 0;
}

bool WriteList(SettingsArchive& archive, const std::vector<ToolRecord>& list) {
    constexpr auto kWrite = SettingsArchive::Direction::Write;
    qint32 count = qint32(list.size());
    if (!archive.int32Field(kWrite, count)) {
        return false;
    }
    for (const ToolRecord& record : list) {
        ToolRecord copy = record;
        if (!SerializeToolRecord(archive, kWrite, copy)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool SerializeToolRecord(SettingsArchive& archive, SettingsArchive::Direction direction,
                         ToolRecord& record) {
    return archive.wideText(direction, record.Name) && archive.wideText(direction, record.Path) &&
           archive.wideText(direction, record.File) && archive.byteField(direction, record.IsHttp);
}

QByteArray EncodeTools(const ToolLists& lists) {
    SettingsArchive archive;
    WriteList(archive, lists.SearchedTools);
    WriteList(archive, lists.UserTools);
    return archive.data();
}

ToolFileState DecodeTools(const QByteArray& data, ToolLists& lists) {
    lists.SearchedTools.clear();
    lists.UserTools.clear();
    if (data.isEmpty()) {
        return ToolFileState::Missing;
    }
    SettingsArchive archive(data);
    // A negative count reads as an empty list but leaves the file incomplete, and nothing
    // after it is trusted. Bytes after the lists mean a damaged count: a save would drop them.
    if (ReadList(archive, lists.SearchedTools) && ReadList(archive, lists.UserTools) &&
        archive.remaining() == 0) {
        return ToolFileState::Complete;
    }
    return ToolFileState::Incomplete;
}

ToolFileState LoadTools(ToolLists& lists, const QString& path) {
    const std::optional<QByteArray> data = SettingsFile::read(path);
    if (!data) {
        lists.SearchedTools.clear();
        lists.UserTools.clear();
        return ToolFileState::Missing;
    }
    const ToolFileState state = DecodeTools(*data, lists);
    if (state == ToolFileState::Incomplete) {
        qCWarning(lcSettings) << path << "is incomplete: kept" << lists.SearchedTools.size()
                              << "searched and" << lists.UserTools.size() << "user tools";
    }
    return state;
}

bool SaveTools(const ToolLists& lists, const QString& path, QString* error) {
    SettingsFile::SaveOptions options;
    options.error = error;
    return SettingsFile::save(path, EncodeTools(lists), options);
}
