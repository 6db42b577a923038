#include "extras/image_decoder.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>

#include <fstream>
#include <functional>

#include <sys/resource.h>
#include <tiffio.h>
#include <unistd.h>
#include <zlib.h>
#include "velmora_paths.h"

namespace {

// A 7 x 5 picture: red on top, blue at the bottom, so a decoder that swaps
// channels or rows shows.
QImage samplePicture() {
    QImage image(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            image.setPixel(x, y, y < 2 ? qRgb(250, 0, 0) : qRgb(0, 0, 250));
    return image;
}

QByteArray encodeWithQt(const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(samplePicture().save(&buffer, format, 95));
    return bytes;
}

// Written by libtiff itself, uncompressed RGB in one strip.
QByteArray encodeTiff() {
    QTemporaryDir dir;
    const QByteArray path = dir.filePath(QStringLiteral("p.tif")).toLocal8Bit();
    TIFF* tif = TIFFOpen(path.constData(), "w");
    EXPECT_NE(tif, nullptr);
    if (!tif)
        return {};
    const QImage image = samplePicture();
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 7);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 5);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 5);
    for (int y = 0; y < 5; ++y) {
        unsigned char row[21];
        for (int x = 0; x < 7; ++x) {
            const QRgb p = image.pixel(x, y);
            row[3 * x] = uchar(qRed(p));
            row[3 * x + 1] = uchar(qGreen(p));
            row[3 * x + 2] = uchar(qBlue(p));
        }
        EXPECT_EQ(TIFFWriteScanline(tif, row, uint32_t(y), 0), 1);
    }
    TIFFClose(tif);
    QFile f(QString::fromLocal8Bit(path));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

QByteArray shipped(const char* name) {
    QFile f(QDir::cleanPath(QStringLiteral(VELMORA_TEST_DATA_DIR "/../extras/data/") +
                            QLatin1String(name)));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

void put32(QByteArray& bytes, qsizetype at, quint32 value, bool bigEndian = true) {
    uchar b[4];
    if (bigEndian)
        qToBigEndian(value, b);
    else
        qToLittleEndian(value, b);
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(b[i]);
}

// Each copy claims a 20000 x 20000 picture (400 megapixels) in its header.
QByteArray hugePng(QByteArray bytes) {
    put32(bytes, 16, 20000);
    put32(bytes, 20, 20000);
    const auto* p = reinterpret_cast<const Bytef*>(bytes.constData()) + 12;
    put32(bytes, 29, quint32(crc32(crc32(0L, Z_NULL, 0), p, 17)));
    return bytes;
}

QByteArray hugeJpeg(QByteArray bytes) {
    const qsizetype sof = bytes.indexOf(QByteArray("\xff\xc0", 2));
    EXPECT_GT(sof, 0);
    for (qsizetype at : {sof + 5, sof + 7}) {
        bytes[at] = char(20000 >> 8);
        bytes[at + 1] = char(20000 & 0xff);
    }
    return bytes;
}

QByteArray hugeTiff(QByteArray bytes) {
    const quint32 ifd = qFromLittleEndian<quint32>(bytes.constData() + 4);
    const int count = qFromLittleEndian<quint16>(bytes.constData() + ifd);
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = ifd + 2 + 12 * i;
        const int tag = qFromLittleEndian<quint16>(bytes.constData() + entry);
        if (tag == 256 || tag == 257) {
            bytes[entry + 2] = 4;  // LONG
            bytes[entry + 3] = 0;
            put32(bytes, entry + 8, 20000, false);
        }
    }
    return bytes;
}

QByteArray hugeJ2k(QByteArray bytes) {
    const qsizetype siz = bytes.indexOf(QByteArray("\xff\x51", 2));
    EXPECT_GT(siz, 0);
    for (int at : {6, 10, 22, 26})  // picture and tile size
        put32(bytes, siz + at, 20000);
    const qsizetype ihdr = bytes.indexOf("ihdr");
    if (ihdr > 0) {
        put32(bytes, ihdr + 4, 20000);
        put32(bytes, ihdr + 8, 20000);
    }
    return bytes;
}

// Flips every bit in the middle third: the header stays readable, the picture
// data does not.
QByteArray scrambled(QByteArray bytes) {
    for (qsizetype i = bytes.size() / 3; i < 2 * bytes.size() / 3; ++i)
        bytes[i] = char(~bytes[i]);
    return bytes;
}

