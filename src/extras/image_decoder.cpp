#include "extras/image_decoder.h"

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE
#include <cstring>

#include <jpeglib.h>
#include <openjpeg.h>
#include <png.h>
#include <tiffio.h>
#include <zlib.h>

namespace {

bool startsWith(const QByteArray& bytes, const char* magic, int length) {
    return bytes.size() >= length && std::memcmp(bytes.constData(), magic, size_t(length)) == 0;
}

bool withinLimit(qint64 width, qint64 height, qint64 maxPixels) {
    return width > 0 && height > 0 && width * height <= maxPixels;
}

// ------------------------------------------------------------------------ PNG

quint32 bigEndian32(const uchar* p) {
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | p[3];
}

// The header chunk must come first, be whole and carry a matching checksum;
// a damaged header is refused before libpng sees it.
bool readPngHeader(const QByteArray& bytes, quint32* width, quint32* height) {
    if (bytes.size() < 8 + 8 + 13 + 4)
        return false;
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData()) + 8;
    if (bigEndian32(p) != 13 || std::memcmp(p + 4, "IHDR", 4) != 0)
        return false;
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), p + 4, 4 + 13);
    if (crc != bigEndian32(p + 8 + 13))
        return false;
    *width = bigEndian32(p + 8);
    *height = bigEndian32(p + 12);
    return true;
}

void decodePng(const QByteArray& bytes, qint64 maxPixels, DecodedImage& out) {
    quint32 w = 0, h = 0;
    if (!readPngHeader(bytes, &w, &h))
        return;
    // libpng shows a picture whose end was cut off after its data; a file
    // without its end chunk is damaged all the same.
    static const QByteArray end("\0\0\0\0IEND\xae\x42\x60\x82", 12);
    const bool whole = bytes.endsWith(end);
    out.width = int(qMin<quint32>(w, INT_MAX));
    out.height = int(qMin<quint32>(h, INT_MAX));
    if (!withinLimit(w, h, maxPixels)) {
        out.tooLarge = w > 0 && h > 0;
        return;
    }
    if (!whole)
        return;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.constData(), size_t(bytes.size())))
        return;
    image.format = PNG_FORMAT_BGRA;  // QImage's ARGB32 in memory on little-endian machines
    QImage picture(int(image.width), int(image.height), QImage::Format_ARGB32);
    if (picture.isNull()) {
        png_image_free(&image);
        return;
    }
    if (!png_image_finish_read(&image, nullptr, picture.bits(), picture.bytesPerLine(), nullptr)) {
        png_image_free(&image);
        return;
    }
    out.image = picture;
}

// ----------------------------------------------------------------------- JPEG

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void jpegFail(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

void jpegQuiet(j_common_ptr) {}

// Separate from the caller so that no object with a destructor lives in the
// frame that longjmp leaves; `picture` belongs to the caller.
bool decodeJpegInto(const QByteArray& bytes, qint64 maxPixels, DecodedImage& out, QImage& picture) {
    jpeg_decompress_struct info;
    std::memset(&info, 0, sizeof info);
    JpegErrors errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jpegFail;
    errors.manager.output_message = jpegQuiet;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    out.width = int(info.image_width);
    out.height = int(info.image_height);
    if (!withinLimit(info.image_width, info.image_height, maxPixels)) {
        out.tooLarge = true;
        jpeg_destroy_decompress(&info);
        return false;
    }
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    picture = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB32);
    if (picture.isNull()) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = picture.scanLine(int(info.output_scanline));
        if (jpeg_read_scanlines(&info, &row, 1) != 1)
            break;
        if (cmyk) {
            // Inverted CMYK as written by most programs, to BGRX in place.
            for (int x = 0; x < int(info.output_width); ++x) {
                uchar* px = row + 4 * x;
                const int k = px[3];
                const uchar r = uchar(px[0] * k / 255), g = uchar(px[1] * k / 255),
                            b = uchar(px[2] * k / 255);
                px[0] = b;
                px[1] = g;
                px[2] = r;
                px[3] = 255;
            }
        }
    }
    const bool whole = info.output_scanline == info.output_height;
    if (whole)
        jpeg_finish_decompress(&info);
    // A warning means damaged data (premature end, corrupt entropy data): the
    // library would show grey or garbage in its place.
    const bool clean = whole && errors.manager.num_warnings == 0;
    jpeg_destroy_decompress(&info);
    return clean;
}

