#include "canvas/render/Compositor.h"
#include "ui/ColorrefColour.h"

#include "canvas/document/CollageDocument.h"
#include "canvas/render/ColorMatrix.h"
#include "canvas/render/ColorPass.h"
#include "canvas/render/DisplayScaling.h"
#include "canvas/project/EffectPictures.h"
#include "canvas/document/ObjectGeometry.h"
#include "canvas/document/LayoutPlacement.h"
#include "canvas/render/MissingPhotoMark.h"
#include "canvas/render/ObjectPictures.h"
#include "canvas/render/PhotoPicture.h"
#include "canvas/document/PhotoRelink.h"
#include "core/text/FixedText.h"
#include "text/TextDraw.h"
#include "text/TextGeometry.h"

#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>

#include <cmath>
#include <functional>
#include <vector>

namespace mosaiq {
namespace {

const QColor kSurroundColour(0xDD, 0xDD, 0xDD);
// How strongly the view veils the parts of objects outside the canvas (of 255).
constexpr int kOutsideVeilAlpha = 170;
// A framed photo is composed with its frame into one picture up to this many pixels; larger
// ones (extreme zooms) are drawn in two draws instead of holding a huge picture.
constexpr std::int64_t kMaxComposedPixels = 16'000'000;
// How far handles and antialiased edges reach outside an object's box, in surface pixels.
constexpr int kDecorationMargin = 24;

float ClampOpacity(float opacity) {
    if (!std::isfinite(opacity))
        return 1.0f;
    return std::clamp(opacity, 0.0f, 1.0f);
}

ObjectCache& EnsureCache(CanvasObject& object) {
    if (!object.cache)
        object.cache = std::make_shared<ObjectCache>();
    return *object.cache;
}

// The size a frame is scaled to: the displayed size, or at extreme zooms a size of the same
// shape within kMaxComposedPixels (then drawn scaled), so no huge picture is allocated.
QSize FrameBuildSize(QSize displayed) {
    const double area = double(displayed.width()) * double(displayed.height());
    if (area <= double(kMaxComposedPixels))
        return displayed;
    const double f = std::sqrt(double(kMaxComposedPixels) / area);
    return QSize(std::max(1, int(displayed.width() * f)), std::max(1, int(displayed.height() * f)));
}

// A transform that moves by whole pixels only.
bool IsWholeTranslation(const QTransform& t) {
    return t.type() <= QTransform::TxTranslate && t.dx() == std::floor(t.dx()) &&
           t.dy() == std::floor(t.dy());
}

bool Rotates(const QTransform& t) {
    return t.m12() != 0.0 || t.m21() != 0.0;
}

QRect RegionEntry(const CollageDocument& document, const CanvasObject& object) {
    const int index = object.RegionIndex();
    if (index >= 0 && size_t(index) < document.regionTable.size())
        return document.regionTable[size_t(index)];
    return QRect(QPoint(0, 0), object.RegionSize());
}

// The picture to draw for an object's colour settings: the picture itself when only opacity
// applies (drawn with the painter's opacity), else the colour pass result kept in the cache.
const QImage& TunedPicture(ObjectCache& cache, const QImage& picture, float opacity,
                           const TuningBlock& tuning, bool& drawWithOpacity) {
    drawWithOpacity = !tuning.active;
    if (!tuning.active)
        return picture;
    const DrawableKey key{opacity, tuning, cache.builtFor, false, true};
    if (!cache.drawableValid || !(cache.drawableKey == key)) {
        cache.drawable =
            ApplyColorMatrix(picture, ObjectColorMatrix(opacity, tuning), tuning.gamma);
        cache.drawableKey = key;
        cache.drawableValid = true;
    }
    return cache.drawable;
}

void DrawTuned(QPainter& painter, ObjectCache& cache, const QImage& picture, const QRect& target,
               float opacity, const TuningBlock& tuning) {
    bool withOpacity = true;
    const QImage& shown = TunedPicture(cache, picture, opacity, tuning, withOpacity);
    painter.setOpacity(withOpacity ? opacity : 1.0);
    painter.drawImage(QRectF(target), shown);
    painter.setOpacity(1.0);
}

void SetObjectHints(QPainter& painter) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setRenderHint(QPainter::Antialiasing, true);
}

} // namespace

