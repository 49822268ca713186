#include "canvas/interaction/CanvasInteraction.h"

#include "canvas/document/CanvasSelection.h"
#include "canvas/document/CollageDocument.h"
#include "canvas/document/LayoutPlacement.h"
#include "canvas/interaction/SelectionAlign.h"
#include "canvas/interaction/SmartGuides.h"
#include "core/text/FixedText.h"

#include <QPolygonF>
#include <QSize>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mosaiq {
namespace {

constexpr int kScrollSlack = 17;
constexpr int kScrollPage = 100;
constexpr int kPaintCounterLimit = 1000;
constexpr float kDegreesPerRadian = 180.0f / std::numbers::pi_v<float>;

// atan2 of the direction from p to the centre, in degrees.
float AngleFromCentre(QPointF centre, QPointF p) {
    return std::atan2(float(centre.y() - p.y()), float(centre.x() - p.x())) * kDegreesPerRadian;
}

} // namespace

CanvasCursor HandleCursor(int index) {
    switch (index) {
    case 0:
    case 4:
        return CanvasCursor::SizeNwSe;
    case 1:
    case 5:
        return CanvasCursor::SizeWE;
    case 2:
    case 6:
        return CanvasCursor::SizeNeSw;
    case 3:
    case 7:
        return CanvasCursor::SizeNS;
    default:
        return index >= kFirstRotationHandleIndex && index < kSelectionHandleCount
                   ? CanvasCursor::Rotate
                   : CanvasCursor::Arrow;
    }
}

int HitHandle(const HandleFrame& frame, QPointF surface) {
    for (int i = 0; i < kSelectionHandleCount; ++i) {
        const QRect& rect = frame.rects[size_t(i)];
        if (rect.isEmpty())
            continue;
        const QPolygonF mapped = frame.transform.map(QPolygonF(QRectF(rect)));
        if (mapped.containsPoint(surface, Qt::OddEvenFill))
            return i;
    }
    return -1;
}

HandleHit HitHandles(const HandleFrames& frames, QPointF surface) {
    // Handles are drawn bottom to top: the one on top is the one the user sees and grabs.
    for (int i = int(frames.size()) - 1; i >= 0; --i)
        if (const int handle = HitHandle(frames[size_t(i)], surface); handle >= 0)
            return {i, handle};
    return {};
}

int HitObject(const CollageDocument& document, QPointF surface) {
    for (int i = int(document.objects.size()) - 1; i >= 0; --i) {
        const QPolygonF& region = document.objects[size_t(i)].screenRegion;
        if (!region.isEmpty() && region.containsPoint(surface, Qt::OddEvenFill))
            return i;
    }
    return -1;
}

int HitPhoto(const CollageDocument& document, QPointF surface) {
    for (int i = int(document.objects.size()) - 1; i >= 0; --i) {
        const CanvasObject& object = document.objects[size_t(i)];
        if (object.Kind() == ObjectKind::Photo && !object.screenRegion.isEmpty() &&
            object.screenRegion.containsPoint(surface, Qt::OddEvenFill))
            return i;
    }
    return -1;
}

QPoint ObjectCentre(const CanvasObject& object, float zoom) {
    const QSize size = object.UnscaledSize();
    const QPoint p = object.Position();
    const float s = object.Scale();
    return {int((float(p.x()) + float(size.width()) * s / 2.0f) * zoom),
            int((float(size.height()) * s / 2.0f + float(p.y())) * zoom)};
}

float RotationAngle(const CanvasObject& object, int handle, QPoint surface, float zoom) {
    const QSize size = object.UnscaledSize();
    const QPoint p = object.Position();
    const float s = object.Scale();
    const float left = float(p.x()) * zoom;
    const float top = float(p.y()) * zoom;
    const float right = (float(p.x()) + float(size.width()) * s) * zoom;
    const float bottom = (float(p.y()) + float(size.height()) * s) * zoom;
    // The corner of the unrotated box that the handle sits beyond.
    QPoint corner;
    switch (handle) {
    case 8:
        corner = QPoint(int(left), int(top));
        break;
    case 9:
        corner = QPoint(int(left), int(bottom));
        break;
    case 10:
        corner = QPoint(int(right), int(top));
        break;
    default:
        corner = QPoint(int(right), int(bottom));
        break;
    }
    const QPoint centre = ObjectCentre(object, zoom);
    return AngleFromCentre(centre, surface) - AngleFromCentre(centre, corner);
}

