#pragma once

// Where the surface shows an object. Free objects follow the record (ObjectGeometry: the box
// rounded down to multiples of 4, placed at x, y); a photo in the collage's layout is drawn to its
// cell's pixel edges instead, each edge at the rounded position of the cell's edge at the zoom, so
// neighbouring cells share their edges at every zoom and export scale.

#include <QRect>
#include <QRectF>
#include <QSize>
#include <QTransform>

namespace mosaiq {

class CanvasObject;
class CollageDocument;

// The cell the object fills; null for a free object (or a tag that names no cell).
const QRectF* CellOfObject(const CollageDocument& document, const CanvasObject& object);

// The cell on a surface of scale surface pixels per canvas pixel: every edge rounded on its own.
QRect ExactCellRect(const QRectF& cell, double scale);

struct ObjectPlacement {
    QSize displayed;       // the box drawn, surface pixels
    QTransform transform;  // local box -> surface
    bool inLayout = false; // drawn to its cell (the rectangle below)
    QRect cellRect;        // surface pixels, when inLayout (moved by a drag in progress)
};

// Where the object at index is drawn at zoom.
ObjectPlacement PlacementOf(const CollageDocument& document, int index, float zoom);

} // namespace mosaiq