struct Compositor::Pass {
    QPainter& painter;
    const RenderOptions& options;
    QTransform base;
    float zoom = 1.0f;
    QRect exposed;
    bool decorate = false;
    // Handles to draw once every object is drawn, so no object covers them.
    struct Decoration {
        QSize box;
        QTransform transform;
        bool outlineOnly = false; // a photo in the layout: its cell decides its size
    };
    std::vector<Decoration> decorations;

    // Whether a box drawn under transform can touch the exposed rectangle.
    bool Visible(const QTransform& transform, QSize box) const {
        const QRectF local(-kDecorationMargin, -kDecorationMargin,
                           box.width() + 2 * kDecorationMargin,
                           box.height() + 2 * kDecorationMargin);
        return transform.mapRect(local).intersects(QRectF(exposed));
    }
    void SetTransform(const QTransform& local) { painter.setWorldTransform(local * base); }
};

Compositor::Compositor() = default;

void Compositor::Render(CollageDocument& document, QPainter& painter,
                        const RenderOptions& options) {
    if (m_drawing)
        return;
    m_drawing = true;
    const float zoom = (document.view.zoom > 0.0f && std::isfinite(document.view.zoom))
                           ? document.view.zoom
                           : 1.0f;
    m_canvasRect = QRect(0, 0, std::max(0, TruncToInt(float(document.width) * zoom)),
                         std::max(0, TruncToInt(float(document.height) * zoom)));
    const QSize surface = options.surfaceSize.isValid()
                              ? options.surfaceSize.expandedTo(m_canvasRect.size())
                              : m_canvasRect.size();
    const QRect whole(QPoint(0, 0), surface);
    const QRect exposed = options.exposed.isEmpty() ? whole
                          : options.viewSurround ? options.exposed
                                                 : (options.exposed & whole);

    painter.save();
    Pass pass{painter, options, painter.worldTransform(),
              zoom,    exposed, !options.previewMode && !options.offscreenOnly};
    painter.setClipRect(exposed, Qt::IntersectClip);
    if (!options.offscreenOnly) {
        // Handles belong to this pass only: with nothing decorated there is nothing to hit.
        m_handles.fill(QRect());
        m_handleTransform = QTransform();
        m_handleObject = -1;
        m_allHandles.clear();
    }
    DrawBackground(document, pass);
    EnsureBrushPictures(document);
    // A photo dragged out of its cell is drawn over everything while it follows the pointer.
    int dragged = -1;
    if (document.layoutGesture.draggedCell >= 0)
        for (size_t i = 0; i < document.objects.size(); ++i)
            if (document.objects[i].layoutCell == document.layoutGesture.draggedCell &&
                CellOfObject(document, document.objects[i]))
                dragged = int(i);
    for (size_t i = 0; i < document.objects.size(); ++i)
        if (int(i) != dragged)
            DrawObject(document, int(i), pass);
    if (dragged >= 0)
        DrawObject(document, dragged, pass);
    if (options.viewSurround) {
        // What lies outside the canvas is not part of the collage: dimmed under the surround.
        painter.save();
        painter.setWorldTransform(pass.base);
        painter.setOpacity(1.0);
        const QColor veil(kSurroundColour.red(), kSurroundColour.green(), kSurroundColour.blue(),
                          kOutsideVeilAlpha);
        for (const QRect& r : QRegion(exposed) - QRegion(m_canvasRect))
            painter.fillRect(r, veil);
        painter.restore();
    }
    for (const Pass::Decoration& d : pass.decorations) {
        pass.SetTransform(d.transform);
        painter.setOpacity(1.0);
        painter.setRenderHint(QPainter::Antialiasing, Rotates(d.transform));
        if (d.outlineOnly)
            DrawCellOutline(painter, QRect(QPoint(0, 0), d.box), false);
        else
            DrawSelectionHandles(painter,
                                 SelectionHandleRects(0, 0, d.box.width(), d.box.height()));
    }
    if (pass.decorate)
        DrawLayoutGesture(document, pass);
    painter.restore();
    m_drawing = false;
}