void decodeJpeg(const QByteArray& bytes, qint64 maxPixels, DecodedImage& out) {
    QImage picture;
    if (decodeJpegInto(bytes, maxPixels, out, picture))
        out.image = picture;
}

// ----------------------------------------------------------------------- TIFF

struct MemoryFile {
    const QByteArray* bytes;
    qint64 position = 0;
    bool failed = false;
};

tmsize_t tiffRead(thandle_t handle, void* buffer, tmsize_t size) {
    auto* f = static_cast<MemoryFile*>(handle);
    const qint64 left = f->bytes->size() - f->position;
    const qint64 n = std::clamp<qint64>(qint64(size), 0, qMax<qint64>(left, 0));
    std::memcpy(buffer, f->bytes->constData() + f->position, size_t(n));
    f->position += n;
    return tmsize_t(n);
}

tmsize_t tiffWrite(thandle_t, void*, tmsize_t) {
    return 0;
}

toff_t tiffSeek(thandle_t handle, toff_t offset, int whence) {
    auto* f = static_cast<MemoryFile*>(handle);
    qint64 base = 0;
    if (whence == SEEK_CUR)
        base = f->position;
    else if (whence == SEEK_END)
        base = f->bytes->size();
    const qint64 target = base + qint64(offset);
    if (target < 0 || target > f->bytes->size())
        return toff_t(-1);
    f->position = target;
    return toff_t(target);
}

int tiffClose(thandle_t) {
    return 0;
}
toff_t tiffSize(thandle_t handle) {
    return toff_t(static_cast<MemoryFile*>(handle)->bytes->size());
}
int tiffMap(thandle_t, void**, toff_t*) {
    return 0;
}
void tiffUnmap(thandle_t, void*, toff_t) {}

int tiffError(TIFF*, void* user, const char*, const char*, va_list) {
    static_cast<MemoryFile*>(user)->failed = true;
    return 1;
}

int tiffWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

void decodeTiff(const QByteArray& bytes, qint64 maxPixels, DecodedImage& out) {
    MemoryFile file{&bytes};
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, tiffError, &file);
    TIFFOpenOptionsSetWarningHandlerExtR(options, tiffWarning, &file);
    // No single allocation of the library may exceed what the largest allowed
    // picture needs.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(maxPixels) * 4);
    TIFF* tif = TIFFClientOpenExt("memory", "rm", &file, tiffRead, tiffWrite, tiffSeek, tiffClose,
                                  tiffSize, tiffMap, tiffUnmap, options);
    TIFFOpenOptionsFree(options);
    if (!tif)
        return;
    uint32_t w = 0, h = 0;
    if (TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w) && TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h)) {
        out.width = int(qMin<uint32_t>(w, INT_MAX));
        out.height = int(qMin<uint32_t>(h, INT_MAX));
        if (!withinLimit(w, h, maxPixels)) {
            out.tooLarge = w > 0 && h > 0;
        } else if (!file.failed) {
            QImage picture(int(w), int(h), QImage::Format_ARGB32);
            // The raster below is one block of w * h words.
            if (!picture.isNull() && picture.bytesPerLine() == qsizetype(w) * 4 &&
                TIFFReadRGBAImageOriented(tif, w, h, reinterpret_cast<uint32_t*>(picture.bits()),
                                          ORIENTATION_TOPLEFT, 1) &&
                !file.failed) {
                // The library packs R in the low byte; ARGB32 keeps B there.
                for (int y = 0; y < int(h); ++y) {
                    auto* px = reinterpret_cast<uint32_t*>(picture.scanLine(y));
                    for (uint32_t x = 0; x < w; ++x) {
                        const uint32_t v = px[x];
                        px[x] = (v & 0xff00ff00u) | ((v & 0xffu) << 16) | ((v >> 16) & 0xffu);
                    }
                }
                out.image = picture;
            }
        }
    }
    TIFFClose(tif);
}

