#pragma once

// The canvas's mouse and key handling without a window: picking, moving, the eight size handles,
// the four rotation handles, painting brush stamps, deleting and dropping library items. The view
// feeds it client-pixel positions and the selection handles of the last drawing pass and acts on
// what it returns (redraw, mouse capture, cursor, requests to its owner).
//
// Coordinate spaces: client pixels are the canvas window's own; surface pixels are client pixels
// plus the scroll offsets (the zoomed canvas starts at surface (0, 0)); canvas pixels are surface
// pixels divided by the zoom. Regions and handles live in surface pixels.

#include "canvas/interaction/SelectionHandles.h"
#include "canvas/layout/LayoutInteraction.h"

#include <QLineF>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QTransform>

#include <optional>
#include <vector>

namespace mosaiq {

class CanvasObject;
class CollageDocument;

// The mouse tool of the document (CollageDocument::mouseTool) that paints brush stamps.
constexpr int kPaintTool = 1;

// What the pointer looks like; the view maps these to real cursors.
enum class CanvasCursor {
    Arrow,
    SizeNwSe,
    SizeWE,
    SizeNeSw,
    SizeNS,
    Rotate,
    Move,
    Paint,
    SplitSideways, // over a gap of the layout between cells side by side
    SplitUpDown,   // over a gap between cells one above the other
    Pan,           // over the picture of a cell in cell mode
};

// The cursor shown over handle index (0..11).
CanvasCursor HandleCursor(int index);

// The first handle (in index order) whose rectangle, mapped by the frame's transform, holds the
// surface point; -1 when none does.
int HitHandle(const HandleFrame& frame, QPointF surface);

// The handle under the surface point among several objects' handles, the topmost object's
// first: the index of its frame and the handle; -1 and -1 when none holds the point.
struct HandleHit {
    int frame = -1;
    int handle = -1;
};
HandleHit HitHandles(const HandleFrames& frames, QPointF surface);

// The topmost object whose hit region (as last drawn) holds the surface point; -1 when none.
int HitObject(const CollageDocument& document, QPointF surface);

// The topmost photo whose hit region (as last drawn) holds the surface point; -1 when none.
int HitPhoto(const CollageDocument& document, QPointF surface);

// Centre of the object's displayed box in surface pixels, truncated.
QPoint ObjectCentre(const CanvasObject& object, float zoom);

// The angle, in degrees, that puts rotation handle (8..11)'s corner of the unrotated box under the
// surface point. Angles are measured about the centre with atan2, so a point left of the centre is
// 0 degrees and one above it 90. Not normalised.
float RotationAngle(const CanvasObject& object, int handle, QPoint surface, float zoom);

// Scales the object uniformly about its kept centre so that size handle (0..7) follows the
// surface point; the scale never falls below 16 / (width + height). False (nothing changed) when
// the object is too small at this zoom to measure a distance against.
bool ScaleFromHandle(CanvasObject& object, int handle, QPoint surface, float zoom);
// The same about a centre fixed when the drag began (surface pixels). A drag is many steps, and
// a centre re-measured from each step's truncated position would creep up and left.
bool ScaleAboutCentre(CanvasObject& object, int handle, QPoint surface, QPoint centre, float zoom);

// Position of a dragged object: its drag origin moved by the mouse travel since the button went
// down, both in client pixels, truncated to canvas pixels.
QPoint DraggedPosition(QPoint origin, QPoint down, QPoint now, float zoom);

// --- the view's surface and scroll bars

// Screen pixels the view keeps around the canvas on every side, so the handles of an object at
// the canvas's edge (reaching 24 pixels past its box) can be grabbed. Scrolled to the start, the
// window's (0, 0) is surface (-kViewMargin, -kViewMargin): scroll offsets run from -kViewMargin.
constexpr int kViewMargin = 24;
// Range of one of the view's bars: the zoomed canvas with the margin on both sides, less the
// client, plus the bars' 17 pixels of slack; 0 when it all fits.
int ViewScrollRange(int canvasExtent, float zoom, int clientExtent);

// The logical surface: the zoomed canvas, at least as large as the client area.
QSize SurfaceSize(QSize canvas, float zoom, QSize client);
// Scroll range of one bar: max(0, trunc(canvasExtent x zoom - client + 17)).
int ScrollRange(int canvasExtent, float zoom, int clientExtent);
// The position after scroll code (0 one pixel back, 2 a page back, 1 and 3 a page forward,
// 4 and 5 to position, 6 to the start, 7 to the end), clamped to 0..range.
int ApplyScrollCode(int code, int position, int current, int range);

// The interaction state of one canvas.
class CanvasInteraction {
public:
    explicit CanvasInteraction(CollageDocument& document);