void Compositor::DrawBackground(const CollageDocument& document, Pass& pass) {
    QPainter& painter = pass.painter;
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const QRegion surround = QRegion(pass.exposed) - QRegion(m_canvasRect);
    for (const QRect& r : surround)
        painter.fillRect(r, kSurroundColour);
    painter.fillRect(m_canvasRect & pass.exposed, ColorFromColorref(document.backgroundColour));
    const QImage& picture = document.backgroundPicture;
    if (picture.isNull() || m_canvasRect.isEmpty())
        return;
    const int cw = m_canvasRect.width();
    const int ch = m_canvasRect.height();
    QRect target;
    switch (document.backgroundMode) {
    case BackgroundMode::Center: {
        qint64 w = TruncToInt(float(picture.width()) * pass.zoom);
        qint64 h = TruncToInt(float(picture.height()) * pass.zoom);
        if ((w > cw || h > ch) && w > 0 && h > 0) {
            // Reduced to fit, aspect kept; never enlarged.
            if (double(cw) / double(ch) < double(w) / double(h)) {
                h = h * cw / w;
                w = cw;
            } else {
                w = w * ch / h;
                h = ch;
            }
        }
        target = QRect(int((cw - w) / 2), int((ch - h) / 2), int(w), int(h));
        break;
    }
    case BackgroundMode::Tile: {
        QBrush brush(picture);
        brush.setTransform(QTransform::fromScale(pass.zoom, pass.zoom));
        painter.fillRect(QRectF(0, 0, qreal(float(document.width) * pass.zoom),
                                qreal(float(document.height) * pass.zoom)),
                         brush);
        return;
    }
    case BackgroundMode::Stretch:
        target = m_canvasRect;
        break;
    default:
        return;
    }
    if (target.isEmpty())
        return;
    if (pass.options.scaledExport &&
        (target.width() > picture.width() || target.height() > picture.height())) {
        painter.drawImage(QRectF(target), picture);
        return;
    }
    const std::int64_t key = picture.cacheKey() ^ (std::int64_t(document.backgroundMode) << 60);
    if (m_background.isNull() || m_backgroundKey != key || m_backgroundTarget != target.size()) {
        m_background = ScaleForDisplay(picture, target.size());
        m_backgroundKey = key;
        m_backgroundTarget = target.size();
    }
    painter.drawImage(target.topLeft(), m_background);
}

void Compositor::DrawObject(CollageDocument& document, int index, Pass& pass) {
    CanvasObject& object = document.objects[size_t(index)];
    switch (object.Kind()) {
    case ObjectKind::Clipart:
    case ObjectKind::BrushStamp:
    case ObjectKind::Photo:
        DrawPicturedObject(document, index, pass);
        break;
    case ObjectKind::Text:
        DrawText(document, index, pass);
        break;
    }
}

void Compositor::DrawPicturedObject(CollageDocument& document, int index, Pass& pass) {
    CanvasObject& object = document.objects[size_t(index)];
    const QSize unscaled = object.UnscaledSize();
    const ObjectPlacement placement = PlacementOf(document, index, pass.zoom);
    const QSize displayed = placement.displayed;
    const QPoint position = object.Position();
    const QTransform& transform = placement.transform;

    if (!pass.options.offscreenOnly)
        object.screenRegion = placement.inLayout
                                  ? QPolygonF(QRectF(placement.cellRect))
                                  : ObjectRegion(RegionEntry(document, object), unscaled,
                                                 object.RegionScale(), object.Scale(),
                                                 object.Angle(), displayed, position.x(),
                                                 position.y(), pass.zoom);
    if (!pass.Visible(transform, displayed)) {
        // Not rasterised, but a selected object's handles are still this pass's handles.
        if (object.Selected())
            Decorate(index, displayed, transform, pass, placement.inLayout);
        return;
    }

    if (!displayed.isEmpty()) {
        if (object.Photo()) {
            const double corner =
                placement.inLayout ? document.layout.cornerRadius * double(pass.zoom) : 0.0;
            DrawPhoto(object, pass, displayed, transform, corner);
        } else {
            ObjectCache& cache = EnsureCache(object);
            if (cache.source.isNull() && !cache.failed) {
                cache.source = object.Clipart() ? ClipartPicture(document, *object.Clipart())
                                                : StampPicture(document, *object.Stamp());
                cache.failed = cache.source.isNull();
                cache.picture = QImage();
            }
            const bool keepScaled = pass.options.fastTransformedCaches && !cache.picture.isNull();
            if (!cache.source.isNull() &&
                (cache.picture.isNull() || (cache.builtFor != displayed && !keepScaled))) {
                const QSize size = cache.source.size();
                cache.picture =
                    (displayed.width() < size.width() || displayed.height() < size.height())
                        ? ScaleForDisplay(cache.source, displayed)
                        : cache.source;
                cache.builtFor = displayed;
                cache.drawableValid = false;
            }
            if (!cache.picture.isNull()) {
                const float opacity = ClampOpacity(object.Clipart() ? object.Clipart()->opacity
                                                                    : object.Stamp()->opacity);
                const TuningBlock& tuning = *object.Tuning();
                PreparedKey key;
                key.look = DrawableKey{opacity, tuning, displayed, false, true};
                key.pictureKey = cache.picture.cacheKey();
                DrawLook(cache, key, transform, displayed, pass, [&](QPainter& painter) {
                    DrawTuned(painter, cache, cache.picture, QRect(QPoint(0, 0), displayed),
                              opacity, tuning);
                });
            }
        }
    }
    if (object.Selected())
        Decorate(index, displayed, transform, pass, placement.inLayout);
}