bool ScaleFromHandle(CanvasObject& object, int handle, QPoint surface, float zoom) {
    return ScaleAboutCentre(object, handle, surface, ObjectCentre(object, zoom), zoom);
}

bool ScaleAboutCentre(CanvasObject& object, int handle, QPoint surface, QPoint centre, float zoom) {
    const QSize size = object.UnscaledSize();
    const int w = size.width();
    const int h = size.height();
    // Roots in double precision: a float root of a long reach can round up past the next whole
    // number and so escape the truncation.
    const double dx = double(surface.x() - centre.x());
    const double dy = double(surface.y() - centre.y());
    const int distance = int(std::sqrt(dx * dx + dy * dy));
    // Half the handle's reach from the centre at scale 1: the half diagonal for corners, the half
    // width for the side handles, the half height for the top and bottom ones.
    const int halfW = int(float(w) * zoom / 2.0f);
    const int halfH = int(float(h) * zoom / 2.0f);
    int reach = 0;
    switch (handle) {
    case 1:
    case 5:
        reach = halfW;
        break;
    case 3:
    case 7:
        reach = halfH;
        break;
    default:
        reach = int(std::sqrt(double(halfH) * halfH + double(halfW) * halfW));
        break;
    }
    // An object too small to show half a pixel at this zoom has nothing to measure against.
    if (reach <= 0 || w + h <= 0)
        return false;
    float scale = float(distance) / float(reach);
    object.SetPosition({int((float(centre.x()) - float(w) * scale * zoom / 2.0f) / zoom),
                        int((float(centre.y()) - float(h) * scale * zoom / 2.0f) / zoom)});
    // Never smaller than 16 pixels of width plus height; the position stays where it was put.
    if (float(w + h) * scale < 16.0f)
        scale = 16.0f / float(w + h);
    object.SetScale(scale);
    return true;
}

QPoint DraggedPosition(QPoint origin, QPoint down, QPoint now, float zoom) {
    return {int((zoom * float(origin.x()) + float(now.x() - down.x())) / zoom),
            int((zoom * float(origin.y()) + float(now.y() - down.y())) / zoom)};
}

QSize SurfaceSize(QSize canvas, float zoom, QSize client) {
    return {std::max(int(float(canvas.width()) * zoom), client.width()),
            std::max(int(float(canvas.height()) * zoom), client.height())};
}

int ScrollRange(int canvasExtent, float zoom, int clientExtent) {
    return std::max(0, int(float(canvasExtent) * zoom - float(clientExtent) + float(kScrollSlack)));
}

int ViewScrollRange(int canvasExtent, float zoom, int clientExtent) {
    return ScrollRange(canvasExtent, zoom, clientExtent - 2 * kViewMargin);
}

int ApplyScrollCode(int code, int position, int current, int range) {
    int next = current;
    switch (code) {
    case 0:
        next = current - 1;
        break;
    case 1:
        // One pixel, as the opposite arrow moves: an arrow must not jump a whole page.
        next = current + 1;
        break;
    case 2:
        next = current - kScrollPage;
        break;
    case 3:
        next = current + kScrollPage;
        break;
    case 4:
    case 5:
        next = position;
        break;
    case 6:
        next = 0;
        break;
    case 7:
        next = range;
        break;
    default:
        break;
    }
    return std::clamp(next, 0, std::max(0, range));
}

namespace {

CanvasCursor LayoutCursor(LayoutInteraction::Pointer pointer) {
    switch (pointer) {
    case LayoutInteraction::Pointer::SplitSideways:
        return CanvasCursor::SplitSideways;
    case LayoutInteraction::Pointer::SplitUpDown:
        return CanvasCursor::SplitUpDown;
    case LayoutInteraction::Pointer::Pan:
        return CanvasCursor::Pan;
    case LayoutInteraction::Pointer::Move:
        return CanvasCursor::Move;
    case LayoutInteraction::Pointer::None:
        break;
    }
    return CanvasCursor::Arrow;
}

} // namespace

CanvasInteraction::CanvasInteraction(CollageDocument& document)
    : m_doc(document), m_layout(document) {}

QPoint CanvasInteraction::Surface(QPoint client) const {
    return m_doc.view.WindowToSurface(client);
}

