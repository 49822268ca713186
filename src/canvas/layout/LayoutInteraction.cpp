#include "canvas/layout/LayoutInteraction.h"

#include "canvas/document/CollageDocument.h"
#include "canvas/document/LayoutPlacement.h"
#include "canvas/layout/LivingLayout.h"

#include <Qt>

#include <algorithm>
#include <cmath>

namespace mosaiq {
namespace {

// A gap is easy to catch: this many screen pixels either side of a narrow one.
constexpr double kGapReachScreen = 6.0;
// One press of an arrow pans by this many screen pixels; one +/- press or wheel notch zooms by
// this factor.
constexpr double kArrowPanScreen = 10.0;
constexpr double kZoomStep = 1.25;

} // namespace

LayoutInteraction::LayoutInteraction(CollageDocument& document) : m_doc(document) {}

QPointF LayoutInteraction::Canvas(QPointF surface) const {
    const double zoom = m_doc.view.zoom > 0.0f ? double(m_doc.view.zoom) : 1.0;
    return surface / zoom;
}

double LayoutInteraction::Reach() const {
    const double zoom = m_doc.view.zoom > 0.0f ? double(m_doc.view.zoom) : 1.0;
    return 2.0 * kGapReachScreen / zoom;
}

bool LayoutInteraction::Press(QPointF surface, int hit) {
    if (!m_doc.layout.Active())
        return false;
    m_down = m_last = surface;
    m_travelled = false;
    if (m_cellModeCell >= 0) {
        const int cell = LayoutCellAt(m_doc.layout, Canvas(surface));
        if (cell == m_cellModeCell) {
            m_mode = Mode::Pan;
            return true;
        }
        // A click outside ends cell mode and then does what it does.
        EndCellMode();
    }
    const CanvasObject* object =
        hit >= 0 && size_t(hit) < m_doc.objects.size() ? &m_doc.objects[size_t(hit)] : nullptr;
    const bool overFree = object && !CellOfObject(m_doc, *object);
    if (!overFree) {
        if (std::optional<LayoutGap> gap = GapAt(m_doc.layout, Canvas(surface), Reach())) {
            m_mode = Mode::Gap;
            m_gap = *gap;
            m_gapStart = m_doc.layout.cells;
            m_doc.layoutGesture.gapDragging = true;
            return true;
        }
    }
    if (object && CellOfObject(m_doc, *object)) {
        for (CanvasObject& o : m_doc.objects)
            o.SetSelected(false);
        m_doc.objects[size_t(hit)].SetSelected(true);
        m_mode = Mode::Swap;
        m_dragCell = object->layoutCell;
        return true;
    }
    return false;
}

bool LayoutInteraction::Move(QPointF surface) {
    const double zoom = m_doc.view.zoom > 0.0f ? double(m_doc.view.zoom) : 1.0;
    m_travelled = m_travelled || surface != m_down;
    switch (m_mode) {
    case Mode::Idle:
        return false;
    case Mode::Swap: {
        LayoutGesture& g = m_doc.layoutGesture;
        g.draggedCell = m_dragCell;
        g.dragOffset = (surface - m_down) / zoom;
        const int target = LayoutCellAt(m_doc.layout, Canvas(surface));
        g.targetCell = target;
        return true;
    }
    case Mode::Gap: {
        const QPointF travel = (surface - m_down) / zoom;
        std::vector<QRectF> cells;
        MoveGap(m_gapStart, m_gap, m_gap.vertical ? travel.x() : travel.y(), kMinCellSide,
                cells);
        if (cells == m_doc.layout.cells)
            return false;
        m_doc.layout.cells = cells;
        // The photos follow at once; their pictures are drawn scaled until the release.
        RefitLayoutPhotos(m_doc, true);
        return true;
    }
    case Mode::Pan: {
        const QPointF step = surface - m_last;
        m_last = surface;
        if (PanCellPicture(m_doc, m_cellModeCell, step.x(), step.y(), m_doc.view.zoom))
            m_cellModeChanged = true;
        return true;
    }
    }
    return false;
}

bool LayoutInteraction::Release() {
    const Mode mode = m_mode;
    m_mode = Mode::Idle;
    switch (mode) {
    case Mode::Idle:
    case Mode::Pan:
        return mode == Mode::Pan;
    case Mode::Swap: {
        const int target = m_doc.layoutGesture.targetCell;
        const bool dragged = m_doc.layoutGesture.draggedCell >= 0;
        m_doc.layoutGesture.draggedCell = -1;
        m_doc.layoutGesture.targetCell = -1;
        m_doc.layoutGesture.dragOffset = QPointF();
        // On another cell the two swap; anywhere else it goes back. A click records the
        // selection it made, as a click on any object does.
        if (!(dragged && target >= 0 && target != m_dragCell &&
              SwapLayoutCells(m_doc, m_dragCell, target))) {
            m_doc.RecordSnapshot();
            m_doc.MarkModified();
        }
        m_dragCell = -1;
        return true;
    }
    case Mode::Gap: {
        m_doc.layoutGesture.gapDragging = false;
        if (m_doc.layout.cells == m_gapStart)
            return true;
        // Rebuilt at the new size, each crop placed around its subject again.
        RefitLayoutPhotos(m_doc, false);
        m_doc.layout.cornerRadius =
            std::min(m_doc.layout.cornerRadius, MaxCornerRadius(m_doc.layout));
        m_doc.RecordSnapshot();
        m_doc.MarkModified();
        return true;
    }
    }
    return false;
}

bool LayoutInteraction::DoubleClick(QPointF surface, int hit) {
    if (hit < 0 || size_t(hit) >= m_doc.objects.size())
        return false;
    const CanvasObject& object = m_doc.objects[size_t(hit)];
    if (!CellOfObject(m_doc, object))
        return false; // a double click on a free object does nothing here
    (void)surface;
    if (m_cellModeCell != object.layoutCell)
        EndCellMode();
    m_cellModeCell = object.layoutCell;
    m_cellModeChanged = false;
    m_doc.layoutGesture.cellModeCell = m_cellModeCell;
    m_mode = Mode::Idle;
    return true;
}

bool LayoutInteraction::Wheel(QPointF surface, double notches) {
    if (m_cellModeCell < 0 || notches == 0.0)
        return false;
    if (ZoomCellPicture(m_doc, m_cellModeCell, std::pow(kZoomStep, notches), Canvas(surface),
                        m_doc.view.zoom))
        m_cellModeChanged = true;
    return true;
}

bool LayoutInteraction::Key(int key) {
    if (m_cellModeCell < 0 || m_cellModeCell >= m_doc.layout.CellCount())
        return false;
    const QPointF centre = m_doc.layout.cells[size_t(m_cellModeCell)].center();
    bool moved = false;
    switch (key) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        EndCellMode();
        return true;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        moved = ZoomCellPicture(m_doc, m_cellModeCell, kZoomStep, centre, m_doc.view.zoom);
        break;
    case Qt::Key_Minus:
        moved = ZoomCellPicture(m_doc, m_cellModeCell, 1.0 / kZoomStep, centre, m_doc.view.zoom);
        break;
    case Qt::Key_Left:
        moved = PanCellPicture(m_doc, m_cellModeCell, kArrowPanScreen, 0, m_doc.view.zoom);
        break;
    case Qt::Key_Right:
        moved = PanCellPicture(m_doc, m_cellModeCell, -kArrowPanScreen, 0, m_doc.view.zoom);
        break;
    case Qt::Key_Up:
        moved = PanCellPicture(m_doc, m_cellModeCell, 0, kArrowPanScreen, m_doc.view.zoom);
        break;
    case Qt::Key_Down:
        moved = PanCellPicture(m_doc, m_cellModeCell, 0, -kArrowPanScreen, m_doc.view.zoom);
        break;
    default:
        return false;
    }
    m_cellModeChanged = m_cellModeChanged || moved;
    return true;
}

