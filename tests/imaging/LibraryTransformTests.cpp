// The image library's transforms and tone calls, each on a small picture with a known answer.
#include "imaging/magick/ImageLibrary.h"

#include <QImage>

#include <cmath>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

// 3 x 2: distinct colours, so every move of a pixel shows.
QImage Six() {
    QImage image(3, 2, QImage::Format_RGB32);
    const QRgb c[6] = {qRgb(10, 20, 30), qRgb(40, 50, 60), qRgb(70, 80, 90),
                       qRgb(100, 110, 120), qRgb(130, 140, 150), qRgb(160, 170, 180)};
    for (int i = 0; i < 6; ++i)
        image.setPixel(i % 3, i / 3, c[i]);
    return image;
}

QImage Grey(std::initializer_list<int> values) {
    QImage image(int(values.size()), 1, QImage::Format_RGB32);
    int x = 0;
    for (int v : values)
        image.setPixel(x++, 0, qRgb(v, v, v));
    return image;
}

template <typename Op> QImage Through(const QImage& source, Op op) {
    LibraryImage picture = LibraryImage::FromImage(source);
    EXPECT_TRUE(op(picture));
    return picture.ToImage();
}

int RedAt(const QImage& image, int x, int y = 0) { return qRed(image.pixel(x, y)); }

} // namespace

TEST(LibraryTransforms, MirrorFlipAndQuarterTurns) {
    const QImage six = Six();
    const QImage mirrored = Through(six, [](LibraryImage& p) { return p.Mirror(); });
    EXPECT_EQ(mirrored.pixel(0, 0), six.pixel(2, 0));
    EXPECT_EQ(mirrored.pixel(2, 1), six.pixel(0, 1));
    const QImage flipped = Through(six, [](LibraryImage& p) { return p.Flip(); });
    EXPECT_EQ(flipped.pixel(1, 0), six.pixel(1, 1));
    const QImage right = Through(six, [](LibraryImage& p) { return p.RotateRight(); });
    ASSERT_EQ(right.size(), QSize(2, 3));
    EXPECT_EQ(right.pixel(1, 0), six.pixel(0, 0)); // top-left goes to the top-right corner
    EXPECT_EQ(right.pixel(0, 2), six.pixel(2, 1));
    const QImage left = Through(six, [](LibraryImage& p) { return p.RotateLeft(); });
    ASSERT_EQ(left.size(), QSize(2, 3));
    EXPECT_EQ(left.pixel(0, 2), six.pixel(0, 0)); // top-left goes to the bottom-left corner
    const QImage half = Through(six, [](LibraryImage& p) { return p.Rotate2(180); });
    ASSERT_EQ(half.size(), QSize(3, 2));
    EXPECT_EQ(half.pixel(0, 0), six.pixel(2, 1));
}

TEST(LibraryTransforms, TurnsAndShearsGrowThePicture) {
    QImage square(20, 20, QImage::Format_RGB32);
    square.fill(qRgb(200, 200, 200));
    const QImage turned = Through(square, [](LibraryImage& p) { return p.Rotate2(45); });
    EXPECT_GE(turned.width(), 28);
    EXPECT_EQ(turned.pixel(0, 0), qRgb(0, 0, 0)); // a corner outside the turned square
    EXPECT_EQ(turned.pixel(turned.width() / 2, turned.height() / 2), qRgb(200, 200, 200));
    const QImage same = Through(square, [](LibraryImage& p) { return p.Skew(0, 0); });
    EXPECT_EQ(same.size(), square.size());
    const QImage sheared = Through(square, [](LibraryImage& p) { return p.Skew(1, 0); });
    EXPECT_GE(sheared.width(), 39);
}