CanvasObject* CanvasInteraction::HandleTarget() {
    if (m_handleObject < 0 || size_t(m_handleObject) >= m_doc.objects.size())
        return nullptr;
    CanvasObject& object = m_doc.objects[size_t(m_handleObject)];
    return object.Selected() ? &object : nullptr;
}

CanvasObject* CanvasInteraction::FirstSelected() {
    const int index = m_doc.FirstSelectedIndex();
    return index < 0 ? nullptr : &m_doc.objects[size_t(index)];
}

bool CanvasInteraction::PaintMode() const {
    return m_doc.mouseTool == kPaintTool;
}

void CanvasInteraction::SetPaintMode(bool on) {
    m_doc.mouseTool = on ? kPaintTool : 0;
    if (!on)
        m_painting = false;
}

void CanvasInteraction::SetPreviewMode(bool on) {
    m_previewMode = on;
    // A preview shows the collage as it is: whatever drag was going on ends here.
    m_moving = m_handleDrag = m_painting = m_banding = false;
    m_guides.clear();
    m_doc.DropAllCaches();
}

void CanvasInteraction::SetPendingItem(int type, int index) {
    m_pendingType = type;
    m_pendingIndex = index;
}

CanvasInteraction::Outcome CanvasInteraction::Press(QPoint client, const HandleFrames& handles,
                                                    Qt::KeyboardModifiers modifiers) {
    Outcome out;
    m_pressModifiers = modifiers;
    if (m_previewMode) {
        out.leavePreview = true;
        return out;
    }
    if (!PaintMode()) {
        out = PressEditing(client, handles);
    } else if (m_doc.brush.brushIndex >= 0) {
        m_painting = true;
        out.cursor = CanvasCursor::Paint;
        m_doc.AddBrushStamp(client.x(), client.y());
        m_doc.modified = true;
        out.capture = true;
        out.redraw = true;
    }
    out.stateChanged = true;
    return out;
}

CanvasInteraction::Outcome CanvasInteraction::PressEditing(QPoint client,
                                                           const HandleFrames& handles) {
    Outcome out;
    const QPoint surface = Surface(client);
    if (const HandleHit hit = HitHandles(handles, surface); hit.handle >= 0) {
        // The selection stays as it is; the drag acts on the object whose handle was hit.
        m_handleIndex = hit.handle;
        m_handleDrag = true;
        const int object = handles[size_t(hit.frame)].object;
        m_handleObject = object >= 0 ? object : m_doc.FirstSelectedIndex();
        if (const CanvasObject* target = HandleTarget())
            m_dragCentre = ObjectCentre(*target, m_doc.view.zoom);
        out.capture = true;
        return out;
    }
    out.redraw = true;
    const int hit = HitObject(m_doc, surface);
    const bool toggle = m_pressModifiers.testFlag(Qt::ControlModifier);
    // The layout's own gestures: a photo of it swaps, a gap drags, cell mode pans.
    if (!toggle && m_layout.Press(QPointF(surface), hit)) {
        out.capture = true;
        out.cursor = LayoutCursor(m_layout.PointerAt(QPointF(surface), hit));
        return out;
    }
    m_clickSingle = -1;
    if (toggle && hit >= 0 && !ToggleSelected(m_doc, hit))
        return out; // taken out of the selection: nothing to drag
    if (!toggle) {
        if (hit >= 0 && m_doc.objects[size_t(hit)].Selected() && SelectedCount(m_doc) > 1) {
            // The selection stays for a drag; a click without travel keeps this one alone.
            m_clickSingle = hit;
        } else {
            for (CanvasObject& o : m_doc.objects)
                o.SetSelected(false);
            if (hit >= 0)
                m_doc.objects[size_t(hit)].SetSelected(true);
        }
    }
    out.capture = true;
    if (hit < 0) {
        // From empty canvas a band selects what it encloses.
        m_banding = true;
        m_bandAdds = toggle;
        m_bandStart = m_bandEnd = surface;
        return out;
    }
    StartMove(client);
    if (const TextRecord* text = m_doc.objects[size_t(hit)].Text())
        out.textEntry = ReadFixedText(text->text);
    return out;
}

void CanvasInteraction::StartMove(QPoint client) {
    for (CanvasObject& o : m_doc.objects)
        if (o.Selected())
            o.SetDragOrigin(o.Position());
    m_moving = true;
    m_travelled = false;
    m_down = client;
}

