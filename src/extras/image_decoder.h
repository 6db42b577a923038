#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Decodes an image held in memory with the image libraries, choosing the
// library by the data's first bytes. Damaged data of any format is a failure,
// never a crash or a partial picture.
enum class ImageFormat { Unknown, Png, Jpeg, Tiff, Jp2, J2k };

// Pictures above this many pixels are refused from their header, before any
// large allocation.
inline constexpr qint64 kMaxImagePixels = 100'000'000;

struct DecodedImage {
    ImageFormat format = ImageFormat::Unknown;
    QImage image;   // null on failure
    int width = 0;  // from the header, also when the picture was refused
    int height = 0;
    bool tooLarge = false;

    bool ok() const { return !image.isNull(); }
};

ImageFormat DetectImageFormat(const QByteArray& bytes);
// `maxPixels` lowers the bound, for callers that must stay small.
DecodedImage DecodeImage(const QByteArray& bytes, qint64 maxPixels = kMaxImagePixels);

// "libpng 1.6.39, libjpeg-turbo 62, libtiff 4.5.0, OpenJPEG 2.5.0, zlib 1.2.13"
QString ImageLibraryVersions();
