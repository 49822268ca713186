// Preset recolouring: the integer HLS conversion, the lightness factor, and what the starter
// decorations look like after recolouring.
#include "canvas/edits/PresetRecolour.h"
#include "library/items/PictureList.h"
#include "library/packs/StarterLibraries.h"

#include "common/TestSupport.h"

#include <QColor>

#include <gtest/gtest.h>

#include <cmath>

namespace mosaiq {
namespace {

struct HlsCase {
    int r, g, b;
    Hls expected;
};

TEST(PresetRecolour, RgbToHlsFollowsTheIntegerRule) {
    const HlsCase cases[] = {
        {255, 0, 0, {0, 128, 255}},     // red
        {0, 255, 0, {85, 128, 255}},    // green
        {0, 0, 255, {170, 128, 255}},   // blue
        {0, 0, 0, {170, 0, 0}},         // black: grey hue 170
        {255, 255, 255, {170, 255, 0}}, // white
        {77, 77, 77, {170, 77, 0}},     // a grey keeps its value as lightness
        {255, 150, 0, {25, 128, 255}},  // the glow default colour
        {255, 0, 10, {254, 128, 255}},  // a negative hue wraps as a byte
        {100, 50, 50, {0, 75, 85}},     // dark: d = max + min
        {250, 200, 200, {0, 225, 213}}, // light: d = 510 - max - min
    };
    for (const HlsCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.r << "," << c.g << "," << c.b);
        EXPECT_EQ(RgbToHls(c.r, c.g, c.b), c.expected);
    }
}

TEST(PresetRecolour, HlsToRgbOfGreysAndPureHues) {
    for (int l : {0, 1, 64, 128, 200, 255}) {
        int r = -1, g = -1, b = -1;
        HlsToRgb({170, l, 0}, r, g, b);
        EXPECT_EQ(r, g);
        EXPECT_EQ(g, b);
        EXPECT_NEAR(r, l, 1) << l;
    }
    int r = 0, g = 0, b = 0;
    HlsToRgb({0, 64, 255}, r, g, b); // a dark red: m1 = 0, m2 = 2l
    EXPECT_NEAR(r, 128, 1);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 0);
    HlsToRgb({255, 128, 255}, r, g, b); // hue 360 degrees is red again
    EXPECT_NEAR(r, 255, 1);
    EXPECT_LE(g, 1);
    EXPECT_LE(b, 2);
}

TEST(PresetRecolour, LightnessFactorRunsFromHalfToOneAndAHalf) {
    EXPECT_FLOAT_EQ(PresetLightnessFactor(MakeColorref(0, 0, 0)), 0.5f);
    EXPECT_NEAR(PresetLightnessFactor(MakeColorref(127, 127, 127)), 1.0f, 1e-6);
    EXPECT_NEAR(PresetLightnessFactor(MakeColorref(255, 255, 255)), 1.50394, 1e-5);
    EXPECT_NEAR(PresetLightnessFactor(MakeColorref(255, 0, 0)), 0.834646, 1e-5);
}

struct PixelCase {
    int grey;
    Colorref colour;
    int r, g, b; // expected within one step of truncation
};

TEST(PresetRecolour, WorkedPixels) {
    const PixelCase cases[] = {
        {150, MakeColorref(255, 0, 0), 250, 0, 0},         // m = 125: the full red
        {200, MakeColorref(255, 0, 0), 255, 77, 77},       // m = 166: a light red
        {60, MakeColorref(0, 0, 255), 0, 0, 100},          // m = 50: a dark blue
        {255, MakeColorref(255, 255, 255), 255, 255, 255}, // clamped at 255
        {255, MakeColorref(0, 0, 0), 127, 127, 127},       // black halves the greys
        {0, MakeColorref(0, 200, 200), 0, 0, 0},
    };
    for (const PixelCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "grey " << c.grey << " colour " << std::hex << c.colour);
        std::uint8_t px[4] = {std::uint8_t(c.grey), std::uint8_t(c.grey), std::uint8_t(c.grey), 77};
        RecolourPresetPixels(px, 1, c.colour);
        EXPECT_NEAR(px[2], c.r, 1);
        EXPECT_NEAR(px[1], c.g, 1);
        EXPECT_NEAR(px[0], c.b, 1);
        EXPECT_EQ(px[3], 77);
    }
}

TEST(PresetRecolour, ColouredPixelsAreMadeGreyFirst) {
    // (30, 60, 90) averages to 60, so it recolours exactly like grey 60.
    std::uint8_t coloured[4] = {90, 60, 30, 255};
    std::uint8_t grey[4] = {60, 60, 60, 255};
    RecolourPresetPixels(coloured, 1, MakeColorref(40, 180, 90));
    RecolourPresetPixels(grey, 1, MakeColorref(40, 180, 90));
    EXPECT_EQ(std::vector<int>(coloured, coloured + 4), std::vector<int>(grey, grey + 4));
}