std::optional<QRect> CanvasInteraction::Band() const {
    if (!m_banding)
        return std::nullopt;
    return QRect(m_bandStart, m_bandEnd).normalized();
}

CanvasInteraction::Outcome CanvasInteraction::Move(QPoint client, const HandleFrames& handles,
                                                   Qt::KeyboardModifiers modifiers) {
    Outcome out;
    if (m_previewMode)
        return out;
    if (m_painting) {
        if (++m_paintCounter > kPaintCounterLimit)
            m_paintCounter = 0;
        if (m_paintCounter % 3 == 0) {
            m_doc.AddBrushStamp(client.x(), client.y());
            out.redraw = true;
        }
    }
    if (PaintMode()) {
        out.cursor = CanvasCursor::Paint;
        return out;
    }
    const QPoint surface = Surface(client);
    out.cursor = CanvasCursor::Arrow;
    if (const HandleHit hit = HitHandles(handles, surface); hit.handle >= 0)
        out.cursor = HandleCursor(hit.handle);
    if (m_handleDrag) {
        DragHandle(surface, out);
        return out;
    }
    if (m_layout.Dragging()) {
        out.redraw = m_layout.Move(QPointF(surface));
        out.cursor = LayoutCursor(m_layout.PointerAt(QPointF(surface), -1));
        return out;
    }
    if (!m_moving && !m_banding && m_doc.layout.Active()) {
        const LayoutInteraction::Pointer pointer =
            m_layout.PointerAt(QPointF(surface), HitObject(m_doc, QPointF(surface)));
        if (pointer != LayoutInteraction::Pointer::None)
            out.cursor = LayoutCursor(pointer);
    }
    // Over any selected object, even one another object covers there.
    for (const CanvasObject& o : m_doc.objects)
        if (o.Selected() && !o.screenRegion.isEmpty() &&
            o.screenRegion.containsPoint(QPointF(surface), Qt::OddEvenFill)) {
            out.cursor = CanvasCursor::Move;
            break;
        }
    if (m_banding) {
        m_bandEnd = surface;
        out.redraw = true;
    }
    if (m_moving) {
        out.cursor = CanvasCursor::Move;
        m_travelled = m_travelled || client != m_down;
        MoveSelection(client, m_snapToGuides && !modifiers.testFlag(Qt::ShiftModifier));
        out.redraw = true;
    }
    return out;
}

void CanvasInteraction::DragHandle(QPoint surface, Outcome& out) {
    out.redraw = true;
    CanvasObject* object = HandleTarget();
    // A photo of the layout is sized and turned by its cell alone.
    if (!object || CellOfObject(m_doc, *object))
        return;
    const float zoom = m_doc.view.zoom;
    if (m_handleIndex >= kFirstRotationHandleIndex)
        object->SetAngle(RotationAngle(*object, m_handleIndex, surface, zoom));
    else
        ScaleAboutCentre(*object, m_handleIndex, surface, m_dragCentre, zoom);
}

void CanvasInteraction::MoveSelection(QPoint client, bool snap) {
    const float zoom = m_doc.view.zoom;
    for (CanvasObject& o : m_doc.objects)
        if (o.Selected() && !CellOfObject(m_doc, o)) // a photo of the layout keeps its cell
            o.SetPosition(DraggedPosition(o.DragOrigin(), m_down, client, zoom));
    m_guides.clear();
    if (snap)
        SnapSelection();
}

void CanvasInteraction::SnapSelection() {
    // Guides catch within six screen pixels, whatever the zoom.
    constexpr double kSnapScreenPixels = 6.0;
    QRectF moving;
    std::vector<QRectF> others;
    for (const CanvasObject& o : m_doc.objects) {
        const QRectF box = ObjectBounds(o);
        if (o.Selected())
            moving |= box;
        else if (!box.isEmpty())
            others.push_back(box);
    }
    if (moving.isEmpty())
        return;
    const SnapResult snap = SnapMovingBox(moving, others, QSizeF(m_doc.width, m_doc.height),
                                          kSnapScreenPixels / double(m_doc.view.zoom));
    const QPoint by(int(std::lround(snap.offset.x())), int(std::lround(snap.offset.y())));
    for (CanvasObject& o : m_doc.objects)
        if (o.Selected() && !CellOfObject(m_doc, o))
            o.SetPosition(o.Position() + by);
    m_guides = snap.guides;
}

