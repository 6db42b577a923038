#include "fuzz_check.h"
#include "fuzz_targets.h"

#include "app/app_settings.h"
#include "app/mixed_settings.h"
#include "app/site_file.h"
#include "app/tool_file.h"

namespace {

constexpr auto kRead = SettingsArchive::Direction::Read;
constexpr auto kWrite = SettingsArchive::Direction::Write;

// Read, write, read again: the second read is whole and gives the record the
// first one gave; an image read whole writes back byte for byte.
template <typename Record, typename Walk>
void checkRoundTrip(const QByteArray& bytes, Walk walk) {
    Record first;
    SettingsArchive in(bytes);
    const bool whole = walk(in, kRead, first);
    FUZZ_CHECK(in.readPosition() >= 0 && in.readPosition() <= bytes.size());

    SettingsArchive out;
    Record copy = first;
    FUZZ_CHECK(walk(out, kWrite, copy));
    if (whole)
        FUZZ_CHECK(out.data() == bytes.left(in.readPosition()));

    Record second;
    SettingsArchive again(out.data());
    FUZZ_CHECK(walk(again, kRead, second));
    FUZZ_CHECK(again.remaining() == 0);
    SettingsArchive outAgain;
    FUZZ_CHECK(walk(outAgain, kWrite, second));
    FUZZ_CHECK(outAgain.data() == out.data());
}

}  // namespace

// Input: a setting.set image.
int fuzzAppSettings(const uint8_t* data, size_t size) {
    checkRoundTrip<AppSettings>(fuzzBytes(data, size), SerializeAppSettings);
    return 0;
}

// Input: a mixed.set image.
int fuzzMixedSettings(const uint8_t* data, size_t size) {
    checkRoundTrip<MixedSettings>(fuzzBytes(data, size), SerializeMixedSettings);
    return 0;
}

// Input: a site.set image.
int fuzzSiteFile(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    SiteList first;
    const SiteFileState state = DecodeSites(bytes, first);
    FUZZ_CHECK(state != SiteFileState::Missing || bytes.isEmpty());
    FUZZ_CHECK(first.SelectedIndex >= -1 && first.SelectedIndex < int(first.Records.size()));
    FUZZ_CHECK(first.Records.empty() == (first.SelectedIndex == -1));
    // Every record costs bytes: a claimed count cannot make more.
    FUZZ_CHECK(qint64(first.Records.size()) * 4 * 15 <= qMax<qint64>(0, bytes.size() - 8) + 60);

    const std::optional<QByteArray> written = EncodeSites(first);
    FUZZ_CHECK(written.has_value());
    SiteList second;
    FUZZ_CHECK(DecodeSites(*written, second) == SiteFileState::Complete);
    FUZZ_CHECK(second.Records.size() == first.Records.size());
    FUZZ_CHECK(second.SelectedIndex == first.SelectedIndex);
    for (size_t i = 0; i < first.Records.size(); ++i) {
        SiteRecord a = first.Records[i];
        a.Id = second.Records[i].Id;  // never stored
        FUZZ_CHECK(a == second.Records[i]);
    }
    FUZZ_CHECK(EncodeSites(second) == written);
    return 0;
}

// Input: a tools.set image.
int fuzzToolFile(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    ToolLists first;
    const ToolFileState state = DecodeTools(bytes, first);
    FUZZ_CHECK(state != ToolFileState::Missing || bytes.isEmpty());
    // A record needs at least thirteen bytes; a damaged count adds one empty
    // record at most.
    const size_t records = first.SearchedTools.size() + first.UserTools.size();
    FUZZ_CHECK(records <= size / 13 + 1);

    const QByteArray written = EncodeTools(first);
    ToolLists second;
    FUZZ_CHECK(DecodeTools(written, second) == ToolFileState::Complete);
    FUZZ_CHECK(EncodeTools(second) == written);
    if (state == ToolFileState::Complete)
        FUZZ_CHECK(bytes.startsWith(written));
    return 0;
}