TEST(LibraryTransforms, ResampleByMethod) {
    QImage flat(6, 4, QImage::Format_RGB32);
    flat.fill(qRgb(90, 140, 200));
    for (int method : {0, 1, 2}) {
        const QImage small = Through(flat, [=](LibraryImage& p) { return p.Resample2(3, 2, method); });
        ASSERT_EQ(small.size(), QSize(3, 2)) << method;
        for (int x = 0; x < 3; ++x)
            EXPECT_NEAR(qBlue(small.pixel(x, 1)), 200, 1) << method;
    }
    // Nearest neighbour takes source pixels as they are.
    QImage checker(4, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            checker.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    const QImage nearest = Through(checker, [](LibraryImage& p) { return p.Resample2(2, 2, 0); });
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_TRUE(RedAt(nearest, x, y) == 0 || RedAt(nearest, x, y) == 255);
    const QImage wide = Through(checker, [](LibraryImage& p) { return p.Resample2(8, 3, 0); });
    EXPECT_EQ(wide.size(), QSize(8, 3));
    LibraryImage picture = LibraryImage::FromImage(checker);
    EXPECT_FALSE(picture.Resample2(0, 3, 1));
    EXPECT_FALSE(picture.Resample2(100000, 3, 1));
}

TEST(LibraryTransforms, ColourValueCalls) {
    const QImage negative = Through(Six(), [](LibraryImage& p) { return p.Negative(); });
    EXPECT_EQ(negative.pixel(0, 0), qRgb(245, 235, 225));
    const QImage grey = Through(Six(), [](LibraryImage& p) { return p.GrayScale(); });
    const QRgb g = grey.pixel(2, 1);
    EXPECT_EQ(qRed(g), qGreen(g));
    EXPECT_EQ(qGreen(g), qBlue(g));
    EXPECT_NEAR(qRed(g), 0.299 * 160 + 0.587 * 170 + 0.114 * 180, 1.0);
    const QImage shifted = Through(Six(), [](LibraryImage& p) { return p.ShiftRGB(100, -30, 200); });
    EXPECT_EQ(shifted.pixel(0, 0), qRgb(110, 0, 230));
    EXPECT_EQ(shifted.pixel(2, 1), qRgb(255, 140, 255));
    const QImage light = Through(Grey({0, 100, 128, 200}), [](LibraryImage& p) { return p.Light(10, 50); });
    EXPECT_EQ(RedAt(light, 0), 0);   // (0 - 128) * 1.5 + 138 < 0
    EXPECT_EQ(RedAt(light, 1), 96);  // (100 - 128) * 150 / 100 + 138
    EXPECT_EQ(RedAt(light, 2), 138);
    EXPECT_EQ(RedAt(light, 3), 246);
    const QImage threshold = Through(Grey({10, 128, 129, 250}), [](LibraryImage& p) { return p.Threshold(128); });
    EXPECT_EQ(RedAt(threshold, 0), 0);
    EXPECT_EQ(RedAt(threshold, 1), 0);
    EXPECT_EQ(RedAt(threshold, 2), 255);
    EXPECT_EQ(RedAt(threshold, 3), 255);
    const QImage gamma = Through(Grey({0, 64, 255}), [](LibraryImage& p) { return p.Gamma(2.0f); });
    EXPECT_EQ(RedAt(gamma, 0), 0);
    EXPECT_NEAR(RedAt(gamma, 1), 255 * std::sqrt(64 / 255.0), 1.0);
    EXPECT_EQ(RedAt(gamma, 2), 255);
    LibraryImage bad = LibraryImage::FromImage(Six());
    EXPECT_FALSE(bad.Gamma(0.0f));
}

TEST(LibraryTransforms, ColorizeBlendsTowardTheColour) {
    // Hue 0 at full saturation and middle lightness is pure red (255, 0, 0) within rounding.
    const QImage full = Through(Six(), [](LibraryImage& p) { return p.Colorize(0, 255, 1.0f); });
    EXPECT_GE(qRed(full.pixel(1, 1)), 254);
    EXPECT_LE(qGreen(full.pixel(1, 1)), 1);
    const QImage none = Through(Six(), [](LibraryImage& p) { return p.Colorize(0, 255, 0.0f); });
    EXPECT_EQ(none, Six());
    const QImage half = Through(Grey({0}), [](LibraryImage& p) { return p.Colorize(0, 255, 0.5f); });
    EXPECT_NEAR(qRed(half.pixel(0, 0)), 128, 1);
    EXPECT_NEAR(qGreen(half.pixel(0, 0)), 0, 1);
}

TEST(LibraryTransforms, HistogramCalls) {
    const QImage stretched = Through(Grey({50, 100, 150}), [](LibraryImage& p) { return p.HistogramStretch(); });
    EXPECT_EQ(RedAt(stretched, 0), 0);
    EXPECT_NEAR(RedAt(stretched, 1), 128, 1);
    EXPECT_EQ(RedAt(stretched, 2), 255);
    const QImage normalised = Through(Grey({50, 100, 150}), [](LibraryImage& p) { return p.HistogramNormalize(); });
    EXPECT_EQ(RedAt(normalised, 0), 0);
    EXPECT_EQ(RedAt(normalised, 2), 255);
    const QImage equalised = Through(Grey({10, 10, 10, 20}), [](LibraryImage& p) { return p.HistogramEqualize(); });
    EXPECT_LT(RedAt(equalised, 0), RedAt(equalised, 3));
    EXPECT_EQ(RedAt(equalised, 3), 255);
    const QImage root = Through(Grey({0, 64, 255}), [](LibraryImage& p) { return p.HistogramRoot(); });
    EXPECT_EQ(RedAt(root, 0), 0);
    EXPECT_EQ(RedAt(root, 1), 128); // 255 * sqrt(64 / 255) = 127.75
    EXPECT_EQ(RedAt(root, 2), 255);
    const QImage log = Through(Grey({0, 15, 255}), [](LibraryImage& p) { return p.HistogramLog(); });
    EXPECT_EQ(RedAt(log, 0), 0);
    EXPECT_EQ(RedAt(log, 1), 128); // 255 * log(16) / log(256) = 127.5
    EXPECT_EQ(RedAt(log, 2), 255);
}

TEST(LibraryTransforms, DitherAndCircleTransform) {
    QImage mid(16, 16, QImage::Format_RGB32);
    mid.fill(qRgb(128, 128, 128));
    for (int method : {0, 1}) {
        const QImage dithered = Through(mid, [=](LibraryImage& p) { return p.Dither(method); });
        int white = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const int v = RedAt(dithered, x, y);
                ASSERT_TRUE(v == 0 || v == 255) << method << ": " << v;
                white += v == 255;
            }
        EXPECT_NEAR(white, 128, 24) << method; // half the pixels of a middle grey
    }
    const QImage six = Six();
    EXPECT_EQ(Through(six, [](LibraryImage& p) { return p.CircleTransform(0, 0.0f); }), six);
    QImage ring(21, 21, QImage::Format_RGB32);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 21; ++x)
            ring.setPixel(x, y, qRgb(x * 12, y * 12, 0));
    const QImage swirled = Through(ring, [](LibraryImage& p) { return p.CircleTransform(0, 90.0f); });
    EXPECT_EQ(swirled.size(), ring.size());
    EXPECT_NE(swirled, ring);
}

TEST(LibraryTransforms, AlphaIsKeptAndMovesWithThePixels) {
    QImage clear(2, 1, QImage::Format_ARGB32);
    clear.setPixel(0, 0, qRgba(10, 20, 30, 40));
    clear.setPixel(1, 0, qRgba(50, 60, 70, 255));
    const QImage negative = Through(clear, [](LibraryImage& p) { return p.Negative(); });
    EXPECT_EQ(qAlpha(negative.pixel(0, 0)), 40);
    EXPECT_EQ(qRed(negative.pixel(0, 0)), 245);
    const QImage mirrored = Through(clear, [](LibraryImage& p) { return p.Mirror(); });
    EXPECT_EQ(qAlpha(mirrored.pixel(1, 0)), 40);
    EXPECT_EQ(qAlpha(mirrored.pixel(0, 0)), 255);
    LibraryImage empty;
    EXPECT_FALSE(empty.Mirror());
    EXPECT_FALSE(empty.HistogramLog());
}
