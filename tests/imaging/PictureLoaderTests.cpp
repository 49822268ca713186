#include "imaging/encode/JpegCompressor.h"
#include "imaging/decode/PictureDecoder.h"
#include "imaging/decode/PictureLoaders.h"

#include "ImagingTestFiles.h"
#include "common/TestSupport.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <vector>

namespace mosaiq {
namespace {

using test::FilledImage;
using test::Near;

TEST(FitSize, Cases) {
    EXPECT_EQ(FitSize(4000, 3000, 800, 600, false), QSize(800, 600));
    EXPECT_EQ(FitSize(400, 300, 800, 600, false), QSize(400, 300));
    EXPECT_EQ(FitSize(400, 300, 800, 600, true), QSize(800, 600));
    EXPECT_EQ(FitSize(0, 300, 800, 600, true), QSize(0, 0));
    EXPECT_EQ(FitSize(400, 300, 0, 600, false), QSize(0, 0));
    EXPECT_EQ(FitSize(1000, 100, 800, 600, false), QSize(800, 80)); // wider than the box
    EXPECT_EQ(FitSize(100, 1000, 800, 600, false), QSize(60, 600)); // taller than the box
    EXPECT_EQ(FitSize(801, 10, 800, 600, false), QSize(800, 9));    // truncated, not rounded
}

TEST(ResampleBilinear, HandComputedCase) {
    // One channel, 2 x 2 source [[0, 100], [200, 50]] to 3 x 3.
    // Row 1: i*SH = 2, y0 = 0, rem 2, ry = 1; column 1: j*SW = 2, x0 = 0, bx = 2.
    // value = (4 + 3*1*100 + 1*(3*200 + (0+50-100-200)*1) + (3*2 - 3*1)*50) / 9 = (4+300+350+150)/9
    // = 89
    const unsigned char src[4] = {0, 100, 200, 50};
    unsigned char dst[9] = {};
    ResampleBilinear(src, dst, 2, 2, 3, 3, 1, false);
    EXPECT_EQ(dst[0], 0);  // (0, 0): the upper-left sample itself
    EXPECT_EQ(dst[1], 67); // (1, 0): 0 * 1/3 + 100 * 2/3 = 66.7, rounded to 67
    EXPECT_EQ(dst[4], 89);
    // Row 2: i*SH = 4, y0 = 1, rem 1, lower row clamped to the last row.
    EXPECT_EQ(dst[6], 200);
    // Column 2 of row 2: x0 = 1 (4 div 3), bx = 1, right neighbour clamped: the sample 50.
    EXPECT_EQ(dst[8], 50);
}

TEST(ResampleBilinear, ReversedTurnsTopDownBgrIntoBottomUpRgb) {
    // 1 x 2 source, top pixel BGR (1, 2, 3), bottom (4, 5, 6); same size, reversed.
    const unsigned char src[6] = {1, 2, 3, 4, 5, 6};
    unsigned char dst[6] = {};
    ResampleBilinear(src, dst, 1, 2, 1, 2, 3, true);
    const unsigned char expected[6] = {6, 5, 4, 3, 2, 1};
    EXPECT_EQ(std::vector<unsigned char>(dst, dst + 6),
              std::vector<unsigned char>(expected, expected + 6));
}

TEST(WorkingPicture, Sizes) {
    EXPECT_EQ(WorkingPictureSize(2000, 1500), QSize(1600, 1200));
    EXPECT_EQ(WorkingPictureSize(3000, 1000), QSize(1600, 533));
    EXPECT_EQ(WorkingPictureSize(1601, 1199), QSize(1601, 1199));
    EXPECT_EQ(WorkingPictureSize(1000, 3000), QSize(400, 1200));
}

TEST(WorkingPicture, LoadsSmallPictureAtOwnSizeAndLargeDownscaled) {
    test::ScopedDataDir dir;
    const QString small = dir.File(QStringLiteral("small.png"));
    ASSERT_TRUE(test::GradientImage(1601, 1199).save(small));
    const WorkingPicture a = LoadWorkingPicture(small);
    ASSERT_TRUE(a.ok) << a.error.toStdString();
    EXPECT_EQ(a.decoder, 0);
    EXPECT_EQ(QSize(a.fullWidth, a.fullHeight), QSize(1601, 1199));
    EXPECT_EQ(QSize(a.width, a.height), QSize(1600, 1199));
    ASSERT_EQ(a.pixels.size(), 1600 * 1199 * 3);
    // Top-down BGR: pixel (10, 20) is blue 30, green 20, red 10.
    const auto* p =
        reinterpret_cast<const unsigned char*>(a.pixels.constData()) + (20 * 1600 + 10) * 3;
    EXPECT_EQ(p[0], 30);
    EXPECT_EQ(p[1], 20);
    EXPECT_EQ(p[2], 10);

    const QString large = dir.File(QStringLiteral("large.jpg"));
    ASSERT_TRUE(FilledImage(3000, 1000, Qt::darkCyan).save(large, "JPEG", 95));
    const WorkingPicture b = LoadWorkingPicture(large);
    ASSERT_TRUE(b.ok) << b.error.toStdString();
    EXPECT_EQ(b.decoder, 1);
    EXPECT_EQ(QSize(b.fullWidth, b.fullHeight), QSize(3000, 1000));
    EXPECT_EQ(QSize(b.width, b.height), QSize(1600, 533));
}

TEST(LoadThumbnailPixels, TransparentPngOnWhiteBottomUpRgb) {
    test::ScopedDataDir dir;
    const QString path = dir.File(QStringLiteral("cut.png"));
    QImage image(100, 100, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 50; y < 100; ++y) // bottom half opaque red
        for (int x = 0; x < 100; ++x)
            image.setPixel(x, y, qRgba(255, 0, 0, 255));
    ASSERT_TRUE(image.save(path));
    std::vector<unsigned char> out(80 * 80 * 3, 0);
    ASSERT_EQ(LoadThumbnailPixels(path, out.data(), 80, 80), 1);
    const auto at = [&](int x, int row) {
        return qRgb(out[(row * 80 + x) * 3], out[(row * 80 + x) * 3 + 1],
                    out[(row * 80 + x) * 3 + 2]);
    };
    // Buffer row 0 is the picture's bottom row (red); the last buffer row is its top (white).
    EXPECT_TRUE(Near(at(40, 5), qRgb(255, 0, 0), 2));
    EXPECT_TRUE(Near(at(40, 75), qRgb(255, 255, 255), 2));
}

TEST(LoadThumbnailPixels, StretchesWithoutLetterbox) {
    test::ScopedDataDir dir;
    const QString path = dir.File(QStringLiteral("wide.png"));
    QImage image(400, 200, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter(&image).fillRect(0, 0, 200, 200, Qt::green);
    ASSERT_TRUE(image.save(path));
    std::vector<unsigned char> out(80 * 80 * 3, 0);
    ASSERT_EQ(LoadThumbnailPixels(path, out.data(), 80, 80), 1);
    for (int row : {0, 40, 79}) {
        const unsigned char* left = &out[(row * 80 + 5) * 3];
        const unsigned char* right = &out[(row * 80 + 75) * 3];
        EXPECT_TRUE(Near(qRgb(left[0], left[1], left[2]), qRgb(0, 255, 0), 3)) << row;
        EXPECT_TRUE(Near(qRgb(right[0], right[1], right[2]), qRgb(0, 0, 255), 3)) << row;
    }
}

TEST(LoadThumbnailPixels, FailureLeavesOutputUntouched) {
    test::ScopedDataDir dir;
    std::vector<unsigned char> out(80 * 80 * 3, 7);
    QString reason;
    EXPECT_EQ(
        LoadThumbnailPixels(dir.File(QStringLiteral("missing.png")), out.data(), 80, 80, &reason),
        0);
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(out[0], 7);
    EXPECT_EQ(out.back(), 7);
}

TEST(LoadScaledPixels, SameSizeCopiesEveryColumnTopDownBgr) {
    test::ScopedDataDir dir;
    const QString path = dir.File(QStringLiteral("odd.png"));
    ASSERT_TRUE(test::GradientImage(7, 3).save(path)); // 7 is not a multiple of 4
    std::vector<unsigned char> out(7 * 3 * 3, 0);
    ASSERT_TRUE(LoadScaledPixels(path, out.data(), 7, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) {
            const unsigned char* p = &out[(y * 7 + x) * 3];
            EXPECT_EQ(p[0], (x + y) % 256);
            EXPECT_EQ(p[1], y);
            EXPECT_EQ(p[2], x);
        }
}

TEST(LoadScaledPixels, ResamplesToRequestedSize) {
    test::ScopedDataDir dir;
    const QString path = dir.File(QStringLiteral("big.jpg"));
    ASSERT_TRUE(FilledImage(1000, 600, QColor(200, 100, 50)).save(path, "JPEG", 95));
    std::vector<unsigned char> out(123 * 77 * 3, 0);
    ASSERT_TRUE(LoadScaledPixels(path, out.data(), 123, 77));
    const unsigned char* p = &out[(40 * 123 + 60) * 3];
    EXPECT_TRUE(Near(qRgb(p[2], p[1], p[0]), qRgb(200, 100, 50), 4));
}

TEST(DecodePicture, ReducedJpegDecodeKeepsAtLeastTheMinimum) {
    test::ScopedDataDir dir;
    const QString path = dir.File(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(FilledImage(4000, 3000, Qt::gray).save(path, "JPEG", 80));
    const DecodedPicture p = DecodePicture(path, QSize(160, 160));
    ASSERT_TRUE(p.Ok()) << p.error.toStdString();
    EXPECT_EQ(p.fullSize, QSize(4000, 3000));
    EXPECT_EQ(p.image.size(), QSize(500, 375)); // decoded at 1/8
    QSize full;
    const QImage display = DecodePictureAtLeast(path, QSize(1000, 700), &full);
    EXPECT_EQ(display.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(display.size(), QSize(1000, 750)); // 1/4; 1/8 would be narrower than asked
    EXPECT_EQ(full, QSize(4000, 3000));
}

TEST(DrawEncodedPicture, StoredThumbnailDrawnUprightAndTurned) {
    // A stored thumbnail holds the picture bottom row first: here the picture's top half is red
    // and its bottom half blue, so the stored rows start with blue.
    std::vector<unsigned char> rows(8 * 8 * 3, 0);
    for (int r = 0; r < 8; ++r)
        for (int x = 0; x < 8; ++x) {
            unsigned char* p = &rows[(r * 8 + x) * 3];
            p[0] = r < 4 ? 0 : 255; // red in the picture's top half (stored last)
            p[2] = r < 4 ? 255 : 0;
        }
    const QByteArray jpeg = CompressJpegToMemory(rows.data(), 8, 8, 100, true);
    ASSERT_FALSE(jpeg.isEmpty());
    QImage canvas(80, 80, QImage::Format_RGB32);
    {
        QPainter painter(&canvas);
        ASSERT_TRUE(DrawEncodedPicture(jpeg, 0, painter, QRect(0, 0, 80, 80), false));
    }
    EXPECT_TRUE(Near(canvas.pixel(40, 10), qRgb(255, 0, 0), 40));
    EXPECT_TRUE(Near(canvas.pixel(40, 70), qRgb(0, 0, 255), 40));
    {
        QPainter painter(&canvas);
        ASSERT_TRUE(DrawEncodedPicture(jpeg, 1, painter, QRect(0, 0, 80, 80), false));
    }
    // A quarter turn clockwise puts the picture's top on the right.
    EXPECT_TRUE(Near(canvas.pixel(70, 40), qRgb(255, 0, 0), 40));
    EXPECT_TRUE(Near(canvas.pixel(10, 40), qRgb(0, 0, 255), 40));
    QPainter painter(&canvas);
    EXPECT_FALSE(
        DrawEncodedPicture(QByteArray("not a picture"), 0, painter, QRect(0, 0, 8, 8), false));
}

} // namespace
} // namespace mosaiq