void LayoutInteraction::EndCellMode() {
    if (m_cellModeCell < 0)
        return;
    m_cellModeCell = -1;
    m_doc.layoutGesture.cellModeCell = -1;
    if (m_mode == Mode::Pan)
        m_mode = Mode::Idle;
    if (m_cellModeChanged) {
        m_doc.RecordSnapshot();
        m_doc.MarkModified();
    }
    m_cellModeChanged = false;
}

LayoutInteraction::Pointer LayoutInteraction::PointerAt(QPointF surface, int hit) const {
    switch (m_mode) {
    case Mode::Swap:
        return Pointer::Move;
    case Mode::Pan:
        return Pointer::Pan;
    case Mode::Gap:
        return m_gap.vertical ? Pointer::SplitSideways : Pointer::SplitUpDown;
    case Mode::Idle:
        break;
    }
    if (!m_doc.layout.Active())
        return Pointer::None;
    if (m_cellModeCell >= 0 && LayoutCellAt(m_doc.layout, Canvas(surface)) == m_cellModeCell)
        return Pointer::Pan;
    const bool overFree = hit >= 0 && size_t(hit) < m_doc.objects.size() &&
                          !CellOfObject(m_doc, m_doc.objects[size_t(hit)]);
    if (overFree)
        return Pointer::None;
    if (const std::optional<LayoutGap> gap = GapAt(m_doc.layout, Canvas(surface), Reach()))
        return gap->vertical ? Pointer::SplitSideways : Pointer::SplitUpDown;
    return Pointer::None;
}

} // namespace mosaiq
