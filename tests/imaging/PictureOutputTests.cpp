// The writers: encoder choice, atomic replacement, the collage export split, the thumbnail
// compressor and the image library's own operations.
#include "imaging/magick/ImageLibrary.h"
#include "imaging/encode/JpegCompressor.h"
#include "imaging/encode/PictureEncoder.h"
#include "imaging/magick/PictureFile.h"
#include "imaging/encode/PictureSaving.h"

#include "ImagingTestFiles.h"
#include "core/Notifier.h"
#include "common/TestSupport.h"

#include <QImageReader>

#include <Magick++.h>
#include <QtEndian>
#include <gtest/gtest.h>

#include <vector>

namespace mosaiq {
namespace {

// The first value of the first quantisation table of a JPEG stream (16 * quality scale).
int FirstQuantValue(const QByteArray& jpeg) {
    const qsizetype dqt = jpeg.indexOf(QByteArray("\xFF\xDB", 2));
    return dqt < 0 || dqt + 5 >= jpeg.size() ? -1 : quint8(jpeg.at(dqt + 5));
}

// The compression tag (259) of the first directory of a little-endian TIFF, or -1.
int TiffCompression(const QByteArray& tiff) {
    if (!tiff.startsWith(QByteArray("II*\0", 4)))
        return -1;
    const auto u16 = [&](qsizetype at) {
        return at + 2 <= tiff.size() ? int(qFromLittleEndian<quint16>(tiff.constData() + at)) : -1;
    };
    const qsizetype ifd = qFromLittleEndian<quint32>(tiff.constData() + 4);
    for (int i = 0; i < u16(ifd); ++i)
        if (u16(ifd + 2 + i * 12) == 259)
            return u16(ifd + 2 + i * 12 + 8);
    return -1;
}

TEST(PictureEncoder, ChoosesByPatternOrMime) {
    EXPECT_EQ(CPictureEncoder(QStringLiteral("/x/Photo.PNG")).MimeType(),
              QStringLiteral("image/png"));
    EXPECT_EQ(CPictureEncoder(QStringLiteral("image/jpeg")).MimeType(),
              QStringLiteral("image/jpeg"));
    EXPECT_EQ(CPictureEncoder(QStringLiteral("a.jpeg")).MimeType(), QStringLiteral("image/jpeg"));
    EXPECT_EQ(CPictureEncoder(QStringLiteral("scan.tif")).MimeType(), QStringLiteral("image/tiff"));
    EXPECT_EQ(CPictureEncoder(QStringLiteral("a.gif")).MimeType(), QStringLiteral("image/gif"));
    EXPECT_FALSE(CPictureEncoder(QStringLiteral("nodotname")).Found());
    EXPECT_FALSE(CPictureEncoder(QStringLiteral("a.pcx")).Found());
}

TEST(PictureEncoder, NoEncoderWritesNothing) {
    test::ScopedDataDir dir;
    const QString path = dir.File(QStringLiteral("nodotname"));
    CPictureEncoder encoder(path);
    EXPECT_EQ(encoder.SaveBitmap(test::GradientImage(4, 4), path), 1);
    EXPECT_FALSE(QFile::exists(path));
}

TEST(PictureEncoder, TiffIsLzwAndJpegHasItsQuality) {
    test::ScopedDataDir dir;
    const QString tif = dir.File(QStringLiteral("scan.tif"));
    ASSERT_EQ(CPictureEncoder(tif).SaveBitmap(test::GradientImage(32, 32), tif), 0);
    EXPECT_EQ(TiffCompression(test::ReadAll(tif)), 5); // 5: LZW

    const QString jpg = dir.File(QStringLiteral("q.jpg"));
    CPictureEncoder jpeg(jpg);
    jpeg.SetQuality(90);
    ASSERT_EQ(jpeg.SaveBitmap(test::GradientImage(32, 32), jpg), 0);
    EXPECT_EQ(FirstQuantValue(test::ReadAll(jpg)), 3); // 16 at quality 90 is scaled to 3
}

TEST(PictureSaving, FailedWriteKeepsTheOldFile) {
    test::ScopedDataDir dir;
    for (const QString& name : {QStringLiteral("keep.png"), QStringLiteral("keep.tga")}) {
        const QString path = dir.File(name);
        ASSERT_TRUE(test::WriteAll(path, QByteArray("old content")));
        EXPECT_FALSE(SavePictureByExtension(QImage(), path, QFileInfo(path).suffix()));
        EXPECT_EQ(test::ReadAll(path), QByteArray("old content")) << name.toStdString();
        // A successful write replaces it, leaving no temporary file behind.
        EXPECT_TRUE(
            SavePictureByExtension(test::GradientImage(8, 8), path, QFileInfo(path).suffix()));
        EXPECT_NE(test::ReadAll(path), QByteArray("old content"));
    }
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files).size(), 2);
}