// ---------------------------------------------------------------- JPEG 2000

struct J2kState {
    const QByteArray* bytes;
    qint64 position = 0;
    bool failed = false;
};

OPJ_SIZE_T j2kRead(void* buffer, OPJ_SIZE_T size, void* user) {
    auto* s = static_cast<J2kState*>(user);
    const qint64 left = s->bytes->size() - s->position;
    if (left <= 0)
        return OPJ_SIZE_T(-1);
    const qint64 n = qMin<qint64>(qint64(size), left);
    std::memcpy(buffer, s->bytes->constData() + s->position, size_t(n));
    s->position += n;
    return OPJ_SIZE_T(n);
}

OPJ_OFF_T j2kSkip(OPJ_OFF_T count, void* user) {
    auto* s = static_cast<J2kState*>(user);
    const qint64 target = std::clamp<qint64>(s->position + qint64(count), 0, s->bytes->size());
    const OPJ_OFF_T moved = OPJ_OFF_T(target - s->position);
    s->position = target;
    return moved;
}

OPJ_BOOL j2kSeek(OPJ_OFF_T offset, void* user) {
    auto* s = static_cast<J2kState*>(user);
    if (offset < 0 || offset > s->bytes->size())
        return OPJ_FALSE;
    s->position = offset;
    return OPJ_TRUE;
}

void j2kError(const char*, void* user) {
    static_cast<J2kState*>(user)->failed = true;
}
// A truncated code stream is only warned about and decodes to a partial
// picture; every warning counts as damage.
void j2kWarning(const char*, void* user) {
    static_cast<J2kState*>(user)->failed = true;
}
void j2kInfo(const char*, void*) {}

int componentValue(const opj_image_comp_t& c, int x, int y) {
    const int cx = qMin(int(c.w) - 1, x / int(qMax<OPJ_UINT32>(c.dx, 1)));
    const int cy = qMin(int(c.h) - 1, y / int(qMax<OPJ_UINT32>(c.dy, 1)));
    int v = c.data[qsizetype(cy) * c.w + cx];
    if (c.sgnd)
        v += 1 << (c.prec - 1);
    if (c.prec > 8)
        v >>= (c.prec - 8);
    else if (c.prec < 8)
        v <<= (8 - c.prec);
    return qBound(0, v, 255);
}

