#pragma once

// The pointer and keys on a living layout, without a window: a photo of the layout dragged onto
// another cell swaps with it (back to its cell anywhere else); a gap dragged moves the edges it
// separates; a double click on a photo enters cell mode, where a drag pans the picture inside its
// cell, the wheel and +/- zoom it about the pointer, the arrows pan, and Esc, Enter or a click
// outside end it. Each gesture is one history step. The canvas's interaction hands over the
// presses it does not own and asks here first.

#include "canvas/layout/LayoutGaps.h"

#include <QPoint>
#include <QPointF>
#include <QRectF>

#include <optional>
#include <vector>

namespace mosaiq {

class CollageDocument;

class LayoutInteraction {
public:
    explicit LayoutInteraction(CollageDocument& document);

    // What the pointer shows over the layout.
    enum class Pointer { None, SplitSideways, SplitUpDown, Pan, Move };

    // A press at the surface point. hit is the topmost object there (-1 none); a gap is taken
    // only where no free object lies above it. True when the layout took the press.
    bool Press(QPointF surface, int hit);
    // The pointer moved with the button down (or not): true when the view must redraw.
    bool Move(QPointF surface);
    // The button went up: true when something ended (a step was recorded or a drag put back).
    bool Release();
    // A double click on the object hit (-1 none): enters cell mode on a photo of the layout.
    bool DoubleClick(QPointF surface, int hit);
    // Wheel notches (positive: closer) at the surface point while in cell mode.
    bool Wheel(QPointF surface, double notches);
    // A key while in cell mode (Qt key codes): +/- zoom, arrows pan, Esc and Enter end it.
    bool Key(int key);
    // Ends cell mode, recording one step when the picture moved.
    void EndCellMode();

    bool Active() const { return m_mode != Mode::Idle; }
    bool Dragging() const {
        return m_mode == Mode::Swap || m_mode == Mode::Gap || m_mode == Mode::Pan;
    }
    bool GapDragging() const { return m_mode == Mode::Gap; }
    bool InCellMode() const { return m_cellModeCell >= 0; }
    int CellModeCell() const { return m_cellModeCell; }
    // The pointer to show at the surface point when no button is down, or during a gesture.
    Pointer PointerAt(QPointF surface, int hit) const;

private:
    enum class Mode { Idle, Swap, Gap, Pan };
    QPointF Canvas(QPointF surface) const;
    double Reach() const; // a gap's reach for the pointer, canvas pixels

    CollageDocument& m_doc;
    Mode m_mode = Mode::Idle;
    QPointF m_down; // surface pixels
    QPointF m_last;
    bool m_travelled = false;
    int m_dragCell = -1;
    LayoutGap m_gap;
    std::vector<QRectF> m_gapStart;
    int m_cellModeCell = -1;
    bool m_cellModeChanged = false;
};

} // namespace mosaiq