// Holds the process's address space to what it maps now plus `headroom`
// while it lives, so an allocation beyond that fails instead of succeeding.
class AddressSpaceCap {
public:
    explicit AddressSpaceCap(rlim_t headroom) {
        getrlimit(RLIMIT_AS, &saved_);
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        rlimit cap = saved_;
        cap.rlim_cur = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + headroom;
        EXPECT_EQ(setrlimit(RLIMIT_AS, &cap), 0);
    }
    ~AddressSpaceCap() { setrlimit(RLIMIT_AS, &saved_); }

private:
    rlimit saved_{};
};

struct FormatCase {
    const char* name;
    ImageFormat format;
    std::function<QByteArray()> make;
    std::function<QByteArray(QByteArray)> huge;
};

}  // namespace

TEST(ImageDecoder, DecodesEachFormatAndRefusesItsDamagedCopies) {
    const FormatCase cases[] = {
        {"PNG", ImageFormat::Png, [] { return encodeWithQt("PNG"); }, hugePng},
        {"JPEG", ImageFormat::Jpeg, [] { return encodeWithQt("JPG"); }, hugeJpeg},
        {"TIFF", ImageFormat::Tiff, encodeTiff, hugeTiff},
        {"JP2", ImageFormat::Jp2, [] { return shipped("sample-7x5.jp2"); }, hugeJ2k},
        {"J2K", ImageFormat::J2k, [] { return shipped("sample-7x5.j2k"); }, hugeJ2k},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray bytes = c.make();
        ASSERT_FALSE(bytes.isEmpty());
        const DecodedImage good = DecodeImage(bytes);
        ASSERT_TRUE(good.ok());
        EXPECT_EQ(good.format, c.format);
        EXPECT_EQ(good.width, 7);
        EXPECT_EQ(good.height, 5);
        EXPECT_EQ(good.image.size(), QSize(7, 5));
        const QRgb top = good.image.pixel(3, 0), bottom = good.image.pixel(3, 4);
        EXPECT_GT(qRed(top), 200);
        EXPECT_LT(qBlue(top), 60);
        EXPECT_GT(qBlue(bottom), 200);
        EXPECT_LT(qRed(bottom), 60);

        for (const QByteArray& damaged :
             {bytes.left(bytes.size() / 2), bytes.left(bytes.size() - 12), scrambled(bytes),
              bytes.left(20)}) {
            const DecodedImage bad = DecodeImage(damaged);
            EXPECT_FALSE(bad.ok()) << "damaged copy of " << damaged.size() << " bytes";
            EXPECT_TRUE(bad.image.isNull());
        }

        // A picture's worth of memory (1.6 GB) is more than the decoder may
        // take: the header alone refuses it.
        const QByteArray hugeBytes = c.huge(bytes);
        DecodedImage huge;
        {
            const AddressSpaceCap cap(256 << 20);
            huge = DecodeImage(hugeBytes);
        }
        EXPECT_FALSE(huge.ok());
        EXPECT_TRUE(huge.tooLarge);
        EXPECT_EQ(huge.width, 20000);
        EXPECT_EQ(huge.height, 20000);
    }
}

TEST(ImageDecoder, DetectsByFirstBytesOnly) {
    const struct {
        QByteArray bytes;
        ImageFormat format;
    } cases[] = {
        {QByteArray("\x89PNG\r\n\x1a\n", 8), ImageFormat::Png},
        {QByteArray("\xff\xd8\xff\xe0", 4), ImageFormat::Jpeg},
        {QByteArray("II*\0", 4), ImageFormat::Tiff},
        {QByteArray("MM\0*", 4), ImageFormat::Tiff},
        {QByteArray("\0\0\0\x0cjP  \r\n\x87\n", 12), ImageFormat::Jp2},
        {QByteArray("\xff\x4f\xff\x51", 4), ImageFormat::J2k},
        {QByteArray("PK\x03\x04\x14\0\0\0\x08\0", 10), ImageFormat::Unknown},
        {QByteArray("GIF89a"), ImageFormat::Unknown},
        {QByteArray(), ImageFormat::Unknown},
        {QByteArray("\x89PNG", 4), ImageFormat::Unknown},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DetectImageFormat(c.bytes), c.format) << c.bytes.toHex().constData();
        EXPECT_FALSE(DecodeImage(c.bytes).ok());
    }
}
