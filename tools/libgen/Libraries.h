#pragma once

// The starter libraries as the generator draws them. Every picture is straight-alpha ARGB32.

#include <QImage>
#include <QString>

#include <array>
#include <vector>

namespace mosaiq::libgen {

// Cliparts for family, holiday and party collages, with transparent backgrounds.
std::vector<QImage> DrawCliparts();

// The decoration families in the order of their type numbers 1..6.
enum class DecorationFamily { Chrome, Cast, Emboss, Cloth, Glow, Neon };
constexpr std::array<DecorationFamily, 6> kDecorationFamilies = {
    DecorationFamily::Chrome, DecorationFamily::Cast, DecorationFamily::Emboss,
    DecorationFamily::Cloth,  DecorationFamily::Glow, DecorationFamily::Neon};
// The library file of a family ("chrome_p.cfg", ...).
QString DecorationFileName(DecorationFamily family);
// The shapes of one family, drawn in grey values for the preset recolouring.
std::vector<QImage> DrawDecorations(DecorationFamily family);

// Brush tips: white on transparent, the shape in the alpha channel.
std::vector<QImage> DrawBrushes();

struct FrameArt {
    QImage picture;                // transparent where the photo shows
    std::array<float, 4> window{}; // left, top, right, bottom as fractions of the picture
    QImage thumbnail;              // 120 pixels wide
};
std::vector<FrameArt> DrawFrames();
constexpr int kFrameThumbnailWidth = 120;

} // namespace mosaiq::libgen
