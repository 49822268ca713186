#pragma once

// Where cliparts, brush stamps and photos are drawn. Canvas units are pixels of the collage at
// zoom 1; surface pixels are canvas units times the zoom. An object's displayed box is
// (0, 0, dw, dh) in its local coordinates; its world transform turns the box about its centre by
// the object's angle (degrees, clockwise on screen) and puts its unturned top-left corner at
// (x, y) in canvas units. Every float-to-integer conversion truncates toward zero.

#include "canvas/document/Records.h"

#include <QPolygonF>
#include <QRect>
#include <QSize>
#include <QTransform>

namespace mosaiq {

// Largest side a displayed box may have; larger products of size, scale and zoom (damaged
// records) are cut to it so that no cache is sized from them.
constexpr int kMaxDisplayedSide = 32768;

// trunc(v) for a float that may be out of range or not a number (then 0).
int TruncToInt(float v);

// The displayed size of an unscaled width x height at scale and zoom: each side
// trunc(side x scale x zoom) rounded down to a multiple of 4, never negative.
QSize DisplayedSize(int width, int height, float scale, float zoom);

// Local box (0, 0, dw, dh) to surface: translate (-(dw div 2), -(dh div 2)), rotate by angle,
// translate (dw div 2 + x zoom, dh div 2 + y zoom).
QTransform ObjectTransform(QSize displayed, float angle, int x, int y, float zoom);

// The hit region on the surface of an object whose region entry is the rectangle region (built
// at regionScale): translate by minus half the unscaled box at regionScale, scale by
// scale x zoom / regionScale, rotate by angle, translate (dw / 2 + x zoom, dh / 2 + y zoom).
// Empty when regionScale is not a positive number.
QPolygonF ObjectRegion(const QRect& region, QSize unscaled, float regionScale, float scale,
                       float angle, QSize displayed, int x, int y, float zoom);

// Where a framed photo's picture goes inside its displayed box: the frame window enlarged by one
// hundredth of the box on each side, truncated.
QRect FramedPictureRect(QSize displayed, const RecordFrameWindow& window);

} // namespace mosaiq
