#pragma once

// Where a picture pasted from a tool (the month calendar) goes: centred on the part of the
// canvas the window shows.

#include <QImage>
#include <QPoint>
#include <QSize>

namespace mosaiq {

class CollageDocument;
struct CanvasView;

// The centre, in canvas pixels, of the canvas area visible in a client of the given size (window
// pixels) under the view's zoom and scroll offsets; the canvas's own centre when none of it shows.
QPoint VisibleCanvasCentre(const CanvasView& view, QSize client, QSize canvas);

// Adds pixels as a selected pasted clipart at scale 1 whose centre is at centre (canvas pixels)
// and records one snapshot, so the addition can be undone like any other. False for a null
// picture or an empty canvas.
bool AddPastedPictureCentred(CollageDocument& document, const QImage& pixels, QPoint centre);

} // namespace mosaiq
