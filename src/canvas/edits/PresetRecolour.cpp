#include "canvas/edits/PresetRecolour.h"

#include <algorithm>
#include <array>
#include <vector>

namespace mosaiq {
namespace {

// 1/381: the sum of a colour's three components times this is 2.0 for white.
constexpr float kComponentSumScale = 0.0026246719f;
// Degrees per hue step (360/255) and the slope of a 60-degree hue segment.
constexpr float kDegreesPerHue = 1.4117647f;
constexpr float kSegmentSlope = 0.016666668f;

// One component of the conversion back from HLS, for a hue angle in degrees.
float HueComponent(float m1, float m2, float hue) {
    if (hue > 360.0f)
        hue -= 360.0f;
    else if (hue < 0.0f)
        hue += 360.0f;
    if (hue < 60.0f)
        return m1 + (m2 - m1) * hue * kSegmentSlope;
    if (hue < 180.0f)
        return m2;
    if (hue < 240.0f)
        return m1 + (m2 - m1) * (240.0f - hue) * kSegmentSlope;
    return m1;
}

} // namespace

Hls RgbToHls(int r, int g, int b) {
    const int maxC = std::max({r, g, b});
    const int minC = std::min({r, g, b});
    Hls hls;
    hls.l = ((maxC + minC) * 255 + 255) / 510;
    if (maxC == minC) {
        hls.s = 0;
        hls.h = 170;
        return hls;
    }
    const int range = maxC - minC;
    const int d = hls.l < 128 ? maxC + minC : 510 - maxC - minC;
    hls.s = (range * 255 + d / 2) / d;
    const int dr = ((maxC - r) * 42 + range / 2) / range;
    const int dg = ((maxC - g) * 42 + range / 2) / range;
    const int db = ((maxC - b) * 42 + range / 2) / range;
    int h = 0;
    if (r == maxC)
        h = db - dg;
    else if (g == maxC)
        h = 85 + dr - db;
    else
        h = 170 + dg - dr;
    // Kept as a byte: a negative hue wraps to the top of the range.
    hls.h = h & 0xFF;
    return hls;
}

void HlsToRgb(const Hls& hls, int& r, int& g, int& b) {
    const float s = float(hls.s) / 255.0f;
    const float l = float(hls.l) / 255.0f;
    if (hls.s == 0) {
        r = g = b = int(l * 255.0f);
        return;
    }
    const float m2 = l > 0.5f ? s + l - s * l : l * (1.0f + s);
    const float m1 = 2.0f * l - m2;
    const float h = float(hls.h) * kDegreesPerHue;
    r = int(255.0f * HueComponent(m1, m2, h + 120.0f));
    g = int(255.0f * HueComponent(m1, m2, h));
    b = int(255.0f * HueComponent(m1, m2, h - 120.0f));
}

float PresetLightnessFactor(Colorref colour) {
    const int sum = ColorrefRed(colour) + ColorrefGreen(colour) + ColorrefBlue(colour);
    return (float(sum) * kComponentSumScale - 1.0f) * 0.5f + 1.0f;
}

namespace {

// The colour every grey of a preset turns into for one colour, worked out once: after the grey
// step a pixel is a grey m and its result depends on m alone.
struct GreyRamp {
    float factor = 1.0f;
    std::array<std::array<std::uint8_t, 3>, 256> bgr{};

    explicit GreyRamp(Colorref colour) : factor(PresetLightnessFactor(colour)) {
        const Hls target =
            RgbToHls(ColorrefRed(colour), ColorrefGreen(colour), ColorrefBlue(colour));
        for (int m = 0; m < 256; ++m) {
            Hls hls = RgbToHls(m, m, m);
            hls.h = target.h;
            hls.s = target.s;
            int r = 0;
            int g = 0;
            int b = 0;
            HlsToRgb(hls, r, g, b);
            bgr[size_t(m)] = {std::uint8_t(b), std::uint8_t(g), std::uint8_t(r)};
        }
    }

    void Apply(std::uint8_t* bgra, std::size_t count) const {
        for (std::size_t i = 0; i < count; ++i) {
            std::uint8_t* px = bgra + i * 4;
            const int grey = (px[0] + px[1] + px[2]) / 3;
            const int m = std::min(255, int(factor * float(grey)));
            const auto& c = bgr[size_t(m)];
            px[0] = c[0];
            px[1] = c[1];
            px[2] = c[2];
        }
    }
};

} // namespace

void RecolourPresetPixels(std::uint8_t* bgra, std::size_t count, Colorref colour) {
    GreyRamp(colour).Apply(bgra, count);
}

QImage RecolourPreset(const QImage& picture, Colorref colour) {
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    if (out.isNull())
        return out;
    const GreyRamp ramp(colour);
    // Format_ARGB32 keeps each pixel as a native 0xAARRGGBB word; the ramp works on bytes in the
    // order B, G, R, A, so each row goes through a byte copy in that order.
    std::vector<std::uint8_t> bytes(size_t(out.width()) * 4);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            std::uint8_t* px = &bytes[size_t(x) * 4];
            px[0] = std::uint8_t(qBlue(row[x]));
            px[1] = std::uint8_t(qGreen(row[x]));
            px[2] = std::uint8_t(qRed(row[x]));
            px[3] = std::uint8_t(qAlpha(row[x]));
        }
        ramp.Apply(bytes.data(), size_t(out.width()));
        for (int x = 0; x < out.width(); ++x) {
            const std::uint8_t* px = &bytes[size_t(x) * 4];
            row[x] = qRgba(px[2], px[1], px[0], px[3]);
        }
    }
    return out;
}

} // namespace mosaiq