TEST(PresetRecolour, PictureKeepsSizeAlphaAndByteOrder) {
    QImage ramp(256, 2, QImage::Format_ARGB32);
    for (int x = 0; x < 256; ++x) {
        ramp.setPixel(x, 0, qRgba(x, x, x, 255 - x));
        ramp.setPixel(x, 1, qRgba(x, x, x, x));
    }
    const Colorref colour = MakeColorref(30, 120, 220);
    const QImage out = RecolourPreset(ramp, colour);
    ASSERT_EQ(out.size(), ramp.size());
    EXPECT_EQ(out.format(), QImage::Format_ARGB32);
    int lastLightness = -1;
    for (int x = 0; x < 256; ++x) {
        EXPECT_EQ(qAlpha(out.pixel(x, 0)), 255 - x);
        EXPECT_EQ(qAlpha(out.pixel(x, 1)), x);
        // The buffer form and the picture form agree pixel for pixel.
        std::uint8_t px[4] = {std::uint8_t(x), std::uint8_t(x), std::uint8_t(x), 255};
        RecolourPresetPixels(px, 1, colour);
        const QRgb p = out.pixel(x, 0);
        EXPECT_EQ(qRgb(px[2], px[1], px[0]), qRgb(qRed(p), qGreen(p), qBlue(p))) << x;
        // Lighter greys stay lighter.
        const int lightness = QColor(p).lightness();
        EXPECT_GE(lightness, lastLightness - 1) << x;
        lastLightness = lightness;
    }
    // A premultiplied picture is read by its colours, not its premultiplied bytes.
    QImage premultiplied(1, 1, QImage::Format_ARGB32_Premultiplied);
    premultiplied.setPixel(0, 0, qPremultiply(qRgba(150, 150, 150, 128)));
    const QRgb p = RecolourPreset(premultiplied, MakeColorref(255, 0, 0)).pixel(0, 0);
    EXPECT_EQ(qAlpha(p), 128);
    EXPECT_NEAR(qRed(p), 250, 2);
    EXPECT_TRUE(RecolourPreset(QImage(), colour).isNull());
}

// Every starter decoration, recoloured with a pure red, green and blue, takes on that hue: the
// greys it is drawn in become shades of the colour, not white or black.
TEST(PresetRecolour, StarterDecorationsTakeTheColoursHue) {
    test::ScopedDataDir data;
    WriteOutReport report;
    WriteStarterLibraries(data.Path(), report);
    const struct {
        Colorref colour;
        int hue;
    } colours[] = {{MakeColorref(255, 0, 0), 0},
                   {MakeColorref(0, 255, 0), 120},
                   {MakeColorref(0, 0, 255), 240}};
    const char* files[] = {"chrome_p.cfg", "ca_p.cfg",   "emboss_p.cfg",
                           "cloth_p.cfg",  "glow_p.cfg", "neon_p.cfg"};
    for (const char* file : files) {
        const std::vector<QImage> items = ReadPictureList(data.File(QString::fromLatin1(file)));
        ASSERT_GE(items.size(), 8u) << file;
        for (size_t i = 0; i < items.size(); ++i) {
            for (const auto& c : colours) {
                SCOPED_TRACE(testing::Message() << file << " item " << i << " hue " << c.hue);
                const QImage out = RecolourPreset(items[i], c.colour);
                int visible = 0;
                int coloured = 0;
                int offHue = 0;
                for (int y = 0; y < out.height(); ++y) {
                    for (int x = 0; x < out.width(); ++x) {
                        const QRgb p = out.pixel(x, y);
                        if (qAlpha(p) < 128)
                            continue;
                        ++visible;
                        const QColor q = QColor::fromRgb(p);
                        if (q.hsvSaturation() < 60)
                            continue;
                        ++coloured;
                        const int d = std::abs(q.hsvHue() - c.hue);
                        offHue += std::min(d, 360 - d) > 3;
                    }
                }
                ASSERT_GT(visible, 0);
                EXPECT_EQ(offHue, 0);
                EXPECT_GT(coloured, visible * 6 / 10);
            }
        }
    }
    if (HasFailure())
        test::SaveFailureImage(
            RecolourPreset(ReadPictureList(data.File("cloth_p.cfg"))[0], MakeColorref(255, 0, 0)),
            QStringLiteral("cloth-red"));
}

} // namespace
} // namespace mosaiq