CanvasInteraction::Outcome CanvasInteraction::Release() {
    Outcome out;
    if (m_layout.Dragging()) {
        m_layout.Release();
        out.release = true;
        out.redraw = true;
        out.stateChanged = true;
        return out;
    }
    if (m_painting) {
        out.release = true;
        m_painting = false;
        m_doc.RecordSnapshot();
    }
    if (m_banding) {
        out.release = true;
        out.redraw = true;
        out.stateChanged = true;
        m_banding = false;
        const float zoom = m_doc.view.zoom;
        const QRect band = QRect(m_bandStart, m_bandEnd).normalized();
        if (band.width() > 1 || band.height() > 1)
            SelectInBand(
                m_doc,
                QRectF(band.x() / zoom, band.y() / zoom, band.width() / zoom, band.height() / zoom),
                m_bandAdds);
    }
    if (m_moving) {
        // A click that did not move still records the selection it made.
        out.release = true;
        m_moving = false;
        m_guides.clear();
        if (m_clickSingle >= 0 && !m_travelled)
            for (std::size_t i = 0; i < m_doc.objects.size(); ++i)
                m_doc.objects[i].SetSelected(int(i) == m_clickSingle);
        m_clickSingle = -1;
        m_doc.RecordSnapshot();
        m_doc.MarkModified();
        out.redraw = true;
    }
    if (m_handleDrag) {
        out.release = true;
        m_handleDrag = false;
        out.redraw = true;
        // The pictures were drawn stretched while dragging; rebuild them at the new size. A
        // press on handles left from an earlier selection changed nothing: no history step.
        if (CanvasObject* object = HandleTarget()) {
            object->DropCaches();
            m_doc.RecordSnapshot();
            m_doc.MarkModified();
        }
    }
    return out;
}

CanvasInteraction::Outcome CanvasInteraction::KeyDelete() {
    Outcome out;
    if (m_previewMode)
        return out;
    m_doc.DeleteSelection();
    out.redraw = true;
    out.stateChanged = true;
    return out;
}

CanvasInteraction::Outcome CanvasInteraction::DoubleClick(QPoint client) {
    Outcome out;
    if (m_previewMode || PaintMode())
        return out;
    const QPointF surface(Surface(client));
    if (m_layout.DoubleClick(surface, HitObject(m_doc, surface))) {
        out.redraw = true;
        out.stateChanged = true;
        out.cursor = CanvasCursor::Pan;
    }
    return out;
}

std::optional<CanvasInteraction::Outcome> CanvasInteraction::LayoutKey(int key) {
    if (m_previewMode || !m_layout.InCellMode() || !m_layout.Key(key))
        return std::nullopt;
    Outcome out;
    out.redraw = true;
    out.stateChanged = true;
    return out;
}

std::optional<CanvasInteraction::Outcome> CanvasInteraction::LayoutWheel(QPoint client,
                                                                         double notches) {
    if (m_previewMode || !m_layout.Wheel(QPointF(Surface(client)), notches))
        return std::nullopt;
    Outcome out;
    out.redraw = true;
    return out;
}

CanvasInteraction::Outcome CanvasInteraction::KeyEscape() {
    Outcome out;
    out.leavePreview = m_previewMode;
    return out;
}

CanvasInteraction::Outcome CanvasInteraction::DropPendingItem(QPoint client) {
    Outcome out;
    if (m_previewMode)
        return out;
    if (m_pendingType == 0 || m_pendingType == 1) {
        // A frame or mask is for the photo it was dropped on.
        const int hit = HitPhoto(m_doc, Surface(client));
        if (hit >= 0 && !m_doc.objects[size_t(hit)].Selected()) {
            for (size_t i = 0; i < m_doc.objects.size(); ++i)
                m_doc.objects[i].SetSelected(int(i) == hit);
            out.stateChanged = true;
        }
    }
    switch (m_pendingType) {
    case 0:
        m_doc.ApplyFrame(m_pendingIndex);
        break;
    case 1:
        m_doc.ApplyMask(m_pendingIndex);
        break;
    case 2:
    case 4:
        m_doc.AddLibraryPicture(m_pendingIndex, client.x(), client.y());
        out.stateChanged = true;
        break;
    default:
        return out;
    }
    // Placing anything but a brush stamp ends painting, as does asking for a photo.
    SetPaintMode(false);
    out.redraw = true;
    return out;
}

} // namespace mosaiq
