#pragma once

// The drawing pass of the collage: the grey surround, the canvas in its background colour, the
// background picture, every object from the bottom (index 0) to the top, and the selection
// handles of selected objects. The same pass maps every object's hit region to surface pixels
// (CanvasObject::screenRegion), which the mouse handling tests against.
//
// Coordinate spaces: canvas pixels are the collage's own; surface pixels are canvas pixels times
// the view's zoom, with the canvas's top-left corner at surface (0, 0). The painter handed to
// Render paints in surface pixels (a view that shows a scrolled part translates the painter by
// minus the scroll offsets before calling).
//
// Pictures are kept per object (ObjectCache.h) at their displayed size, and for the view also
// prepared exactly as shown (turned, tuned, framed, premultiplied), so an ordinary redraw copies
// one picture per object at a whole-pixel position; a prepared picture is remade only when the
// object's look, angle, size or the fraction of a pixel of its position changed.

#include "canvas/document/ObjectCache.h"
#include "canvas/interaction/SelectionHandles.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QTransform>

#include <array>
#include <cstdint>
#include <functional>

class QPainter;

namespace mosaiq {

class CanvasObject;
class CollageDocument;

struct RenderOptions {
    // The canvas shows a preview: no selection handles.
    bool previewMode = false;
    // Rendering for export: no handles, and the objects' hit regions and text boxes are left as
    // the view last drew them.
    bool offscreenOnly = false;
    // The logical surface (at least the zoomed canvas; larger when the window is larger). Empty:
    // the zoomed canvas.
    QSize surfaceSize;
    // The surface rectangle to paint; empty paints the whole surface. Objects outside it are not
    // rasterised (their regions are still mapped).
    QRect exposed;
    // While an object is dragged, scaled or turned: a cache made for another displayed size is
    // drawn scaled instead of being rebuilt (the view drops it when the button is released).
    bool fastTransformedCaches = false;
    // Draws every object from its picture under its transform instead of copying its prepared
    // picture (export always does: it draws each object once).
    bool directDrawing = false;
    // Rendering at an export scale, possibly in bands: a background picture that would be
    // enlarged is drawn from the picture itself under the painter's scale instead of from a copy
    // at the target size, which could be as large as the whole output.
    bool scaledExport = false;
    // Draws each turned or scaled object through its prepared picture even off-screen, so that
    // an object crossed by several bands is rasterised once and every band gets the same pixels
    // (Qt's rasteriser steps its edges from the top of the clip).
    bool preparedPictures = false;
    // The view around the canvas: the exposed rectangle may reach past the surface (the margin
    // the view keeps around the canvas, negative surface pixels included), and the parts of
    // objects outside the canvas are drawn dimmed there, as an export leaves them out. Handles
    // stay bright.
    bool viewSurround = false;
};

class Compositor {
public:
    Compositor();

    // Renders the visible part (or all) of the surface: grey surround, canvas, objects, handles
    // (unless previewMode or offscreenOnly). painter paints on the surface or the view, in
    // surface pixels. Fills the brush picture table from the data directory first when the
    // document has stamps and the table is empty. A call made while a pass is running returns.
    void Render(CollageDocument& document, QPainter& painter, const RenderOptions& options);

    // Handle rectangles in the local coordinates of the object decorated last (all empty when
    // the last pass decorated none).
    const HandleTable& Handles() const { return m_handles; }
    // Local -> surface transform of those handles.
    QTransform HandleTransform() const { return m_handleTransform; }
    // Index of the object the handles belong to; -1 none.
    int HandleObjectIndex() const { return m_handleObject; }
    // The handles of every object the last pass decorated, bottom to top, each with its object.
    const HandleFrames& AllHandles() const { return m_allHandles; }
    // The canvas on the surface after the last pass: (0, 0, trunc(width x zoom),
    // trunc(height x zoom)).
    QRect CanvasRect() const { return m_canvasRect; }

private:
    struct Pass;
    void DrawBackground(const CollageDocument& document, Pass& pass);
    void DrawObject(CollageDocument& document, int index, Pass& pass);
    void DrawPicturedObject(CollageDocument& document, int index, Pass& pass);
    // corner: the radius of the rounded cell of a photo in the layout, surface pixels (0: none).
    void DrawPhoto(CanvasObject& object, Pass& pass, QSize displayed, const QTransform& transform,
                   double corner);
    static void DrawPhotoLook(QPainter& painter, ObjectCache& cache, const PhotoRecord& r,
                              QSize displayed, bool showPicture, float opacity);
    // Draws an object's look (draw paints it in its local box coordinates) under transform:
    // by copying its prepared picture, remade first when key changed, or directly.
    void DrawLook(ObjectCache& cache, PreparedKey key, const QTransform& transform, QSize displayed,
                  Pass& pass, const std::function<void(QPainter&)>& draw);
    static void Prepare(ObjectCache& cache, const PreparedKey& key, QSize displayed,
                        const std::function<void(QPainter&)>& draw);
    void DrawText(CollageDocument& document, int index, Pass& pass);
    void Decorate(int index, QSize box, const QTransform& transform, Pass& pass,
                  bool outlineOnly = false);
    static void DrawCellOutline(QPainter& painter, const QRect& rect, bool strong);
    // The cell a dragged photo would go to, and the cell being panned and zoomed.
    void DrawLayoutGesture(const CollageDocument& document, Pass& pass);

    HandleTable m_handles{};
    QTransform m_handleTransform;
    int m_handleObject = -1;
    HandleFrames m_allHandles;
    QRect m_canvasRect;
    bool m_drawing = false;

    // The background picture scaled for Center and Stretch, remade when the picture, the mode or
    // the target size changes.
    QImage m_background;
    std::int64_t m_backgroundKey = 0;
    QSize m_backgroundTarget;
};

} // namespace mosaiq
