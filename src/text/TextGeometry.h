#pragma once

// Where the canvas draws a text object. Canvas units are pixels of the collage at zoom 1; the
// surface is the zoomed drawing surface (surface = canvas x zoom). A text object's box is
// (0, 0, textWidth, textHeight) in its own units; it is scaled by the object's scale, turned by its
// angle (degrees, clockwise on screen) about the centre of the scaled box, and its unturned
// top-left corner sits at (x, y) in canvas units.

#include "text/TextRecord.h"

#include <QPainterPath>
#include <QTransform>

namespace mosaiq {

// The world transform from the object's box to the surface: translate (-(w div 2), -(h div 2)),
// scale by zoom x scale, rotate by angle, translate (zoom s w / 2 + x zoom, zoom s h / 2 + y zoom).
QTransform TextObjectTransform(const TextRecord& record, float zoom);

// The last drawn unturned box on the surface, as the record keeps it in screenBox:
// (trunc(zoom x), trunc(zoom y), trunc(zoom (w s + x)), trunc((y + h s) zoom)).
Rect32 TextScreenBox(const TextRecord& record, float zoom);

// The object's hit region on the surface: its box (0, 0, w, h) under TextObjectTransform.
QPainterPath TextHitRegion(const TextRecord& record, float zoom);

} // namespace mosaiq
