#pragma once

// The gaps of a living layout, found from the cells' geometry: a gap is a run of cell edges
// facing each other across the spacing (the split of a tree node, the break between two rows, a
// column edge within a row, a grid line). Dragging it moves those shared edges together, so the
// cells on both sides follow and the layout stays a tiling.

#include "canvas/document/CollageLayout.h"

#include <QPointF>
#include <QRectF>

#include <optional>
#include <vector>

namespace mosaiq {

struct LayoutGap {
    bool vertical = true;    // a vertical gap: cells left and right of it, dragged sideways
    std::vector<int> before; // cells whose right (bottom) edge faces the gap
    std::vector<int> after;  // cells whose left (top) edge faces the gap
};

// The gap under the canvas point, if any: the point lies between two facing edges at most
// spacing + reach apart (reach widens a gap of spacing 0 for the pointer).
std::optional<LayoutGap> GapAt(const CollageLayout& layout, QPointF point, double reach);

// Cells with the gap moved by delta canvas pixels from start (the cells when the drag began),
// held so that no cell on either side becomes narrower than minSide (or than it was when it
// began narrower). Returns the delta applied.
double MoveGap(const std::vector<QRectF>& start, const LayoutGap& gap, double delta,
               double minSide, std::vector<QRectF>& cells);

} // namespace mosaiq
