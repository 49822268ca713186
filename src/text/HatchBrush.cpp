#include "text/HatchBrush.h"

#include <QImage>
#include <QTransform>

namespace mosaiq {

std::array<std::uint8_t, 8> HatchRows(HatchStyle style) {
    switch (style) {
    case HatchStyle::Percent05:
        // Two dots in the tile, at (0, 0) and (4, 4).
        return {0x80, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00};
    case HatchStyle::Weave:
        // Diagonal strands passing over and under each other.
        return {0x88, 0x54, 0x22, 0x45, 0x88, 0x15, 0x22, 0x51};
    case HatchStyle::DottedGrid:
        // A dotted horizontal line along the top row and a dotted vertical one down column 0.
        return {0xAA, 0x00, 0x80, 0x00, 0x80, 0x00, 0x80, 0x00};
    }
    return {};
}

bool HatchBit(HatchStyle style, int x, int y) {
    const auto rows = HatchRows(style);
    return (rows[static_cast<std::size_t>(y & 7)] >> (7 - (x & 7))) & 1;
}

QBrush MakeHatchBrush(HatchStyle style, const QColor& foreground, const QColor& background,
                      const QTransform& worldTransform, QPoint deviceOrigin) {
    QImage tile(8, 8, QImage::Format_ARGB32_Premultiplied);
    const QRgb fg = qPremultiply(foreground.rgba());
    const QRgb bg = qPremultiply(background.rgba());
    for (int y = 0; y < 8; ++y) {
        auto* line = reinterpret_cast<QRgb*>(tile.scanLine(y));
        for (int x = 0; x < 8; ++x)
            line[x] = HatchBit(style, x, y) ? fg : bg;
    }
    QBrush brush(tile);
    // Undo the world transform so the tile lands on device pixels, starting at the origin.
    brush.setTransform(QTransform::fromTranslate(deviceOrigin.x(), deviceOrigin.y()) *
                       worldTransform.inverted());
    return brush;
}

} // namespace mosaiq