void decodeJ2k(const QByteArray& bytes, ImageFormat format, qint64 maxPixels, DecodedImage& out) {
    J2kState state{&bytes};
    opj_codec_t* codec =
        opj_create_decompress(format == ImageFormat::Jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
    if (!codec)
        return;
    opj_set_error_handler(codec, j2kError, &state);
    opj_set_warning_handler(codec, j2kWarning, &state);
    opj_set_info_handler(codec, j2kInfo, &state);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    opj_stream_t* stream = opj_stream_create(64 * 1024, OPJ_TRUE);
    opj_image_t* image = nullptr;
    if (stream && opj_setup_decoder(codec, &parameters)) {
        opj_stream_set_user_data(stream, &state, nullptr);
        opj_stream_set_user_data_length(stream, OPJ_UINT64(bytes.size()));
        opj_stream_set_read_function(stream, j2kRead);
        opj_stream_set_skip_function(stream, j2kSkip);
        opj_stream_set_seek_function(stream, j2kSeek);
        if (opj_read_header(stream, codec, &image) && image) {
            const qint64 w = qint64(image->x1) - image->x0;
            const qint64 h = qint64(image->y1) - image->y0;
            out.width = int(std::clamp<qint64>(w, 0, INT_MAX));
            out.height = int(std::clamp<qint64>(h, 0, INT_MAX));
            bool usable = image->numcomps >= 1 && image->numcomps <= 4;
            for (OPJ_UINT32 i = 0; usable && i < image->numcomps; ++i)
                usable = image->comps[i].prec >= 1 && image->comps[i].prec <= 16;
            if (!withinLimit(w, h, maxPixels)) {
                out.tooLarge = w > 0 && h > 0;
            } else if (usable && !state.failed && opj_decode(codec, stream, image) &&
                       opj_end_decompress(codec, stream) && !state.failed) {
                bool complete = true;
                for (OPJ_UINT32 i = 0; complete && i < image->numcomps; ++i)
                    complete =
                        image->comps[i].data && image->comps[i].w > 0 && image->comps[i].h > 0;
                QImage picture(int(w), int(h), QImage::Format_ARGB32);
                if (complete && !picture.isNull()) {
                    const opj_image_comp_t* c = image->comps;
                    const int n = int(image->numcomps);
                    for (int y = 0; y < int(h); ++y) {
                        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
                        for (int x = 0; x < int(w); ++x) {
                            if (n >= 3) {
                                line[x] =
                                    qRgba(componentValue(c[0], x, y), componentValue(c[1], x, y),
                                          componentValue(c[2], x, y),
                                          n == 4 ? componentValue(c[3], x, y) : 255);
                            } else {
                                const int g = componentValue(c[0], x, y);
                                line[x] = qRgba(g, g, g, n == 2 ? componentValue(c[1], x, y) : 255);
                            }
                        }
                    }
                    out.image = picture;
                }
            }
        }
    }
    if (image)
        opj_image_destroy(image);
    if (stream)
        opj_stream_destroy(stream);
    opj_destroy_codec(codec);
}

}  // namespace

ImageFormat DetectImageFormat(const QByteArray& bytes) {
    if (startsWith(bytes, "\x89PNG\r\n\x1a\n", 8))
        return ImageFormat::Png;
    if (startsWith(bytes, "\xff\xd8\xff", 3))
        return ImageFormat::Jpeg;
    if (startsWith(bytes, "II*\0", 4) || startsWith(bytes, "MM\0*", 4) ||
        startsWith(bytes, "II+\0", 4) || startsWith(bytes, "MM\0+", 4))
        return ImageFormat::Tiff;
    if (startsWith(bytes, "\0\0\0\x0cjP  \r\n\x87\n", 12))
        return ImageFormat::Jp2;
    if (startsWith(bytes, "\xff\x4f\xff\x51", 4))
        return ImageFormat::J2k;
    return ImageFormat::Unknown;
}

DecodedImage DecodeImage(const QByteArray& bytes, qint64 maxPixels) {
    DecodedImage out;
    out.format = DetectImageFormat(bytes);
    switch (out.format) {
        case ImageFormat::Png:
            decodePng(bytes, maxPixels, out);
            break;
        case ImageFormat::Jpeg:
            decodeJpeg(bytes, maxPixels, out);
            break;
        case ImageFormat::Tiff:
            decodeTiff(bytes, maxPixels, out);
            break;
        case ImageFormat::Jp2:
        case ImageFormat::J2k:
            decodeJ2k(bytes, out.format, maxPixels, out);
            break;
        case ImageFormat::Unknown:
            break;
    }
    if (!out.ok())
        out.image = QImage();
    return out;
}

QString ImageLibraryVersions() {
    QString tiff = QString::fromLatin1(TIFFGetVersion()).section(QLatin1Char('\n'), 0, 0);
    tiff.replace(QLatin1String("LIBTIFF, Version "), QLatin1String("libtiff "));
    return QStringLiteral("libpng %1, libjpeg-turbo %2, %3, OpenJPEG %4, zlib %5")
        .arg(QLatin1String(png_get_libpng_ver(nullptr)))
        .arg(JPEG_LIB_VERSION)
        .arg(tiff, QLatin1String(opj_version()), QLatin1String(zlibVersion()));
}
