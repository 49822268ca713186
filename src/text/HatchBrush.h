#pragma once

// Hatch fills: two-colour 8 x 8 patterns repeated over the device's pixels. Like the hatch
// brushes of the old platform, the pattern keeps to the device pixel grid (anchored at device
// pixel 0, 0) whatever the world transform, so a hatch never blurs, turns or grows with zoom.

#include <QBrush>
#include <QColor>
#include <QPoint>

#include <array>
#include <cstdint>

class QPainter;
class QTransform;

namespace mosaiq {

// The hatch styles the text styles use, numbered as the hatch style list numbers them.
enum class HatchStyle : int {
    Percent05 = 6,
    Weave = 40,
    DottedGrid = 43,
};

// The pattern's rows, top to bottom; the most significant bit is the leftmost pixel, and a set
// bit is drawn in the foreground colour.
std::array<std::uint8_t, 8> HatchRows(HatchStyle style);

// True when device pixel (x, y) of the pattern is foreground.
bool HatchBit(HatchStyle style, int x, int y);

// A brush that fills with the pattern in device pixels while the painter has worldTransform.
// deviceOrigin is where pixel (0, 0) of the final device lies in the pixels drawn now (not zero
// when drawing into an intermediate layer that is later put down elsewhere).
QBrush MakeHatchBrush(HatchStyle style, const QColor& foreground, const QColor& background,
                      const QTransform& worldTransform, QPoint deviceOrigin = QPoint());

} // namespace mosaiq
