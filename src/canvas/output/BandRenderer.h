#pragma once

// Rendering the collage at any scale of its canvas size in horizontal bands, for exports larger
// than the view ever draws. Each band is one compositor pass over its rows at zoom = scale:
// photos are decoded from their files at the size the scaled display needs (never from the
// view's pictures), cliparts, frames and masks are scaled to it, text is drawn under the
// painter's scale with its own font (its layout is the scale-1 layout). An object's pictures are
// kept while the bands cross it and dropped after the last one, so memory holds one band and the
// pictures of the objects it crosses, not the whole output.

#include <QImage>
#include <QPoint>
#include <QSize>

#include <functional>
#include <memory>
#include <vector>

class QPainter;

namespace mosaiq {

class CollageDocument;
struct ObjectCache;

// The rendered size at scale: each side trunc(side x scale) as the compositor's canvas rectangle.
QSize ScaledCanvasSize(const CollageDocument& document, double scale);

// Rows per band for an output width: about 32 MiB of pixels, at least 16 rows, a multiple of 8.
int DefaultBandRows(int width);

// Called with each band (Format_RGB32, opaque, the output's width) and the row of its top edge,
// top to bottom; false stops the rendering (cancel or a failed write).
using BandSink = std::function<bool(const QImage& band, int top)>;

// Renders the collage at scale in bands of bandRows (0: DefaultBandRows; others are rounded up
// to a multiple of 8, the text hatches' grid) and hands them to sink.
// The view's zoom, scroll offsets, hit regions and pictures are as before afterwards. False when
// the size cannot be made, memory for a band is lacking, or sink stopped.
bool RenderCollageInBands(CollageDocument& document, double scale, int bandRows,
                          const BandSink& sink);

// The whole collage at scale as one picture (Format_RGB32); null when it cannot be made.
QImage RenderCollageScaled(CollageDocument& document, double scale);

// Draws the collage at scale onto painter in bands, its top-left corner at origin (in the
// painter's units, one unit a pixel of the output): PDF pages and printers. progress gets rows
// done and the total after each band and cancels by returning false.
bool PaintCollageInBands(CollageDocument& document, QPainter& painter, QPoint origin, double scale,
                         int bandRows, const std::function<bool(int done, int total)>& progress);

// Puts the view's pictures, zoom and scroll offsets aside for an export pass and gives them back
// when it ends, so the view neither loses its pictures nor draws the export's afterwards.
class ExportViewGuard {
public:
    ExportViewGuard(CollageDocument& document, float zoom);
    ~ExportViewGuard();
    ExportViewGuard(const ExportViewGuard&) = delete;
    ExportViewGuard& operator=(const ExportViewGuard&) = delete;

private:
    CollageDocument& m_document;
    float m_zoom;
    int m_scrollX, m_scrollY;
    std::vector<std::shared_ptr<ObjectCache>> m_caches;
};

} // namespace mosaiq
