#include "app/site_file.h"

#include "app/settings_file.h"

namespace {

// After the records, only when something needs it, so a file without keyring use keeps the
// exact layout of the records: a mark, the option, and one byte per record saying where its
// password lives. Readers that know only the records ignore bytes after them.
constexpr char kKeyringMark[] = "VLMKEYR1";
constexpr qint64 kKeyringMarkSize = 8;

// False when bytes follow the records that are not one whole mark: a cut mark or records
// beyond a damaged count, which a save would otherwise drop unseen.
bool readKeyringTrailer(SettingsArchive& archive, SiteList& list) {
    if (archive.remaining() == 0)
        return true;
    constexpr auto kRead = SettingsArchive::Direction::Read;
    QByteArray mark;
    quint8 option = 0;
    qint32 count = 0;
    if (!archive.rawField(kRead, mark, kKeyringMarkSize) || mark != kKeyringMark ||
        !archive.byteField(kRead, option) || !archive.int32Field(kRead, count) ||
        count != qint32(list.Records.size()) || archive.remaining() != count)
        return false;
    list.KeyringOption = option <= SiteList::kKeyringOff ? option : SiteList::kKeyringDefault;
    for (SiteRecord& record : list.Records) {
        quint8 place = 0;
        archive.byteField(kRead, place);
        record.PasswordInKeyring = place == 1 ? 1 : 0;
    }
    return true;
}

void writeKeyringTrailer(SettingsArchive& archive, const SiteList& list) {
    bool needed = list.KeyringOption != SiteList::kKeyringDefault;
    for (const SiteRecord& record : list.Records)
        needed = needed || record.PasswordInKeyring;
    if (!needed)
        return;
    constexpr auto kWrite = SettingsArchive::Direction::Write;
    QByteArray mark(kKeyringMark, kKeyringMarkSize);
    quint8 option = list.KeyringOption;
    qint32 count = qint32(list.Records.size());
    archive.rawField(kWrite, mark, kKeyringMarkSize);
    archive.byteField(kWrite, option);
    archive.int32Field(kWrite, count);
    for (const SiteRecord& record : list.Records) {
        quint8 place = record.PasswordInKeyring ? 1 : 0;
        archive.byteField(kWrite, place);
    }
}

}  // namespace

bool SerializeSiteRecord(SettingsArchive& archive, SettingsArchive::Direction direction,
                         SiteRecord& r) {
    return archive.wideText(direction, r.Name) && archive.wideText(direction, r.Comment) &&
           archive.wideText(direction, r.Host) && archive.int32Field(direction, r.Port) &&
           archive.byteField(direction, r.LogonType) && archive.wideText(direction, r.User) &&
           archive.wideText(direction, r.Password) &&
           archive.byteField(direction, r.TransferType) &&
           archive.byteField(direction, r.TransferMode) &&
           archive.byteField(direction, r.NameEncoding) &&
           archive.wideText(direction, r.LocalProjectFolder) &&
           archive.wideText(direction, r.RemoteProjectFolder) &&
           archive.wideText(direction, r.ConcernedFile) &&
           archive.wideText(direction, r.HttpBase) &&
           archive.wideText(direction, r.AbundantString1) &&
           archive.wideText(direction, r.AbundantString2) &&
           archive.wideText(direction, r.AbundantString3) &&
           archive.int32Field(direction, r.SiteFlags);
}

SiteFileState DecodeSites(const QByteArray& data, SiteList& list, qint32* storedCount) {
    list.Records.clear();
    list.SelectedIndex = -1;
    list.KeyringOption = SiteList::kKeyringDefault;
    if (storedCount)
        *storedCount = 0;
    if (data.isEmpty())
        return SiteFileState::Missing;
    SettingsArchive archive(data);
    constexpr auto kRead = SettingsArchive::Direction::Read;
    qint32 selected = -1;
    qint32 count = 0;
    bool complete = archive.int32Field(kRead, selected) && archive.int32Field(kRead, count);
    list.SelectedIndex = selected;
    if (storedCount)
        *storedCount = count;
    // The count is not trusted: records are taken only while bytes remain, so a damaged count
    // can neither add empty records nor exhaust memory. Once a field fails the position no
    // longer points at a field, so nothing after it is read.
    for (qint32 i = 0; complete && i < count; ++i) {
        if (archive.remaining() == 0) {
            complete = false;
            break;
        }
        SiteRecord record;
        record.Id = list.FreshId();
        complete = SerializeSiteRecord(archive, kRead, record);
        list.Records.push_back(std::move(record));
    }
    if (count < 0)
        complete = false;
    if (complete)
        complete = readKeyringTrailer(archive, list);
    list.NormaliseSelectedIndex();
    return complete ? SiteFileState::Complete : SiteFileState::Incomplete;
}

SiteFileState LoadSites(SiteList& list, const QString& path) {
    const std::optional<QByteArray> data = SettingsFile::read(path);
    qint32 count = 0;
    const SiteFileState state = DecodeSites(data.value_or(QByteArray()), list, &count);
    if (state == SiteFileState::Incomplete)
        // A damaged count says nothing: it is not repeated.
        qCWarning(lcSettings).noquote()
            << path << "is incomplete: kept" << list.Records.size()
            << (count >= qint32(list.Records.size()) ? QStringLiteral("of %1 sites").arg(count)
                                                     : QStringLiteral("sites"));
    return state;
}

std::optional<QByteArray> EncodeSites(const SiteList& list) {
    SettingsArchive archive;
    constexpr auto kWrite = SettingsArchive::Direction::Write;
    qint32 selected = list.SelectedIndex;
    qint32 count = qint32(list.Records.size());
    archive.int32Field(kWrite, selected);
    archive.int32Field(kWrite, count);
    for (const SiteRecord& record : list.Records) {
        SiteRecord copy = record;
        if (!SerializeSiteRecord(archive, kWrite, copy))
            return std::nullopt;
    }
    writeKeyringTrailer(archive, list);
    return archive.data();
}

bool SaveSites(const SiteList& list, const QString& path, QString* error) {
    const std::optional<QByteArray> data = EncodeSites(list);
    if (!data) {
        if (error)
            *error = QStringLiteral("The sites could not be stored.");
        return false;
    }
    SettingsFile::SaveOptions options;
    options.permissions = SettingsFile::privateMode();
    options.error = error;
    return SettingsFile::save(path, *data, options);
}
