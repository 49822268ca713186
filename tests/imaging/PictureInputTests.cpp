// Bad input and every extension of the type table, through the two-decoder rule.
#include "imaging/magick/ImageLibrary.h"
#include "imaging/decode/PictureDecoder.h"
#include "imaging/magick/PictureFile.h"
#include "imaging/encode/PictureSaving.h"

#include "ImagingTestFiles.h"
#include "common/TestSupport.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

QByteArray PngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

quint32 Crc32(const char* data, int size) {
    quint32 crc = 0xFFFFFFFFu;
    for (int i = 0; i < size; ++i) {
        crc ^= quint8(data[i]);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A PNG whose header claims width x height but whose data is that of a 4 x 4 picture.
QByteArray LyingPng(quint32 width, quint32 height) {
    QByteArray png = PngBytes(test::FilledImage(4, 4, Qt::red));
    qToBigEndian(width, png.data() + 16);
    qToBigEndian(height, png.data() + 20);
    const quint32 crc = Crc32(png.constData() + 12, 17);
    qToBigEndian(crc, png.data() + 29);
    return png;
}

// The process's peak of virtual memory in KiB (0 where /proc is not there).
qint64 PeakVirtualKib() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmPeak:"))
            return line.mid(7).trimmed().split(' ').front().toLongLong();
    return 0;
}

TEST(PictureInput, EmptyFileRefused) {
    test::ScopedDataDir dir;
    const QString path = dir.File(QStringLiteral("empty.jpg"));
    ASSERT_TRUE(test::WriteAll(path, QByteArray()));
    const qint64 peakBefore = PeakVirtualKib();
    const DecodedPicture p = DecodePicture(path);
    EXPECT_FALSE(p.Ok());
    EXPECT_TRUE(p.error.contains(QStringLiteral("empty"))) << p.error.toStdString();
    // Nothing near the file-size cap is reserved for a file that holds nothing.
    EXPECT_LT(PeakVirtualKib() - peakBefore, 256 * 1024);
}

TEST(PictureInput, TruncatedJpegRefused) {
    test::ScopedDataDir dir;
    const QString whole = dir.File(QStringLiteral("whole.jpg"));
    ASSERT_TRUE(test::GradientImage(300, 200).save(whole, "JPEG", 90));
    const QByteArray bytes = test::ReadAll(whole);
    const QString cut = dir.File(QStringLiteral("cut.jpg"));
    ASSERT_TRUE(test::WriteAll(cut, bytes.left(bytes.size() / 2)));
    EXPECT_TRUE(DecodePicture(whole).Ok());
    const DecodedPicture p = DecodePicture(cut);
    EXPECT_FALSE(p.Ok());
    EXPECT_TRUE(p.error.contains(QStringLiteral("truncated"))) << p.error.toStdString();
    QSize size;
    EXPECT_FALSE(ReadPictureSize(cut, &size));
}

TEST(PictureInput, TruncatedPngRefused) {
    const QByteArray png = PngBytes(test::GradientImage(200, 200));
    const DecodedPicture p = DecodePictureData(png.left(png.size() / 2), QStringLiteral("png"));
    EXPECT_FALSE(p.Ok());
    EXPECT_FALSE(p.error.isEmpty());
}

TEST(PictureInput, LyingHeaderRefusedBeforeAllocating) {
    for (const QString& ext : {QStringLiteral("png"), QStringLiteral("xyz")}) {
        const DecodedPicture p = DecodePictureData(LyingPng(60000, 60000), ext);
        EXPECT_FALSE(p.Ok());
        EXPECT_TRUE(p.error.contains(QStringLiteral("60000"))) << p.error.toStdString();
    }
    // Within each side's limit but over the area limit.
    const DecodedPicture p = DecodePictureData(LyingPng(16000, 16100), QStringLiteral("png"));
    EXPECT_FALSE(p.Ok());
    EXPECT_TRUE(p.error.contains(QStringLiteral("megapixels"))) << p.error.toStdString();
}

TEST(PictureInput, LyingHeaderRefusedByTheImageLibrary) {
    // A PCX header (read by the image library only) claiming 60000 x 60000 pixels.
    QByteArray pcx(128 + 16, '\0');
    pcx[0] = 10;
    pcx[1] = 5;
    pcx[2] = 1;
    pcx[3] = 8;
    qToLittleEndian<quint16>(59999, pcx.data() + 8);
    qToLittleEndian<quint16>(59999, pcx.data() + 10);
    pcx[65] = 3;
    qToLittleEndian<quint16>(60000, pcx.data() + 66);
    LibraryImage picture(pcx, 8);
    EXPECT_FALSE(picture.IsValid());
    EXPECT_FALSE(picture.ErrorString().isEmpty());
    const DecodedPicture p = DecodePictureData(pcx, QStringLiteral("pcx"));
    EXPECT_FALSE(p.Ok());
}

TEST(PictureInput, HeadersClaimingMoreThanTheFileCanHoldAreRefused) {
    // 30 bytes of WBMP claiming 16327 x 12231 pixels: within the size caps, but no file this
    // small can describe them, so nothing is allocated for them.
    const QByteArray wbmp = QByteArray::fromHex("0000ff47df4738396100000000000000000000000000000000000000ffff");
    const DecodedPicture lying = DecodePictureData(wbmp, QStringLiteral("wbmp"));
    EXPECT_FALSE(lying.Ok());
    EXPECT_TRUE(lying.error.contains(QStringLiteral("more than its"))) << lying.error.toStdString();

    // A one-colour picture compresses very well and is still read.
    QImage plain(3000, 2000, QImage::Format_Grayscale8);
    plain.fill(200);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(plain.save(&buffer, "PNG"));
    const DecodedPicture fine = DecodePictureData(png, QStringLiteral("png"));
    ASSERT_TRUE(fine.Ok()) << fine.error.toStdString();
    EXPECT_EQ(fine.fullSize, QSize(3000, 2000));
}

TEST(PictureInput, DevicesAreNoPictureFiles) {
    // A device has no size to check and never ends: refused before anything is read.
    test::ScopedDataDir dir;
    const QString zero = test::MakeZeroDevice(dir.File(QStringLiteral("zero.png")));
    if (zero.isEmpty())
        GTEST_SKIP() << "device nodes cannot be made here";
    LibraryImage endless(zero, 8);
    EXPECT_FALSE(endless.IsValid());
    EXPECT_TRUE(endless.ErrorString().contains(QStringLiteral("not a regular file")));
}

TEST(PictureInput, EmfRefusedWithReason) {
    QByteArray emf(108, '\0');
    emf[0] = 1;
    std::memcpy(emf.data() + 40, " EMF", 4);
    const DecodedPicture p = DecodePictureData(emf, QStringLiteral("emf"));
    EXPECT_FALSE(p.Ok());
    EXPECT_TRUE(p.error.contains(QStringLiteral("EMF"))) << p.error.toStdString();
}

TEST(PictureInput, WmfRasterisedByTheImageLibrary) {
    // A placeable metafile: a 100 x 50 unit frame at 100 units an inch holding one rectangle.
    QByteArray wmf;
    const auto u16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        wmf.append(b, 2);
    };
    const auto u32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        wmf.append(b, 4);
    };
    u32(0x9AC6CDD7);
    u16(0);
    u16(0);
    u16(0);
    u16(100);
    u16(50);
    u16(100);
    u32(0);
    quint16 sum = 0;
    for (int i = 0; i < 20; i += 2)
        sum ^= qFromLittleEndian<quint16>(wmf.constData() + i);
    u16(sum);
    u16(1);
    u16(9);
    u16(0x300);
    u32(9 + 5 + 5 + 7 + 3);
    u16(0);
    u32(7);
    u16(0);
    u32(5);
    u16(0x020B);
    u16(0);
    u16(0); // SetWindowOrg 0, 0
    u32(5);
    u16(0x020C);
    u16(50);
    u16(100); // SetWindowExt 100 x 50
    u32(7);
    u16(0x041B);
    u16(40);
    u16(80);
    u16(10);
    u16(20); // Rectangle
    u32(3);
    u16(0); // end
    test::ScopedDataDir dir;
    const QString path = dir.File(QStringLiteral("shape.wmf"));
    ASSERT_TRUE(test::WriteAll(path, wmf));
    const DecodedPicture p = DecodePicture(path);
    ASSERT_TRUE(p.Ok()) << p.error.toStdString();
    EXPECT_EQ(p.decoder, kDecoderLibrary);
    EXPECT_GT(p.image.width(), p.image.height());
}

