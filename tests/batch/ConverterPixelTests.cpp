// What a conversion keeps: transparency where the format holds it, colour values elsewhere, and
// the input files themselves.
#include "batch/BatchConverter.h"

#include "common/TestSupport.h"
#include "imaging/decode/PictureDecoder.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

constexpr QRgb kHidden = qRgba(200, 30, 40, 0); // colour under a fully transparent pixel
constexpr QRgb kHalf = qRgba(10, 200, 30, 128); // half transparent
constexpr QRgb kOpaque = qRgba(20, 40, 250, 255);

// A 16 x 16 PNG: left half hidden colour, top right half transparent, bottom right opaque.
QString WriteTransparentPng(const test::ScopedDataDir& dir, const QString& name) {
    QImage image(16, 16, QImage::Format_ARGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            image.setPixel(x, y, x < 8 ? kHidden : (y < 8 ? kHalf : kOpaque));
    const QString path = dir.File(name);
    EXPECT_TRUE(image.save(path, "PNG"));
    return path;
}

QImage ConvertOne(const test::ScopedDataDir& dir, const QString& input, const char* format) {
    BatchSettings settings;
    settings.files = {input};
    settings.format = BatchFormatIndex(QLatin1String(format));
    settings.outputDir = dir.File(QStringLiteral("out"));
    const BatchSummary summary = BatchConverter(settings).Run();
    EXPECT_EQ(summary.converted, 1) << format;
    const QString output =
        BatchOutputPath(settings.outputDir, input, QString::fromLatin1(format).toLower());
    // Read back by the program's own decoders (Qt reads no TGA without the 2.0 footer).
    const DecodedPicture picture = DecodePictureStraight(output);
    EXPECT_TRUE(picture.Ok()) << output.toStdString() << ": " << picture.error.toStdString();
    return picture.image.convertToFormat(QImage::Format_ARGB32);
}

TEST(ConverterPixels, TransparencyKeptByFormatsThatHoldIt) {
    test::ScopedDataDir dir;
    const QString input = WriteTransparentPng(dir, QStringLiteral("t.png"));
    for (const char* format : {"PNG", "TIF", "TGA"}) {
        const QImage out = ConvertOne(dir, input, format);
        ASSERT_EQ(out.size(), QSize(16, 16)) << format;
        EXPECT_EQ(qAlpha(out.pixel(2, 2)), 0) << format;
        EXPECT_NEAR(qAlpha(out.pixel(12, 2)), 128, 1) << format;
        EXPECT_EQ(out.pixel(12, 12), kOpaque) << format;
        EXPECT_NEAR(qGreen(out.pixel(12, 2)), 200, 2) << format; // not darkened by the alpha
    }
    // GIF holds one transparent colour: the clear pixels stay clear, the opaque ones opaque.
    const QImage gif = ConvertOne(dir, input, "GIF");
    EXPECT_EQ(qAlpha(gif.pixel(2, 2)), 0);
    EXPECT_EQ(qAlpha(gif.pixel(12, 12)), 255);
    EXPECT_NEAR(qBlue(gif.pixel(12, 12)), 250, 12);
}

TEST(ConverterPixels, FormatsWithoutAlphaKeepTheColourValues) {
    test::ScopedDataDir dir;
    const QString input = WriteTransparentPng(dir, QStringLiteral("t.png"));
    for (const char* format : {"BMP", "JPG", "PNM", "PCX"}) {
        const QImage out = ConvertOne(dir, input, format);
        ASSERT_EQ(out.size(), QSize(16, 16)) << format;
        const int tolerance = QLatin1String(format) == QLatin1String("JPG") ? 14 : 0;
        // Under the transparent pixels: the stored colour, not black.
        EXPECT_NEAR(qRed(out.pixel(2, 2)), 200, tolerance) << format;
        EXPECT_NEAR(qGreen(out.pixel(2, 2)), 30, tolerance) << format;
        EXPECT_NEAR(qGreen(out.pixel(13, 2)), 200, tolerance) << format;
        EXPECT_NEAR(qBlue(out.pixel(13, 13)), 250, tolerance) << format;
        EXPECT_EQ(qAlpha(out.pixel(2, 2)), 255) << format;
    }
}

TEST(ConverterPixels, AnOutputThatWouldReplaceAnInputIsNotWritten) {
    test::ScopedDataDir dir;
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(dir.File(QStringLiteral("a.jpg"))));
    ASSERT_TRUE(picture.save(dir.File(QStringLiteral("b.png"))));
    ASSERT_TRUE(picture.save(dir.File(QStringLiteral("b.bmp"))));
    ASSERT_TRUE(picture.save(dir.File(QStringLiteral("c.bmp"))));
    const QByteArray jpgBefore = test::ReadAll(dir.File(QStringLiteral("a.jpg")));
    const QByteArray pngBefore = test::ReadAll(dir.File(QStringLiteral("b.png")));
    // The output folder reached through a symbolic link is the same folder.
    ASSERT_TRUE(QFile::link(dir.Path(), dir.File(QStringLiteral("link"))));
    for (const QString& outputDir : {dir.Path(), dir.File(QStringLiteral("link"))}) {
        BatchSettings settings;
        settings.files = {dir.File(QStringLiteral("a.jpg"))};
        settings.format = BatchFormatIndex(QStringLiteral("JPG"));
        settings.outputDir = outputDir;
        QStringList reasons;
        const BatchSummary summary =
            BatchConverter(settings).Run([&](const BatchFileResult& r) { reasons << r.reason; });
        EXPECT_EQ(summary.converted, 0);
        EXPECT_EQ(summary.skipped, 1);
        ASSERT_EQ(reasons.size(), 1);
        EXPECT_TRUE(reasons.front().contains(QStringLiteral("replace an input")));
        EXPECT_EQ(test::ReadAll(dir.File(QStringLiteral("a.jpg"))), jpgBefore);
    }
    // b.png to PNG would replace itself and is skipped; b.bmp, whose plain name the run gave
    // b.png first, is written as "b (2).png"; c.bmp has no clash.
    BatchSettings settings;
    settings.files = {dir.File(QStringLiteral("b.png")), dir.File(QStringLiteral("b.bmp")),
                      dir.File(QStringLiteral("c.bmp"))};
    settings.format = BatchFormatIndex(QStringLiteral("PNG"));
    settings.outputDir = dir.Path();
    const BatchSummary summary = BatchConverter(settings).Run();
    EXPECT_EQ(summary.converted, 2);
    EXPECT_EQ(summary.skipped, 1);
    EXPECT_EQ(test::ReadAll(dir.File(QStringLiteral("b.png"))), pngBefore);
    EXPECT_TRUE(QFile::exists(dir.File(QStringLiteral("b (2).png"))));
    EXPECT_TRUE(QFile::exists(dir.File(QStringLiteral("c.png"))));
    EXPECT_EQ(
        QDir(dir.Path()).entryList({QStringLiteral(".mosaiq-probe*")}, QDir::Hidden | QDir::Files),
        QStringList());
}

} // namespace
} // namespace mosaiq
