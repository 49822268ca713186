#pragma once

// Filling paths of long texts. A path of hundreds of glyphs packed into few pixel rows makes the
// rasterizer's per-row work grow with the square of the glyph count; filling it in vertical
// strips of device pixels, each with only the contours that reach into it, keeps the work
// linear. A contour adds nothing outside its bounding box under either fill rule, so every
// pixel gets the same coverage as from one fill of the whole path.

class QBrush;
class QPainter;
class QPainterPath;

namespace mosaiq {

// Fills path with brush under the painter's transform and clip, in strips when it is long.
void FillPathInStrips(QPainter& painter, const QPainterPath& path, const QBrush& brush);

} // namespace mosaiq