    // What the view does after an input.
    struct Outcome {
        bool redraw = false;
        bool capture = false;      // grab the mouse until the button is released
        bool release = false;      // let the mouse go
        bool leavePreview = false; // ask the owner to end the preview
        bool stateChanged = false; // the owner should refresh its controls (selection, history)
        std::optional<CanvasCursor> cursor;
        std::optional<QString> textEntry; // a text object was picked: its text for the entry box
    };

    // Ctrl in modifiers adds or removes the object under the press (or, on empty canvas, adds
    // what the band takes); Shift during a move suspends snapping to guides.
    // A handle press acts on the object whose handle was hit; the other selected objects stay.
    Outcome Press(QPoint client, const HandleFrames& handles,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    Outcome Move(QPoint client, const HandleFrames& handles,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    Outcome Press(QPoint client, const HandleFrame& handles,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return Press(client, HandleFrames{handles}, modifiers);
    }
    Outcome Move(QPoint client, const HandleFrame& handles,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return Move(client, HandleFrames{handles}, modifiers);
    }
    Outcome Release();
    Outcome KeyDelete();
    Outcome KeyEscape();
    // A double click: enters cell mode on a photo of the layout (nothing else happens).
    Outcome DoubleClick(QPoint client);
    // Cell mode's keys (+/-, arrows, Esc, Enter) and wheel (notches, positive closer); nullopt
    // when not in cell mode or the key is not one of them.
    std::optional<Outcome> LayoutKey(int key);
    std::optional<Outcome> LayoutWheel(QPoint client, double notches);
    const LayoutInteraction& Layout() const { return m_layout; }
    LayoutInteraction& Layout() { return m_layout; }
    // Drops the pending library item at the client point: a frame or a mask goes onto the photo
    // under the point (selected first), or onto the selected photo when none is there; a clipart
    // or decoration is added there. stateChanged is set when the selection changed.
    Outcome DropPendingItem(QPoint client);

    // The library item being dragged from a panel: 0 frame, 1 mask, 2 clipart, 4 decoration.
    void SetPendingItem(int type, int index);

    bool PreviewMode() const { return m_previewMode; }
    void SetPreviewMode(bool on);
    bool PaintMode() const;
    void SetPaintMode(bool on);

    // Snapping a moved selection to the canvas and other objects (off by default).
    bool SnapToGuides() const { return m_snapToGuides; }
    void SetSnapToGuides(bool on) { m_snapToGuides = on; }
    // The guide lines of the snap that holds now, canvas pixels; empty when none holds.
    const std::vector<QLineF>& Guides() const { return m_guides; }
    // The selection band being drawn, surface pixels.
    std::optional<QRect> Band() const;

    bool Moving() const { return m_moving; }
    bool HandleDragging() const { return m_handleDrag; }
    bool Painting() const { return m_painting; }
    int HandleIndex() const { return m_handleIndex; }
    int PaintCounter() const { return m_paintCounter; }

private:
    QPoint Surface(QPoint client) const;
    CanvasObject* FirstSelected();
    Outcome PressEditing(QPoint client, const HandleFrames& handles);
    // The object a handle drag acts on while it is still selected; null otherwise.
    CanvasObject* HandleTarget();
    void DragHandle(QPoint surface, Outcome& out);
    void MoveSelection(QPoint client, bool snap);
    void StartMove(QPoint client);
    void SnapSelection();

    CollageDocument& m_doc;
    bool m_moving = false;
    bool m_handleDrag = false;
    int m_handleIndex = 0;
    int m_handleObject = -1; // the object whose handle is dragged
    QPoint m_dragCentre; // surface pixels, measured when a handle drag starts
    QPoint m_down;
    bool m_painting = false;
    int m_paintCounter = 0;
    bool m_previewMode = false;
    bool m_snapToGuides = false;
    std::vector<QLineF> m_guides;
    bool m_banding = false;
    bool m_bandAdds = false;
    QPoint m_bandStart; // surface pixels
    QPoint m_bandEnd;
    int m_clickSingle = -1; // a plain click on one of several selected objects
    Qt::KeyboardModifiers m_pressModifiers;
    bool m_travelled = false;
    int m_pendingType = -1;
    int m_pendingIndex = 0;
    LayoutInteraction m_layout;
};

} // namespace mosaiq