void Compositor::DrawPhoto(CanvasObject& object, Pass& pass, QSize displayed,
                           const QTransform& transform, double corner) {
    PhotoRecord& r = *object.Photo();
    ObjectCache& cache = EnsureCache(object);
    // While dragging, a picture made for another size is drawn scaled rather than rebuilt.
    const bool reuse =
        pass.options.fastTransformedCaches && (!cache.picture.isNull() || !cache.frame.isNull());
    if (cache.builtFor != displayed && !reuse) {
        cache.picture = QImage();
        cache.frame = QImage();
        cache.drawable = QImage();
        cache.drawableValid = false;
        cache.failed = false;
        cache.builtFor = displayed;
    }
    const bool building = cache.builtFor == displayed;
    const QString path = ReadFixedText(r.path);
    const bool fileExists = PhotoSourceAvailable(path);
    if (building && fileExists && cache.picture.isNull() && !cache.failed) {
        const PhotoPictureResult built = BuildPhotoPicture(r, displayed, object.upright);
        cache.picture = built.picture;
        cache.failed = built.picture.isNull() && !built.fileMissing;
        cache.maskPending = built.maskMissing;
        cache.drawableValid = false;
    } else if (building && cache.maskPending && !cache.picture.isNull()) {
        // A mask that could not be read is tried again on the picture already made.
        const QImage mask = PhotoMask(r);
        if (!mask.isNull()) {
            ApplyMaskAlpha(cache.picture, mask);
            cache.maskPending = false;
            cache.drawableValid = false;
        }
    }
    if (r.frameId < 1) {
        cache.frame = QImage();
    } else if (building && cache.frame.isNull()) {
        // A frame that cannot be read is tried again on the next pass.
        cache.frame = BuildFramePicture(r.frameId, FrameBuildSize(displayed));
        cache.drawableValid = false;
    }

    if (!fileExists && !pass.options.offscreenOnly) {
        // The view shows what is missing (in the frame's window, under the frame); an export
        // leaves the photo out.
        pass.SetTransform(transform);
        SetObjectHints(pass.painter);
        const QRect box(QPoint(0, 0), displayed);
        const bool framed = r.frameId > 0 && !cache.frame.isNull();
        DrawMissingPhoto(pass.painter,
                         framed ? FramedPictureRect(displayed, r.frameWindow) & box : box,
                         StoredFileName(path));
        if (framed) {
            pass.painter.setOpacity(ClampOpacity(r.opacity));
            pass.painter.drawImage(QRectF(box), cache.frame);
            pass.painter.setOpacity(1.0);
        }
        return;
    }
    const bool showPicture = fileExists && !cache.picture.isNull();
    const float opacity = ClampOpacity(r.opacity);
    const bool framed = r.frameId > 0;
    if (!showPicture && !(framed && !cache.frame.isNull()))
        return;
    PreparedKey key;
    key.look = DrawableKey{opacity, r.tuning, cache.builtFor, framed, showPicture};
    key.pictureKey = showPicture ? cache.picture.cacheKey() : 0;
    key.frameKey = framed ? cache.frame.cacheKey() : 0;
    key.frameWindow = r.frameWindow;
    key.corner = corner;
    DrawLook(cache, key, transform, displayed, pass, [&](QPainter& painter) {
        if (corner <= 0.0) {
            DrawPhotoLook(painter, cache, r, displayed, showPicture, opacity);
            return;
        }
        // Rounded cell: the look is drawn apart, cut to the rounded box with smoothed edges,
        // then drawn, so what lies outside the corners (masks included) shows what is below.
        QImage look(displayed, QImage::Format_ARGB32_Premultiplied);
        if (look.isNull())
            return;
        look.fill(Qt::transparent);
        QPainter p(&look);
        SetObjectHints(p);
        DrawPhotoLook(p, cache, r, displayed, showPicture, opacity);
        QImage shape(displayed, QImage::Format_ARGB32_Premultiplied);
        shape.fill(Qt::transparent);
        {
            QPainter s(&shape);
            s.setRenderHint(QPainter::Antialiasing, true);
            QPainterPath path;
            path.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(displayed)), corner, corner);
            s.fillPath(path, Qt::black);
        }
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        p.drawImage(0, 0, shape);
        p.end();
        painter.drawImage(QRect(QPoint(0, 0), displayed), look);
    });
}

