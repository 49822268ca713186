#include "canvas/render/ColorMatrix.h"
#include "canvas/render/ColorPass.h"
#include "canvas/document/Records.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

void ExpectColour(const std::array<float, 4>& actual, const std::array<float, 4>& expected,
                  float tolerance = 1e-4f) {
    for (size_t i = 0; i < 4; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "component " << i;
}

TuningBlock Tuned() {
    TuningBlock t;
    t.active = 1;
    t.colour = 0.0f;
    return t;
}

} // namespace

TEST(ColorMatrix, AppendActsAfterAndPrependActsBefore) {
    ColorMatrix later;
    later.Append(ColorMatrix::Scale(2, 2, 2, 1));
    later.Append(ColorMatrix::Translate(0.1f, 0.1f, 0.1f, 0));
    ExpectColour(later.Map({0.2f, 0.3f, 0.4f, 1}), {0.5f, 0.7f, 0.9f, 1});

    ColorMatrix first;
    first.Append(ColorMatrix::Scale(2, 2, 2, 1));
    first.Prepend(ColorMatrix::Translate(0.1f, 0.1f, 0.1f, 0));
    ExpectColour(first.Map({0.2f, 0.3f, 0.4f, 1}), {0.6f, 0.8f, 1.0f, 1});
}

TEST(ColorMatrix, PlaneRotationTurnsOneComponentIntoTheOther) {
    // 90 degrees in plane (1, 0): red becomes green, green becomes minus red.
    const ColorMatrix m = ColorMatrix::PlaneRotation(1, 0, 90.0f);
    ExpectColour(m.Map({1, 0, 0, 1}), {0, 1, 0, 1});
    ExpectColour(m.Map({0, 1, 0, 1}), {-1, 0, 0, 1});
    ExpectColour(m.Map({0, 0, 1, 1}), {0, 0, 1, 1});
}

TEST(ColorMatrix, SaturationZeroGivesTheWeightedGrey) {
    const float grey = 0.3086f * 0.2f + 0.6094f * 0.6f + 0.082f * 1.0f;
    ExpectColour(ColorMatrix::Saturation(0).Map({0.2f, 0.6f, 1.0f, 1}), {grey, grey, grey, 1});
    ExpectColour(ColorMatrix::Saturation(1).Map({0.2f, 0.6f, 1.0f, 1}), {0.2f, 0.6f, 1.0f, 1});
}

TEST(ColorMatrix, HueRotationKeepsGreysAndLuminance) {
    ColorMatrix none;
    none.AppendHue(0.0f);
    ExpectColour(none.Map({0.2f, 0.6f, 1.0f, 1}), {0.2f, 0.6f, 1.0f, 1});
    ColorMatrix full;
    full.AppendHue(360.0f);
    ExpectColour(full.Map({0.2f, 0.6f, 1.0f, 1}), {0.2f, 0.6f, 1.0f, 1}, 1e-3f);

    // The grey axis is turned by the rounded angles 45 and 35 degrees, so greys keep their
    // value to within about 1%.
    ColorMatrix third;
    third.AppendHue(120.0f);
    ExpectColour(third.Map({0.5f, 0.5f, 0.5f, 1}), {0.5f, 0.5f, 0.5f, 1}, 0.01f);
    const auto turned = third.Map({0.9f, 0.2f, 0.1f, 1});
    const auto luminance = [](const std::array<float, 4>& c) {
        return 0.3086f * c[0] + 0.6094f * c[1] + 0.082f * c[2];
    };
    EXPECT_NEAR(luminance(turned), luminance({0.9f, 0.2f, 0.1f, 1}), 0.01f);
    // Red turned by a third of the circle is mostly green.
    EXPECT_GT(turned[1], turned[0]);
    EXPECT_GT(turned[1], turned[2]);
}

TEST(ColorMatrix, ObjectMatrixWithoutActiveTuningScalesAlphaOnly) {
    TuningBlock t;
    t.contrast = 3.0f; // ignored: not active
    const ColorMatrix m = ObjectColorMatrix(0.5f, t);
    EXPECT_TRUE(m.IsAlphaScaleOnly());
    ExpectColour(m.Map({0.2f, 0.6f, 1.0f, 1}), {0.2f, 0.6f, 1.0f, 0.5f});
    TuningBlock active;
    active.active = 1; // the default colour angle of 0.125 degrees already turns colours
    EXPECT_FALSE(ObjectColorMatrix(1.0f, active).IsAlphaScaleOnly());
}

