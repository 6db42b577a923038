#include "fuzz_check.h"
#include "fuzz_targets.h"

#include "extras/image_decoder.h"

namespace {

// Small enough that a fuzzing run never runs out of memory on a header that
// claims a huge picture, nor spends seconds in a codec on a legal one (under
// the sanitizers a megapixel of JPEG 2000 takes about a second); the window
// decodes on a worker thread, so a slow picture does not freeze it.
constexpr qint64 kFuzzMaxPixels = 1'000'000;

}  // namespace

// Input: the bytes of an image file of any format.
int fuzzImageDecoder(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    const DecodedImage decoded = DecodeImage(bytes, kFuzzMaxPixels);
    FUZZ_CHECK(decoded.format == DetectImageFormat(bytes));
    if (decoded.format == ImageFormat::Unknown)
        FUZZ_CHECK(!decoded.ok());
    if (decoded.tooLarge) {
        FUZZ_CHECK(!decoded.ok());
        FUZZ_CHECK(qint64(decoded.width) * decoded.height > kFuzzMaxPixels);
    }
    if (decoded.ok()) {
        // A whole picture of the size its header gave, within the bound.
        FUZZ_CHECK(decoded.image.width() == decoded.width);
        FUZZ_CHECK(decoded.image.height() == decoded.height);
        FUZZ_CHECK(qint64(decoded.width) * decoded.height <= kFuzzMaxPixels);
        FUZZ_CHECK(!decoded.tooLarge);
    }
    return 0;
}
