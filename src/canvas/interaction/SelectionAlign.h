#pragma once

// Align and distribute: the selected objects lined up by their bounding boxes as shown (a turned
// object by the box around its turned outline), in canvas pixels. Each call that moves anything
// is one history step.

#include <QRectF>

#include <vector>

namespace mosaiq {

class CanvasObject;
class CollageDocument;

enum class AlignMode {
    Left,   // left edges on the leftmost left edge
    Centre, // vertical centre lines on the selection's centre line
    Right,
    Top,
    Middle, // horizontal centre lines on the selection's middle
    Bottom,
    DistributeHorizontally, // equal gaps between neighbours, the outermost two staying
    DistributeVertically,
};

// The box around the object as drawn at zoom 1 (turned by its angle), canvas pixels.
QRectF ObjectBounds(const CanvasObject& object);

// Indices of the selected objects, bottom first.
std::vector<int> SelectedIndices(const CollageDocument& document);

// How many selected objects a mode needs: two to align, three to distribute.
int AlignMinimum(AlignMode mode);

// Moves the selected objects as the mode says (positions rounded to whole pixels), records one
// history step and marks the document modified. False, changing nothing, when fewer objects are
// selected than the mode needs or none would move.
bool AlignSelection(CollageDocument& document, AlignMode mode);

} // namespace mosaiq
