#include "canvas/document/PastedPlacement.h"

#include "canvas/document/CollageDocument.h"

#include <QRect>

namespace mosaiq {

QPoint VisibleCanvasCentre(const CanvasView& view, QSize client, QSize canvas) {
    const QRect onSurface(0, 0, int(float(canvas.width()) * view.zoom),
                          int(float(canvas.height()) * view.zoom));
    const QRect shown = QRect(QPoint(view.scrollX, view.scrollY), client).intersected(onSurface);
    if (shown.isEmpty() || view.zoom <= 0.0f)
        return {canvas.width() / 2, canvas.height() / 2};
    const float cx = float(shown.left()) + float(shown.width()) / 2.0f;
    const float cy = float(shown.top()) + float(shown.height()) / 2.0f;
    return {int(cx / view.zoom), int(cy / view.zoom)};
}

bool AddPastedPictureCentred(CollageDocument& document, const QImage& pixels, QPoint centre) {
    const int w = document.width, h = document.height;
    if (pixels.isNull() || w <= 0 || h <= 0)
        return false;
    // The add operation maps its point through a canvas rectangle into a picture size; with the
    // canvas itself as both (zoom 1, no offset) the point maps to x = px - w / 2, so the point
    // for a wanted top-left corner is that corner plus half the canvas.
    const QPoint topLeft = centre - QPoint(pixels.width() / 2, pixels.height() / 2);
    document.AddPastedPicture(pixels, topLeft.x() + w / 2, topLeft.y() + h / 2, QRect(0, 0, w, h),
                              QSize(w, h));
    document.RecordSnapshot();
    return true;
}

} // namespace mosaiq
