// The streaming writers: odd widths (BMP row padding), bands of any height, the colour and
// resolution marks, and files that are not completed leaving the target as it was.
#include "common/TestSupport.h"
#include "imaging/encode/BandWriter.h"

#include <QColorSpace>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>

#include <zlib.h>

#include <gtest/gtest.h>

#include <vector>

using namespace mosaiq;

namespace {

QImage Noise(int w, int h) {
    QRandomGenerator random(5);
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, 0xFF000000u | (random.generate() & 0xFFFFFFu));
    return image;
}

bool Write(const QString& ext, const QString& path, const QImage& picture, int bandRows, int dpi,
           QString* error = nullptr) {
    const auto writer = MakeBandWriter(ext);
    if (!writer || !writer->Begin(path, picture.size(), dpi))
        return false;
    for (int top = 0; top < picture.height(); top += bandRows)
        if (!writer->WriteBand(
                picture.copy(0, top, picture.width(), std::min(bandRows, picture.height() - top))))
            return false;
    const bool ok = writer->Finish();
    if (error)
        *error = writer->ErrorString();
    return ok;
}

} // namespace

TEST(BandWriter, LosslessTypesGiveThePicturesBackAtAnyBandHeight) {
    QTemporaryDir dir;
    const QImage picture = Noise(37, 29); // odd width: BMP rows are padded
    for (const char* ext : {"png", "bmp", "tif", "tiff"}) {
        for (const int rows : {1, 8, 29, 100}) {
            const QString path = dir.filePath(QStringLiteral("p%1.%2").arg(rows).arg(ext));
            ASSERT_TRUE(Write(QString::fromLatin1(ext), path, picture, rows, 96)) << ext;
            QImage read = QImage(path).convertToFormat(QImage::Format_RGB32);
            read.setColorSpace(picture.colorSpace()); // the PNG says sRGB; pixels compared
            EXPECT_EQ(read, picture) << ext << " bands of " << rows;
            EXPECT_NEAR(read.dotsPerMeterX(), DotsPerMetre(96), 1) << ext;
        }
    }
    EXPECT_EQ(MakeBandWriter(QStringLiteral("gif")), nullptr);
    EXPECT_NE(MakeBandWriter(QStringLiteral("JPEG")), nullptr);
}

TEST(BandWriter, PngSaysSrgbAndWritesNoResolutionWithoutOne) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plain.png"));
    ASSERT_TRUE(Write(QStringLiteral("png"), path, Noise(20, 10), 4, 0));
    const QByteArray bytes = test::ReadAll(path);
    EXPECT_TRUE(bytes.contains("sRGB"));
    EXPECT_FALSE(bytes.contains("pHYs"));
    ASSERT_TRUE(Write(QStringLiteral("png"), path, Noise(20, 10), 4, 300));
    EXPECT_TRUE(test::ReadAll(path).contains("pHYs"));
}

TEST(BandWriter, AnUnfinishedOrOverfullPictureLeavesTheTargetAsItWas) {
    QTemporaryDir dir;
    for (const char* ext : {"png", "bmp", "tif", "jpg"}) {
        const QString path = dir.filePath(QStringLiteral("kept.") + ext);
        ASSERT_TRUE(test::WriteAll(path, QByteArray("old")));
        const QImage picture = Noise(16, 16);
        {
            const auto writer = MakeBandWriter(QString::fromLatin1(ext));
            ASSERT_TRUE(writer->Begin(path, picture.size(), 72));
            ASSERT_TRUE(writer->WriteBand(picture.copy(0, 0, 16, 8)));
            EXPECT_FALSE(writer->Finish()) << ext; // half the rows
            EXPECT_FALSE(writer->ErrorString().isEmpty());
        }
        {
            const auto writer = MakeBandWriter(QString::fromLatin1(ext));
            ASSERT_TRUE(writer->Begin(path, QSize(16, 8), 72));
            EXPECT_FALSE(writer->WriteBand(picture) && writer->Finish()) << ext; // too many rows
        }
        EXPECT_EQ(test::ReadAll(path), QByteArray("old")) << ext;
    }
}

namespace {

// The IDAT chunks of a PNG file joined: its zlib stream.
QByteArray ImageData(const QByteArray& png) {
    QByteArray stream;
    for (qsizetype at = 8; at + 12 <= png.size();) {
        const qsizetype length = qFromBigEndian<quint32>(png.constData() + at);
        if (png.mid(at + 4, 4) == "IDAT")
            stream += png.mid(at + 8, length);
        at += 12 + length;
    }
    return stream;
}

} // namespace

// A picture of many megabytes is compressed in parts on several threads and joined into one
// stream: zlib itself inflates it (checking its checksum) to every filtered row, the picture reads
// back exactly, and a writer dropped with parts still in flight leaves the target as it was.
TEST(BandWriter, ALargePngIsOneStreamWhateverItsParts) {
    QTemporaryDir dir;
    const QImage picture = Noise(1500, 3001); // about 13.5 MB of filtered rows
    const QString path = dir.filePath(QStringLiteral("large.png"));
    ASSERT_TRUE(Write(QStringLiteral("png"), path, picture, 97, 0));
    const QByteArray stream = ImageData(test::ReadAll(path));
    ASSERT_GT(stream.size(), 2);
    EXPECT_EQ(quint8(stream[0]), 0x78); // a zlib header
    const qsizetype filtered = qsizetype(1500 * 3 + 1) * 3001;
    std::vector<uchar> inflated(size_t(filtered) + 1);
    uLongf length = uLongf(inflated.size());
    ASSERT_EQ(uncompress(inflated.data(), &length, reinterpret_cast<const Bytef*>(stream.constData()),
                         uLong(stream.size())),
              Z_OK);
    EXPECT_EQ(qsizetype(length), filtered);
    QImage read = QImage(path).convertToFormat(QImage::Format_RGB32);
    read.setColorSpace(picture.colorSpace());
    EXPECT_EQ(read, picture);

    ASSERT_TRUE(test::WriteAll(path, QByteArray("old")));
    {
        const auto writer = MakeBandWriter(QStringLiteral("png"));
        ASSERT_TRUE(writer->Begin(path, picture.size(), 0));
        ASSERT_TRUE(writer->WriteBand(picture.copy(0, 0, 1500, 2500)));
    }
    EXPECT_EQ(test::ReadAll(path), QByteArray("old"));
}
