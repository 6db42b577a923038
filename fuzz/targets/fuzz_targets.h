#pragma once

#include <cstddef>
#include <cstdint>

// One entry per fuzz target: each takes one input, runs the parser it is named
// after, checks what must always hold of the result and traps when it does not.
// The libFuzzer programs call them; the regression test replays saved inputs
// through the same functions. Each returns 0, as libFuzzer expects.
int fuzzReplyAssembler(const uint8_t* data, size_t size);
int fuzzPassiveReply(const uint8_t* data, size_t size);
int fuzzUnixListing(const uint8_t* data, size_t size);
int fuzzMlsdListing(const uint8_t* data, size_t size);
int fuzzDosListing(const uint8_t* data, size_t size);
int fuzzMixedListing(const uint8_t* data, size_t size);
int fuzzCommandIndex(const uint8_t* data, size_t size);
int fuzzAppSettings(const uint8_t* data, size_t size);
int fuzzMixedSettings(const uint8_t* data, size_t size);
int fuzzSiteFile(const uint8_t* data, size_t size);
int fuzzToolFile(const uint8_t* data, size_t size);
int fuzzBannerPage(const uint8_t* data, size_t size);
int fuzzMarkup(const uint8_t* data, size_t size);
int fuzzSearchPattern(const uint8_t* data, size_t size);
int fuzzImageDecoder(const uint8_t* data, size_t size);

// Target names as used for folders and programs, with their entries.
struct FuzzTarget {
    const char* name;
    int (*entry)(const uint8_t*, size_t);
};
inline constexpr FuzzTarget kFuzzTargets[] = {
    {"reply_assembler", fuzzReplyAssembler},
    {"passive_reply", fuzzPassiveReply},
    {"unix_listing", fuzzUnixListing},
    {"mlsd_listing", fuzzMlsdListing},
    {"dos_listing", fuzzDosListing},
    {"mixed_listing", fuzzMixedListing},
    {"command_index", fuzzCommandIndex},
    {"app_settings", fuzzAppSettings},
    {"mixed_settings", fuzzMixedSettings},
    {"site_file", fuzzSiteFile},
    {"tool_file", fuzzToolFile},
    {"banner_page", fuzzBannerPage},
    {"markup", fuzzMarkup},
    {"search_pattern", fuzzSearchPattern},
    {"image_decoder", fuzzImageDecoder},
};