void Compositor::DrawPhotoLook(QPainter& painter, ObjectCache& cache, const PhotoRecord& r,
                               QSize displayed, bool showPicture, float opacity) {
    const QRect box(QPoint(0, 0), displayed);
    const bool framed = r.frameId > 0;
    if (framed && !cache.frame.isNull() &&
        std::int64_t(cache.builtFor.width()) * cache.builtFor.height() <= kMaxComposedPixels) {
        // The frame is composed over the tuned picture once; a redraw is one draw.
        const DrawableKey key{opacity, r.tuning, cache.builtFor, true, showPicture};
        if (!cache.drawableValid || !(cache.drawableKey == key)) {
            QImage composed(cache.builtFor, QImage::Format_ARGB32_Premultiplied);
            composed.fill(Qt::transparent);
            QPainter p(&composed);
            p.setRenderHint(QPainter::SmoothPixmapTransform, true);
            if (showPicture) {
                ObjectCache scratch;
                scratch.builtFor = cache.builtFor;
                DrawTuned(p, scratch, cache.picture,
                          FramedPictureRect(cache.builtFor, r.frameWindow), opacity, r.tuning);
            }
            p.setOpacity(opacity);
            p.drawImage(QRect(QPoint(0, 0), cache.builtFor), cache.frame);
            p.end();
            cache.drawable = composed;
            cache.drawableKey = key;
            cache.drawableValid = true;
        }
        painter.drawImage(QRectF(box), cache.drawable);
        return;
    }
    if (showPicture)
        DrawTuned(painter, cache, cache.picture,
                  framed ? FramedPictureRect(displayed, r.frameWindow) : box, opacity, r.tuning);
    if (framed && !cache.frame.isNull()) {
        painter.setOpacity(opacity);
        painter.drawImage(QRectF(box), cache.frame);
        painter.setOpacity(1.0);
    }
}

void Compositor::DrawLook(ObjectCache& cache, PreparedKey key, const QTransform& transform,
                          QSize displayed, Pass& pass, const std::function<void(QPainter&)>& draw) {
    QPainter& painter = pass.painter;
    const QTransform device = transform * pass.base;
    // The prepared copy is used where the view only translates: it is then copied pixel for
    // pixel. Export and tests draw directly.
    const bool prepare = (pass.options.preparedPictures ||
                          (!pass.options.offscreenOnly && !pass.options.directDrawing)) &&
                         device.type() <= QTransform::TxRotate && IsWholeTranslation(pass.base);
    if (prepare) {
        const qreal wholeX = std::floor(device.dx()), wholeY = std::floor(device.dy());
        key.box = displayed;
        key.m11 = device.m11();
        key.m12 = device.m12();
        key.m21 = device.m21();
        key.m22 = device.m22();
        key.dx = device.dx() - wholeX;
        key.dy = device.dy() - wholeY;
        const bool current = cache.preparedValid && cache.preparedKey == key;
        // Mid-drag the dragged object's look changes every step: drawn directly until release.
        if (current || !pass.options.fastTransformedCaches) {
            if (!current)
                Prepare(cache, key, displayed, draw);
            if (!cache.prepared.isNull()) {
                painter.setWorldTransform(QTransform());
                painter.setOpacity(1.0);
                painter.drawImage(QPoint(int(wholeX), int(wholeY)) + cache.preparedOffset,
                                  cache.prepared);
                return;
            }
        }
    }
    pass.SetTransform(transform);
    SetObjectHints(painter);
    draw(painter);
}

