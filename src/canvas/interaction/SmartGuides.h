#pragma once

// Smart guides: where a box being dragged snaps. Pure geometry in canvas pixels. The moved box's
// left edge, centre and right edge snap to the canvas's edges and centre line and to the other
// objects' edges and centres when within the tolerance; so do its top, middle and bottom. It also
// snaps to the position that repeats the gap between two other objects in its row (or column),
// so three objects stand equally spaced. The nearest candidate on each axis wins.

#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <vector>

namespace mosaiq {

struct SnapResult {
    QPointF offset;             // to add to the moved box (0 on an axis that did not snap)
    std::vector<QLineF> guides; // the lines to draw while the snap holds, canvas pixels
};

// Where moving (its unsnapped position) snaps among others on a canvas of the size; tolerance
// in canvas pixels (six screen pixels over the zoom).
SnapResult SnapMovingBox(const QRectF& moving, const std::vector<QRectF>& others, QSizeF canvas,
                         double tolerance);

} // namespace mosaiq