TEST(ColorMatrix, KnownTuningOnAKnownPixel) {
    // Contrast acts first, then the offset: 0.2 * 1.5 + 0.1 = 0.4, and so on.
    TuningBlock t = Tuned();
    t.contrast = 1.5f;
    t.brightness = 0.1f;
    ExpectColour(ObjectColorMatrix(0.8f, t).Map({0.2f, 0.4f, 0.6f, 1}), {0.4f, 0.7f, 1.0f, 0.8f});

    // The colour rotations act before contrast: a 90 degree turn in each of the three planes,
    // (2, 1) first, then (0, 2), then (1, 0).
    t = Tuned();
    t.colour = 90.0f;
    t.contrast = 2.0f;
    ColorMatrix expected = ColorMatrix::PlaneRotation(2, 1, 90);
    expected.Append(ColorMatrix::PlaneRotation(0, 2, 90));
    expected.Append(ColorMatrix::PlaneRotation(1, 0, 90));
    const auto rotated = expected.Map({0.1f, 0.2f, 0.3f, 1});
    ExpectColour(ObjectColorMatrix(1.0f, t).Map({0.1f, 0.2f, 0.3f, 1}),
                 {rotated[0] * 2, rotated[1] * 2, rotated[2] * 2, 1});
    // Worked by hand: (r, g, b) -> (r, -b, g) -> (g, -b, -r) -> (b, g, -r).
    ExpectColour(rotated, {0.3f, 0.2f, -0.1f, 1});

    // Saturation 0 after the offset: the weighted grey of (0.5, 0.5, 0.5) + 0.1.
    t = Tuned();
    t.brightness = 0.1f;
    t.saturation = 0.0f;
    ExpectColour(ObjectColorMatrix(1.0f, t).Map({0.5f, 0.5f, 0.5f, 1}), {0.6f, 0.6f, 0.6f, 1},
                 1e-3f);
}

TEST(ColorPass, AppliesMatrixAndGammaToPremultipliedPixels) {
    QImage picture(3, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(100, 150, 200, 255));
    picture.setPixel(1, 0, qRgba(100, 150, 200, 128));
    picture.setPixel(2, 0, qRgba(10, 20, 30, 0));
    TuningBlock t = Tuned();
    t.contrast = 1.5f;
    t.brightness = 0.1f; // 25.5 levels
    const QImage out = ApplyColorMatrix(picture, ObjectColorMatrix(0.5f, t), 1.0f);
    ASSERT_EQ(out.format(), QImage::Format_ARGB32_Premultiplied);
    const QImage straight = out.convertToFormat(QImage::Format_ARGB32);
    const QRgb opaque = straight.pixel(0, 0);
    EXPECT_NEAR(qRed(opaque), 176, 1); // 100 * 1.5 + 25.5
    EXPECT_NEAR(qGreen(opaque), 251, 1);
    EXPECT_EQ(qBlue(opaque), 255); // clamped
    EXPECT_NEAR(qAlpha(opaque), 128, 1);
    const QRgb half = straight.pixel(1, 0);
    EXPECT_NEAR(qAlpha(half), 64, 1);
    EXPECT_NEAR(qRed(half), 176, 4); // straight colour survives the premultiplied round trip
    EXPECT_EQ(qAlpha(straight.pixel(2, 0)), 0);

    // Gamma raises the straight colour to its power: 128 -> 255 * (128/255)^2 = 64.
    QImage grey(1, 1, QImage::Format_ARGB32);
    grey.setPixel(0, 0, qRgba(128, 255, 0, 255));
    const QRgb g = ApplyColorMatrix(grey, ColorMatrix(), 2.0f).pixel(0, 0);
    EXPECT_NEAR(qRed(g), 64, 1);
    EXPECT_EQ(qGreen(g), 255);
    EXPECT_EQ(qBlue(g), 0);
    // A gamma that is not a positive number leaves the colours.
    EXPECT_EQ(ApplyColorMatrix(grey, ColorMatrix(), -1.0f).pixel(0, 0), grey.pixel(0, 0));
}