void Compositor::Prepare(ObjectCache& cache, const PreparedKey& key, QSize displayed,
                         const std::function<void(QPainter&)>& draw) {
    const QTransform local(key.m11, key.m12, key.m21, key.m22, key.dx, key.dy);
    // One pixel more on each side for the smoothed edges.
    const QRect bounds = local.mapRect(QRectF(QPointF(0, 0), QSizeF(displayed)))
                             .toAlignedRect()
                             .adjusted(-1, -1, 1, 1);
    cache.prepared = QImage();
    cache.preparedValid = false;
    if (bounds.isEmpty() || std::int64_t(bounds.width()) * bounds.height() > kMaxComposedPixels)
        return; // too large to keep: drawn directly
    QImage prepared(bounds.size(), QImage::Format_ARGB32_Premultiplied);
    if (prepared.isNull())
        return;
    prepared.fill(Qt::transparent);
    QPainter p(&prepared);
    SetObjectHints(p);
    p.setWorldTransform(local * QTransform::fromTranslate(-bounds.left(), -bounds.top()));
    draw(p);
    p.end();
    cache.prepared = prepared;
    cache.preparedOffset = bounds.topLeft();
    cache.preparedKey = key;
    cache.preparedValid = true;
}

void Compositor::DrawText(CollageDocument& document, int index, Pass& pass) {
    CanvasObject& object = document.objects[size_t(index)];
    TextRecord& r = *object.Text();
    const QTransform transform = TextObjectTransform(r, pass.zoom);
    if (!pass.options.offscreenOnly) {
        r.screenBox = TextScreenBox(r, pass.zoom);
        object.screenRegion = transform.map(QPolygonF(QRectF(RegionEntry(document, object))));
    }
    // Styles draw glows and shadows a little outside the box: half the box more on each side.
    // The sizes come from the file: work in doubles, so that no value (INT_MIN included) can
    // overflow when negated or doubled.
    const double boxWidth = r.textWidth, boxHeight = r.textHeight;
    const QRectF reach(-boxWidth / 2.0 - kDecorationMargin, -boxHeight / 2.0 - kDecorationMargin,
                       boxWidth * 2.0 + 2 * kDecorationMargin,
                       boxHeight * 2.0 + 2 * kDecorationMargin);
    if (transform.isInvertible() && transform.mapRect(reach).intersects(QRectF(pass.exposed))) {
        pass.SetTransform(transform);
        SetObjectHints(pass.painter);
        DrawTextObject(pass.painter, r, &EnsureCache(object).text);
    }
    if (object.Selected()) {
        const float zs = pass.zoom * r.scale;
        const QSize shown(TruncToInt(zs * float(r.textWidth)),
                          TruncToInt(zs * float(r.textHeight)));
        Decorate(index, shown, ObjectTransform(shown, r.angle, r.x, r.y, pass.zoom), pass);
    }
}

void Compositor::Decorate(int index, QSize box, const QTransform& transform, Pass& pass,
                          bool outlineOnly) {
    if (!pass.decorate)
        return;
    if (outlineOnly) {
        // Its cell decides its size and turn: no handles to hit.
        if (pass.Visible(transform, box))
            pass.decorations.push_back({box, transform, true});
        return;
    }
    m_handles = SelectionHandleRects(0, 0, box.width(), box.height());
    m_handleTransform = transform;
    m_handleObject = index;
    m_allHandles.push_back({m_handles, transform, index});
    if (pass.Visible(transform, box))
        pass.decorations.push_back({box, transform});
}

void Compositor::DrawCellOutline(QPainter& painter, const QRect& rect, bool strong) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    const QRect inner = rect.adjusted(0, 0, -1, -1);
    painter.setPen(QPen(QColor(0xFF, 0xFF, 0xFF), strong ? 3 : 1));
    painter.drawRect(inner);
    QPen dashes(QColor(0x1E, 0x6F, 0xD9), strong ? 3 : 1, Qt::DashLine);
    painter.setPen(dashes);
    painter.drawRect(inner);
    painter.restore();
}

void Compositor::DrawLayoutGesture(const CollageDocument& document, Pass& pass) {
    const LayoutGesture& gesture = document.layoutGesture;
    const CollageLayout& layout = document.layout;
    pass.SetTransform(QTransform());
    const auto outline = [&](int cell, bool strong) {
        if (cell >= 0 && cell < layout.CellCount())
            DrawCellOutline(pass.painter, ExactCellRect(layout.cells[size_t(cell)], pass.zoom),
                            strong);
    };
    if (gesture.draggedCell >= 0)
        outline(gesture.targetCell, true);
    outline(gesture.cellModeCell, true);
}

} // namespace mosaiq