// Every extension of the type table that has a writer here: written from a picture, read back
// with its size and (for lossless formats) its pixels.
TEST(PictureInput, EveryWritableExtensionRoundTrips) {
    test::ScopedDataDir dir;
    const QImage source = test::GradientImage(64, 48);
    const struct {
        const char* extension;
        int tolerance; // -1: only the size is compared (palette or grey formats)
    } cases[] = {{"bmp", 0},   {"jpg", 12}, {"jpeg", 12}, {"png", 0}, {"gif", -1},
                 {"ico", 0},   {"tif", 0},  {"tiff", 0},  {"tga", 0}, {"pcx", 0},
                 {"wbmp", -1}, {"jp2", 0},  {"j2k", 0},   {"jpc", 0}, {"j2c", 0},
                 {"pgx", -1},  {"pnm", 0},  {"pgm", -1},  {"ppm", 0}, {"ras", 0}};
    for (const auto& c : cases) {
        const QString ext = QString::fromLatin1(c.extension);
        const QString path = dir.File(QStringLiteral("round.") + ext);
        QString error;
        ASSERT_TRUE(SavePictureByExtension(source, path, ext, &error))
            << c.extension << ": " << error.toStdString();
        const DecodedPicture back = DecodePicture(path);
        ASSERT_TRUE(back.Ok()) << c.extension << ": " << back.error.toStdString();
        EXPECT_EQ(back.fullSize, source.size()) << c.extension;
        if (c.tolerance < 0)
            continue;
        int worst = 0;
        for (int y = 0; y < source.height(); ++y)
            for (int x = 0; x < source.width(); ++x) {
                const QRgb a = source.pixel(x, y), b = back.image.pixel(x, y);
                worst = std::max({worst, std::abs(qRed(a) - qRed(b)),
                                  std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
            }
        EXPECT_LE(worst, c.tolerance) << c.extension;
    }
}

TEST(PictureInput, TgaRowOrderFromItsHeader) {
    // 2 x 2 TGA, red on top, blue below: stored bottom row first, then top row first.
    for (const bool topFirst : {false, true}) {
        QByteArray tga(18, '\0');
        tga[2] = 2;
        tga[12] = 2;
        tga[14] = 2;
        tga[16] = 24;
        tga[17] = char(topFirst ? 0x20 : 0);
        const QByteArray red("\0\0\xFF\0\0\xFF", 6), blue("\xFF\0\0\xFF\0\0", 6);
        tga += topFirst ? red + blue : blue + red;
        const DecodedPicture p = DecodePictureData(tga, QStringLiteral("tga"));
        ASSERT_TRUE(p.Ok()) << p.error.toStdString();
        EXPECT_EQ(p.image.pixel(1, 0), qRgb(255, 0, 0)) << topFirst;
        EXPECT_EQ(p.image.pixel(1, 1), qRgb(0, 0, 255)) << topFirst;
    }
}

// Found by fuzzing: a damaged TIFF refused by Qt went on to the image library, whose TIFF coder
// took over libtiff's global error handler; the next damaged TIFF read by Qt aborted the process.
TEST(PictureInput, DamagedTiffTwiceIsRefusedTwice) {
    const QByteArray tiff = QByteArray::fromBase64(
        "TU0AKgH/AQz6DAwwDAwMDAwAAAAAAAAAAO3t7e1J7e3t7e3t7e3t7e3t7e0fAAAAAAAAAO3t7e3t7f8M4A==");
    for (int i = 0; i < 2; ++i) {
        const DecodedPicture p = DecodePictureData(tiff, QStringLiteral("tif"));
        EXPECT_FALSE(p.Ok());
        EXPECT_FALSE(p.error.isEmpty());
    }
    EXPECT_FALSE(LibraryImage(tiff, 6).IsValid());
}

TEST(PictureInput, MetafilesHaveNoWriter) {
    test::ScopedDataDir dir;
    QString error;
    EXPECT_FALSE(SavePictureByExtension(test::GradientImage(8, 8),
                                        dir.File(QStringLiteral("x.emf")), QStringLiteral("emf"),
                                        &error));
    EXPECT_TRUE(error.contains(QStringLiteral("EMF")));
    EXPECT_FALSE(QFile::exists(dir.File(QStringLiteral("x.emf"))));
}

TEST(PictureFile, JpegExifReadPixelsAsStored) {
    // A JPEG with an APP1 EXIF block whose orientation is 6 (turn right to view).
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        test::GradientImage(40, 20).save(&buffer, "JPEG", 90);
    }
    const QByteArray tiff =
        QByteArray("II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x06\0\0\0\0\0\0\0", 26);
    QByteArray app1("\xFF\xE1", 2);
    app1.append(char(0)).append(char(2 + 6 + tiff.size()));
    app1.append(QByteArray("Exif\0\0", 6)).append(tiff);
    jpeg.insert(2, app1);
    test::ScopedDataDir dir;
    const QString path = dir.File(QStringLiteral("exif.jpg"));
    ASSERT_TRUE(test::WriteAll(path, jpeg));
    CPictureFile file;
    ASSERT_TRUE(file.Load(path)) << file.ErrorString().toStdString();
    EXPECT_EQ(file.Picture()->GetType(), 3);
    EXPECT_EQ(file.ExifOrientation(), 6);
    EXPECT_EQ(file.Picture()->GetWidth(), 40); // not turned
    EXPECT_EQ(file.Picture()->GetHeight(), 20);
}

} // namespace
} // namespace mosaiq