TEST(PictureSaving, CanvasExportSplit) {
    test::ScopedDataDir dir;
    // A 16 x 16 bottom-up BGR canvas: bottom half blue, top half red.
    std::vector<unsigned char> canvas(16 * 16 * 3, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            canvas[size_t((y * 16 + x) * 3 + (y < 8 ? 0 : 2))] = 255;
    const struct {
        const char* ext;
        const char* qtFormat; // what the written file is, as Qt recognises it ("" for non-Qt)
    } cases[] = {{"jpg", "jpeg"}, {"jpeg", "jpeg"}, {"gif", "gif"}, {"bmp", "bmp"}, {"png", "png"},
                 {"tif", "tiff"}, {"tiff", "tiff"}, {"pnm", "ppm"}, {"pcx", ""},    {"tga", ""}};
    for (const auto& c : cases) {
        const QString ext = QString::fromLatin1(c.ext);
        const QString path = dir.File(QStringLiteral("canvas.") + ext);
        QString error;
        ASSERT_TRUE(ExportCanvasPixels(canvas.data(), 16, 16, path, ext, &error))
            << c.ext << error.toStdString();
        CPictureFile back;
        ASSERT_TRUE(back.Load(path)) << c.ext;
        const unsigned char* top = back.Picture()->GetBits(15); // rows counted from the bottom
        EXPECT_GT(top[2], 200) << c.ext;
        EXPECT_LT(top[0], 60) << c.ext;
        if (*c.qtFormat) {
            EXPECT_EQ(QImageReader(path).format(), QByteArray(c.qtFormat)) << c.ext;
        }
    }
    EXPECT_EQ(FirstQuantValue(test::ReadAll(dir.File(QStringLiteral("canvas.jpg")))), 3);
}

TEST(PictureSaving, PhotoAsGifKeepsItsColours) {
    // Enough pixels and colours for the coder's dictionary to fill and restart many times.
    QImage photo(700, 500, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y,
                           qRgb((x * 7 + y) % 256, (y * 3 + (x * x) % 97) % 256, (x ^ y) % 256));
    test::ScopedDataDir dir;
    const QString path = dir.File(QStringLiteral("photo.gif"));
    QString error;
    ASSERT_TRUE(SavePictureByExtension(photo, path, QStringLiteral("gif"), &error))
        << error.toStdString();
    for (int decoder = 0; decoder < 2; ++decoder) {
        QImage back;
        if (decoder == 0) {
            back = QImage(path, "GIF").convertToFormat(QImage::Format_RGB32);
        } else {
            CPictureFile file;
            ASSERT_TRUE(file.Load(path));
            back = file.Picture()->ToImage();
        }
        ASSERT_EQ(back.size(), photo.size()) << decoder;
        // Dithering moves single pixels; averages over 10 x 10 blocks stay close.
        double worst = 0;
        for (int by = 0; by < 50; ++by)
            for (int bx = 0; bx < 70; ++bx) {
                long sumA = 0, sumB = 0;
                for (int y = by * 10; y < by * 10 + 10; ++y)
                    for (int x = bx * 10; x < bx * 10 + 10; ++x) {
                        sumA += qGreen(photo.pixel(x, y));
                        sumB += qGreen(back.pixel(x, y));
                    }
                worst = std::max(worst, std::abs(double(sumA - sumB)) / 100.0);
            }
        EXPECT_LT(worst, 24.0) << decoder;
    }
}

TEST(CompressJpegToMemory, OnePixelIsACompleteStream) {
    const unsigned char pixel[3] = {250, 10, 10};
    const QByteArray jpeg = CompressJpegToMemory(pixel, 1, 1, 75, true);
    ASSERT_GE(jpeg.size(), 4);
    EXPECT_TRUE(jpeg.startsWith(QByteArray("\xFF\xD8", 2)));
    EXPECT_TRUE(jpeg.endsWith(QByteArray("\xFF\xD9", 2)));
    const QImage back = QImage::fromData(jpeg, "JPEG");
    ASSERT_EQ(back.size(), QSize(1, 1));
    EXPECT_TRUE(test::Near(back.pixel(0, 0), qRgb(250, 10, 10), 12));
}

TEST(CompressJpegToMemory, GreyAndEmptyAndFatalError) {
    const unsigned char pixels[6] = {255, 0, 0, 0, 0, 255};
    const QImage grey = QImage::fromData(CompressJpegToMemory(pixels, 2, 1, 100, false), "JPEG");
    ASSERT_FALSE(grey.isNull());
    EXPECT_TRUE(grey.isGrayscale());
    EXPECT_NEAR(qGray(grey.pixel(0, 0)), 76, 3); // 0.299 * 255
    EXPECT_TRUE(CompressJpegToMemory(nullptr, 1, 1, 75, true).isNull());
    EXPECT_TRUE(CompressJpegToMemory(pixels, 0, 1, 75, true).isNull());

    RecordingNotifier notifier;
    ScopedNotifier scoped(&notifier);
    std::vector<unsigned char> wide(70000 * 3, 0); // wider than JPEG allows: a fatal error
    EXPECT_TRUE(CompressJpegToMemory(wide.data(), 70000, 1, 75, true).isNull());
    ASSERT_EQ(notifier.messages.size(), 1);
    EXPECT_TRUE(notifier.messages.front().startsWith(QStringLiteral("JPEG Fatal Error")));
}

TEST(ImageLibrary, PolicyLimitsAreOurs) {
    EnsureImageLibrary();
    EXPECT_EQ(MagickCore::GetMagickResourceLimit(MagickCore::WidthResource), 16384u);
    EXPECT_EQ(MagickCore::GetMagickResourceLimit(MagickCore::AreaResource), 256000000u);
    // A time limit would end the whole process once the program has run that long.
    EXPECT_GT(MagickCore::GetMagickResourceLimit(MagickCore::TimeResource), 1ull << 40);
}

TEST(ImageLibrary, RowsFromTheBottomAlphaAndResample) {
    QImage image(3, 2, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(255, 0, 0, 255)); // top-left red, opaque
    image.setPixel(0, 1, qRgba(0, 0, 255, 128)); // bottom-left blue, half transparent
    for (int x = 1; x < 3; ++x) {
        image.setPixel(x, 0, qRgba(0, 255, 0, 255));
        image.setPixel(x, 1, qRgba(0, 255, 0, 255));
    }
    LibraryImage picture = LibraryImage::FromImage(image);
    ASSERT_TRUE(picture.IsValid());
    EXPECT_EQ(picture.GetBits(0)[0], 255); // bottom row first, blue byte first
    EXPECT_EQ(picture.GetBits(1)[2], 255); // top row: red
    EXPECT_EQ(picture.GetBits(2), nullptr);
    EXPECT_EQ(picture.AlphaGet(0, 0), 128);
    EXPECT_EQ(picture.AlphaGet(0, 1), 255);
    ASSERT_TRUE(picture.Resample(30, 20));
    EXPECT_EQ(picture.GetWidth(), 30);
    EXPECT_EQ(picture.GetHeight(), 20);
    EXPECT_FALSE(picture.Resample(0, 5));
}

TEST(ImageLibrary, Filters) {
    QImage dot(5, 5, QImage::Format_RGB32);
    dot.fill(Qt::black);
    dot.setPixel(2, 2, qRgb(255, 255, 255));
    const auto white = [](LibraryImage& p) {
        int n = 0;
        for (int y = 0; y < p.GetHeight(); ++y)
            for (int x = 0; x < p.GetWidth(); ++x)
                n += p.GetBits(y)[3 * x] == 255;
        return n;
    };
    LibraryImage dilated = LibraryImage::FromImage(dot);
    ASSERT_TRUE(dilated.Dilate(3));
    EXPECT_EQ(white(dilated), 9);
    LibraryImage eroded = LibraryImage::FromImage(dot);
    ASSERT_TRUE(eroded.Erode(3));
    EXPECT_EQ(white(eroded), 0);
    LibraryImage median = LibraryImage::FromImage(dot);
    ASSERT_TRUE(median.Median(3));
    EXPECT_EQ(white(median), 0); // a single bright pixel is noise
    LibraryImage edge = LibraryImage::FromImage(dot);
    ASSERT_TRUE(edge.Edge(3));
    EXPECT_EQ(white(edge), 9);
    LibraryImage contour = LibraryImage::FromImage(dot);
    ASSERT_TRUE(contour.Contour());
    EXPECT_EQ(white(contour), 16); // everything but the dot's neighbourhood

    const int identity[9] = {0, 0, 0, 0, 1, 0, 0, 0, 0};
    LibraryImage same = LibraryImage::FromImage(test::GradientImage(6, 4));
    ASSERT_TRUE(same.Filter(identity, 3, 1, 0));
    EXPECT_EQ(same.ToImage(), test::GradientImage(6, 4));
    const int box[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    LibraryImage blurred = LibraryImage::FromImage(dot);
    ASSERT_TRUE(blurred.Filter(box, 3, 9, 10));
    EXPECT_EQ(blurred.GetBits(2)[3 * 2], 255 / 9 + 10);
    EXPECT_EQ(blurred.GetBits(0)[0], 10);
    EXPECT_FALSE(blurred.Filter(box, 4, 9, 0));

    LibraryImage noisy = LibraryImage::FromImage(test::FilledImage(20, 20, Qt::gray));
    ASSERT_TRUE(noisy.Noise(100));
    EXPECT_NE(noisy.ToImage(), test::FilledImage(20, 20, Qt::gray));
    LibraryImage jittered = LibraryImage::FromImage(test::GradientImage(20, 20));
    ASSERT_TRUE(jittered.Jitter(2));
    EXPECT_NE(jittered.ToImage(), test::GradientImage(20, 20));
}

TEST(ImageLibrary, EscapeStopsAFilterAndKeepsThePicture) {
    LibraryImage picture = LibraryImage::FromImage(test::GradientImage(50, 50));
    picture.SetEscape(1);
    EXPECT_FALSE(picture.Median(5));
    EXPECT_EQ(picture.ToImage(), test::GradientImage(50, 50));
    picture.SetEscape(0);
    EXPECT_TRUE(picture.Median(5));
}

TEST(ImageLibrary, PictureFromPixelsAnyWidth) {
    // 3 x 2 bottom-up BGR: 3 * 3 is not a multiple of 4, every column is kept.
    const unsigned char pixels[18] = {1,  2,  3,  4,  5,  6,  7,  8,  9,
                                      10, 11, 12, 13, 14, 15, 16, 17, 18};
    CPictureFile file;
    ASSERT_TRUE(file.PictureFromPixels(pixels, 3, 2));
    EXPECT_EQ(
        std::vector<unsigned char>(file.Picture()->GetBits(0), file.Picture()->GetBits(0) + 9),
        std::vector<unsigned char>(pixels, pixels + 9));
    EXPECT_EQ(file.Picture()->GetBits(1)[8], 18);
    EXPECT_FALSE(file.PictureFromPixels(pixels, 0, 2));
}

} // namespace
} // namespace mosaiq
