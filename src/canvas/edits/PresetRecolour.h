#pragma once

// Recolouring of decoration presets. A preset is drawn in grey values; placing it with a colour
// keeps each pixel's lightness (scaled by how light the colour is) and gives it the colour's hue
// and saturation. The arithmetic is integer HLS on a 0..255 scale, with float steps where noted,
// so that the same preset and colour always give the same pixels.

#include "core/WinTypes.h"

#include <QImage>

#include <cstddef>
#include <cstdint>

namespace mosaiq {

// Hue, lightness and saturation, each 0..255 (hue 0 red, 85 green, 170 blue).
struct Hls {
    int h = 0;
    int l = 0;
    int s = 0;
    friend bool operator==(const Hls&, const Hls&) = default;
};

// Integer conversion of r, g, b (0..255). A grey gets s = 0 and h = 170.
Hls RgbToHls(int r, int g, int b);
// The conversion back; components are truncated, not rounded.
void HlsToRgb(const Hls& hls, int& r, int& g, int& b);

// How much a preset's greys are brightened before recolouring: 0.5 for black, 1.0 for a middle
// grey, about 1.504 for white.
float PresetLightnessFactor(Colorref colour);

// Recolours count pixels in place, 4 bytes each in the order B, G, R, A; alpha is kept.
void RecolourPresetPixels(std::uint8_t* bgra, std::size_t count, Colorref colour);

// The picture recoloured with colour, as a Format_ARGB32 picture of the same size.
QImage RecolourPreset(const QImage& picture, Colorref colour);

} // namespace mosaiq
